#!/usr/bin/python3
"""The leaders example end to end. Runs examples/leaders.lsp in a folder of its own, then:
both files it saves pass the strict check (dxf_check.py); ezdxf, which knows no NVLEADER
class, finds in the exploded file each leader's two legs and its symbol, where the leader's
own record (read from the raw tags of the other file) puts them; and the host reopens the
drawing and writes every leader back with the same groups.
Usage: leaders_export.py TABRIK EXAMPLE WORKDIR. Exit status 1 on any problem, 2 when
ezdxf is missing."""
import math
import os
import subprocess
import sys

try:
    import ezdxf
except ImportError:
    print("ezdxf missing")
    sys.exit(2)

TOLERANCE = 1e-9


def raw_tags(path):
    with open(path, "rb") as f:
        lines = f.read().decode("cp1252").split("\n")
    return [(int(lines[i].strip()), lines[i + 1].rstrip("\r")) for i in range(0, len(lines) - 1, 2)]


def leader_records(path):
    """Each NVLEADER entity's groups after its subclass marker, as {code: value}."""
    records, current, inside = [], None, False
    for code, value in raw_tags(path):
        if code == 0:
            current = {"groups": []} if value == "NVLEADER" else None
            if current is not None:
                records.append(current)
            inside = False
            continue
        if current is None:
            continue
        current["groups"].append((code, value))
        if code == 8:
            current["layer"] = value
        if code == 100 and value == "NVLeader":
            inside = True
        elif inside:
            current[code] = float(value)
    return records


def point(record, code):
    return (record[code], record[code + 10], record[code + 20])


def expected_pieces(record):
    """The legs and the symbol placement, worked out from the record alone."""
    start, middle, end = point(record, 10), point(record, 11), point(record, 12)
    offset = record[40]
    theta = math.atan2(middle[1] - end[1], middle[0] - end[0])
    leg_end = (end[0] + offset * math.cos(theta), end[1] + offset * math.sin(theta), end[2])
    rotation = math.degrees(math.atan2(end[1] - middle[1], end[0] - middle[0])) % 360.0
    return [(start, middle), (middle, leg_end)], (end, rotation, offset)


def close(a, b, tolerance=1e-6):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def main():
    tabrik, example, work = (os.path.abspath(path) for path in sys.argv[1:4])
    checker = os.path.join(os.path.dirname(os.path.abspath(__file__)), "dxf_check.py")
    os.makedirs(work, exist_ok=True)
    for name in ("leaders.dxf", "leaders-plain.dxf", "again.dxf", "TagBubble.dwg"):
        if os.path.exists(os.path.join(work, name)):
            os.remove(os.path.join(work, name))
    problems = []
    run = subprocess.run([tabrik, "run", "--quiet", example], cwd=work, capture_output=True, text=True)
    if run.returncode != 0:
        problems.append("the example failed:\n" + run.stdout + run.stderr)
        print("\n".join(problems))
        return 1

    for name in ("leaders.dxf", "leaders-plain.dxf"):
        check = subprocess.run(["/usr/bin/python3", checker, os.path.join(work, name)],
                               capture_output=True, text=True)
        if check.returncode != 0:
            problems.append(name + " fails the strict check:\n" + check.stdout)

    leaders = leader_records(os.path.join(work, "leaders.dxf"))
    if len(leaders) != 2:
        problems.append("leaders.dxf holds %d leaders, not 2" % len(leaders))

    plain_path = os.path.join(work, "leaders-plain.dxf")
    if any(code == 0 and value == "NVLEADER" for code, value in raw_tags(plain_path)):
        problems.append("the exploded file still holds an NVLEADER")
    doc = ezdxf.readfile(plain_path)
    msp = doc.modelspace()
    lines = list(msp.query("LINE"))
    inserts = list(msp.query("INSERT"))
    if len(lines) != 2 * len(leaders) or len(inserts) != len(leaders):
        problems.append("exploded file: %d lines and %d inserts for %d leaders" %
                        (len(lines), len(inserts), len(leaders)))
    for index, record in enumerate(leaders):
        legs, (position, rotation, scale) = expected_pieces(record)
        for a, b in legs:
            if not any(close(line.dxf.start, a) and close(line.dxf.end, b) and
                       line.dxf.layer == record["layer"] for line in lines):
                problems.append("leader %d: no line %s -> %s on %s" % (index, a, b, record["layer"]))
        found = [i for i in inserts if close(i.dxf.insert, position)]
        if len(found) != 1:
            problems.append("leader %d: %d symbols at %s" % (index, len(found), position))
            continue
        symbol = found[0]
        if symbol.dxf.name != "TagBubble" or "TagBubble" not in doc.blocks:
            problems.append("leader %d: symbol block %s" % (index, symbol.dxf.name))
        elif len(doc.blocks.get("TagBubble").query("CIRCLE")) != 1:
            problems.append("the symbol block lost its circle")
        angle_gap = abs((symbol.dxf.rotation - rotation + 180.0) % 360.0 - 180.0)
        if angle_gap > 1e-4 or abs(symbol.dxf.xscale - scale) > TOLERANCE or \
                abs(symbol.dxf.yscale - scale) > TOLERANCE:
            problems.append("leader %d: symbol turned %g scaled %g, not %g and %g" %
                            (index, symbol.dxf.rotation, symbol.dxf.xscale, rotation, scale))

    # Reopened and written again, the leaders keep every group.
    again = subprocess.run([tabrik, "eval", "--quiet", "--drawing", "leaders.dxf", "--save",
                            "again.dxf", "T"], cwd=work, capture_output=True, text=True)
    if again.returncode != 0:
        problems.append("reopening failed:\n" + again.stdout + again.stderr)
    else:
        before = [r["groups"] for r in leaders]
        after = [r["groups"] for r in leader_records(os.path.join(work, "again.dxf"))]
        if before != after:
            problems.append("the reopened leaders differ:\n%s\n%s" % (before, after))

    print("\n".join(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
