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

}  // namespace
