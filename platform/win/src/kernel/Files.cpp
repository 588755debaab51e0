// Files and folders (fileapi.h, winbase.h) on the POSIX file system.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "errhandlingapi.h"
#include "fileapi.h"
#include "winbase.h"
#include "win/NativePath.h"

using tabrik::win::isReadOnlyMode;
using tabrik::win::nativePath;
using tabrik::win::setLastErrorFromErrno;
using tabrik::win::wideName;

namespace {

// Seconds between 1601-01-01 and 1970-01-01.
constexpr ULONGLONG kEpochDifference = 11644473600ULL;

FILETIME toFileTime(const struct timespec& time) {
  ULONGLONG ticks = (static_cast<ULONGLONG>(time.tv_sec) + kEpochDifference) * 10000000ULL +
                    static_cast<ULONGLONG>(time.tv_nsec) / 100;
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFU), static_cast<DWORD>(ticks >> 32)};
}

std::string baseName(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const size_t slash = trimmed.rfind('/');
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

std::string parentFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

DWORD attributesOf(const std::string& name, const struct stat& info) {
  DWORD attributes = 0;
  if (S_ISDIR(info.st_mode)) {
    attributes |= FILE_ATTRIBUTE_DIRECTORY;
  } else if (isReadOnlyMode(info.st_mode)) {
    attributes |= FILE_ATTRIBUTE_READONLY;
  }
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

BOOL fail(int error, const std::string& path) {
  setLastErrorFromErrno(error, path);
  return FALSE;
}

BOOL failWith(DWORD code) {
  SetLastError(code);
  return FALSE;
}

// --- wildcard listing

wchar_t folded(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); }

// `*` any run, `?` any one character; letters compare without regard to case.
bool wildcardMatch(const std::wstring& pattern, const std::wstring& name) {
  size_t p = 0, n = 0, star = std::wstring::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == L'?' || folded(pattern[p]) == folded(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == L'*') {
      star = p++;
      resume = n;
    } else if (star != std::wstring::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

bool dotsFirstCaseless(const std::wstring& a, const std::wstring& b) {
  auto rank = [](const std::wstring& s) { return s == L"." ? 0 : s == L".." ? 1 : 2; };
  if (rank(a) != rank(b)) return rank(a) < rank(b);
  std::wstring fa = a, fb = b;
  std::transform(fa.begin(), fa.end(), fa.begin(), folded);
  std::transform(fb.begin(), fb.end(), fb.begin(), folded);
  return fa != fb ? fa < fb : a < b;
}

struct FindEntry {
  std::wstring name;
  WIN32_FIND_DATAW data;
};

struct FindState {
  std::vector<FindEntry> entries;
  size_t next = 0;
};

struct FindHandles {
  std::mutex lock;
  std::set<FindState*> open;
};

FindHandles& findHandles() {
  static FindHandles instance;
  return instance;
}

bool fillFindData(const std::string& folder, const std::string& name, const std::wstring& wide,
                  WIN32_FIND_DATAW& data) {
  struct stat info {};
  const std::string path = folder + "/" + name;
  if (::stat(path.c_str(), &info) != 0 && ::lstat(path.c_str(), &info) != 0) return false;
  if (wide.size() >= MAX_PATH) return false;
  data = WIN32_FIND_DATAW{};
  data.dwFileAttributes = attributesOf(name, info);
  data.ftCreationTime = toFileTime(info.st_ctim);
  data.ftLastAccessTime = toFileTime(info.st_atim);
  data.ftLastWriteTime = toFileTime(info.st_mtim);
  if (!S_ISDIR(info.st_mode)) {
    const auto size = static_cast<ULONGLONG>(info.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFU);
  }
  wide.copy(data.cFileName, wide.size());
  data.cFileName[wide.size()] = L'\0';
  return true;
}

void copyOut(const FindEntry& entry, LPWIN32_FIND_DATAW out) {
  if (out != nullptr) *out = entry.data;
}

// Copies everything from one descriptor to the other; false with errno set.
bool copyContents(int from, int to) {
  std::vector<char> buffer(1 << 16);
  while (true) {
    ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    for (ssize_t done = 0; done < got;) {
      ssize_t put = ::write(to, buffer.data() + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return false;
      done += put;
    }
  }
}

}  // namespace

BOOL CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  const std::string path = nativePath(lpPathName);
  if (path.empty()) return failWith(ERROR_PATH_NOT_FOUND);
  if (::mkdir(path.c_str(), 0777) != 0) return fail(errno == ENOENT ? ENOTDIR : errno, path);
  return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR lpPathName) {
  const std::string path = nativePath(lpPathName);
  if (path.empty()) return failWith(ERROR_PATH_NOT_FOUND);
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return fail(errno, path);
  if (!S_ISDIR(info.st_mode)) return failWith(ERROR_DIRECTORY);
  if (::rmdir(path.c_str()) != 0) return fail(errno == EEXIST ? ENOTEMPTY : errno, path);
  return TRUE;
}

BOOL DeleteFileW(LPCWSTR lpFileName) {
  const std::string path = nativePath(lpFileName);
  if (path.empty()) return failWith(ERROR_PATH_NOT_FOUND);
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return fail(errno, path);
  if (S_ISDIR(info.st_mode)) return failWith(ERROR_ACCESS_DENIED);
  if (!S_ISLNK(info.st_mode) && isReadOnlyMode(info.st_mode)) return failWith(ERROR_ACCESS_DENIED);
  if (::unlink(path.c_str()) != 0) return fail(errno, path);
  return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR lpFileName) {
  const std::string path = nativePath(lpFileName);
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    setLastErrorFromErrno(errno, path);
    return INVALID_FILE_ATTRIBUTES;
  }
  return attributesOf(baseName(path), info);
}

HANDLE FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData) {
  const std::string path = nativePath(lpFileName);
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : path.substr(0, slash);
  const std::wstring pattern = wideName(slash == std::string::npos ? path : path.substr(slash + 1));
  if (pattern.empty()) {
    SetLastError(path.empty() ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  DIR* directory = ::opendir(folder.c_str());
  if (directory == nullptr) {
    SetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  const std::wstring effective = pattern == L"*.*" ? L"*" : pattern;
  auto state = std::make_unique<FindState>();
  while (const dirent* entry = ::readdir(directory)) {
    const std::string name = entry->d_name;
    const std::wstring wide = wideName(name);
    if (!wildcardMatch(effective, wide)) continue;
    FindEntry found{wide, {}};
    if (fillFindData(folder, name, wide, found.data)) state->entries.push_back(std::move(found));
  }
  ::closedir(directory);
  if (state->entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::sort(
      state->entries.begin(), state->entries.end(),
      [](const FindEntry& a, const FindEntry& b) { return dotsFirstCaseless(a.name, b.name); });
  copyOut(state->entries[0], lpFindFileData);
  state->next = 1;
  FindHandles& handles = findHandles();
  std::lock_guard<std::mutex> guard(handles.lock);
  FindState* raw = state.release();
  handles.open.insert(raw);
  return raw;
}

BOOL FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData) {
  FindHandles& handles = findHandles();
  std::lock_guard<std::mutex> guard(handles.lock);
  auto found = handles.open.find(static_cast<FindState*>(hFindFile));
  if (found == handles.open.end()) return failWith(ERROR_INVALID_HANDLE);
  FindState& state = **found;
  if (state.next >= state.entries.size()) return failWith(ERROR_NO_MORE_FILES);
  copyOut(state.entries[state.next++], lpFindFileData);
  return TRUE;
}

BOOL FindClose(HANDLE hFindFile) {
  FindHandles& handles = findHandles();
  std::lock_guard<std::mutex> guard(handles.lock);
  auto found = handles.open.find(static_cast<FindState*>(hFindFile));
  if (found == handles.open.end()) return failWith(ERROR_INVALID_HANDLE);
  delete *found;
  handles.open.erase(found);
  return TRUE;
}

HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                   DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE) {
  const std::string path = nativePath(lpFileName);
  if (dwCreationDisposition != OPEN_EXISTING) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    setLastErrorFromErrno(errno, path);
    return INVALID_HANDLE_VALUE;
  }
  const bool writing = (dwDesiredAccess & GENERIC_WRITE) != 0;
  if (S_ISDIR(info.st_mode) &&
      (writing || (dwFlagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS) == 0)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  if (writing && isReadOnlyMode(info.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  const int descriptor = ::open(path.c_str(), (writing ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (descriptor < 0) {
    setLastErrorFromErrno(errno, path);
    return INVALID_HANDLE_VALUE;
  }
  return tabrik::win::registerFileHandle(descriptor);
}

BOOL GetFileTime(HANDLE hFile, LPFILETIME lpCreationTime, LPFILETIME lpLastAccessTime,
                 LPFILETIME lpLastWriteTime) {
  const int descriptor = tabrik::win::fileDescriptorOf(hFile);
  struct stat info {};
  if (descriptor < 0 || ::fstat(descriptor, &info) != 0) return failWith(ERROR_INVALID_HANDLE);
  if (lpCreationTime != nullptr) *lpCreationTime = toFileTime(info.st_ctim);
  if (lpLastAccessTime != nullptr) *lpLastAccessTime = toFileTime(info.st_atim);
  if (lpLastWriteTime != nullptr) *lpLastWriteTime = toFileTime(info.st_mtim);
  return TRUE;
}

LONG CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2) {
  auto ticks = [](const FILETIME* t) {
    return (static_cast<ULONGLONG>(t->dwHighDateTime) << 32) | t->dwLowDateTime;
  };
  const ULONGLONG a = ticks(lpFileTime1), b = ticks(lpFileTime2);
  return a < b ? -1 : a > b ? 1 : 0;
}

DWORD GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer) {
  const char* given = std::getenv("TMPDIR");
  std::wstring folder = wideName(given != nullptr && *given != '\0' ? given : "/tmp");
  if (folder.back() != L'/') folder += L'/';
  const auto length = static_cast<DWORD>(folder.size());
  if (lpBuffer == nullptr || nBufferLength <= length) return length + 1;
  folder.copy(lpBuffer, folder.size());
  lpBuffer[length] = L'\0';
  return length;
}

BOOL CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists) {
  const std::string source = nativePath(lpExistingFileName);
  const std::string target = nativePath(lpNewFileName);
  if (source.empty() || target.empty()) return failWith(ERROR_PATH_NOT_FOUND);
  const int from = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (from < 0) return fail(errno, source);
  struct stat sourceInfo {};
  if (::fstat(from, &sourceInfo) != 0 || S_ISDIR(sourceInfo.st_mode)) {
    ::close(from);
    return failWith(ERROR_ACCESS_DENIED);
  }
  struct stat targetInfo {};
  if (::stat(target.c_str(), &targetInfo) == 0) {
    DWORD refusal = ERROR_SUCCESS;
    if (bFailIfExists) {
      refusal = ERROR_FILE_EXISTS;
    } else if (S_ISDIR(targetInfo.st_mode) || isReadOnlyMode(targetInfo.st_mode)) {
      refusal = ERROR_ACCESS_DENIED;
    } else if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino) {
      refusal = ERROR_SHARING_VIOLATION;  // a file copied onto itself is open twice
    }
    if (refusal != ERROR_SUCCESS) {
      ::close(from);
      return failWith(refusal);
    }
  }
  // The copy is made under a hidden temporary name beside the destination and renamed
  // into place: readers never see a partial file, and a failure leaves none behind.
  std::string temporary = parentFolder(target) + "/.~copy-XXXXXX";
  const int to = ::mkstemp(temporary.data());
  if (to < 0) {
    const int error = errno;
    ::close(from);
    return fail(error == ENOENT ? ENOTDIR : error, target);
  }
  bool ok = copyContents(from, to);
  int error = errno;
  if (ok) {
    const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    ok = ::fchmod(to, sourceInfo.st_mode & 07777) == 0 && ::futimens(to, times) == 0;
    error = errno;
  }
  ::close(from);
  if (::close(to) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok) {
    const int placed = bFailIfExists ? ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD,
                                                   target.c_str(), RENAME_NOREPLACE)
                                     : ::rename(temporary.c_str(), target.c_str());
    ok = placed == 0;
    error = errno;
    if (!ok && error == EEXIST) {
      ::unlink(temporary.c_str());
      return failWith(ERROR_FILE_EXISTS);
    }
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    return fail(error, target);
  }
  return TRUE;
}

BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags) {
  const std::string source = nativePath(lpExistingFileName);
  const std::string target = nativePath(lpNewFileName);
  if (source.empty() || target.empty()) return failWith(ERROR_PATH_NOT_FOUND);
  struct stat sourceInfo {};
  if (::lstat(source.c_str(), &sourceInfo) != 0) return fail(errno, source);
  const bool replace = (dwFlags & MOVEFILE_REPLACE_EXISTING) != 0;
  struct stat targetInfo {};
  if (::lstat(target.c_str(), &targetInfo) == 0) {
    const bool sameFile =
        targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino;
    if (!sameFile) {
      if (!replace) return failWith(ERROR_ALREADY_EXISTS);
      if (S_ISDIR(targetInfo.st_mode) || isReadOnlyMode(targetInfo.st_mode))
        return failWith(ERROR_ACCESS_DENIED);
    }
  }
  int moved =
      replace ? ::rename(source.c_str(), target.c_str())
              : ::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
  if (moved != 0 && !replace && errno == EINVAL) {
    // A file system without the no-replace rename: the check above stands in for it.
    moved = ::rename(source.c_str(), target.c_str());
  }
  if (moved == 0) return TRUE;
  const int error = errno;
  if (error == EEXIST) return failWith(ERROR_ALREADY_EXISTS);
  if (error == EXDEV && S_ISREG(sourceInfo.st_mode)) {
    if (!CopyFileW(lpExistingFileName, lpNewFileName, replace ? FALSE : TRUE)) return FALSE;
    if (::unlink(source.c_str()) != 0) {
      const int unlinkError = errno;
      ::unlink(target.c_str());
      return fail(unlinkError, source);
    }
    return TRUE;
  }
  return fail(error, target);
}

BOOL MoveFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName) {
  return MoveFileExW(lpExistingFileName, lpNewFileName, 0);
}
