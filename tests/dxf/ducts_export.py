#!/usr/bin/python3
"""The ducts example end to end. Runs examples/ducts.lsp in a folder of its own, then: both
DXF files it saves pass the strict check (dxf_check.py); ezdxf, which knows no NV_HVACSOLID
class, finds 3D faces in the exploded file where the solids were (within the solids'
overall box); and the STEP file read back holds as many solids and the same volume as the
drawing.
Usage: ducts_export.py TABRIK EXAMPLE WORKDIR. Exit status 1 on any problem, 2 when ezdxf
is missing."""
import os
import re
import subprocess
import sys

try:
    import ezdxf
except ImportError:
    print("ezdxf missing")
    sys.exit(2)


def main(tabrik, example, work):
    os.makedirs(work, exist_ok=True)
    for name in ("ducts.dxf", "ducts-plain.dxf", "ducts.step"):
        if os.path.exists(os.path.join(work, name)):
            os.remove(os.path.join(work, name))
    run = subprocess.run([tabrik, "run", "--quiet", os.path.abspath(example)], cwd=work,
                         capture_output=True, text=True)
    problems = []
    if run.returncode != 0:
        problems.append("example failed (%d):\n%s%s" % (run.returncode, run.stdout, run.stderr))
    check = os.path.join(os.path.dirname(os.path.abspath(__file__)), "dxf_check.py")
    for name in ("ducts.dxf", "ducts-plain.dxf"):
        strict = subprocess.run([sys.executable, check, os.path.join(work, name)],
                                capture_output=True, text=True)
        if strict.returncode != 0:
            problems.append("%s fails the strict check:\n%s" % (name, strict.stdout))
    if not problems:
        solids = [e for e in ezdxf.readfile(os.path.join(work, "ducts.dxf")).modelspace()
                  if e.dxftype() == "NV_HVACSOLID"]
        faces = [e for e in ezdxf.readfile(os.path.join(work, "ducts-plain.dxf")).modelspace()
                 if e.dxftype() == "3DFACE"]
        if len(faces) < 12 * 13:
            problems.append("exploded file: %d 3D faces for 13 solids" % len(faces))
        # The run lies in x 0..330, y -20..220, rods from z 0 to 200.
        for face in faces:
            for v in (face.dxf.vtx0, face.dxf.vtx1, face.dxf.vtx2, face.dxf.vtx3):
                if not (-20 <= v[0] <= 340 and -30 <= v[1] <= 230 and -1 <= v[2] <= 201):
                    problems.append("a 3D face corner at %s lies outside the run" % (v,))
                    break
        total = re.search(r'total volume of the solids: "([0-9.]+)"', run.stdout)
        step = re.search(r"STEP read back \(solids \. volume\): \((\d+) \. ([0-9.]+)\)", run.stdout)
        in_step = re.search(r"solids in ducts.step: (\d+)", run.stdout)
        if not (total and step and in_step):
            problems.append("example output lacks its volumes:\n" + run.stdout)
        else:
            if int(step.group(1)) != int(in_step.group(1)) or int(in_step.group(1)) != 13:
                problems.append("STEP solids: wrote %s, read %s" % (in_step.group(1), step.group(1)))
            if abs(float(step.group(2)) - float(total.group(1))) > 1e-5 * float(total.group(1)):
                problems.append("STEP volume %s, drawing %s" % (step.group(2), total.group(1)))
        if len(solids) != 13:
            problems.append("ducts.dxf holds %d solids, not 13" % len(solids))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
