#!/usr/bin/env python3
"""Converting an Access file against the floor that only reads it.

Times `tabrik convert-mdb` on an Access file (default: Northwind) against `mdb-export`
of every one of its tables to CSV (the same library reading every record, writing
nothing), in one run, alternating, and reports processor time (user + system of the
child processes, which a loaded machine disturbs least) and the ratio.

usage: bench/access_convert.py [TABRIK] [FILE.mdb] [ROUNDS]
"""
import os
import resource
import shutil
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
tabrik = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "build", "tabrik")
source = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "tests", "dao", "access", "nwind.mdb")
rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 5


def child_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def timed(action):
    before = child_cpu()
    action()
    return child_cpu() - before


tables = subprocess.run(["mdb-tables", "-1", source], check=True, capture_output=True,
                        text=True).stdout.split("\n")
tables = [t for t in tables if t]
work = tempfile.mkdtemp(prefix="access_bench_")


def convert(n=[0]):
    n[0] += 1
    out = os.path.join(work, "c%d.mdb" % n[0])
    subprocess.run([tabrik, "convert-mdb", source, out], check=True, stdout=subprocess.DEVNULL)


def export():
    for t in tables:
        subprocess.run(["mdb-export", source, t], check=True, stdout=subprocess.DEVNULL)


try:
    convert()  # warm the page cache and the binaries
    export()
    ours, floor = [], []
    for _ in range(rounds):
        ours.append(timed(convert))
        floor.append(timed(export))
    best_ours, best_floor = min(ours), min(floor)
    peak_kb = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    print("file: %s (%d bytes, %d tables)" % (source, os.path.getsize(source), len(tables)))
    print("convert-mdb  cpu best of %d: %.3f s" % (rounds, best_ours))
    print("mdb-export   cpu best of %d: %.3f s (every table to CSV)" % (rounds, best_floor))
    print("ratio convert/export: %.2f" % (best_ours / best_floor))
    print("peak resident set of any child: %d KB" % peak_kb)
finally:
    shutil.rmtree(work, ignore_errors=True)
