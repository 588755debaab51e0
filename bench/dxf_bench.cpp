// Reading DXF: drawings of many block definitions (each with one line) and of many
// model-space lines, against the raw baseline of walking the same text's lines once.
// The ratio read/raw stays flat as the count grows when no step of the reader is
// quadratic. Run: build/dxf_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "DxfFile.h"
#include "dbmain.h"

namespace {

std::string hex(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", value);
  return buffer;
}

std::string line(int& handle, const std::string& layer) {
  return "  0\nLINE\n  5\n" + hex(handle++) + "\n100\nAcDbEntity\n  8\n" + layer +
         "\n100\nAcDbLine\n 10\n1.0\n 20\n2.0\n 30\n0.0\n 11\n3.0\n 21\n4.0\n 31\n0.0\n";
}

// `blocks` block definitions with a line each, and `lines` lines in model space.
std::string drawing(int blocks, int lines) {
  int handle = 0x100;
  std::string text =
      "  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nBLOCK_RECORD\n  5\n1\n100\nAcDbSymbolTable\n";
  for (int i = 0; i < blocks; ++i)
    text += "  0\nBLOCK_RECORD\n  5\n" + hex(handle++) +
            "\n100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n  2\nB" + std::to_string(i) +
            "\n";
  text += "  0\nENDTAB\n  0\nENDSEC\n  0\nSECTION\n  2\nBLOCKS\n";
  for (int i = 0; i < blocks; ++i) {
    const std::string begin = hex(handle++);
    text += "  0\nBLOCK\n  5\n" + begin + "\n100\nAcDbEntity\n  8\n0\n100\nAcDbBlockBegin\n  2\nB" +
            std::to_string(i) + "\n 70\n0\n 10\n0.0\n 20\n0.0\n 30\n0.0\n";
    text += line(handle, "0");
    const std::string end = hex(handle++);
    text += "  0\nENDBLK\n  5\n" + end + "\n100\nAcDbEntity\n  8\n0\n100\nAcDbBlockEnd\n";
  }
  text += "  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n";
  for (int i = 0; i < lines; ++i) text += line(handle, "0");
  return text + "  0\nENDSEC\n  0\nEOF\n";
}

void read(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    AcDbDatabase db(false);
    benchmark::DoNotOptimize(tabrik::dxf::readDrawing(&db, text));
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}

void raw(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    size_t lines = 0;
    for (char c : text) lines += c == '\n';
    benchmark::DoNotOptimize(lines);
  }
}

void BM_ReadBlocks(benchmark::State& state) {
  read(state, drawing(static_cast<int>(state.range(0)), 0));
}
void BM_RawBlocks(benchmark::State& state) {
  raw(state, drawing(static_cast<int>(state.range(0)), 0));
}
void BM_ReadLines(benchmark::State& state) {
  read(state, drawing(0, static_cast<int>(state.range(0))));
}
void BM_RawLines(benchmark::State& state) {
  raw(state, drawing(0, static_cast<int>(state.range(0))));
}

BENCHMARK(BM_ReadBlocks)->Arg(1000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawBlocks)->Arg(1000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLines)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawLines)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
