// Known folders from the XDG directories, network paths from a mount table, shell item
// lists through the shell handler, help files, and new GUIDs.
#include <ShellTesting.h>
#include <gtest/gtest.h>
#include <htmlhelp.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using tabrik::win::testing::setMountTable;
using tabrik::win::testing::setShellHandler;
using tabrik::win::testing::ShellExecution;

namespace {

// Points HOME and the XDG variables at a folder of the test's own.
class ShellFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = fs::temp_directory_path() / ("tabrik-shell-" + std::to_string(::getpid()));
    fs::remove_all(m_root);
    fs::create_directories(m_root / "config");
    for (const char* name :
         {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_DATA_DIRS"}) {
      const char* value = std::getenv(name);
      m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    setenv("HOME", (m_root / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CACHE_HOME");
    setenv("XDG_DATA_DIRS", "/usr/share/one:/usr/share/two", 1);
  }
  void TearDown() override {
    for (const auto& [name, value] : m_saved) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    setMountTable("");
    fs::remove_all(m_root);
  }

  std::wstring folder(int csidl, HRESULT* result = nullptr) {
    wchar_t path[MAX_PATH] = {};
    HRESULT hr = SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    if (result) *result = hr;
    return path;
  }
  std::wstring under(const std::string& relative) const {
    const std::string path = (m_root / relative).string();
    return std::wstring(path.begin(), path.end());
  }

  fs::path m_root;
  std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

}  // namespace

TEST_F(ShellFoldersTest, KnownFoldersFollowTheXdgDirectories) {
  std::ofstream(m_root / "config" / "user-dirs.dirs")
      << "# written by xdg-user-dirs-update\n"
      << "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
      << "XDG_DOCUMENTS_DIR=\"" << (m_root / "docs").string() << "\"\n";
  struct Case {
    int csidl;
    std::wstring path;
  };
  const std::vector<Case> cases = {
      {CSIDL_DESKTOPDIRECTORY, under("home/Schreibtisch")},
      {CSIDL_DESKTOP, under("home/Schreibtisch")},
      {CSIDL_PERSONAL, under("docs")},
      {CSIDL_MYPICTURES, under("home/Pictures")},
      {CSIDL_COMMON_DOCUMENTS, under("home/Public")},
      {CSIDL_APPDATA, under("config")},
      {CSIDL_LOCAL_APPDATA, under("home/.local/share")},
      {CSIDL_INTERNET_CACHE, under("home/.cache")},
      {CSIDL_COMMON_APPDATA, L"/usr/share/one"},
      {CSIDL_PROGRAM_FILES, L"/opt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.csidl);
    HRESULT result = E_FAIL;
    EXPECT_EQ(folder(c.csidl, &result), c.path);
    EXPECT_EQ(result, S_OK);
  }
  for (int missing : {CSIDL_ADMINTOOLS, CSIDL_COMMON_ADMINTOOLS, CSIDL_COOKIES, CSIDL_HISTORY,
                      CSIDL_SYSTEM, CSIDL_WINDOWS, CSIDL_PROGRAM_FILES_COMMON}) {
    HRESULT result = S_OK;
    EXPECT_EQ(folder(missing, &result), L"");
    EXPECT_EQ(result, E_FAIL);
  }
  HRESULT result = S_OK;
  folder(0x77, &result);
  EXPECT_EQ(result, E_INVALIDARG);
  // Creation on request.
  EXPECT_FALSE(fs::exists(m_root / "home/Schreibtisch"));
  EXPECT_EQ(folder(CSIDL_FLAG_CREATE, &result), under("home/Schreibtisch"));
  EXPECT_TRUE(fs::is_directory(m_root / "home/Schreibtisch"));
}

TEST_F(ShellFoldersTest, NetworkPathsAreUncPathsAndNetworkMounts) {
  const fs::path table = m_root / "mounts";
  std::ofstream(table) << "/dev/sda1 / ext4 rw 0 0\n"
                       << "srv:/export /mnt/nfs nfs4 rw 0 0\n"
                       << "//nas/plans /mnt/plans\\040share cifs rw 0 0\n"
                       << "me@host:/ /mnt/ssh fuse.sshfs rw 0 0\n"
                       << "tmpfs /mnt/nfs/local tmpfs rw 0 0\n";
  setMountTable(table.string());
  struct Case {
    const wchar_t* path;
    BOOL network;
  };
  const Case cases[] = {
      {L"\\\\server\\share\\a.dwg", TRUE},
      {L"//server/share", TRUE},
      {L"/mnt/nfs/job/a.dwg", TRUE},
      {L"\\mnt\\nfs", TRUE},
      {L"/mnt/plans share/x", TRUE},
      {L"/mnt/ssh", TRUE},
      {L"/mnt/nfs/local/a", FALSE},
      {L"/mnt/nfsother", FALSE},
      {L"/home/a.dwg", FALSE},
      {L"C:\\local\\a.dwg", FALSE},
      {L"", FALSE},
      {L"\\single", FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(c.path)));
    EXPECT_EQ(PathIsNetworkPathW(c.path), c.network);
  }
  EXPECT_EQ(PathIsNetworkPathW(nullptr), FALSE);
}

TEST_F(ShellFoldersTest, FolderWindowsAndHelpGoThroughTheShell) {
  std::vector<ShellExecution> seen;
  auto previous = setShellHandler([&](const ShellExecution& e) -> std::intptr_t {
    seen.push_back(e);
    return 42;
  });
  PIDLIST_ABSOLUTE folderItem = ILCreateFromPathW(L"C:\\Jobs");
  PIDLIST_ABSOLUTE a = ILCreateFromPathW(L"C:\\Jobs\\a.dwg");
  PIDLIST_ABSOLUTE b = ILCreateFromPathW(L"C:\\Jobs\\b.dwg");
  EXPECT_EQ(ILCreateFromPathW(L""), nullptr);
  PCUITEMID_CHILD items[] = {a, b};
  EXPECT_EQ(SHOpenFolderAndSelectItems(folderItem, 2, items, 0), S_OK);
  EXPECT_EQ(SHOpenFolderAndSelectItems(folderItem, 0, nullptr, 0), S_OK);
  EXPECT_EQ(SHOpenFolderAndSelectItems(nullptr, 0, nullptr, 0), E_INVALIDARG);
  EXPECT_NE(HtmlHelpW(nullptr, L"C:\\Help\\x.chm", HH_DISPLAY_TOC, 0), nullptr);
  EXPECT_EQ(HtmlHelpW(nullptr, L"", HH_DISPLAY_TOC, 0), nullptr);
  ILFree(folderItem);
  ILFree(a);
  ILFree(b);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].verb, L"select");
  EXPECT_EQ(seen[0].file, L"C:\\Jobs\\a.dwg");
  EXPECT_EQ(seen[0].directory, L"C:\\Jobs");
  EXPECT_EQ(seen[1].file, L"C:\\Jobs\\b.dwg");
  EXPECT_EQ(seen[2].verb, L"explore");
  EXPECT_EQ(seen[2].file, L"C:\\Jobs");
  EXPECT_EQ(seen[3].verb, L"help");
  // Without a shell nothing opens.
  setShellHandler(nullptr);
  EXPECT_EQ(HtmlHelpW(nullptr, L"x.chm", HH_DISPLAY_TOC, 0), nullptr);
  setShellHandler(previous);
}

TEST(CoCreateGuid, GivesDistinctVersion4Identifiers) {
  std::set<std::vector<BYTE>> seen;
  for (int i = 0; i < 500; ++i) {
    GUID guid{};
    ASSERT_EQ(CoCreateGuid(&guid), S_OK);
    EXPECT_EQ(guid.Data3 >> 12, 4);
    EXPECT_EQ(guid.Data4[0] & 0xC0, 0x80);
    std::vector<BYTE> bytes(reinterpret_cast<BYTE*>(&guid), reinterpret_cast<BYTE*>(&guid) + 16);
    seen.insert(bytes);
  }
  EXPECT_EQ(seen.size(), 500u);
  EXPECT_EQ(CoCreateGuid(nullptr), E_INVALIDARG);
}
