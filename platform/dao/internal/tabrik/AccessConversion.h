// Access files (.mdb, .accdb) brought into the engine's own format, for the host's
// `convert-mdb` command and for opening an Access file read-only.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace tabrik::dao {

struct AccessTableReport {
  std::wstring name;
  long records = 0;                 // brought over
  long recordsLeftOut = 0;          // that the engine refused (the notes say why)
  std::vector<std::wstring> notes;  // fields, indexes left out or changed
};

struct AccessConversionReport {
  std::string format;  // "Jet 3", "Jet 4", "ACE"
  std::vector<AccessTableReport> tables;
  long relations = 0;
  long queries = 0;
  std::vector<std::wstring> notes;  // relations and queries left out, and why
};

// True when the file's header is that of a Jet 3, Jet 4 or ACE database.
bool isAccessFile(const std::wstring& path);

// Converts the Access file at `in` into a new database at `out`, reporting each table
// through `progress` as it is done. The Access file is only read. The reading runs in a
// child process, so a damaged file cannot take the caller down; `out` appears whole or
// not at all. Throws CDaoException*: 3024 `in` missing, 3343 not an Access file (or one
// that cannot be read), 3049 damaged, 3204 `out` exists, 3044 its folder is missing.
AccessConversionReport convertAccessFile(
    const std::wstring& in, const std::wstring& out,
    const std::function<void(const std::wstring& line)>& progress = {});

// The engine's copy of an Access file, converted when first asked for and again
// whenever the Access file changes; kept in the user's cache folder
// ($XDG_CACHE_HOME/tabrik/access). Throws as convertAccessFile.
std::wstring convertedCopyOf(const std::wstring& accessPath);

// The refusal of write access to an Access file: DAO's 3051, with a text that says
// how to make the file writable (convert it).
[[noreturn]] void throwWritesNeedConversion(const std::wstring& accessPath);

}  // namespace tabrik::dao
