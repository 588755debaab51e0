// The host's binary drawing file: a drawing read back from it is the drawing that was
// written (compared through its DXF text, which names every field of every object),
// damaged files fail with the status that says how, and readDwgFile goes by content.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <unistd.h>

#include "DxfFile.h"
#include "SampleDrawing.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "tabrik/DrawingFiling.h"

namespace {

std::string tempPath(const std::string& name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/binary-" + std::to_string(::getpid()) + "-" + name;
}

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string dxfOf(AcDbDatabase& db) {
  std::string text;
  EXPECT_EQ(tabrik::dxf::writeDrawing(&db, text), Acad::eOk);
  return text;
}

std::string binaryOf(AcDbDatabase& db) {
  std::string bytes;
  EXPECT_EQ(tabrik::acad::writeBinaryDrawing(&db, bytes), Acad::eOk);
  return bytes;
}

TEST(BinaryDrawing, SampleReadsBackAsTheSameDrawing) {
  registerSampleClasses();
  AcDbDatabase db;
  buildSampleDrawing(db);
  std::string bytes = binaryOf(db);
  AcDbDatabase read(/*buildDefaultDrawing=*/false);
  ASSERT_EQ(tabrik::acad::readBinaryDrawing(&read, bytes), Acad::eOk);
  EXPECT_EQ(dxfOf(read), dxfOf(db));
  EXPECT_EQ(binaryOf(read), bytes);
  EXPECT_DOUBLE_EQ(read.dimscale(), 48.0);
}

// The application's entity keeps its own fields, and new objects of the read drawing
// take handles past every handle in the file.
TEST(BinaryDrawing, ApplicationEntityKeepsItsFields) {
  registerSampleClasses();
  AcDbDatabase db;
  buildSampleDrawing(db);
  AcDbDatabase read(/*buildDefaultDrawing=*/false);
  ASSERT_EQ(tabrik::acad::readBinaryDrawing(&read, binaryOf(db)), Acad::eOk);
  AcDbBlockTableRecord* space = nullptr;
  ASSERT_EQ(acdbOpenObject(space, read.modelSpaceId(), AcDb::kForRead), Acad::eOk);
  int markers = 0;
  for (const AcDbObjectId& id : space->entityIds()) {
    DxfTestMarker* marker = nullptr;
    if (acdbOpenObject(marker, id, AcDb::kForRead) != Acad::eOk) continue;
    ++markers;
    EXPECT_EQ(marker->a, AcGePoint3d(30, -2, 0));
    EXPECT_EQ(marker->b, AcGePoint3d(40, 10, 0));
    EXPECT_EQ(marker->offset, 2.0);
    marker->close();
  }
  space->close();
  EXPECT_EQ(markers, 1);
  EXPECT_GE(read.handseed().value(), db.handseed().value());
  auto* line = new AcDbLine({0, 0, 0}, {1, 1, 0});
  AcDbBlockTableRecord* writable = nullptr;
  ASSERT_EQ(acdbOpenObject(writable, read.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
  AcDbObjectId lineId;
  ASSERT_EQ(writable->appendAcDbEntity(lineId, line), Acad::eOk);
  line->close();
  writable->close();
  EXPECT_GE(lineId.handle().value(), db.handseed().value());
}

// Offsets of the preamble: magic 0-7, version 8-11, length 12-19, body from 20.
TEST(BinaryDrawing, DamagedFilesFailWithAClearStatus) {
  AcDbDatabase db;
  const std::string good = binaryOf(db);
  ASSERT_GT(good.size(), 40u);
  struct Case {
    const char* name;
    std::function<std::string(std::string)> damage;
    Acad::ErrorStatus expected;
  };
  const Case cases[] = {
      {"empty", [](std::string) { return std::string(); }, Acad::eBadDwgHeader},
      {"DXF text", [](std::string) { return std::string("  0\nSECTION\n  2\nHEADER\n"); },
       Acad::eBadDwgHeader},
      {"magic only", [](std::string s) { return s.substr(0, 8); }, Acad::eBadDwgHeader},
      {"magic in text mode", [](std::string s) { return s.replace(4, 2, "\n"); },
       Acad::eBadDwgHeader},
      {"later version", [](std::string s) { return s.replace(8, 1, 1, '\x03'); },
       Acad::eBadDwgHeader},
      {"cut after the preamble", [](std::string s) { return s.substr(0, 20); },
       Acad::eDwgNeedsRecovery},
      {"last byte cut", [](std::string s) { return s.substr(0, s.size() - 1); },
       Acad::eDwgNeedsRecovery},
      {"byte appended", [](std::string s) { return s + '\0'; }, Acad::eDwgNeedsRecovery},
      {"class count past the file",
       [](std::string s) { return s.replace(20, 4, "\xff\xff\xff\x7f"); }, Acad::eDwgNeedsRecovery},
      {"class name of another kind", [](std::string s) { return s.replace(24, 1, 1, '\x08'); },
       Acad::eDwgNeedsRecovery},
      {"class name longer than the file",
       [](std::string s) { return s.replace(25, 4, "\xff\xff\xff\x0f"); }, Acad::eDwgNeedsRecovery},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AcDbDatabase read(/*buildDefaultDrawing=*/false);
    EXPECT_EQ(tabrik::acad::readBinaryDrawing(&read, c.damage(good)), c.expected);
  }
}

// Whatever one byte is changed to, or wherever the file ends, reading stops with a
// status and leaves a database that closes cleanly (the sanitizer builds check the
// memory).
TEST(BinaryDrawing, AnyDamagedByteOrCutReadsOrFails) {
  AcDbDatabase db;
  const std::string good = binaryOf(db);
  for (size_t i = 0; i < good.size(); ++i) {
    std::string damaged = good;
    damaged[i] = static_cast<char>(good[i] ^ (i % 2 ? 0x01 : 0x80));
    AcDbDatabase read(/*buildDefaultDrawing=*/false);
    Acad::ErrorStatus status = tabrik::acad::readBinaryDrawing(&read, damaged);
    ASSERT_TRUE(status == Acad::eOk || status == Acad::eDwgNeedsRecovery ||
                status == Acad::eBadDwgHeader)
        << "byte " << i << ": " << status;
    if (i % 3 != 0) continue;
    AcDbDatabase cut(/*buildDefaultDrawing=*/false);
    ASSERT_NE(tabrik::acad::readBinaryDrawing(&cut, good.substr(0, i)), Acad::eOk)
        << "cut at " << i;
  }
}

TEST(BinaryDrawing, ReadingNeedsAnEmptyDatabase) {
  AcDbDatabase db;
  AcDbDatabase full;
  EXPECT_EQ(tabrik::acad::readBinaryDrawing(&full, binaryOf(db)), Acad::eWrongDatabase);
}

// saveAs picks the form by the name; readDwgFile by the content.
TEST(BinaryDrawing, SaveAsAndReadDwgFileChooseTheForm) {
  tabrik::dxf::install();
  registerSampleClasses();
  struct Case {
    const char* name;
    bool binary;
  };
  const Case cases[] = {
      {"Sym.dwg", true}, {"SYM.DWG", true}, {"Sym.dxf", false}, {"Sym.dwg.bak", false}};
  AcDbDatabase db;
  buildSampleDrawing(db);
  const std::string expected = dxfOf(db);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = tempPath(c.name);
    std::wstring wide(path.begin(), path.end());
    ASSERT_EQ(db.saveAs(wide.c_str()), Acad::eOk);
    EXPECT_EQ(tabrik::acad::isBinaryDrawing(fileBytes(path)), c.binary);
    AcDbDatabase read(/*buildDefaultDrawing=*/false);
    ASSERT_EQ(read.readDwgFile(wide.c_str()), Acad::eOk);
    EXPECT_EQ(dxfOf(read), expected);
    std::remove(path.c_str());
  }
}

TEST(BinaryDrawing, TruncatedFileOnDiskNeedsRecovery) {
  tabrik::dxf::install();
  AcDbDatabase db;
  std::string bytes = binaryOf(db);
  std::string path = tempPath("cut.dxf");  // the name does not make it DXF
  {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
  }
  std::wstring wide(path.begin(), path.end());
  AcDbDatabase read(/*buildDefaultDrawing=*/false);
  EXPECT_EQ(read.readDwgFile(wide.c_str()), Acad::eDwgNeedsRecovery);
  std::remove(path.c_str());
}

}  // namespace
