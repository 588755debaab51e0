// Native path helpers of the toolkit (see NativeFiles.h).
#include "toolkit/NativeFiles.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

namespace tabrik::toolkit {

std::string nativePath(std::string path) {
  for (char& c : path) {
    if (c == '\\') {
      c = '/';
    }
  }
  return path;
}

std::string baseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool isFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool makeFolders(const std::string& path) {
  if (path.empty()) {
    return false;
  }
  if (isFolder(path)) {
    return true;
  }
  const std::string parent = folderOf(path);
  if (parent != path && parent != "." && parent != "/" && !makeFolders(parent)) {
    return false;
  }
  return ::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && isFolder(path));
}

}  // namespace tabrik::toolkit

namespace tabrik::toolkit {

bool writeFile(const std::string& path, const std::string& data, bool append) {
  std::FILE* file = std::fopen(path.c_str(), append ? "ab" : "wb");
  if (file == nullptr) {
    return false;
  }
  const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace tabrik::toolkit
