// Reading and writing whole drawings (the binary form and DXF), and inserting one
// database into another as a block.
#include <cwchar>
#include <fstream>

#include "db/DatabaseInternal.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "tabrik/DrawingFiling.h"

using namespace tabrik::acad;

namespace {
std::string narrowPath(const ACHAR* fileName) {
  std::string path;
  for (const ACHAR* c = fileName; *c; ++c) {
    wchar_t ch = *c == L'\\' ? L'/' : *c;
    if (ch < 0x80) {
      path += static_cast<char>(ch);
    } else if (ch < 0x800) {
      path += static_cast<char>(0xC0 | (ch >> 6));
      path += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
      path += static_cast<char>(0xE0 | ((ch >> 12) & 0x0F));
      path += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
      path += static_cast<char>(0x80 | (ch & 0x3F));
    }
  }
  return path;
}
}  // namespace

Acad::ErrorStatus AcDbDatabase::readDwgFile(const ACHAR* fileName, int, bool, const ACHAR*) {
  if (fileName == nullptr || fileName[0] == 0) return Acad::eInvalidInput;
  std::ifstream in(narrowPath(fileName), std::ios::binary);
  if (!in) return Acad::eFileNotFound;
  return dxfIn(fileName);
}

Acad::ErrorStatus AcDbDatabase::saveAs(const ACHAR* fileName) { return dxfOut(fileName); }
