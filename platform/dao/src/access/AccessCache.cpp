// Converted copies of Access files, kept in the user's cache folder. A copy's name
// holds the Access file's identity (its real path) and its stamp (size, modification
// time), so a changed file gets a new copy and a copy, once made, never changes under
// a reader; copies of earlier states are removed when a newer one is made.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "DaoErrors.h"
#include "access/AccessFile.h"
#include "afxdao.h"
#include "tabrik/AccessConversion.h"
#include "tabrik/TextConversion.h"

namespace tabrik::dao {

namespace {

using text::fromUtf8;
using text::nativePath;

std::string cacheFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  std::string base;
  if (cache && *cache == '/') {
    base = cache;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && *home ? home : "/tmp") + "/.cache";
  }
  std::string folder;
  for (const char* part : {"", "/tabrik", "/access"}) {
    folder = (*part ? folder : base) + part;
    ::mkdir(folder.c_str(), 0700);
  }
  return folder;
}

// FNV-1a: a stable name for a path, the same in every process and build.
std::string hashOf(const std::string& text) {
  unsigned long long h = 1469598103934665603ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char out[17];
  std::snprintf(out, sizeof out, "%016llx", h);
  return out;
}

void removeOlderCopies(const std::string& folder, const std::string& prefix,
                       const std::string& current) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.rfind(prefix, 0) == 0 && name.find(".converting-") == std::string::npos &&
        name.rfind(current, 0) != 0)
      ::unlink((folder + "/" + name).c_str());
  }
  ::closedir(dir);
}

}  // namespace

std::wstring convertedCopyOf(const std::wstring& accessPath) {
  const std::string native = nativePath(accessPath);
  char resolved[PATH_MAX];
  if (!::realpath(native.c_str(), resolved)) daoThrow(3024, {accessPath});
  const access::FileStamp stamp = access::stampOf(resolved);
  const std::string folder = cacheFolder();
  const std::string prefix = hashOf(resolved) + "-";
  const std::string stem =
      prefix + std::to_string(stamp.size) + "-" + std::to_string(stamp.modifiedNs);
  const std::string copy = folder + "/" + stem + ".mdb";
  struct stat st {};
  if (::stat(copy.c_str(), &st) != 0) {
    try {
      convertAccessFile(fromUtf8(resolved), fromUtf8(copy));
    } catch (CDaoException* e) {
      // Another process made the same copy meanwhile: use it.
      const bool madeElsewhere = e->m_pErrorInfo && e->m_pErrorInfo->m_lErrorCode == 3204;
      if (!madeElsewhere) throw;
      e->Delete();
    }
    removeOlderCopies(folder, prefix, stem);
  }
  return fromUtf8(copy);
}

void throwWritesNeedConversion(const std::wstring& accessPath) {
  daoThrowText(3051, L"The database engine cannot open the file '" + accessPath +
                         L"' for writing.  It is an Access database, read through a converted "
                         L"copy; to change it, convert it first (tabrik convert-mdb).");
}

}  // namespace tabrik::dao
