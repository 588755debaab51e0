// DAO's ODBC connect strings to a PostgreSQL server, pointer files, and the libpq
// connection text: parsing and quoting only, no connection is made here.
#include "server/ConnectString.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include <sys/stat.h>

namespace tabrik::dao::server {
namespace {

constexpr std::size_t kPointerFileLimit = 64 * 1024;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string trimmed(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool startsWithNoCase(const std::string& text, std::size_t at, const char* prefix) {
  for (std::size_t i = 0; prefix[i] != '\0'; ++i) {
    if (at + i >= text.size()) return false;
    if (std::toupper(static_cast<unsigned char>(text[at + i])) !=
        std::toupper(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

// One key=value attribute of a connect string. [valueBegin, valueEnd) is the value as
// written (braces included), so a masked copy can replace exactly it.
struct Attribute {
  std::string key;  // upper case, trimmed
  std::string value;
  std::size_t valueBegin = 0, valueEnd = 0;
};

// The offset just past "ODBC;" (leading blanks allowed), or npos when the text does not
// begin with it.
std::size_t odbcBodyStart(const std::string& connect) {
  std::size_t at = 0;
  while (at < connect.size() && isBlank(connect[at])) ++at;
  if (!startsWithNoCase(connect, at, "ODBC;")) return std::string::npos;
  return at + 5;
}

// Splits the attributes after "ODBC;". Lenient on purpose: a brace left open takes the
// rest of the text, so a mistyped password never spills into a key or a path.
std::vector<Attribute> attributes(const std::string& s, std::size_t at) {
  std::vector<Attribute> out;
  while (at < s.size()) {
    while (at < s.size() && (isBlank(s[at]) || s[at] == ';')) ++at;
    if (at >= s.size()) break;
    std::size_t keyEnd = at;
    while (keyEnd < s.size() && s[keyEnd] != '=' && s[keyEnd] != ';') ++keyEnd;
    Attribute attribute;
    attribute.key = upper(trimmed(s.substr(at, keyEnd - at)));
    if (keyEnd >= s.size() || s[keyEnd] == ';') {  // a keyword without a value
      attribute.valueBegin = attribute.valueEnd = keyEnd;
      out.push_back(std::move(attribute));
      at = keyEnd;
      continue;
    }
    std::size_t v = keyEnd + 1;
    while (v < s.size() && (s[v] == ' ' || s[v] == '\t')) ++v;
    attribute.valueBegin = v;
    if (v < s.size() && s[v] == '{') {
      std::size_t i = v + 1;
      for (; i < s.size(); ++i) {
        if (s[i] != '}') {
          attribute.value += s[i];
          continue;
        }
        if (i + 1 < s.size() && s[i + 1] == '}') {  // "}}" is a literal brace
          attribute.value += '}';
          ++i;
          continue;
        }
        break;
      }
      attribute.valueEnd = i < s.size() ? i + 1 : s.size();
      at = attribute.valueEnd;
      while (at < s.size() && s[at] != ';') ++at;  // stray text after the brace
    } else {
      std::size_t end = v;
      while (end < s.size() && s[end] != ';') ++end;
      at = end;
      while (end > v && isBlank(s[end - 1])) --end;
      attribute.value = s.substr(v, end - v);
      attribute.valueEnd = end;
    }
    out.push_back(std::move(attribute));
  }
  return out;
}

bool isPostgresDriver(const std::string& driver) {
  const std::string name = upper(trimmed(driver));
  if (name.rfind("POSTGRESQL", 0) != 0) return false;
  if (name.size() == 10) return true;
  const char next = name[10];
  return next == ' ' || next == '(' || next == '\t';
}

bool isPasswordKey(const std::string& key) { return key == "PWD" || key == "PASSWORD"; }

// libpq's quoting of a connection parameter value: single quotes, with a quote or a
// backslash inside escaped by a backslash.
std::string quoted(const std::string& value) {
  std::string out = "'";
  for (char c : value) {
    if (c == '\'' || c == '\\') out += '\\';
    out += c;
  }
  out += '\'';
  return out;
}

void appendParameter(std::string& out, const char* keyword, const std::string& value) {
  if (value.empty()) return;
  if (!out.empty()) out += ' ';
  out += keyword;
  out += '=';
  out += quoted(value);
}

bool containsNoCase(const std::string& text, const char* needle) {
  return upper(text).find(upper(needle)) != std::string::npos;
}

bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The end of a password value starting at `at`: a braced or quoted value to its closing
// mark, a bare one to the first blank, separator or quote.
std::size_t secretEnd(const std::string& text, std::size_t at) {
  if (at >= text.size()) return at;
  if (text[at] == '{') {
    std::size_t i = at + 1;
    while (i < text.size() && !(text[i] == '}' && (i + 1 >= text.size() || text[i + 1] != '}')))
      i += text[i] == '}' ? 2 : 1;
    return std::min(i + 1, text.size());
  }
  if (text[at] == '\'') {
    std::size_t i = at + 1;
    while (i < text.size() && text[i] != '\'') i += text[i] == '\\' ? 2 : 1;
    return std::min(i + 1, text.size());
  }
  std::size_t i = at;
  while (i < text.size() && !isBlank(text[i]) && text[i] != ';' && text[i] != '&' &&
         text[i] != '\'' && text[i] != '"')
    ++i;
  return i;
}

// The text with each [begin, end) span (sorted, apart) replaced by "***"; built in one
// pass, so a text with many secrets costs no more than its length.
std::string withSpansMasked(const std::string& text,
                            const std::vector<std::pair<std::size_t, std::size_t>>& spans) {
  std::string out;
  out.reserve(text.size());
  std::size_t done = 0;
  for (const auto& [begin, end] : spans) {
    out.append(text, done, begin - done);
    out += "***";
    done = end;
  }
  out.append(text, done, std::string::npos);
  return out;
}

// Masks a password wherever it stands in free text: `PWD=`, `PASSWORD=` (any case,
// as a whole word, blanks allowed around '=') and `PGPASSWORD=`, as an ODBC string
// quoted inside a message or libpq's keyword text carries them, and the user-info
// password of a postgresql:// address.
std::string maskFreeText(const std::string& original) {
  const std::string up = upper(original);
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  for (std::size_t at = 0; at < up.size(); ++at) {
    if (at > 0 && isWordChar(up[at - 1])) continue;
    std::size_t length = 0;
    for (const char* key : {"PGPASSWORD", "PASSWORD", "PWD"})
      if (up.compare(at, std::strlen(key), key) == 0) {
        length = std::strlen(key);
        break;
      }
    if (length == 0 || (at + length < up.size() && isWordChar(up[at + length]))) continue;
    std::size_t i = at + length;
    while (i < up.size() && (up[i] == ' ' || up[i] == '\t')) ++i;
    if (i >= up.size() || up[i] != '=') continue;
    ++i;
    while (i < up.size() && (up[i] == ' ' || up[i] == '\t')) ++i;
    const std::size_t end = secretEnd(original, i);
    if (end == i) continue;
    spans.emplace_back(i, end);
    at = end - 1;
  }
  std::string text = withSpansMasked(original, spans);
  const std::size_t scheme = text.find("://");
  if (scheme != std::string::npos) {
    const std::size_t hostStart = scheme + 3;
    const std::size_t at = text.find('@', hostStart);
    const std::size_t slash = text.find('/', hostStart);
    if (at != std::string::npos && (slash == std::string::npos || at < slash)) {
      const std::size_t colon = text.find(':', hostStart);
      if (colon != std::string::npos && colon < at) text.replace(colon + 1, at - colon - 1, "***");
    }
  }
  return text;
}

}  // namespace

std::optional<ServerAddress> parseConnectString(const std::string& connect) {
  const std::size_t body = odbcBodyStart(connect);
  if (body == std::string::npos) return std::nullopt;
  ServerAddress address;
  bool driverSeen = false, postgres = false;
  std::vector<std::string> seen;
  std::string sslmode, timeout, pqopt;
  for (const Attribute& a : attributes(connect, body)) {
    if (std::find(seen.begin(), seen.end(), a.key) != seen.end()) continue;  // first wins
    std::string* target = nullptr;
    if (a.key == "DRIVER") {
      driverSeen = true;
      postgres = isPostgresDriver(a.value);
    } else if (a.key == "SERVER" || a.key == "SERVERNAME" || a.key == "HOST") {
      target = &address.host;
    } else if (a.key == "PORT") {
      target = &address.port;
    } else if (a.key == "DATABASE" || a.key == "DB") {
      target = &address.database;
    } else if (a.key == "UID" || a.key == "USER" || a.key == "USERNAME") {
      target = &address.user;
    } else if (isPasswordKey(a.key)) {
      target = &address.password;
    } else if (a.key == "SSLMODE") {
      target = &sslmode;
    } else if (a.key == "CONNECT_TIMEOUT") {
      target = &timeout;
    } else if (a.key == "PQOPT") {
      target = &pqopt;
    }
    // Aliases share one member: the first of them given wins, as for one key.
    if (target != nullptr && !target->empty()) continue;
    if (target != nullptr) *target = a.value;
    seen.push_back(a.key);
  }
  if (!driverSeen || !postgres) return std::nullopt;
  appendParameter(address.options, "sslmode", sslmode);
  appendParameter(address.options, "connect_timeout", timeout);
  const std::string extra = trimmed(pqopt);
  if (!extra.empty()) address.options += (address.options.empty() ? "" : " ") + extra;
  return address;
}

std::optional<std::string> readPointerFile(const std::string& nativePath) {
  struct stat info {};
  if (nativePath.empty() || ::stat(nativePath.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<unsigned long long>(info.st_size) > kPointerFileLimit)
    return std::nullopt;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(nativePath.c_str(), "rb"), &std::fclose);
  if (!file) return std::nullopt;
  std::string text(kPointerFileLimit + 1, '\0');
  text.resize(std::fread(text.data(), 1, text.size(), file.get()));
  // The size is checked again on what was read: the file may have grown since stat.
  if (text.size() > kPointerFileLimit || text.find('\0') != std::string::npos) return std::nullopt;
  std::size_t at = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = trimmed(text.substr(at, end - at));
    at = end + 1;
    if (line.empty() || line[0] == '#') continue;
    if (!parseConnectString(line)) return std::nullopt;
    return line;
  }
  return std::nullopt;
}

std::string libpqConnInfo(const ServerAddress& address) {
  std::string out;
  appendParameter(out, "host", address.host);
  appendParameter(out, "port", address.port);
  appendParameter(out, "dbname", address.database);
  appendParameter(out, "user", address.user);
  appendParameter(out, "password", address.password);
  const std::string options = trimmed(address.options);
  if (!options.empty()) out += (out.empty() ? "" : " ") + options;
  return out;
}

std::string maskConnectString(const std::string& connect) {
  const std::size_t body = odbcBodyStart(connect);
  if (body == std::string::npos) return maskFreeText(connect);
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  for (const Attribute& a : attributes(connect, body)) {
    const bool secret =
        isPasswordKey(a.key) || (a.key == "PQOPT" && containsNoCase(a.value, "password"));
    if (secret && a.valueEnd > a.valueBegin) spans.emplace_back(a.valueBegin, a.valueEnd);
  }
  return withSpansMasked(connect, spans);
}

}  // namespace tabrik::dao::server
