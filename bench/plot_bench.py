#!/usr/bin/python3
"""Plotting a large drawing to PNG: `tabrik plot` against ezdxf's drawing add-on
(matplotlib backend), on the same DXF file, timed in the same run.

  bench/plot_bench.py [--scale S] [--tabrik build/tabrik] [--width 2000]

The drawing: 1 000 000 lines and 100 000 multi-line texts (times S), laid out on a
square grid of cells, each cell a short line and every tenth cell a text of three
words. The DXF is written once by ezdxf and kept in /tmp for later runs.

Prints the wall-clock and processor seconds of each side (the plotters run as child
processes; processor time is theirs alone) and the ratios ezdxf / tabrik. Read the
processor ratio on a shared machine.
"""
import argparse
import math
import os
import resource
import subprocess
import sys
import time

import ezdxf


def build(path, lines, mtexts):
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    side = max(1, int(math.ceil(math.sqrt(lines))))
    for i in range(lines):
        x, y = i % side, i // side
        # A short stroke in each cell, leaning one of four ways.
        dx, dy = [(0.8, 0.0), (0.0, 0.8), (0.6, 0.6), (0.6, -0.6)][i % 4]
        msp.add_line((x, y + 0.2, 0), (x + dx, y + 0.2 + dy, 0), dxfattribs={"color": 1 + i % 7})
    step = max(1, lines // max(1, mtexts))
    for k in range(mtexts):
        i = k * step
        x, y = i % side, i // side
        msp.add_mtext("Cell %d here" % i,
                      dxfattribs={"insert": (x, y + 1, 0), "char_height": 0.3, "width": 3})
    doc.saveas(path)


def timed(command):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    if result.returncode != 0:
        sys.exit("failed: %s\n%s" % (" ".join(command), result.stderr[-2000:]))
    return wall, cpu


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--scale", type=float, default=1.0)
    parser.add_argument("--tabrik", default="build/tabrik")
    parser.add_argument("--width", type=int, default=2000)
    parser.add_argument("--skip-ezdxf", action="store_true")
    args = parser.parse_args()
    lines = int(1_000_000 * args.scale)
    mtexts = int(100_000 * args.scale)
    path = "/tmp/tabrik_plot_bench_%d_%d.dxf" % (lines, mtexts)
    if not os.path.exists(path):
        start = time.perf_counter()
        build(path, lines, mtexts)
        print("built %s in %.1f s" % (path, time.perf_counter() - start))
    print("drawing: %d lines, %d mtexts, %.1f MB" % (lines, mtexts, os.path.getsize(path) / 1e6))

    out = "/tmp/tabrik_plot_bench_%d_tabrik.png" % lines
    t_wall, t_cpu = timed([args.tabrik, "plot", "--plot-width", str(args.width), path, out])
    print("tabrik plot:  wall %.2f s  cpu %.2f s" % (t_wall, t_cpu))
    if args.skip_ezdxf:
        return
    # ezdxf's figure is 6.4 inches wide by default: the resolution that makes it as wide.
    dpi = max(10, int(args.width / 6.4))
    out = "/tmp/tabrik_plot_bench_%d_ezdxf.png" % lines
    e_wall, e_cpu = timed(["/usr/bin/python3", "-m", "ezdxf", "draw", "--dpi", str(dpi), "-o", out,
                           path])
    print("ezdxf draw:   wall %.2f s  cpu %.2f s" % (e_wall, e_cpu))
    print("ratio ezdxf/tabrik: wall %.1f  cpu %.1f" % (e_wall / t_wall, e_cpu / t_cpu))


if __name__ == "__main__":
    main()
