#include "server/ConnectString.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace tabrik::dao::server {

namespace {

std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

std::string upperAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string quoted(const std::string& v) {
  std::string out = "'";
  for (char c : v) {
    if (c == '\'' || c == '\\') out += '\\';
    out += c;
  }
  return out + "'";
}

}  // namespace

std::optional<ServerAddress> parseConnectString(const std::string& connect) {
  std::string text = trim(connect);
  if (upperAscii(text.substr(0, 5)) != "ODBC;") return std::nullopt;
  ServerAddress a;
  bool postgres = false;
  size_t i = 5;
  while (i < text.size()) {
    size_t eq = text.find('=', i);
    if (eq == std::string::npos) break;
    std::string key = upperAscii(trim(text.substr(i, eq - i)));
    std::string value;
    size_t j = eq + 1;
    while (j < text.size() && text[j] == ' ') ++j;
    if (j < text.size() && text[j] == '{') {
      for (++j; j < text.size(); ++j) {
        if (text[j] == '}') {
          if (j + 1 < text.size() && text[j + 1] == '}') {
            value += '}';
            ++j;
            continue;
          }
          ++j;
          break;
        }
        value += text[j];
      }
      size_t semi = text.find(';', j);
      i = semi == std::string::npos ? text.size() : semi + 1;
    } else {
      size_t semi = text.find(';', j);
      value = trim(text.substr(j, semi == std::string::npos ? std::string::npos : semi - j));
      i = semi == std::string::npos ? text.size() : semi + 1;
    }
    if (key == "DRIVER") postgres = upperAscii(value).rfind("POSTGRESQL", 0) == 0;
    if ((key == "SERVER" || key == "HOST") && a.host.empty()) a.host = value;
    if (key == "PORT" && a.port.empty()) a.port = value;
    if ((key == "DATABASE" || key == "DB") && a.database.empty()) a.database = value;
    if ((key == "UID" || key == "USER") && a.user.empty()) a.user = value;
    if ((key == "PWD" || key == "PASSWORD") && a.password.empty()) a.password = value;
  }
  if (!postgres) return std::nullopt;
  return a;
}

std::optional<std::string> readPointerFile(const std::string& nativePath) {
  std::ifstream in(nativePath, std::ios::binary);
  if (!in) return std::nullopt;
  std::string head(65536, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  if (head.rfind("\xEF\xBB\xBF", 0) == 0) head.erase(0, 3);
  std::istringstream lines(head);
  std::string line;
  while (std::getline(lines, line)) {
    std::string t = trim(line);
    if (t.empty() || t[0] == '#') continue;
    if (parseConnectString(t)) return t;
    return std::nullopt;
  }
  return std::nullopt;
}

std::string libpqConnInfo(const ServerAddress& a) {
  std::string out;
  auto add = [&](const char* key, const std::string& v) {
    if (v.empty()) return;
    if (!out.empty()) out += ' ';
    out += std::string(key) + "=" + quoted(v);
  };
  add("host", a.host);
  add("port", a.port);
  add("dbname", a.database);
  add("user", a.user);
  add("password", a.password);
  if (!a.options.empty()) out += (out.empty() ? "" : " ") + a.options;
  return out;
}

}  // namespace tabrik::dao::server
