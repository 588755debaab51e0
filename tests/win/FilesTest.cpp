// The file services on the POSIX file system: Windows results and last errors for the
// cases that matter to the module, read-only files, no partial copies, wildcard
// listing, and text conversion beyond the Basic Multilingual Plane.
#include <fileapi.h>
#include <gtest/gtest.h>
#include <stringapiset.h>
#include <sys/stat.h>
#include <winbase.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = fs::temp_directory_path() /
             ("tabrik-files-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_root);
    fs::create_directories(m_root);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(m_root / "ro.txt", fs::perms::owner_all, ignored);
    fs::remove_all(m_root, ignored);
  }

  // A Windows path under the test folder, with backslashes.
  std::wstring win(const std::string& relative) const {
    std::wstring path = (m_root / relative).wstring();
    for (wchar_t& c : path) {
      if (c == L'/') c = L'\\';
    }
    return path;
  }
  fs::path at(const std::string& relative) const { return m_root / relative; }
  void write(const std::string& relative, const std::string& text) const {
    std::ofstream(at(relative), std::ios::binary) << text;
  }
  std::string read(const std::string& relative) const {
    std::ifstream in(at(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_root))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path m_root;
};

std::vector<std::wstring> listing(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data{};
  HANDLE search = FindFirstFileW(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(data.cFileName);
  } while (FindNextFileW(search, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(FindClose(search));
  return names;
}

}  // namespace

TEST_F(FilesTest, FolderOperationsGiveWindowsResultsAndErrors) {
  write("file.txt", "x");
  struct Case {
    const char* what;
    std::function<BOOL()> call;
    BOOL result;
    DWORD error;
  };
  const std::vector<Case> cases = {
      {"create", [&] { return CreateDirectoryW(win("d").c_str(), nullptr); }, TRUE, 0},
      {"create again", [&] { return CreateDirectoryW(win("d").c_str(), nullptr); }, FALSE,
       ERROR_ALREADY_EXISTS},
      {"create without parent", [&] { return CreateDirectoryW(win("no\\d").c_str(), nullptr); },
       FALSE, ERROR_PATH_NOT_FOUND},
      {"create under a file", [&] { return CreateDirectoryW(win("file.txt\\d").c_str(), nullptr); },
       FALSE, ERROR_PATH_NOT_FOUND},
      {"create empty", [&] { return CreateDirectoryW(L"", nullptr); }, FALSE, ERROR_PATH_NOT_FOUND},
      {"create too long",
       [&] { return CreateDirectoryW(win(std::string(300, 'n')).c_str(), nullptr); }, FALSE,
       ERROR_FILENAME_EXCED_RANGE},
      {"remove a file", [&] { return RemoveDirectoryW(win("file.txt").c_str()); }, FALSE,
       ERROR_DIRECTORY},
      {"delete a folder", [&] { return DeleteFileW(win("d").c_str()); }, FALSE,
       ERROR_ACCESS_DENIED},
      {"remove", [&] { return RemoveDirectoryW(win("d").c_str()); }, TRUE, 0},
      {"remove again", [&] { return RemoveDirectoryW(win("d").c_str()); }, FALSE,
       ERROR_FILE_NOT_FOUND},
      {"delete", [&] { return DeleteFileW(win("file.txt").c_str()); }, TRUE, 0},
      {"delete again", [&] { return DeleteFileW(win("file.txt").c_str()); }, FALSE,
       ERROR_FILE_NOT_FOUND},
      {"delete in a missing folder", [&] { return DeleteFileW(win("no\\f").c_str()); }, FALSE,
       ERROR_PATH_NOT_FOUND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(0);
    EXPECT_EQ(c.call(), c.result);
    if (!c.result) {
      EXPECT_EQ(GetLastError(), c.error);
    }
  }
  fs::create_directories(at("full/inner"));
  EXPECT_FALSE(RemoveDirectoryW(win("full").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
}

TEST_F(FilesTest, ReadOnlyFilesAreNeitherDeletedNorOverwritten) {
  write("ro.txt", "keep");
  write("src.txt", "new");
  fs::permissions(at("ro.txt"), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(GetFileAttributesW(win("ro.txt").c_str()) & FILE_ATTRIBUTE_READONLY,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(DeleteFileW(win("ro.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(CopyFileW(win("src.txt").c_str(), win("ro.txt").c_str(), FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(
      MoveFileExW(win("src.txt").c_str(), win("ro.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(read("ro.txt"), "keep");
  // The copy of a read-only file is read-only too.
  EXPECT_TRUE(CopyFileW(win("ro.txt").c_str(), win("copy.txt").c_str(), TRUE));
  EXPECT_NE(GetFileAttributesW(win("copy.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  fs::permissions(at("copy.txt"), fs::perms::owner_all);
}

TEST_F(FilesTest, AttributesOfFilesFoldersAndMissingPaths) {
  write("plain.txt", "x");
  write(".hidden", "x");
  fs::create_directories(at("folder"));
  struct Case {
    const char* path;
    DWORD attributes;
  };
  const Case cases[] = {{"plain.txt", FILE_ATTRIBUTE_NORMAL},
                        {".hidden", FILE_ATTRIBUTE_HIDDEN},
                        {"folder", FILE_ATTRIBUTE_DIRECTORY},
                        {"missing.txt", INVALID_FILE_ATTRIBUTES},
                        {"plain.txt\\below", INVALID_FILE_ATTRIBUTES}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(GetFileAttributesW(win(c.path).c_str()), c.attributes);
  }
}

TEST_F(FilesTest, CopyReplacesKeepsTimeAndLeavesNothingBehindWhenItFails) {
  write("a.txt", "alpha");
  write("b.txt", "old");
  const fs::file_time_type stamp = fs::file_time_type::clock::now() - std::chrono::hours(30);
  fs::last_write_time(at("a.txt"), stamp);
  EXPECT_TRUE(CopyFileW(win("a.txt").c_str(), win("b.txt").c_str(), FALSE));
  EXPECT_EQ(read("b.txt"), "alpha");
  EXPECT_EQ(fs::last_write_time(at("b.txt")), stamp);
  EXPECT_FALSE(CopyFileW(win("a.txt").c_str(), win("b.txt").c_str(), TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_FALSE(CopyFileW(win("a.txt").c_str(), win("a.txt").c_str(), FALSE));
  EXPECT_EQ(read("a.txt"), "alpha");
  EXPECT_FALSE(CopyFileW(win("none.txt").c_str(), win("c.txt").c_str(), FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(CopyFileW(win("a.txt").c_str(), win("no\\c.txt").c_str(), FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  fs::create_directories(at("dir"));
  EXPECT_FALSE(CopyFileW(win("a.txt").c_str(), win("dir").c_str(), FALSE));
  EXPECT_FALSE(CopyFileW(win("dir").c_str(), win("d.txt").c_str(), FALSE));
  // Only the files made on purpose are there: no temporary survived a failure.
  EXPECT_EQ(entries(), (std::vector<std::string>{"a.txt", "b.txt", "dir"}));
}

TEST_F(FilesTest, MoveNeverReplacesUnlessAskedAndMovesFolders) {
  write("a.txt", "a");
  write("b.txt", "b");
  EXPECT_FALSE(MoveFileW(win("a.txt").c_str(), win("b.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(read("b.txt"), "b");
  EXPECT_TRUE(MoveFileExW(win("a.txt").c_str(), win("b.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(read("b.txt"), "a");
  EXPECT_FALSE(fs::exists(at("a.txt")));
  fs::create_directories(at("d1/inner"));
  EXPECT_TRUE(MoveFileW(win("d1").c_str(), win("d2").c_str()));
  EXPECT_TRUE(fs::is_directory(at("d2/inner")));
  EXPECT_FALSE(MoveFileW(win("gone").c_str(), win("d3").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, WildcardListingIsCaselessOrderedAndIncludesDotEntries) {
  for (const char* name : {"b.TXT", "a.txt", "C.txt", "readme", "ab.dat"}) write(name, "x");
  fs::create_directories(at("Sub"));
  struct Case {
    const char* pattern;
    std::vector<std::wstring> names;
  };
  const std::vector<Case> cases = {
      {"*.txt", {L"a.txt", L"b.TXT", L"C.txt"}},
      {"*", {L".", L"..", L"a.txt", L"ab.dat", L"b.TXT", L"C.txt", L"readme", L"Sub"}},
      {"*.*", {L".", L"..", L"a.txt", L"ab.dat", L"b.TXT", L"C.txt", L"readme", L"Sub"}},
      {"?.txt", {L"a.txt", L"b.TXT", L"C.txt"}},
      {"a*", {L"a.txt", L"ab.dat"}},
      {"SUB", {L"Sub"}},
      {"*.none", {}},
      {"missing\\*", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(listing(win(c.pattern)), c.names);
  }
  WIN32_FIND_DATAW data{};
  EXPECT_EQ(FindFirstFileW(win("missing\\*").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(FindFirstFileW(win("*.none").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, OpenFilesGiveTheirTimesAndFoldersNeedBackupSemantics) {
  write("a.txt", "a");
  const auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(2);
  fs::last_write_time(at("a.txt"), stamp);
  HANDLE file = CreateFileW(win("a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME written{};
  EXPECT_TRUE(GetFileTime(file, nullptr, nullptr, &written));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_FALSE(GetFileTime(file, nullptr, nullptr, &written));
  write("b.txt", "b");
  file = CreateFileW(win("b.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME later{};
  GetFileTime(file, nullptr, nullptr, &later);
  CloseHandle(file);
  EXPECT_EQ(CompareFileTime(&written, &later), -1);
  EXPECT_EQ(CompareFileTime(&later, &written), 1);
  EXPECT_EQ(CompareFileTime(&later, &later), 0);
  EXPECT_EQ(CreateFileW(win(".").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  HANDLE folder = CreateFileW(win(".").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  EXPECT_NE(folder, INVALID_HANDLE_VALUE);
  CloseHandle(folder);
  EXPECT_EQ(CreateFileW(win("none").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, NamesBeyondTheBasicPlaneReachTheDiskAsUtf8EitherWay) {
  // U+1D11E as one wide character and as the surrogate pair D834 DD1E.
  const std::wstring single = std::wstring(1, static_cast<wchar_t>(0x1D11E)) + L".txt";
  const std::wstring pair =
      std::wstring{static_cast<wchar_t>(0xD834), static_cast<wchar_t>(0xDD1E)} + L".txt";
  write("src.txt", "x");
  const std::wstring folder = win("");
  EXPECT_TRUE(CopyFileW(win("src.txt").c_str(), (folder + single).c_str(), FALSE));
  EXPECT_TRUE(fs::exists(at("\xF0\x9D\x84\x9E.txt")));
  EXPECT_FALSE(CopyFileW(win("src.txt").c_str(), (folder + pair).c_str(), TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_EQ(listing(folder + L"*.txt"), (std::vector<std::wstring>{L"src.txt", single}));
}

TEST(TextConversion, SurrogatePairsAndStrayHalvesConvertAsCharacters) {
  struct Case {
    std::wstring wide;
    std::string utf8;
  };
  const std::vector<Case> cases = {
      {{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)}, "\xF0\x9F\x98\x80"},
      {{static_cast<wchar_t>(0x1F600)}, "\xF0\x9F\x98\x80"},
      {{L'a', static_cast<wchar_t>(0xD83D)}, "a\xEF\xBF\xBD"},
      {{static_cast<wchar_t>(0xDE00), L'b'},
       "\xEF\xBF\xBD"
       "b"},
      {{static_cast<wchar_t>(0xD83D), L'c'},
       "\xEF\xBF\xBD"
       "c"},
      {L"\u00e9", "\xC3\xA9"},
  };
  for (const Case& c : cases) {
    const int size = static_cast<int>(c.wide.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, c.wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, c.wide.data(), size, out.data(), bytes, nullptr, nullptr);
    EXPECT_EQ(out, c.utf8);
  }
}

TEST(TempPath, EndsWithASeparatorAndReportsTheSizeNeeded) {
  const char* saved = std::getenv("TMPDIR");
  const std::string keep = saved ? saved : "";
  for (const char* given : {"/var/tmp", "/var/tmp/"}) {
    setenv("TMPDIR", given, 1);
    wchar_t buffer[MAX_PATH] = {};
    EXPECT_EQ(GetTempPathW(MAX_PATH, buffer), 9u);
    EXPECT_STREQ(buffer, L"/var/tmp/");
    wchar_t tiny[4] = {};
    EXPECT_EQ(GetTempPathW(4, tiny), 10u);
  }
  unsetenv("TMPDIR");
  wchar_t buffer[MAX_PATH] = {};
  EXPECT_EQ(GetTempPathW(MAX_PATH, buffer), 5u);
  EXPECT_STREQ(buffer, L"/tmp/");
  if (saved) setenv("TMPDIR", keep.c_str(), 1);
}
