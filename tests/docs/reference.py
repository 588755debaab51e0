#!/usr/bin/env python3
"""The function reference's tools: its pages (docs/functions/<family>.md) against the
module's function list (module/host/LispFunctionList.def), and its examples run as
scenario files by `tabrik test`.

  reference.py check --list LispFunctionList.def --pages docs/functions
      every Built function has a `## name` section with an example on its family's
      page, every section names a Built function of that family, every Pending one is
      listed under "Not yet available", and the index links every function.
  reference.py run --tabrik build/tabrik --work DIR PAGE.md
      runs the page's examples in order in one session, in DIR made afresh with the
      page's fixtures; a failure names the page's own line.
  reference.py extract PAGE.md
      prints the scenario file made from the page.
  reference.py fill --tabrik build/tabrik --work DIR PAGE.md
      replaces every expectation ";=>?" of the page's examples with what the form
      really printed and returned, for the writer to check before keeping it.
  reference.py skeleton --list LispFunctionList.def NAME
      prints the outline of a new function section.

A page's examples are its fenced blocks whose info string is exactly `lisp`; every
other line of the page becomes a blank line of the scenario file, so line numbers in
`tabrik test`'s reports are the page's. Fixtures are named by HTML comments
`<!-- fixture: NAME -->` and live in the pages' fixtures/ folder; a fixture ending in
.lsp is run (`tabrik run`) in the work folder after the files are copied, before the
examples.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys

NOT_YET = "Not yet available"
FUNCTION_LINE = re.compile(
    r'^TABRIK_LISP_FUNCTION\(\s*\w+,\s*"([^"]+)",\s*(Database|Drawing),\s*([a-z]+),\s*(Built|Pending)\s*\)'
)
FIXTURE = re.compile(r"<!--\s*fixture:\s*(\S+)\s*-->")
HEADING = re.compile(r"^(#{1,6})\s+(.*?)\s*#*\s*$")
LINK = re.compile(r"\[([^\]]+)\]\(([^)\s]+)\)")


class Function:
    def __init__(self, name, table, family, state):
        self.name, self.table, self.family, self.state = name, table, family, state

    @property
    def built(self):
        return self.state == "Built"


def read_function_list(path):
    functions = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            match = FUNCTION_LINE.match(line)
            if match:
                functions.append(Function(*match.groups()))
    if not functions:
        raise SystemExit(f"{path}: no TABRIK_LISP_FUNCTION lines")
    return functions


def anchor(heading):
    """The fragment a code host gives a heading: lower case, punctuation other than
    '-' and '_' dropped, blanks as '-'."""
    text = heading.strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def without_code(line):
    return re.sub(r"`[^`]*`", "", line)


def without_links(text):
    """A heading's text as shown: [label](target) shows as its label."""
    return LINK.sub(lambda m: m.group(1), text)


class Section:
    def __init__(self, name, line):
        self.name, self.line, self.examples = name, line, 0


class Page:
    """What the checks and the runner need of one page."""

    def __init__(self, path):
        self.path = path
        self.family = os.path.splitext(os.path.basename(path))[0]
        self.sections = []  # `## name` sections, in page order
        self.not_yet = []  # (name, line) under "## Not yet available"
        self.has_not_yet = False
        self.fixtures = []
        self.anchors = set()  # fragments of the page's headings
        self.links = []  # (label, target, line) of links outside code
        self.example_lines = set()  # 1-based lines inside `lisp` blocks
        self.unclosed_fence = None
        with open(path, encoding="utf-8") as f:
            self.lines = f.read().split("\n")
        self._parse()

    def _parse(self):
        fence = None  # the opening fence's line number and info string while inside
        current = None
        in_not_yet = False
        for number, line in enumerate(self.lines, start=1):
            stripped = line.strip()
            if stripped.startswith("```"):
                if fence is None:
                    fence = (number, stripped[3:].strip())
                    if fence[1] == "lisp" and current is not None and not in_not_yet:
                        current.examples += 1
                else:
                    fence = None
                continue
            if fence is not None:
                if fence[1] == "lisp":
                    self.example_lines.add(number)
                continue
            self.fixtures += FIXTURE.findall(line)
            self.links += [(label, target, number) for label, target in LINK.findall(without_code(line))]
            heading = HEADING.match(line)
            if heading:
                level, text = len(heading.group(1)), heading.group(2)
                self.anchors.add(anchor(without_links(text)))
                if level == 2:
                    in_not_yet = text == NOT_YET
                    self.has_not_yet = self.has_not_yet or in_not_yet
                    current = None if in_not_yet else Section(text.strip("`"), number)
                    if current:
                        self.sections.append(current)
                elif level == 1:
                    current, in_not_yet = None, False
                continue
            if in_not_yet:
                item = re.match(r"^\s*[-*]\s+`([^`]+)`\s*$", line)
                if item:
                    self.not_yet.append((item.group(1), number))
        if fence is not None:
            self.unclosed_fence = fence[0]

    def scenario(self):
        return "\n".join(
            line if number in self.example_lines else ""
            for number, line in enumerate(self.lines, start=1)
        )


def pages_in(folder):
    return sorted(
        os.path.join(folder, name)
        for name in os.listdir(folder)
        if name.endswith(".md") and name != "README.md"
    )


def check(list_path, folder):
    """Every problem as one line; none when the reference follows the list."""
    functions = read_function_list(list_path)
    by_name = {f.name: f for f in functions}
    families = []
    for f in functions:
        if f.family not in families:
            families.append(f.family)
    problems = []
    pages = {}
    for path in pages_in(folder):
        page = Page(path)
        pages[page.family] = page
        where = os.path.relpath(path)
        if page.family not in families:
            problems.append(f"{where}: no family '{page.family}' in {list_path}")
        if page.unclosed_fence:
            problems.append(f"{where}:{page.unclosed_fence}: code block not closed")
        for fixture in page.fixtures:
            if not os.path.isfile(os.path.join(folder, "fixtures", fixture)):
                problems.append(f"{where}: fixture '{fixture}' is not in fixtures/")
    for family in families:
        if family not in pages:
            problems.append(f"{os.path.join(folder, family + '.md')}: missing (family '{family}')")

    documented = {}
    for page in pages.values():
        where = os.path.relpath(page.path)
        for section in page.sections:
            function = by_name.get(section.name)
            if function is None:
                problems.append(
                    f"{where}:{section.line}: section '{section.name}' names no function of the list"
                )
                continue
            if section.name in documented:
                problems.append(f"{where}:{section.line}: '{section.name}' is documented twice")
            documented[section.name] = page.family
            if function.family != page.family:
                problems.append(
                    f"{where}:{section.line}: '{section.name}' belongs on {function.family}.md"
                )
            if not function.built:
                problems.append(
                    f"{where}:{section.line}: '{section.name}' is Pending in the list: "
                    f"list it under '{NOT_YET}' or mark it Built"
                )
            elif section.examples == 0:
                problems.append(f"{where}:{section.line}: '{section.name}' has no example")
        for name, line in page.not_yet:
            function = by_name.get(name)
            if function is None or function.family != page.family:
                problems.append(
                    f"{where}:{line}: '{name}' under '{NOT_YET}' is not a function of this family"
                )
            elif function.built:
                problems.append(
                    f"{where}:{line}: '{name}' is Built: give it a section instead of listing it "
                    f"under '{NOT_YET}'"
                )

    for function in functions:
        page = pages.get(function.family)
        if page is None:
            continue
        where = os.path.relpath(page.path)
        if function.built and function.name not in documented:
            problems.append(f"{where}: no section '## {function.name}' (Built)")
        if not function.built and function.name not in [n for n, _ in page.not_yet]:
            problems.append(f"{where}: '{function.name}' (Pending) is not listed under '{NOT_YET}'")

    problems += check_index(os.path.join(folder, "README.md"), functions, families)
    problems += check_links(folder, list(pages.values()))
    return problems


def check_links(folder, pages):
    """Every link to a page of the reference, or to a file beside it, leads somewhere."""
    index = os.path.join(folder, "README.md")
    if os.path.isfile(index):
        pages = pages + [Page(index)]
    anchors = {os.path.basename(page.path): page.anchors for page in pages}
    problems = []
    for page in pages:
        for _, target, line in page.links:
            if re.match(r"^[a-z]+:", target):
                continue  # an outside address
            name, _, fragment = target.partition("#")
            name = name or os.path.basename(page.path)
            where = f"{os.path.relpath(page.path)}:{line}"
            if not os.path.exists(os.path.join(folder, name)):
                problems.append(f"{where}: link to {target}: no file {name}")
            elif fragment and fragment not in anchors.get(name, set()):
                problems.append(f"{where}: link to {target}: no such heading in {name}")
    return problems


def check_index(path, functions, families):
    if not os.path.isfile(path):
        return [f"{path}: missing (the index)"]
    links = {}
    for label, target, _ in Page(path).links:
        links.setdefault(label.strip("`"), set()).add(target)
    where = os.path.relpath(path)
    problems = []
    for family in families:
        if not any(t == f"{family}.md" for targets in links.values() for t in targets):
            problems.append(f"{where}: no link to {family}.md")
    for function in functions:
        fragment = anchor(function.name) if function.built else anchor(NOT_YET)
        expected = f"{function.family}.md#{fragment}"
        if expected not in links.get(function.name, set()):
            problems.append(f"{where}: no link [{function.name}]({expected})")
    return problems


def prepare(tabrik, work, page, page_path):
    """Makes the work folder afresh with the page's fixtures; False when one failed."""
    fixtures_folder = os.path.join(os.path.dirname(os.path.abspath(page_path)), "fixtures")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    for fixture in page.fixtures:
        shutil.copy(os.path.join(fixtures_folder, fixture), work)
    for fixture in page.fixtures:
        if fixture.endswith(".lsp"):
            made = subprocess.run(
                [tabrik, "run", "--quiet", "--search-path", work, fixture],
                cwd=work, capture_output=True, text=True,
            )
            if made.returncode != 0:
                print(f"{page_path}: fixture {fixture} failed ({made.returncode}):\n{made.stdout}{made.stderr}")
                return False
    return True


def run_scenario(tabrik, work, text):
    # Beside the work folder, so that the examples do not see it among their files.
    scenario = os.path.abspath(work.rstrip("/")) + ".lsp"
    with open(scenario, "w", encoding="utf-8") as f:
        f.write(text)
    result = subprocess.run(
        [tabrik, "test", "--quiet", "--search-path", work, scenario],
        cwd=work, capture_output=True, text=True,
    )
    return scenario, result


def run(tabrik, work, page_path):
    page = Page(page_path)
    if not page.example_lines:
        print(f"{page_path}: no examples to run")
        return 1
    if not prepare(tabrik, work, page, page_path):
        return 1
    scenario, result = run_scenario(tabrik, work, page.scenario())
    sys.stdout.write(result.stdout.replace(scenario, page_path))
    sys.stderr.write(result.stderr.replace(scenario, page_path))
    return result.returncode


HOLE = ";=>?"
HOLE_REPORT = "  expected output:\n      ;/?\n"  # how `tabrik test` shows the ";/?" of a hole


def fill(tabrik, work, page_path):
    """Each form followed by the expectation ";=>?" is run with ";/?" added, so that
    `tabrik test` reports both its value (or error) and its output; the report
    replaces the hole. Returns the number of holes left unfilled."""
    page = Page(page_path)
    holes = [n for n in sorted(page.example_lines) if page.lines[n - 1].strip() == HOLE]
    if not holes or not prepare(tabrik, work, page, page_path):
        return len(holes)
    lines, page_line = [], {}
    for number, line in enumerate(page.scenario().split("\n"), start=1):
        lines.append(line)
        page_line[len(lines)] = number
        if number in holes:
            lines.append(";/?")
    scenario, result = run_scenario(tabrik, work, "\n".join(lines))
    reports = re.split(r"(?=" + re.escape(scenario) + r":\d+: FAILED )", result.stdout)
    answers = {}  # the page line of a form with a hole -> its expectation lines
    for report in reports:
        head = re.match(re.escape(scenario) + r":(\d+): FAILED ", report)
        if not head or HOLE_REPORT not in report:
            continue
        output = re.search(r"  actual output:((?:\n      ;/.*)*)", report)
        printed = [l[len("      ;/"):] for l in output.group(1).split("\n")[1:]] if output else []
        error = re.search(r"  actual error:   (.*)", report)
        value = re.search(r"  actual value:   (.*)", report)
        ending = ";!" + error.group(1) if error else ";=>" + value.group(1)
        answers[page_line[int(head.group(1))]] = [";/" + l for l in printed] + [ending]
    unfilled, text = 0, []
    for number, line in enumerate(page.lines, start=1):
        if number not in holes:
            text.append(line)
            continue
        form = max((start for start in answers if start < number), default=None)
        if form is None:
            text.append(line)
            unfilled += 1
            continue
        text.extend(answers.pop(form))
    with open(page_path, "w", encoding="utf-8") as f:
        f.write("\n".join(text))
    for report in reports:
        if report.startswith(scenario) and HOLE_REPORT not in report:
            sys.stdout.write(report.replace(scenario, page_path))
    return unfilled


def skeleton(list_path, name):
    function = {f.name: f for f in read_function_list(list_path)}.get(name)
    if function is None:
        raise SystemExit(f"'{name}' is not in {list_path}")
    return f"""## {name}

One sentence: what it does.

```
({name} argument [optional])
```

| Argument | Type | |
|---|---|---|
| argument | string | Required. What it is. |
| optional | integer | Optional, default 0. What it changes. |

**Result.** On success: ... When there is nothing to find: ... On failure: ...

**Wrong arguments.** ...

**Related.** ...

```lisp
({name} "value")
;=>?
```
"""


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    c = commands.add_parser("check")
    c.add_argument("--list", required=True)
    c.add_argument("--pages", required=True)
    r = commands.add_parser("run")
    r.add_argument("--tabrik", required=True)
    r.add_argument("--work", required=True)
    r.add_argument("page")
    e = commands.add_parser("extract")
    e.add_argument("page")
    f = commands.add_parser("fill")
    f.add_argument("--tabrik", required=True)
    f.add_argument("--work", required=True)
    f.add_argument("page")
    s = commands.add_parser("skeleton")
    s.add_argument("--list", required=True)
    s.add_argument("name")
    args = parser.parse_args(argv)
    # The host runs in the work folder: paths given relative to here must still hold.
    if getattr(args, "tabrik", None) and os.sep in args.tabrik:
        args.tabrik = os.path.abspath(args.tabrik)
    if getattr(args, "work", None):
        args.work = os.path.abspath(args.work)
    if args.command == "check":
        problems = check(args.list, args.pages)
        for problem in problems:
            print(problem)
        if problems:
            print(f"{len(problems)} problem(s): the reference does not follow {args.list}")
            return 1
        print("the reference covers the function list")
        return 0
    if args.command == "run":
        return run(args.tabrik, args.work, args.page)
    if args.command == "fill":
        unfilled = fill(args.tabrik, args.work, args.page)
        if unfilled:
            print(f"{unfilled} expectation(s) {HOLE} left: their forms did not run")
        return 1 if unfilled else 0
    if args.command == "extract":
        sys.stdout.write(Page(args.page).scenario())
        return 0
    sys.stdout.write(skeleton(args.list, args.name))
    function = {f.name: f for f in read_function_list(args.list)}[args.name]
    print(f"\nPut it on docs/functions/{function.family}.md and link it from the index as "
          f"[{args.name}]({function.family}.md#{anchor(args.name)}).", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
