// Path conversion, errno translation and the file handle table.
#include "win/NativePath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cwchar>
#include <map>
#include <memory>
#include <mutex>

#include "errhandlingapi.h"
#include "stringapiset.h"
#include "tabrik/TextConversion.h"

namespace tabrik::win {

// Both go through the platform's one conversion (tabrik/TextConversion.h).
std::string nativePath(LPCWSTR path) {
  if (path == nullptr) return std::string();
  return tabrik::text::nativePath(path);
}

std::string utf8Text(const std::wstring& text) { return tabrik::text::toUtf8(text); }

std::wstring wideName(const std::string& name) {
  if (name.empty()) return std::wstring();
  const int length = static_cast<int>(name.size());
  const int chars = MultiByteToWideChar(CP_UTF8, 0, name.data(), length, nullptr, 0);
  std::wstring out(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, name.data(), length, out.data(), chars);
  return out;
}

namespace {

bool parentExists(const std::string& path) {
  std::string folder = path;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  const size_t slash = folder.rfind('/');
  if (slash == std::string::npos) return true;  // the current folder
  folder = slash == 0 ? "/" : folder.substr(0, slash);
  struct stat info {};
  return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

void setLastErrorFromErrno(int error, const std::string& path) {
  DWORD code = ERROR_ACCESS_DENIED;
  switch (error) {
    case ENOENT:
      code = path.empty() || parentExists(path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
      break;
    case ENOTDIR:
    case ELOOP:
      code = ERROR_PATH_NOT_FOUND;
      break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EBUSY:
      code = ERROR_ACCESS_DENIED;
      break;
    case EEXIST:
      code = ERROR_ALREADY_EXISTS;
      break;
    case ENOTEMPTY:
      code = ERROR_DIR_NOT_EMPTY;
      break;
    case ENAMETOOLONG:
      code = ERROR_FILENAME_EXCED_RANGE;
      break;
    case ENOSPC:
    case EDQUOT:
      code = ERROR_DISK_FULL;
      break;
    case EXDEV:
      code = ERROR_NOT_SAME_DEVICE;
      break;
    case ENOMEM:
      code = ERROR_NOT_ENOUGH_MEMORY;
      break;
    case EINVAL:
      code = ERROR_INVALID_PARAMETER;
      break;
    default:
      code = ERROR_ACCESS_DENIED;
      break;
  }
  SetLastError(code);
}

bool isReadOnlyMode(unsigned mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

namespace {

struct FileHandle {
  int descriptor;
};

struct FileHandles {
  std::mutex lock;
  std::map<HANDLE, std::unique_ptr<FileHandle>> open;
};

FileHandles& fileHandles() {
  static FileHandles instance;
  return instance;
}

}  // namespace

HANDLE registerFileHandle(int descriptor) {
  auto entry = std::make_unique<FileHandle>(FileHandle{descriptor});
  // The entry's address is the handle: unique while it is open, and far from the small
  // numbers the mutex handles use.
  HANDLE handle = entry.get();
  FileHandles& table = fileHandles();
  std::lock_guard<std::mutex> guard(table.lock);
  table.open[handle] = std::move(entry);
  return handle;
}

int fileDescriptorOf(HANDLE handle) {
  FileHandles& table = fileHandles();
  std::lock_guard<std::mutex> guard(table.lock);
  auto found = table.open.find(handle);
  return found == table.open.end() ? -1 : found->second->descriptor;
}

bool closeFileHandle(HANDLE handle) {
  FileHandles& table = fileHandles();
  std::lock_guard<std::mutex> guard(table.lock);
  auto found = table.open.find(handle);
  if (found == table.open.end()) return false;
  ::close(found->second->descriptor);
  table.open.erase(found);
  return true;
}

}  // namespace tabrik::win
