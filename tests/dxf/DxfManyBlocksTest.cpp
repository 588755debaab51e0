// A drawing with a hundred thousand block definitions, generated here: reading it
// must not cost time in proportion to the square of the count (a test that is
// quadratic simply runs out of time), and the blocks keep the file's order and names.
#include <gtest/gtest.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

#include "DxfFile.h"
#include "dbsymtb.h"

namespace {

constexpr int kBlocks = 100000;

std::string blockName(int i) { return "Part-" + std::to_string(i); }

std::string hex(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", value);
  return buffer;
}

// Each block: its BLOCK_RECORD in the TABLES section, its BLOCK and ENDBLK in BLOCKS.
std::string manyBlocks(int count) {
  std::string text =
      "  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nBLOCK_RECORD\n  5\n1\n"
      "100\nAcDbSymbolTable\n 70\n0\n";
  int handle = 0x100;
  for (int i = 0; i < count; ++i) {
    text += "  0\nBLOCK_RECORD\n  5\n" + hex(handle++) +
            "\n100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n  2\n" + blockName(i) + "\n";
  }
  text += "  0\nENDTAB\n  0\nENDSEC\n  0\nSECTION\n  2\nBLOCKS\n";
  for (int i = 0; i < count; ++i) {
    // The last name is written in another case: names match without regard to case.
    std::string name = i == count - 1 ? "PART-" + std::to_string(i) : blockName(i);
    const std::string begin = hex(handle++), end = hex(handle++);
    text += "  0\nBLOCK\n  5\n" + begin + "\n100\nAcDbEntity\n  8\n0\n100\nAcDbBlockBegin\n  2\n" +
            name + "\n 70\n0\n 10\n0.0\n 20\n0.0\n 30\n0.0\n  0\nENDBLK\n  5\n" + end +
            "\n100\nAcDbEntity\n  8\n0\n100\nAcDbBlockEnd\n";
  }
  return text + "  0\nENDSEC\n  0\nEOF\n";
}

TEST(DxfManyBlocks, AHundredThousandBlockDefinitionsReadInFileOrder) {
  AcDbDatabase db(false);
  std::wstring message;
  ASSERT_EQ(tabrik::dxf::readDrawing(&db, manyBlocks(kBlocks), &message), Acad::eOk)
      << message.size();
  AcDbBlockTable* blocks = nullptr;
  ASSERT_EQ(db.getBlockTable(blocks, AcDb::kForRead), Acad::eOk);
  // Every block once, in the file's order, after none of the layout blocks the file
  // lacked (they are added at the end).
  std::vector<std::wstring> names;
  AcDbBlockTableIterator* it = nullptr;
  blocks->newIterator(it);
  for (; !it->done(); it->step()) {
    AcDbBlockTableRecord* record = nullptr;
    ASSERT_EQ(it->getRecord(record), Acad::eOk);
    names.push_back(record->name());
    record->close();
  }
  delete it;
  ASSERT_GE(names.size(), static_cast<size_t>(kBlocks));
  for (int i : {0, 1, 4711, kBlocks / 2, kBlocks - 1}) {
    std::string expected = blockName(i);
    EXPECT_EQ(names[static_cast<size_t>(i)], std::wstring(expected.begin(), expected.end()));
    std::wstring upper(expected.begin(), expected.end());
    for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
    AcDbObjectId byName, byUpper;
    EXPECT_EQ(blocks->getAt(names[static_cast<size_t>(i)].c_str(), byName), Acad::eOk);
    EXPECT_EQ(blocks->getAt(upper.c_str(), byUpper), Acad::eOk);
    EXPECT_EQ(byName, byUpper);
  }
  // The last BLOCK named its record in another case: it filled that record, no other.
  AcDbBlockTableRecord* last = nullptr;
  ASSERT_EQ(blocks->getAt(names[kBlocks - 1].c_str(), last, AcDb::kForRead), Acad::eOk);
  EXPECT_FALSE(last->blockBeginId().isNull());
  last->close();
  EXPECT_TRUE(blocks->has(L"*Model_Space"));
  EXPECT_FALSE(blocks->has(L"Part-100000"));
  blocks->close();
}

}  // namespace
