// The toolkit's zip archive object over libzip: open an archive and extract all of it
// into a folder, or start a new archive, append files, write it. Every operation
// reports success as a bool and records its failures in errors().
//
// States and transitions:
//   closed --open()--> reading --extractAll()--> reading --close()--> closed
//   closed --create()--> writing --addFile()*--> writing --write()--> closed
//   writing --close()--> closed (the new archive is discarded, nothing is written)
// An operation asked of the wrong state fails and is recorded.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/ErrorReport.h"

typedef struct zip zip_t;

namespace tabrik::toolkit {

// How far a long operation has come, from 0 to 1.
using ProgressCallback = std::function<void(double fraction)>;

// What extraction accepts before it refuses an archive as hostile (a zip bomb): the sum
// of the sizes the entries declare and the bytes actually written both stay under
// maxTotalBytes, and an archive holds at most maxEntries entries.
struct ExtractLimits {
  std::uint64_t maxTotalBytes = std::uint64_t{4} << 30;  // 4 GiB
  std::uint64_t maxEntries = 100000;
};

class ZipArchive {
 public:
  ZipArchive() = default;
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // Opens an existing archive for reading; false when the file is missing, truncated
  // or not a zip archive.
  bool open(const std::string& path);
  // Extracts every entry under folder (created when missing). Nothing is ever written
  // outside folder: an archive with an entry named by an absolute path, a drive
  // letter, a ".." segment, or a symbolic link leading outside is refused before
  // anything is written, as is one past the limits. Files are written through the
  // folder's own descriptors without following links, so a link already in the folder
  // cannot redirect a write either.
  bool extractAll(const std::string& folder, const ExtractLimits& limits = {});

  // Starts a new archive at path, replacing any file there once written; false when
  // the folder it would go in does not exist.
  bool create(const std::string& path);
  // Appends a regular file. Without keepPathInfo the entry is named by the file's name
  // alone; a later file of the same name replaces the earlier entry.
  bool addFile(const std::string& path, bool keepPathInfo = false);
  // Writes the archive (an empty archive too) and closes it.
  bool write();
  // Closes without writing; a reading archive is just closed.
  void close();

  void setProgress(ProgressCallback progress) { m_progress = std::move(progress); }
  const ErrorReport& errors() const { return m_errors; }
  std::size_t entryCount() const { return m_entries; }

 private:
  bool fail(const char* operation, std::string detail);

  zip_t* m_zip = nullptr;
  bool m_writing = false;
  std::string m_path;
  std::size_t m_entries = 0;
  ProgressCallback m_progress;
  ErrorReport m_errors;
};

// Whether an entry name stays inside the folder it is extracted to: relative, without
// a drive letter or any ':' (Windows cannot name such a file), without ".." segments,
// not empty. '\' and '/' both separate.
bool isSafeEntryName(const std::string& name);
// Whether a symbolic link stored at entryName with the given target resolves, read as
// text, inside the extraction folder.
bool isSafeLinkTarget(const std::string& entryName, const std::string& target);

}  // namespace tabrik::toolkit
