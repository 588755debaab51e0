// Access files (Jet 3, Jet 4 and ACE) as they lie on disk: recognising one by its header,
// and the file's identity that tells a converted copy whether it is still current.
#pragma once
#include <cstdint>
#include <string>

namespace tabrik::dao::access {

enum class AccessFormat { None, Jet3, Jet4, Ace };

// The format named by the file's first page; None for anything else (an engine
// database, a missing or short file). Never throws.
AccessFormat accessFormatOf(const std::string& utf8Path);
const char* formatName(AccessFormat format);  // "Jet 3", "Jet 4", "ACE"

// What changes when anyone writes the file: its size and modification time.
struct FileStamp {
  std::int64_t size = -1;
  std::int64_t modifiedNs = 0;
  bool operator==(const FileStamp& o) const { return size == o.size && modifiedNs == o.modifiedNs; }
};
FileStamp stampOf(const std::string& utf8Path);  // size -1 when the file is missing

}  // namespace tabrik::dao::access
