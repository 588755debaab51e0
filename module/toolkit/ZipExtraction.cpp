// Extraction of a whole archive into one folder, refusing anything that would land
// outside it (see ZipArchive.h). Three passes: check every entry and the declared
// total before writing anything; write folders and files through descriptors opened
// with O_NOFOLLOW from the target folder down; create symbolic links last and check
// where each one really leads.
#include <zip.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "toolkit/NativeFiles.h"
#include "toolkit/ZipArchive.h"

namespace tabrik::toolkit {
namespace {

constexpr std::size_t kMaxLinkTarget = 4096;
constexpr std::size_t kChunk = 64 * 1024;

// The components of a name, '\' and '/' both separating, "." and empty ones dropped.
std::vector<std::string> components(const std::string& name) {
  std::vector<std::string> parts;
  std::string part;
  auto flush = [&] {
    if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (const char c : name) {
    if (c == '/' || c == '\\') {
      flush();
    } else {
      part += c;
    }
  }
  flush();
  return parts;
}

bool isAbsoluteOrDrive(const std::string& name) {
  return name.empty() || name.front() == '/' || name.front() == '\\' ||
         name.find(':') != std::string::npos;
}

struct Entry {
  zip_uint64_t index;
  std::vector<std::string> parts;
  zip_uint64_t size;
  bool folder;
  bool link;
  std::string linkTarget;
  mode_t mode;  // permission bits; 0 when the archive keeps none
  time_t mtime;
};

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : m_fd(fd) {}
  ~Descriptor() {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor(Descriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(m_fd, other.m_fd);
    return *this;
  }
  int get() const { return m_fd; }
  bool valid() const { return m_fd >= 0; }

 private:
  int m_fd;
};

// Opens (creating when missing) the folder made of the first count parts under root,
// never following a link on the way.
Descriptor openFolder(int root, const std::vector<std::string>& parts, std::size_t count) {
  Descriptor current(::dup(root));
  for (std::size_t i = 0; i < count && current.valid(); ++i) {
    const char* name = parts[i].c_str();
    if (::mkdirat(current.get(), name, 0777) != 0 && errno != EEXIST) {
      return Descriptor();
    }
    current =
        Descriptor(::openat(current.get(), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  }
  return current;
}

std::string joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) {
    text += text.empty() ? part : "/" + part;
  }
  return text;
}

}  // namespace

bool isSafeEntryName(const std::string& name) {
  if (isAbsoluteOrDrive(name)) {
    return false;
  }
  const std::vector<std::string> parts = components(name);
  if (parts.empty()) {
    return false;
  }
  for (const std::string& part : parts) {
    if (part == "..") {
      return false;
    }
  }
  return true;
}

bool isSafeLinkTarget(const std::string& entryName, const std::string& target) {
  if (isAbsoluteOrDrive(target)) {
    return false;
  }
  std::vector<std::string> resolved = components(entryName);
  if (resolved.empty()) {
    return false;
  }
  resolved.pop_back();
  for (const std::string& part : components(target)) {
    if (part != "..") {
      resolved.push_back(part);
    } else if (resolved.empty()) {
      return false;
    } else {
      resolved.pop_back();
    }
  }
  return true;
}

bool ZipArchive::extractAll(const std::string& folder, const ExtractLimits& limits) {
  if (m_zip == nullptr || m_writing) {
    return fail("extract", "no archive is open for reading");
  }
  const std::string target = nativePath(folder);
  if (target.empty()) {
    return fail("extract", "no folder given");
  }

  // Pass 1: nothing is written until every entry has passed.
  const zip_int64_t count = zip_get_num_entries(m_zip, 0);
  if (count < 0 || static_cast<zip_uint64_t>(count) > limits.maxEntries) {
    return fail("extract", "too many entries");
  }
  std::vector<Entry> entries;
  entries.reserve(static_cast<std::size_t>(count));
  zip_uint64_t declared = 0;
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_zip, i, ZIP_FL_ENC_GUESS, &stat) != 0 || stat.name == nullptr) {
      return fail("extract", std::string("entry unreadable: ") + zip_strerror(m_zip));
    }
    const std::string name = stat.name;
    if (!isSafeEntryName(name)) {
      return fail("extract", "entry outside the folder: " + name);
    }
    Entry entry{i,         components(name),
                stat.size, name.back() == '/' || name.back() == '\\',
                false,     {},
                0,         (stat.valid & ZIP_STAT_MTIME) ? stat.mtime : 0};
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(m_zip, i, 0, &system, &attributes) == 0 &&
        system == ZIP_OPSYS_UNIX) {
      const mode_t mode = static_cast<mode_t>(attributes >> 16);
      entry.link = S_ISLNK(mode);
      entry.folder = entry.folder || S_ISDIR(mode);
      entry.mode = mode & 0777;
    }
    if (stat.size > limits.maxTotalBytes || declared + stat.size > limits.maxTotalBytes) {
      return fail("extract", "archive larger than the limit at " + name);
    }
    declared += stat.size;
    if (entry.link) {
      if (stat.size == 0 || stat.size > kMaxLinkTarget) {
        return fail("extract", "link without a usable target: " + name);
      }
      zip_file_t* file = zip_fopen_index(m_zip, i, 0);
      if (file == nullptr) {
        return fail("extract", name + ": " + zip_strerror(m_zip));
      }
      entry.linkTarget.resize(stat.size);
      const zip_int64_t read = zip_fread(file, entry.linkTarget.data(), stat.size);
      zip_fclose(file);
      if (read != static_cast<zip_int64_t>(stat.size) ||
          entry.linkTarget.find('\0') != std::string::npos ||
          !isSafeLinkTarget(name, entry.linkTarget)) {
        return fail("extract", "link leading outside the folder: " + name);
      }
    }
    entries.push_back(std::move(entry));
  }

  if (!makeFolders(target)) {
    return fail("extract", "cannot create the folder " + folder);
  }
  Descriptor root(::open(target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!root.valid()) {
    return fail("extract", "cannot open the folder " + folder);
  }

  // Pass 2: folders and files.
  zip_uint64_t written = 0;
  std::vector<char> buffer(kChunk);
  for (const Entry& entry : entries) {
    if (entry.link) {
      continue;
    }
    const std::size_t depth = entry.folder ? entry.parts.size() : entry.parts.size() - 1;
    Descriptor parent = openFolder(root.get(), entry.parts, depth);
    if (!parent.valid()) {
      return fail("extract", "cannot create the folder of " + joined(entry.parts));
    }
    if (entry.folder) {
      continue;
    }
    const std::string& leaf = entry.parts.back();
    const mode_t mode = entry.mode != 0 ? (entry.mode | S_IRUSR | S_IWUSR) : 0666;
    Descriptor out(::openat(parent.get(), leaf.c_str(),
                            O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, mode));
    if (!out.valid()) {
      return fail("extract", "cannot write " + joined(entry.parts));
    }
    zip_file_t* file = zip_fopen_index(m_zip, entry.index, 0);
    if (file == nullptr) {
      ::unlinkat(parent.get(), leaf.c_str(), 0);
      return fail("extract", joined(entry.parts) + ": " + zip_strerror(m_zip));
    }
    zip_uint64_t entryBytes = 0;
    std::string problem;
    for (;;) {
      const zip_int64_t read = zip_fread(file, buffer.data(), buffer.size());
      if (read < 0) {
        problem = zip_file_strerror(file);
        break;
      }
      if (read == 0) {
        break;
      }
      entryBytes += static_cast<zip_uint64_t>(read);
      written += static_cast<zip_uint64_t>(read);
      // The data may lie about its size; what counts is what comes out.
      if (entryBytes > entry.size || written > limits.maxTotalBytes) {
        problem = "more data than the entry declares";
        break;
      }
      if (::write(out.get(), buffer.data(), static_cast<std::size_t>(read)) != read) {
        problem = "cannot write";
        break;
      }
      if (m_progress && declared > 0) {
        m_progress(static_cast<double>(written) / static_cast<double>(declared));
      }
    }
    zip_fclose(file);
    if (problem.empty() && entryBytes != entry.size) {
      problem = "entry shorter than it declares";
    }
    if (!problem.empty()) {
      ::unlinkat(parent.get(), leaf.c_str(), 0);
      return fail("extract", joined(entry.parts) + ": " + problem);
    }
    if (entry.mtime != 0) {
      const struct timespec times[2] = {{entry.mtime, 0}, {entry.mtime, 0}};
      ::futimens(out.get(), times);
    }
  }

  // Pass 3: links, each of which must lead to something inside the folder.
  char rootReal[PATH_MAX];
  if (::realpath(target.c_str(), rootReal) == nullptr) {
    return fail("extract", "cannot resolve the folder " + folder);
  }
  const std::string rootPrefix = std::string(rootReal) + "/";
  std::vector<std::string> made;
  auto undoLinks = [&] {
    for (const std::string& link : made) {
      ::unlink(link.c_str());
    }
  };
  for (const Entry& entry : entries) {
    if (!entry.link) {
      continue;
    }
    Descriptor parent = openFolder(root.get(), entry.parts, entry.parts.size() - 1);
    if (!parent.valid() ||
        ::symlinkat(entry.linkTarget.c_str(), parent.get(), entry.parts.back().c_str()) != 0) {
      undoLinks();
      return fail("extract", "cannot create the link " + joined(entry.parts));
    }
    made.push_back(target + "/" + joined(entry.parts));
  }
  for (const std::string& link : made) {
    char real[PATH_MAX];
    if (::realpath(link.c_str(), real) == nullptr ||
        (std::string(real) + "/").rfind(rootPrefix, 0) != 0) {
      undoLinks();
      return fail("extract", "link leading outside the folder: " + link);
    }
  }
  if (m_progress) {
    m_progress(1.0);
  }
  return true;
}

}  // namespace tabrik::toolkit
