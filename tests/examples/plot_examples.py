#!/usr/bin/python3
"""The examples plot their result, and `tabrik plot` takes its settings.

  plot_examples.py TABRIK EXAMPLES_DIR WORKDIR

Each example runs in a fresh folder with --plot to an SVG: the picture must hold drawn
paths in the colours the example uses. Then `tabrik plot` plots the ducts example's
saved drawing on an A4 sheet seen from the south-west (a landscape page with shaded,
filled faces), and refuses settings it does not know with exit code 2 and a message.
"""
import os
import re
import shutil
import subprocess
import sys

tabrik, examples, work = sys.argv[1:4]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def drawn_paths(svg):
    """The style of every path that strokes or fills in a colour (glyphs left out)."""
    return [s for s, _ in drawn(svg)]


def drawn(svg):
    return [(s, d) for s, d in re.findall(r'<path[^>]*style="([^"]*)"[^>]*d="([^"]*)"', svg)
            if "stroke:rgb(" in s or "fill:rgb(" in s]


def pieces(svg):
    """How many separate strokes and areas were drawn (strokes of one pen share a path)."""
    return sum(d.count("M ") for _, d in drawn(svg))


# What each example's picture must show: at least this many pieces drawn, and these
# colours among them (cairo writes colours as percentages).
cases = {
    "ducts": (100, []),  # the solids' mesh edges seen from above
    "jigs": (8, []),
    "leaders": (4, ["rgb(0%,100%,0%)"]),  # two leaders of two legs on layer NOTES, green
}
for name, (least, colours) in cases.items():
    folder = os.path.join(work, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    run = subprocess.run([tabrik, "run", "--quiet", os.path.join(examples, name + ".lsp"),
                          "--plot", "picture.svg", "--plot-width", "400"],
                         cwd=folder, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                         timeout=600)
    check(run.returncode == 0, "%s: exit %d: %s" % (name, run.returncode, run.stderr[-500:]))
    path = os.path.join(folder, "picture.svg")
    if not os.path.exists(path):
        failures.append("%s: no picture" % name)
        continue
    svg = open(path).read()
    paths = drawn_paths(svg)
    check(pieces(svg) >= least, "%s: %d pieces drawn, expected %d or more" % (name, pieces(svg), least))
    for colour in colours:
        check(any(colour in p for p in paths), "%s: nothing drawn in %s" % (name, colour))

# The ducts example saved its drawing: plot it on A4 from the south-west.
drawing = os.path.join(work, "ducts", "ducts.dxf")
check(os.path.exists(drawing), "ducts: no drawing saved")
if os.path.exists(drawing):
    out = os.path.join(work, "ducts-sw.svg")
    run = subprocess.run([tabrik, "plot", "--plot-paper", "A4", "--plot-view", "sw", drawing, out],
                         capture_output=True, text=True, timeout=600)
    check(run.returncode == 0, "plot A4 sw: exit %d: %s" % (run.returncode, run.stderr))
    if os.path.exists(out):
        svg = open(out).read()
        check('width="842pt" height="595pt"' in svg, "plot A4 sw: not a landscape A4 page")
        check(any("fill:rgb(" in p for p in drawn_paths(svg)), "plot A4 sw: no shaded faces")

    for option, value, message in [("--plot-view", "up", "unknown view up"),
                                   ("--plot-paper", "B9", "unknown paper size B9"),
                                   ("--plot-scale", "1:0", "the scale must be"),
                                   ("--plot-window", "1,2,3", "the window must be")]:
        run = subprocess.run([tabrik, "plot", option, value, drawing, out],
                             capture_output=True, text=True, timeout=60)
        check(run.returncode == 2, "%s %s: exit %d, expected 2" % (option, value, run.returncode))
        check(message in run.stderr, "%s %s: said %r" % (option, value, run.stderr))

for failure in failures:
    print(failure, file=sys.stderr)
sys.exit(1 if failures else 0)
