// Whole drawings through DXF: files that other DXF software loads as written (checked
// with ezdxf and a lint of the raw tags), and round trips that change nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <unistd.h>

#include "DxfFile.h"
#include "acutads.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbgroup.h"
#include "dblead.h"
#include "dbmtext.h"
#include "dbpl.h"
#include "dbproxy.h"
#include "dbsymtb.h"
#include "dbxrecrd.h"
#include "rxboiler.h"
#include "sorttab.h"
#include "SampleDrawing.h"

namespace {

std::string tempPath(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/" + name + "-" + std::to_string(::getpid()) + ".dxf";
}

// Runs the strict check on the drawing written to a file; "" when it passes, "skip"
// when ezdxf is missing, else the problems.
std::string strictCheck(AcDbDatabase& db, const char* name) {
  std::string path = tempPath(name);
  if (tabrik::dxf::writeFile(&db, std::wstring(path.begin(), path.end())) != Acad::eOk)
    return "not written";
  std::string checker = std::string(TABRIK_DXF_TEST_DIR) + "/dxf_check.py";
  std::string command = "/usr/bin/python3 " + checker + " " + path + " > " + path + ".log 2>&1";
  int rc = std::system(command.c_str());
  std::ifstream log(path + ".log");
  std::string report((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  if (std::getenv("TABRIK_KEEP_DXF") == nullptr) {
    std::remove(path.c_str());
    std::remove((path + ".log").c_str());
  }
  if (WEXITSTATUS(rc) == 2) return "skip";
  return WEXITSTATUS(rc) == 0 ? "" : report;
}

TEST(DxfDrawing, WrittenFilePassesTheStrictCheck) {
  registerSampleClasses();
  AcDbDatabase db;
  buildSampleDrawing(db);
  std::string problems = strictCheck(db, "strict");
  if (problems == "skip") GTEST_SKIP() << "ezdxf is not installed";
  EXPECT_EQ(problems, "");
}

// A file of other software (the reference sample, with its layouts, plot styles and
// an application's entity this host has no class for) written back by the host.
TEST(DxfDrawing, ForeignFileWrittenBackPassesTheStrictCheck) {
  std::ifstream in(std::string(TABRIK_DXF_TEST_DIR) +
                   "/../../platform/dxf/fuzz/corpus/sample-r2000.dxf");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  AcDbDatabase db(/*buildDefaultDrawing=*/false);
  ASSERT_EQ(tabrik::dxf::readDrawing(&db, text), Acad::eOk);
  std::string problems = strictCheck(db, "foreign");
  if (problems == "skip") GTEST_SKIP() << "ezdxf is not installed";
  EXPECT_EQ(problems, "");
}

TEST(DxfDrawing, WriteReadWriteGivesTheSameBytes) {
  registerSampleClasses();
  AcDbDatabase db;
  buildSampleDrawing(db);
  std::string first;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&db, first), Acad::eOk);
  AcDbDatabase read(/*buildDefaultDrawing=*/false);
  std::wstring message;
  ASSERT_EQ(tabrik::dxf::readDrawing(&read, first, &message), Acad::eOk)
      << std::string(message.begin(), message.end());
  std::string second;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&read, second), Acad::eOk);
  EXPECT_EQ(first, second);
}

// Points, a named group and an xrecord in a dictionary of its own: the file passes the
// strict check and reads back whole.
TEST(DxfDrawing, PointsGroupsAndXrecords) {
  AcDbDatabase db;
  auto append = [&](AcDbEntity* entity) {
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
    AcDbObjectId id;
    space->appendAcDbEntity(id, entity);
    entity->close();
    space->close();
    return id;
  };
  auto* point = new AcDbPoint({1, 2, 3});
  point->setThickness(2);
  point->setEcsRotation(0.5);
  AcDbObjectId pointId = append(point);
  AcDbObjectId lineId = append(new AcDbLine({0, 0, 0}, {5, 0, 0}));

  AcDbDictionary* root = nullptr;
  ASSERT_EQ(db.getNamedObjectsDictionary(root, AcDb::kForWrite), Acad::eOk);
  AcDbObject* groupsObject = nullptr;
  ASSERT_EQ(root->getAt(L"ACAD_GROUP", groupsObject, AcDb::kForWrite), Acad::eOk);
  auto* groups = AcDbDictionary::cast(groupsObject);
  ASSERT_NE(groups, nullptr);
  auto* group = new AcDbGroup(L"Point and line");
  AcDbObjectId groupId;
  ASSERT_EQ(groups->setAt(L"PAIR", group, groupId), Acad::eOk);
  group->append(pointId);
  group->append(lineId);
  group->close();
  groups->close();
  auto* mine = new AcDbDictionary;
  AcDbObjectId mineId;
  ASSERT_EQ(root->setAt(L"MINE", mine, mineId), Acad::eOk);
  auto* record = new AcDbXrecord;
  resbuf* data = acutBuildList(1, L"hello", 40, 1.5, 70, 4, 0);
  ASSERT_EQ(record->setFromRbChain(*data), Acad::eOk);
  acutRelRb(data);
  AcDbObjectId recordId;
  ASSERT_EQ(mine->setAt(L"DATA", record, recordId), Acad::eOk);
  record->close();
  mine->close();
  root->close();
  std::string problems = strictCheck(db, "points-groups");
  if (problems != "skip") {
    EXPECT_EQ(problems, "");
  }
  std::string text;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&db, text), Acad::eOk);
  AcDbDatabase read(/*buildDefaultDrawing=*/false);
  ASSERT_EQ(tabrik::dxf::readDrawing(&read, text), Acad::eOk);
  AcDbDictionary* readRoot = nullptr;
  ASSERT_EQ(read.getNamedObjectsDictionary(readRoot, AcDb::kForRead), Acad::eOk);
  AcDbObject* object = nullptr;
  ASSERT_EQ(readRoot->getAt(L"MINE", object, AcDb::kForRead), Acad::eOk);
  auto* readMine = AcDbDictionary::cast(object);
  ASSERT_NE(readMine, nullptr);
  AcDbObject* recordObject = nullptr;
  ASSERT_EQ(readMine->getAt(L"DATA", recordObject, AcDb::kForRead), Acad::eOk);
  resbuf* chain = nullptr;
  ASSERT_EQ(AcDbXrecord::cast(recordObject)->rbChain(&chain), Acad::eOk);
  ASSERT_NE(chain, nullptr);
  EXPECT_STREQ(chain->resval.rstring, L"hello");
  ASSERT_NE(chain->rbnext, nullptr);
  EXPECT_DOUBLE_EQ(chain->rbnext->resval.rreal, 1.5);
  acutRelRb(chain);
  recordObject->close();
  readMine->close();
  AcDbObject* readGroups = nullptr;
  ASSERT_EQ(readRoot->getAt(L"ACAD_GROUP", readGroups, AcDb::kForRead), Acad::eOk);
  AcDbObject* pairObject = nullptr;
  ASSERT_EQ(AcDbDictionary::cast(readGroups)->getAt(L"PAIR", pairObject, AcDb::kForRead),
            Acad::eOk);
  auto* pair = AcDbGroup::cast(pairObject);
  ASSERT_NE(pair, nullptr);
  EXPECT_STREQ(pair->description(), L"Point and line");
  AcDbObjectIdArray members;
  ASSERT_EQ(pair->allEntityIds(members), 2u);
  AcDbPoint* readPoint = nullptr;
  ASSERT_EQ(acdbOpenObject(readPoint, members[0], AcDb::kForRead), Acad::eOk);
  EXPECT_DOUBLE_EQ(readPoint->position().z, 3);
  EXPECT_DOUBLE_EQ(readPoint->thickness(), 2);
  EXPECT_NEAR(readPoint->ecsRotation(), 0.5, 1e-12);
  readPoint->close();
  pairObject->close();
  readGroups->close();
  readRoot->close();
}

}  // namespace
