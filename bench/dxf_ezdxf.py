#!/usr/bin/python3
"""ezdxf's side of drawing_bench's DxfFiling benchmark, run by it as a subprocess.

  dxf_ezdxf.py write PATH LINES MTEXTS   builds the benchmark's drawing and saves it
  dxf_ezdxf.py read PATH                 reads a DXF file

Prints name=value lines: seconds for each step and the process's peak resident
memory in kilobytes.
"""
import resource
import sys
import time

import ezdxf


def peak_kb():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss


def write(path, lines, mtexts):
    start = time.perf_counter()
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    # The same entities drawing_bench makes through the C++ API.
    for i in range(lines):
        msp.add_line((i, 0, 0), (i, 1, 0))
    for i in range(mtexts):
        msp.add_mtext("Text number %d" % i, dxfattribs={"insert": (i, 2, 0), "char_height": 2.5})
    built = time.perf_counter()
    doc.saveas(path)
    saved = time.perf_counter()
    print("build_s=%f" % (built - start))
    print("save_s=%f" % (saved - built))
    print("peak_kb=%d" % peak_kb())


def read(path):
    start = time.perf_counter()
    doc = ezdxf.readfile(path)
    count = len(doc.modelspace())
    print("read_s=%f" % (time.perf_counter() - start))
    print("entities=%d" % count)
    print("peak_kb=%d" % peak_kb())


if __name__ == "__main__":
    if sys.argv[1] == "write":
        write(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
    else:
        read(sys.argv[2])
