// Streaming DXF: the scanner hands out the same objects from a file read through a
// small buffer as from text in memory; objects the file gives no handle never take
// one a later object names; and a file larger than the memory the reader may use
// reads in full.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "DxfFile.h"
#include "DxfScanner.h"
#include "dbents.h"
#include "dbsymtb.h"

#if defined(__SANITIZE_ADDRESS__)
#define TABRIK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TABRIK_ASAN 1
#endif
#endif

namespace {

// Every object as "code=value@line" groups, then the scanner's problem if any.
std::string objectsOf(tabrik::dxf::TagScanner& scanner) {
  std::string out;
  std::vector<tabrik::dxf::Tag> tags;
  while (scanner.next(tags)) {
    out += "[";
    for (const auto& tag : tags)
      out += std::to_string(tag.code) + "=" + std::string(tag.value) + "@" +
             std::to_string(tag.line) + " ";
    out += "]";
  }
  if (!scanner.problem().empty()) out += "!" + scanner.problem();
  return out;
}

std::string scanFile(const std::string& text, std::size_t bufferSize) {
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  tabrik::dxf::TagScanner scanner(file, bufferSize);
  std::string objects = objectsOf(scanner);
  std::fclose(file);
  return objects;
}

TEST(DxfStream, ScannerGivesTheSameObjectsWhateverItsBuffer) {
  const std::string longValue(300, 'x');
  const struct {
    const char* name;
    std::string text;
    const char* expected;  // null: only the same as in memory
  } cases[] = {
      {"two objects", "  0\nSECTION\n  2\nENTITIES\n  0\nEOF\n",
       "[0=SECTION@1 2=ENTITIES@3 ][0=EOF@5 ]"},
      {"CR LF line ends and a byte-order mark", "\xEF\xBB\xBF  0\r\nLINE\r\n  8\r\n0\r\n",
       "[0=LINE@1 8=0@3 ]"},
      {"no line end at the very end", "  0\nLINE\n 10\n1.5", "[0=LINE@1 10=1.5@3 ]"},
      {"a blank line after the end", "  0\nEOF\n\n", "[0=EOF@1 ]"},
      {"groups before the first object", "999\nnote\n  0\nEOF\n", "[999=note@1 ][0=EOF@3 ]"},
      {"a value longer than the buffer",
       "  0\nMTEXT\n  1\n" + longValue + "\n  0\nLINE\n  1\n" + longValue + "\n", nullptr},
      {"many small objects",
       [] {
         std::string text;
         for (int i = 0; i < 200; ++i) text += "  0\nPOINT\n 10\n" + std::to_string(i) + "\n";
         return text;
       }(),
       nullptr},
      {"not a group code", "  0\nSECTION\nxx\nENTITIES\n", "!line 3: a group code was expected"},
      {"a value missing", "  0\nSECTION\n  2\n",
       "!line 3: the file ends before the value of group 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    tabrik::dxf::TagScanner inMemory(c.text);
    std::string expected = objectsOf(inMemory);
    if (c.expected != nullptr) {
      EXPECT_EQ(expected, c.expected);
    }
    for (std::size_t bufferSize : {64, 100, 4096}) {
      SCOPED_TRACE(bufferSize);
      EXPECT_EQ(scanFile(c.text, bufferSize), expected);
    }
  }
}

std::string line(const char* handle, double x) {
  std::string text = "  0\nLINE\n";
  if (handle != nullptr) text += "  5\n" + std::string(handle) + "\n";
  return text + "100\nAcDbEntity\n  8\n0\n100\nAcDbLine\n 10\n" + std::to_string(x) +
         "\n 20\n0\n 30\n0\n 11\n1\n 21\n1\n 31\n0\n";
}

// Objects are made as they arrive, so a line without a handle is made before the
// file names the handles after it; it must not take one of them.
TEST(DxfStream, ObjectsWithoutHandlesNeverTakeOnesTheFileNames) {
  std::string text = "  0\nSECTION\n  2\nENTITIES\n" + line(nullptr, 0);
  const char* named[] = {"1", "2", "3", "4", "5", "6", "7", "8"};
  for (int i = 0; i < 8; ++i) text += line(named[i], i + 1);
  text += "  0\nENDSEC\n  0\nEOF\n";
  AcDbDatabase db(false);
  ASSERT_EQ(tabrik::dxf::readDrawing(&db, text), Acad::eOk);
  AcDbBlockTableRecord* space = nullptr;
  ASSERT_EQ(acdbOpenObject(space, db.modelSpaceId(), AcDb::kForRead), Acad::eOk);
  ASSERT_EQ(space->entityIds().length(), 9);
  std::vector<std::uint64_t> handles;
  for (const AcDbObjectId& id : space->entityIds()) {
    AcDbLine* read = nullptr;
    ASSERT_EQ(acdbOpenObject(read, id, AcDb::kForRead), Acad::eOk);
    handles.push_back(id.handle().value());
    EXPECT_DOUBLE_EQ(read->startPoint().x, static_cast<double>(handles.size() - 1));
    read->close();
  }
  space->close();
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(handles[static_cast<size_t>(i)], i);
  EXPECT_GT(handles[0], 8u);
  EXPECT_LT(handles[0], 1ull << 48);
  EXPECT_GT(db.handseed().value(), handles[0]);
}

#ifndef TABRIK_ASAN
long virtualMemoryKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmSize:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}
#endif

// A file of kLines lines whose numbers are padded with blanks (readers take blanks
// around a number), so that the file is many times the drawing it makes.
constexpr int kLines = 10000;
constexpr std::size_t kPadding = 1300;

std::string writePaddedFile() {
  std::string path = testing::TempDir() + "tabrik-streamed.dxf";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  const std::string pad(kPadding, ' ');
  std::fputs("  0\nSECTION\n  2\nENTITIES\n", file);
  for (int i = 0; i < kLines; ++i) {
    std::fprintf(file, "  0\nLINE\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine\n");
    for (int code : {10, 20, 30, 11, 21, 31})
      std::fprintf(file, "%3d\n%s%d\n", code, pad.c_str(), code == 10 ? i : 1);
  }
  std::fputs("  0\nENDSEC\n  0\nEOF\n", file);
  std::fclose(file);
  return path;
}

int countLines(AcDbDatabase& db) {
  AcDbBlockTableRecord* space = nullptr;
  if (acdbOpenObject(space, db.modelSpaceId(), AcDb::kForRead) != Acad::eOk) return -1;
  int count = space->entityIds().length();
  space->close();
  return count;
}

TEST(DxfStream, ReadsAFileLargerThanTheMemoryItMayUse) {
  std::string path = writePaddedFile();
  std::ifstream probe(path, std::ios::binary | std::ios::ate);
  const auto fileBytes = static_cast<long>(probe.tellg());
  // Room for the drawing and the buffer, far less than the file.
  constexpr long kBudgetBytes = 32L << 20;
  ASSERT_GT(fileBytes, 2 * kBudgetBytes);
#ifdef TABRIK_ASAN
  // The sanitizer reserves terabytes of address space, so a limit on it says nothing
  // about the reader: the file is read without one.
  AcDbDatabase db(false);
  EXPECT_EQ(tabrik::dxf::readFile(&db, std::wstring(path.begin(), path.end())), Acad::eOk);
  EXPECT_EQ(countLines(db), kLines);
#else
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max =
        static_cast<rlim_t>(virtualMemoryKb()) * 1024 + static_cast<rlim_t>(kBudgetBytes);
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(3);
    int exitCode = 2;
    try {
      AcDbDatabase db(false);
      Acad::ErrorStatus status = tabrik::dxf::readFile(&db, std::wstring(path.begin(), path.end()));
      if (status == Acad::eOk) exitCode = countLines(db) == kLines ? 0 : 1;
    } catch (...) {
      exitCode = 4;  // out of memory
    }
    _exit(exitCode);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the reader was killed (signal " << WTERMSIG(status) << ")";
  EXPECT_EQ(WEXITSTATUS(status), 0)
      << "1: lines missing, 2: the read failed, 3: no limit set, 4: out of memory";
#endif
  std::remove(path.c_str());
}

}  // namespace
