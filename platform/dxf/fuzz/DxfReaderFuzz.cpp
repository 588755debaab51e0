// libFuzzer target for the DXF reader: any bytes must read to a drawing or to a clear
// failure, never a crash; and a drawing that reads must write a file that reads again
// and writes the same bytes (the host's own files are stable).
// Build: cmake -DTABRIK_FUZZ=ON with clang; run: dxf_fuzz platform/dxf/fuzz/corpus
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "DxfFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  AcDbDatabase db(/*buildDefaultDrawing=*/false);
  std::wstring message;
  if (tabrik::dxf::readDrawing(&db, std::string_view(reinterpret_cast<const char*>(data), size), &message) !=
      Acad::eOk)
    return 0;
  std::string first;
  if (tabrik::dxf::writeDrawing(&db, first) != Acad::eOk) std::abort();
  AcDbDatabase again(/*buildDefaultDrawing=*/false);
  if (tabrik::dxf::readDrawing(&again, first, &message) != Acad::eOk) std::abort();
  std::string second;
  tabrik::dxf::writeDrawing(&again, second);
  if (first != second) {
    // For reproducing a failure: both writes, to compare them.
    if (const char* dump = std::getenv("TABRIK_FUZZ_DUMP")) {
      if (FILE* f = std::fopen((std::string(dump) + ".1").c_str(), "wb")) std::fwrite(first.data(), 1, first.size(), f), std::fclose(f);
      if (FILE* f = std::fopen((std::string(dump) + ".2").c_str(), "wb")) std::fwrite(second.data(), 1, second.size(), f), std::fclose(f);
    }
    std::abort();
  }
  return 0;
}
