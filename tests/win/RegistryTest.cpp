// The registry file: keys and values through the Windows calls, names without regard
// to case, stable enumeration, the file shared by processes that write at once, and a
// writer killed in the middle of its work.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <winreg.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_file = fs::temp_directory_path() /
             ("tabrik-registry-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name()) /
             "registry";
    fs::remove_all(m_file.parent_path());
    setenv("TABRIK_REGISTRY", m_file.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("TABRIK_REGISTRY");
    std::error_code ignored;
    fs::remove_all(m_file.parent_path(), ignored);
  }

  fs::path m_file;
};

HKEY createKey(const wchar_t* path) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  return key;
}

void setText(HKEY key, const wchar_t* name, const std::wstring& text) {
  EXPECT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

std::wstring readText(HKEY root, const wchar_t* path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return L"<no key>";
  DWORD type = 0;
  DWORD size = 0;
  std::wstring text;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    std::vector<BYTE> data(size);
    RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
    text.assign(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    text = text.substr(0, text.find(L'\0'));
  } else {
    text = L"<no value>";
  }
  RegCloseKey(key);
  return text;
}

std::vector<std::wstring> subkeys(const wchar_t* path) {
  std::vector<std::wstring> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

}  // namespace

TEST_F(RegistryTest, KeysAndValuesPersistInTheFile) {
  HKEY key = createKey(L"Software\\Norvane Software\\Shared");
  setText(key, L"Name", L"Ann \"A\" \\ Smith\nline two");
  const DWORD units = 0xFFFFFFFE;
  ASSERT_EQ(RegSetValueExW(key, L"Units", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&units), 4),
            ERROR_SUCCESS);
  const BYTE blob[] = {0, 1, 0xFE, 0xFF};
  ASSERT_EQ(RegSetValueExW(key, L"Blob", 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_TRUE(fs::exists(m_file));

  EXPECT_EQ(readText(HKEY_CURRENT_USER, L"software\\NORVANE SOFTWARE\\shared", L"NAME"),
            L"Ann \"A\" \\ Smith\nline two");
  HKEY again = nullptr;
  ASSERT_EQ(
      RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Norvane Software\\Shared", 0, KEY_READ, &again),
      ERROR_SUCCESS);
  DWORD type = 0, read = 0, size = 4;
  EXPECT_EQ(
      RegQueryValueExW(again, L"Units", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size),
      ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(read, units);
  BYTE back[8] = {};
  size = 2;
  EXPECT_EQ(RegQueryValueExW(again, L"Blob", nullptr, &type, back, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(RegQueryValueExW(again, L"Blob", nullptr, &type, back, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::memcmp(back, blob, 4), 0);
  EXPECT_EQ(RegQueryValueExW(again, L"Missing", nullptr, &type, back, &size), ERROR_FILE_NOT_FOUND);
  // Values enumerate in the order they were first set.
  std::vector<std::wstring> values;
  for (DWORD i = 0;; ++i) {
    wchar_t name[64];
    DWORD length = 64;
    if (RegEnumValueW(again, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    values.emplace_back(name);
  }
  EXPECT_EQ(values, (std::vector<std::wstring>{L"Name", L"Units", L"Blob"}));
  EXPECT_EQ(RegDeleteValueW(again, L"units"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(again, L"units"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(again);
  EXPECT_EQ(RegCloseKey(again), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, SubkeysEnumerateByNameAndOnlyLeavesAreDeleted) {
  for (const wchar_t* name : {L"S\\zeta", L"S\\Alpha", L"S\\beta\\inner", L"S\\Gamma"})
    RegCloseKey(createKey(name));
  EXPECT_EQ(subkeys(L"S"), (std::vector<std::wstring>{L"Alpha", L"beta", L"Gamma", L"zeta"}));
  EXPECT_EQ(subkeys(L"\\S\\\\"), subkeys(L"S"));
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"S\\nothing", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"S\\beta"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"S\\beta\\inner"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"s\\BETA"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"S\\beta"), ERROR_FILE_NOT_FOUND);
  // An open key deleted behind its handle reports it.
  HKEY open = createKey(L"S\\zeta");
  ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"S\\zeta"), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(open, L"x", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"y"), 8),
            ERROR_KEY_DELETED);
  RegCloseKey(open);
  EXPECT_EQ(subkeys(L"S"), (std::vector<std::wstring>{L"Alpha", L"Gamma"}));
  // Names cannot run over lines of the file; roots cannot be deleted.
  EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"S\\two\nlines", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L""), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, TwoWriterProcessesLoseNoKey) {
  constexpr int kKeysEach = 60;
  std::vector<pid_t> writers;
  for (int writer = 0; writer < 2; ++writer) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int i = 0; i < kKeysEach; ++i) {
        const std::wstring path = L"Race\\w" + std::to_wstring(writer) + L"-" + std::to_wstring(i);
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
          ::_exit(1);
        const std::wstring value = std::to_wstring(i);
        if (RegSetValueExW(key, L"n", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) !=
            ERROR_SUCCESS)
          ::_exit(2);
        RegCloseKey(key);
      }
      ::_exit(0);
    }
    writers.push_back(pid);
  }
  for (pid_t pid : writers) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(subkeys(L"Race").size(), static_cast<size_t>(2 * kKeysEach));
  for (int writer = 0; writer < 2; ++writer) {
    for (int i = 0; i < kKeysEach; i += 7) {
      const std::wstring path = L"Race\\w" + std::to_wstring(writer) + L"-" + std::to_wstring(i);
      EXPECT_EQ(readText(HKEY_CURRENT_USER, path.c_str(), L"n"), std::to_wstring(i));
    }
  }
}

TEST_F(RegistryTest, AWriterKilledMidwayLeavesAWholeFile) {
  RegCloseKey(createKey(L"Kept\\Before"));
  // A writer that keeps writing until it is killed, at whatever point it has reached.
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    for (int i = 0;; ++i) {
      HKEY key = nullptr;
      const std::wstring path = L"Busy\\k" + std::to_wstring(i);
      RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr);
      RegCloseKey(key);
    }
  }
  // Wait until the writer has made some keys, then kill it.
  while (subkeys(L"Busy").size() < 5) ::usleep(1000);
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  // What is there parses whole: the key from before, and every key the writer made
  // up to its last complete write, numbered without a gap.
  EXPECT_EQ(subkeys(L"Kept"), (std::vector<std::wstring>{L"Before"}));
  std::vector<std::wstring> busy = subkeys(L"Busy");
  ASSERT_GE(busy.size(), 5u);
  for (size_t i = 0; i < busy.size(); ++i) {
    const std::wstring path = L"Busy\\k" + std::to_wstring(i);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS)
        << i;
    RegCloseKey(key);
  }
  // The lock the killed writer held went with it: a new writer is not blocked.
  RegCloseKey(createKey(L"Kept\\After"));
  EXPECT_EQ(subkeys(L"Kept"), (std::vector<std::wstring>{L"After", L"Before"}));
}
