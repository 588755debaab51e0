"""Shared pieces of the support tests: running the headless host on a LISP script and
the loopback servers the transfers talk to."""
import os
import shutil
import subprocess
import tempfile

TABRIK = os.environ.get("TABRIK", "")
WORK = os.environ.get("TABRIK_TEST_WORK") or tempfile.mkdtemp(prefix="tabrik-support-")


def fresh_folder(name):
    """An empty folder of the test's own under the work folder."""
    path = os.path.join(WORK, name)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


def lisp_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def run_lisp(forms, cwd, env=None, registry=None):
    """Evaluates each form in one session; returns the printed value of each (prin1
    form), in order. A form that fails gives the error line instead."""
    script = os.path.join(cwd, "script.lsp")
    with open(script, "w", encoding="utf-8") as f:
        for i, form in enumerate(forms):
            f.write('(princ "\\n@@%d ")(prin1 (vl-catch-all-apply (function (lambda () %s)) nil))\n'
                    % (i, form))
    command = [TABRIK, "run", "--quiet", "--registry", registry or os.path.join(cwd, "registry"), script]
    full_env = dict(os.environ)
    full_env.update(env or {})
    done = subprocess.run(command, cwd=cwd, env=full_env, capture_output=True, text=True, timeout=300)
    for marker in ("Sanitizer", "runtime error:"):
        if marker in done.stderr:
            raise AssertionError("the host reported a fault:\n" + done.stderr[-4000:])
    values = {}
    for line in done.stdout.splitlines():
        if line.startswith("@@"):
            index, _, value = line[2:].partition(" ")
            values[int(index)] = value
    return [values.get(i) for i in range(len(forms))], done.stdout
