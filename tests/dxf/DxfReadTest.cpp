// Reading DXF: what a drawing holds after a round trip, classes that are not
// registered, malformed files, and the fuzzing corpus replayed.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "DxfFile.h"
#include "acutads.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbgroup.h"
#include "dbmtext.h"
#include "dbproxy.h"
#include "dbsymtb.h"
#include "tabrik/DrawingFiling.h"

namespace {

std::string here() { return TABRIK_DXF_TEST_DIR; }

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

AcDbObjectId firstOfClass(AcDbDatabase& db, AcRxClass* cls) {
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, db.modelSpaceId(), AcDb::kForRead);
  AcDbObjectId found;
  for (const AcDbObjectId& id : space->entityIds())
    if (id.objectClass()->isDerivedFrom(cls)) {
      found = id;
      break;
    }
  space->close();
  return found;
}

TEST(DxfRead, TheReferenceSampleKeepsItsContents) {
  AcDbDatabase db(/*buildDefaultDrawing=*/false);
  std::wstring message;
  std::string text = readText(here() + "/../../platform/dxf/fuzz/corpus/sample-r2000.dxf");
  ASSERT_FALSE(text.empty());
  ASSERT_EQ(tabrik::dxf::readDrawing(&db, text, &message), Acad::eOk)
      << std::string(message.begin(), message.end());
  // The line's extended data, in order and with its types.
  AcDbObjectId lineId = firstOfClass(db, AcDbLine::desc());
  ASSERT_FALSE(lineId.isNull());
  AcDbObject* line = nullptr;
  acdbOpenObject(line, lineId, AcDb::kForRead);
  resbuf* data = line->xData(L"NORVANE");
  ASSERT_NE(data, nullptr);
  const short codes[] = {1001, 1000, 1071, 1000, 1000, 1000, 1040};
  int n = 0;
  for (resbuf* rb = data; rb; rb = rb->rbnext, ++n) EXPECT_EQ(rb->restype, codes[n]);
  EXPECT_EQ(n, 7);
  EXPECT_EQ(data->rbnext->rbnext->resval.rlong, 12);
  acutRelRb(data);
  line->close();
  // The MTEXT joins its chunks and decodes \U+00E9.
  AcDbMText* mtext = nullptr;
  acdbOpenObject(mtext, firstOfClass(db, AcDbMText::desc()), AcDb::kForRead);
  ASSERT_NE(mtext, nullptr);
  // 344 characters in the file, of which "\U+00E9" (7) is one character.
  EXPECT_EQ(mtext->contentsString().size(), 338u);
  EXPECT_NE(mtext->contentsString().find(L"caf\u00e9"), std::wstring::npos);
  mtext->close();
  // The group with its two members, in order.
  AcDbDictionary* groups = nullptr;
  ASSERT_EQ(db.getGroupDictionary(groups), Acad::eOk);
  AcDbObject* object = nullptr;
  ASSERT_EQ(groups->getAt(L"NV_PAIR", object, AcDb::kForRead), Acad::eOk);
  AcDbObjectIdArray members;
  AcDbGroup::cast(object)->allEntityIds(members);
  EXPECT_EQ(members.length(), 2);
  object->close();
  groups->close();
  // The unregistered NVLEADER is kept as a proxy with its class.
  auto* proxy = AcDbProxyEntity::cast(nullptr);
  AcDbObjectId proxyId = firstOfClass(db, AcDbProxyEntity::desc());
  ASSERT_FALSE(proxyId.isNull());
  acdbOpenObject(proxy, proxyId, AcDb::kForRead);
  EXPECT_EQ(proxy->originalDxfName(), L"NVLEADER");
  EXPECT_EQ(proxy->originalClassName(), L"NVLeader");
  proxy->close();
  // The block TAG's reference has its attribute.
  AcDbBlockReference* insert = nullptr;
  acdbOpenObject(insert, firstOfClass(db, AcDbBlockReference::desc()), AcDb::kForRead);
  ASSERT_NE(insert, nullptr);
  AcDbObjectIterator* it = insert->attributeIterator();
  ASSERT_FALSE(it->done());
  AcDbAttribute* attribute = nullptr;
  acdbOpenObject(attribute, it->objectId(), AcDb::kForRead);
  EXPECT_STREQ(attribute->textStringConst(), L"42");
  attribute->close();
  delete it;
  insert->close();
}

TEST(DxfRead, ProxiesWriteBackWhatTheyRead) {
  std::string text = readText(here() + "/../../platform/dxf/fuzz/corpus/sample-r2000.dxf");
  AcDbDatabase first(false);
  ASSERT_EQ(tabrik::dxf::readDrawing(&first, text), Acad::eOk);
  std::string written;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&first, written), Acad::eOk);
  // The custom entity and its class travel through unchanged.
  EXPECT_NE(written.find("NVLEADER\n  2\nNVLeader\n  3\n\"Leader|Norvane Software, "
                         "Inc|www.example.com\"\n 90\n1\n"),
            std::string::npos);
  EXPECT_NE(written.find("100\nNVLeader\n 10\n30.0\n 20\n-2.0\n 30\n0.0\n 11\n36.0"),
            std::string::npos);
  AcDbDatabase second(false);
  ASSERT_EQ(tabrik::dxf::readDrawing(&second, written), Acad::eOk);
  std::string again;
  tabrik::dxf::writeDrawing(&second, again);
  EXPECT_EQ(written, again);
}

TEST(DxfRead, MalformedFilesFailWithTheLine) {
  struct Case {
    const char* name;
    const char* text;
    const char* where;
  } cases[] = {
      {"not a group code", "  0\nSECTION\nxx\nENTITIES\n", "line 3"},
      {"value missing", "  0\nSECTION\n  2\n", "line 3"},
      {"no EOF", "  0\nSECTION\n  2\nENTITIES\n  0\nENDSEC\n", "EOF"},
      {"no ENDSEC", "  0\nSECTION\n  2\nENTITIES\n  0\nEOF\n", "ENDSEC"},
      {"bad real",
       "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  5\nA\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine\n "
       "10\n5,0\n 20\n1\n  0\nENDSEC\n  0\nEOF\n",
       "line 15"},
      {"y not after x",
       "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  5\nA\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine\n "
       "10\n5\n 30\n1\n  0\nENDSEC\n  0\nEOF\n",
       "line 15"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AcDbDatabase db(false);
    std::wstring message;
    EXPECT_EQ(tabrik::dxf::readDrawing(&db, c.text, &message), Acad::eDwgNotRecoverable);
    std::string narrow(message.begin(), message.end());
    EXPECT_NE(narrow.find(c.where), std::string::npos) << narrow;
  }
}

TEST(DxfRead, AFileWithOnlyEntitiesGetsWhatEveryDrawingHas) {
  const char* text =
      "  0\nSECTION\n  2\nENTITIES\n  0\nCIRCLE\n  5\n2F\n100\nAcDbEntity\n  "
      "8\nWALLS\n100\nAcDbCircle\n 10\n1\n 20\n2\n"
      " 40\n3\n  0\nENDSEC\n  0\nEOF\n";
  AcDbDatabase db(false);
  ASSERT_EQ(tabrik::dxf::readDrawing(&db, text), Acad::eOk);
  AcDbCircle* circle = nullptr;
  ASSERT_EQ(acdbOpenObject(circle, firstOfClass(db, AcDbCircle::desc()), AcDb::kForRead),
            Acad::eOk);
  EXPECT_DOUBLE_EQ(circle->radius(), 3.0);
  EXPECT_EQ(circle->handle().value(), 0x2Fu);
  ACHAR* layer = circle->layer();
  EXPECT_STREQ(layer, L"0");  // WALLS is no layer of the file: the entity stays on 0
  delete[] layer;
  circle->close();
  EXPECT_GT(db.handseed().value(), 0x2Fu);
  EXPECT_FALSE(db.groupDictionaryId().isNull());
  AcDbLinetypeTable* linetypes = nullptr;
  db.getLinetypeTable(linetypes);
  EXPECT_TRUE(linetypes->has(L"Continuous"));
  linetypes->close();
}

TEST(DxfRead, ReadingNeedsAnEmptyDatabase) {
  AcDbDatabase db;  // holds the default drawing already
  EXPECT_EQ(tabrik::dxf::readDrawing(&db, "  0\nEOF\n"), Acad::eWrongDatabase);
}

// Every file the fuzzer kept (and every input that once broke the reader) reads to a
// drawing or fails cleanly; one that reads writes a file that reads back the same.
TEST(DxfRead, FuzzCorpusReplays) {
  std::string dir = here() + "/../../platform/dxf/fuzz/corpus";
  DIR* d = opendir(dir.c_str());
  ASSERT_NE(d, nullptr);
  int files = 0;
  while (dirent* entry = readdir(d)) {
    if (entry->d_name[0] == '.') continue;
    SCOPED_TRACE(entry->d_name);
    ++files;
    std::string text = readText(dir + "/" + entry->d_name);
    AcDbDatabase db(false);
    if (tabrik::dxf::readDrawing(&db, text) != Acad::eOk) continue;
    std::string first, second;
    ASSERT_EQ(tabrik::dxf::writeDrawing(&db, first), Acad::eOk);
    AcDbDatabase again(false);
    ASSERT_EQ(tabrik::dxf::readDrawing(&again, first), Acad::eOk);
    tabrik::dxf::writeDrawing(&again, second);
    EXPECT_EQ(first, second);
  }
  closedir(d);
  EXPECT_GE(files, 4);
}

}  // namespace

namespace {

// Entities whose handle is missing, zero, not a number or another object's are kept
// under handles of their own, and a drawing written afterwards holds every one of them.
TEST(DxfRead, EntitiesWithoutUsableHandlesGetNewOnes) {
  auto circle = [](const char* handleGroups, const char* radius) {
    return std::string("  0\nCIRCLE\n") + handleGroups +
           "100\nAcDbEntity\n  8\n0\n100\nAcDbCircle\n 10\n0\n 20\n0\n 30\n0\n 40\n" + radius +
           "\n";
  };
  struct Case {
    const char* what;
    const char* handleGroups;
  } cases[] = {
      {"no handle", ""},
      {"handle zero", "  5\n0\n"},
      {"not a handle", "  5\nXYZ\n"},
      {"another entity's handle", "  5\n2F\n"},
  };
  std::string text = "  0\nSECTION\n  2\nENTITIES\n" + circle("  5\n2F\n", "1");
  int radius = 2;
  for (const Case& c : cases) text += circle(c.handleGroups, std::to_string(radius++).c_str());
  text += "  0\nENDSEC\n  0\nEOF\n";

  AcDbDatabase db(false);
  std::wstring message;
  ASSERT_EQ(tabrik::dxf::readDrawing(&db, text, &message), Acad::eOk);
  EXPECT_EQ(message, L"");
  auto radiiAndHandles = [](AcDbDatabase& drawing) {
    std::map<double, std::uint64_t> found;
    AcDbBlockTableRecord* space = nullptr;
    EXPECT_EQ(acdbOpenObject(space, drawing.modelSpaceId(), AcDb::kForRead), Acad::eOk);
    for (const AcDbObjectId& id : space->entityIds()) {
      AcDbCircle* c = nullptr;
      if (acdbOpenObject(c, id, AcDb::kForRead) != Acad::eOk) continue;
      found[c->radius()] = c->handle().value();
      c->close();
    }
    space->close();
    return found;
  };
  std::map<double, std::uint64_t> read = radiiAndHandles(db);
  ASSERT_EQ(read.size(), 1 + std::size(cases));
  std::set<std::uint64_t> handles;
  for (const auto& [r, handle] : read) {
    EXPECT_NE(handle, 0u) << "radius " << r;
    handles.insert(handle);
  }
  EXPECT_EQ(handles.size(), read.size());  // each its own
  EXPECT_EQ(read[1.0], 0x2Fu);             // the first holder keeps its handle

  std::string written;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&db, written), Acad::eOk);
  AcDbDatabase again(false);
  ASSERT_EQ(tabrik::dxf::readDrawing(&again, written), Acad::eOk);
  EXPECT_EQ(radiiAndHandles(again), read);
}

}  // namespace

namespace {

// Through the database's own readDwgFile, as the host opens drawings: the result code
// stays the reader's and the reason is kept on the database for the user.
TEST(DxfRead, AFileThatCannotBeReadKeepsItsLineAndReason) {
  tabrik::dxf::install();
  char folder[] = "/tmp/tabrik_dxf_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  struct Case {
    const char* text;
    Acad::ErrorStatus status;
    const wchar_t* message;
  } cases[] = {
      {"  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  5\nA\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine\n "
       "10\n5,0\n 20\n1\n  0\nENDSEC\n  0\nEOF\n",
       Acad::eDwgNotRecoverable, L"line 15: a number was expected in group 10"},
      {"  0\nSECTION\n  2\nENTITIES\n  0\nENDSEC\n", Acad::eDwgNotRecoverable,
       L"line 5: the file has no EOF"},
      {"  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n1\n 20\n2\n  0\nENDSEC\n  0\nEOF\n",
       Acad::eOk,
       L"line 5: a LINE was left out: its subclass markers (group 100) are missing or "
       L"out of order"},
      {"  0\nSECTION\n  2\nENTITIES\n  0\nENDSEC\n  0\nEOF\n", Acad::eOk, L""},
  };
  std::string path = std::string(folder) + "/drawing.dxf";
  for (const Case& c : cases) {
    std::ofstream(path, std::ios::binary) << c.text;
    AcDbDatabase db(false);
    std::wstring wide(path.begin(), path.end());
    EXPECT_EQ(db.readDwgFile(wide.c_str()), c.status);
    EXPECT_EQ(tabrik::acad::readMessage(&db), c.message);
  }
  std::remove(path.c_str());
  rmdir(folder);
}

}  // namespace
