// libFuzzer target for the host's drawing-file readers: any bytes must read to a
// drawing or to a clear failure, never a crash. Bytes that begin as the host's binary
// file go to the binary reader, others to the DXF reader, so one corpus drives both.
// Every drawing that reads must be stable: DXF written, read and written again gives
// the same bytes, and the binary file of it reads back to the same DXF.
// Build: cmake -DTABRIK_FUZZ=ON with clang; run: dxf_fuzz platform/dxf/fuzz/corpus
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "DxfFile.h"
#include "tabrik/DrawingFiling.h"

namespace {

// For reproducing a failure: both texts, to compare them.
void dump(const std::string& first, const std::string& second) {
  const char* dump = std::getenv("TABRIK_FUZZ_DUMP");
  if (dump == nullptr) return;
  if (FILE* f = std::fopen((std::string(dump) + ".1").c_str(), "wb")) {
    std::fwrite(first.data(), 1, first.size(), f);
    std::fclose(f);
  }
  if (FILE* f = std::fopen((std::string(dump) + ".2").c_str(), "wb")) {
    std::fwrite(second.data(), 1, second.size(), f);
    std::fclose(f);
  }
}

void expectSame(const std::string& first, const std::string& second) {
  if (first == second) return;
  dump(first, second);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  AcDbDatabase db(/*buildDefaultDrawing=*/false);
  std::wstring message;
  Acad::ErrorStatus status = tabrik::acad::isBinaryDrawing(bytes)
                                 ? tabrik::acad::readBinaryDrawing(&db, bytes)
                                 : tabrik::dxf::readDrawing(&db, bytes, &message);
  if (status != Acad::eOk) return 0;
  std::string first;
  if (tabrik::dxf::writeDrawing(&db, first) != Acad::eOk) std::abort();
  AcDbDatabase again(/*buildDefaultDrawing=*/false);
  if (tabrik::dxf::readDrawing(&again, first, &message) != Acad::eOk) std::abort();
  std::string second;
  tabrik::dxf::writeDrawing(&again, second);
  expectSame(first, second);

  std::string binary;
  if (tabrik::acad::writeBinaryDrawing(&again, binary) != Acad::eOk) std::abort();
  // A seed for the binary half of the corpus, when asked for.
  if (const char* seed = std::getenv("TABRIK_FUZZ_BINARY_SEED")) {
    if (FILE* f = std::fopen(seed, "wb")) {
      std::fwrite(binary.data(), 1, binary.size(), f);
      std::fclose(f);
    }
  }
  AcDbDatabase fromBinary(/*buildDefaultDrawing=*/false);
  if (tabrik::acad::readBinaryDrawing(&fromBinary, binary) != Acad::eOk) std::abort();
  std::string third;
  tabrik::dxf::writeDrawing(&fromBinary, third);
  expectSame(second, third);
  return 0;
}
