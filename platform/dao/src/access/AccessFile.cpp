#include "access/AccessFile.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

namespace tabrik::dao::access {

namespace {

// Page 0 of every Jet and ACE file: 4 bytes of page type, the engine's signature at
// offset 4, and at 0x14 the version: 0 Jet 3, 1 Jet 4, 2 and above ACE (Access 2007
// and later each bumped it).
constexpr long kSignatureOffset = 4;
constexpr long kVersionOffset = 0x14;
constexpr char kJetSignature[] = "Standard Jet DB";
constexpr char kAceSignature[] = "Standard ACE DB";

}  // namespace

AccessFormat accessFormatOf(const std::string& utf8Path) {
  std::FILE* file = std::fopen(utf8Path.c_str(), "rb");
  if (!file) return AccessFormat::None;
  unsigned char header[kVersionOffset + 1] = {};
  const size_t got = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  if (got < sizeof header) return AccessFormat::None;
  const char* signature = reinterpret_cast<const char*>(header + kSignatureOffset);
  const bool jet = std::memcmp(signature, kJetSignature, sizeof kJetSignature - 1) == 0;
  const bool ace = std::memcmp(signature, kAceSignature, sizeof kAceSignature - 1) == 0;
  if (!jet && !ace) return AccessFormat::None;
  const unsigned version = header[kVersionOffset];
  if (version == 0) return AccessFormat::Jet3;
  if (version == 1) return AccessFormat::Jet4;
  return AccessFormat::Ace;
}

const char* formatName(AccessFormat format) {
  switch (format) {
    case AccessFormat::Jet3:
      return "Jet 3";
    case AccessFormat::Jet4:
      return "Jet 4";
    case AccessFormat::Ace:
      return "ACE";
    case AccessFormat::None:
      break;
  }
  return "none";
}

FileStamp stampOf(const std::string& utf8Path) {
  struct stat st {};
  if (stat(utf8Path.c_str(), &st) != 0) return {};
  return {static_cast<std::int64_t>(st.st_size),
          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

}  // namespace tabrik::dao::access
