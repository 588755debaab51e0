// Known folders on the XDG directories, shell item lists, folder windows, HTML Help and
// network paths.
#include <sys/stat.h>

#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "ShellTesting.h"
#include "htmlhelp.h"
#include "objbase.h"
#include "shlobj.h"
#include "shlwapi.h"
#include "win/NativePath.h"

#include <sys/random.h>
#include <unistd.h>

struct _ITEMIDLIST {
  std::wstring path;
};

namespace {

using tabrik::win::wideName;

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string home() {
  std::string value = environment("HOME");
  return value.empty() ? "/" : value;
}

std::string configHome() {
  std::string value = environment("XDG_CONFIG_HOME");
  return value.empty() ? home() + "/.config" : value;
}

// A user directory of $XDG_CONFIG_HOME/user-dirs.dirs (XDG_DESKTOP_DIR="$HOME/Desktop"),
// else the fallback under the home folder.
std::string userDir(const std::string& key, const std::string& fallback) {
  std::ifstream in(configHome() + "/user-dirs.dirs");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key + "=", 0) != 0) continue;
    std::string value = line.substr(key.size() + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = home() + value.substr(5);
    if (!value.empty() && value.front() == '/') return value;
  }
  return home() + "/" + fallback;
}

std::string firstOf(const std::string& list, const std::string& fallback) {
  const std::string first = list.substr(0, list.find(':'));
  return first.empty() ? fallback : first;
}

// The folder of an identifier; empty when it has no counterpart; `known` false for an
// identifier Windows does not know either.
std::string folderOf(int csidl, bool& known) {
  known = true;
  switch (csidl) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY:
      return userDir("XDG_DESKTOP_DIR", "Desktop");
    case CSIDL_PERSONAL:
      return userDir("XDG_DOCUMENTS_DIR", "Documents");
    case CSIDL_MYPICTURES:
      return userDir("XDG_PICTURES_DIR", "Pictures");
    case CSIDL_COMMON_DOCUMENTS:
      return userDir("XDG_PUBLICSHARE_DIR", "Public");
    case CSIDL_APPDATA:
      return configHome();
    case CSIDL_LOCAL_APPDATA: {
      std::string value = environment("XDG_DATA_HOME");
      return value.empty() ? home() + "/.local/share" : value;
    }
    case CSIDL_INTERNET_CACHE: {
      std::string value = environment("XDG_CACHE_HOME");
      return value.empty() ? home() + "/.cache" : value;
    }
    case CSIDL_COMMON_APPDATA:
      return firstOf(environment("XDG_DATA_DIRS"), "/usr/local/share");
    case CSIDL_PROGRAM_FILES:
      return "/opt";
    case CSIDL_ADMINTOOLS:
    case CSIDL_COMMON_ADMINTOOLS:
    case CSIDL_COOKIES:
    case CSIDL_HISTORY:
    case CSIDL_SYSTEM:
    case CSIDL_WINDOWS:
    case CSIDL_PROGRAM_FILES_COMMON:
      return "";
    default:
      known = false;
      return "";
  }
}

bool makeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = slash == std::string::npos ? path : path.substr(0, slash);
    struct stat info {};
    if (::stat(part.c_str(), &info) != 0 && ::mkdir(part.c_str(), 0777) != 0) return false;
    if (slash == std::string::npos) return true;
  }
}

std::string& mountTable() {
  static std::string path;
  return path;
}

bool isOctal(char c) { return c >= '0' && c <= '7'; }

// Mount points are written with octal escapes (\040 for a blank).
std::string unescapeMount(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && isOctal(text[i + 1]) && isOctal(text[i + 2]) &&
        isOctal(text[i + 3])) {
      out.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 3), nullptr, 8)));
      i += 3;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

bool isNetworkFileSystem(const std::string& type) {
  static const char* const kTypes[] = {
      "nfs",   "nfs4", "cifs",  "smb3",       "smbfs", "sshfs",     "fuse.sshfs",    "afs",
      "ncpfs", "9p",   "davfs", "fuse.davfs", "ceph",  "glusterfs", "fuse.glusterfs"};
  for (const char* known : kTypes) {
    if (type == known) return true;
  }
  return false;
}

bool under(const std::string& path, const std::string& mountPoint) {
  if (mountPoint == "/") return true;
  return path.rfind(mountPoint, 0) == 0 &&
         (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

HRESULT shellResult(const tabrik::win::testing::ShellExecution& execution) {
  HINSTANCE result = ShellExecuteW(nullptr, execution.verb.c_str(), execution.file.c_str(), nullptr,
                                   execution.directory.c_str(), execution.show);
  return reinterpret_cast<std::intptr_t>(result) > 32 ? S_OK : E_FAIL;
}

}  // namespace

namespace tabrik::win::testing {

void setMountTable(const std::string& path) { mountTable() = path; }

}  // namespace tabrik::win::testing

HRESULT SHGetFolderPathW(HWND, int csidl, HANDLE, DWORD, LPWSTR pszPath) {
  if (pszPath == nullptr) return E_INVALIDARG;
  pszPath[0] = L'\0';
  bool known = false;
  const std::string folder = folderOf(csidl & ~CSIDL_FLAG_MASK, known);
  if (!known) return E_INVALIDARG;
  if (folder.empty()) return E_FAIL;
  if ((csidl & CSIDL_FLAG_CREATE) != 0 && !makeFolders(folder)) return E_FAIL;
  const std::wstring wide = wideName(folder);
  if (wide.size() >= MAX_PATH) return E_FAIL;
  wide.copy(pszPath, wide.size());
  pszPath[wide.size()] = L'\0';
  return S_OK;
}

PIDLIST_ABSOLUTE ILCreateFromPathW(LPCWSTR pszPath) {
  if (pszPath == nullptr || *pszPath == L'\0') return nullptr;
  return new ITEMIDLIST{pszPath};
}

void ILFree(LPITEMIDLIST pidl) { delete pidl; }

HRESULT SHOpenFolderAndSelectItems(PCIDLIST_ABSOLUTE pidlFolder, UINT cidl,
                                   PCUITEMID_CHILD_ARRAY apidl, DWORD) {
  if (pidlFolder == nullptr || (cidl > 0 && apidl == nullptr)) return E_INVALIDARG;
  using tabrik::win::testing::ShellExecution;
  if (cidl == 0)
    return shellResult(ShellExecution{L"explore", pidlFolder->path, L"", L"", SW_SHOWNORMAL});
  HRESULT result = S_OK;
  for (UINT i = 0; i < cidl; ++i) {
    if (apidl[i] == nullptr) continue;
    if (shellResult(ShellExecution{L"select", apidl[i]->path, L"", pidlFolder->path,
                                   SW_SHOWNORMAL}) != S_OK)
      result = E_FAIL;
  }
  return result;
}

HWND HtmlHelpW(HWND, LPCWSTR pszFile, UINT uCommand, DWORD_PTR) {
  if (pszFile == nullptr || *pszFile == L'\0' || uCommand == HH_CLOSE_ALL) return nullptr;
  HINSTANCE result = ShellExecuteW(nullptr, L"help", pszFile, nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<std::intptr_t>(result) <= 32) return nullptr;
  static int window;
  return reinterpret_cast<HWND>(&window);
}

BOOL PathIsNetworkPathW(LPCWSTR pszPath) {
  if (pszPath == nullptr || *pszPath == L'\0') return FALSE;
  const bool separator0 = pszPath[0] == L'\\' || pszPath[0] == L'/';
  const bool separator1 = pszPath[1] == L'\\' || pszPath[1] == L'/';
  if (separator0 && separator1) return TRUE;
  std::string path = tabrik::win::nativePath(pszPath);
  if (path.front() != '/') {
    char* cwd = ::getcwd(nullptr, 0);
    path = std::string(cwd != nullptr ? cwd : "/") + "/" + path;
    std::free(cwd);
  }
  std::ifstream mounts(mountTable().empty() ? "/proc/self/mounts" : mountTable());
  std::string best;
  bool network = false;
  for (std::string line; std::getline(mounts, line);) {
    std::string device, point, type;
    std::istringstream fields(line);
    if (!(fields >> device >> point >> type)) continue;
    point = unescapeMount(point);
    if (under(path, point) && point.size() >= best.size()) {
      best = point;
      network = isNetworkFileSystem(type);
    }
  }
  return network ? TRUE : FALSE;
}

HRESULT CoCreateGuid(GUID* pguid) {
  if (pguid == nullptr) return E_INVALIDARG;
  BYTE bytes[16];
  size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
    if (n <= 0) return E_FAIL;
    got += static_cast<size_t>(n);
  }
  bytes[6] = static_cast<BYTE>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<BYTE>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
  pguid->Data1 =
      (DWORD(bytes[0]) << 24) | (DWORD(bytes[1]) << 16) | (DWORD(bytes[2]) << 8) | bytes[3];
  pguid->Data2 = static_cast<WORD>((bytes[4] << 8) | bytes[5]);
  pguid->Data3 = static_cast<WORD>((bytes[6] << 8) | bytes[7]);
  for (int i = 0; i < 8; ++i) pguid->Data4[i] = bytes[8 + i];
  return S_OK;
}
