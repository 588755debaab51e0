// New databases on the office's server: the database made there and the connect
// string its pointer file holds.
#include "server/NewDatabases.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "DaoErrors.h"
#include "afxdao.h"
#include "store/PgStore.h"
#include "tabrik/TextConversion.h"

namespace tabrik::dao::server {
namespace {

constexpr std::size_t kNameStemLimit = 40;

// A connect string value, in braces when it holds what would end or split it.
std::string connectValue(const std::string& value) {
  bool plain = !value.empty() && value.find_first_of(";{}= \t") == std::string::npos;
  if (plain) return value;
  std::string braced = "{";
  for (char c : value) {
    braced += c;
    if (c == '}') braced += '}';
  }
  return braced + "}";
}

std::wstring serverDisplay(const ServerAddress& address) {
  return text::fromUtf8(address.host.empty() ? "the database server" : address.host.c_str());
}

ServerAddress addressOf(const std::string& connect) {
  std::optional<ServerAddress> address = parseConnectString(connect);
  if (!address) daoThrow(3151, {text::fromUtf8(maskConnectString(connect).c_str())});
  return *address;
}

}  // namespace

std::optional<std::string> serverForNewDatabases() {
  const char* value = std::getenv(kNewDatabasesVariable);
  if (value == nullptr || *value == '\0') return std::nullopt;
  addressOf(value);  // a mistyped setting is an error, not silently a file
  return std::string(value);
}

std::string pointerConnectString(const ServerAddress& address) {
  std::string connect = "ODBC;DRIVER={PostgreSQL}";
  auto add = [&](const char* key, const std::string& value) {
    if (!value.empty()) connect += std::string(";") + key + "=" + connectValue(value);
  };
  add("SERVER", address.host);
  add("PORT", address.port);
  add("DATABASE", address.database);
  add("UID", address.user);
  add("PQOPT", address.options);
  return connect;
}

std::string serverDatabaseName(const std::string& nativePath, unsigned unique) {
  std::size_t slash = nativePath.find_last_of('/');
  std::string file = slash == std::string::npos ? nativePath : nativePath.substr(slash + 1);
  std::size_t dot = file.find_last_of('.');
  if (dot != std::string::npos && dot > 0) file.resize(dot);
  std::string stem;
  for (char c : file) {
    if (stem.size() == kNameStemLimit) break;
    unsigned char u = static_cast<unsigned char>(c);
    stem += std::isalnum(u) && u < 0x80 ? static_cast<char>(std::tolower(u)) : '_';
  }
  // A server name may not begin with a digit unquoted; the stem keeps it readable.
  if (stem.empty() || std::isdigit(static_cast<unsigned char>(stem[0]))) stem = "db_" + stem;
  char suffix[10];
  std::snprintf(suffix, sizeof suffix, "_%08x", unique);
  return stem + suffix;
}

std::string createServerDatabase(const std::string& serverConnect, const std::string& nativePath) {
  ServerAddress server = addressOf(serverConnect);
  storage::PgConnection admin(libpqConnInfo(server), serverDisplay(server));
  std::random_device entropy;
  ServerAddress made = server;
  made.database = serverDatabaseName(nativePath, entropy());
  // CREATE DATABASE runs outside a transaction; the name holds only [a-z0-9_].
  admin.exec("CREATE DATABASE \"" + made.database + "\"", 3146);
  made.password.clear();
  return pointerConnectString(made);
}

void dropServerDatabase(const std::string& serverConnect, const std::string& databaseConnect) {
  try {
    ServerAddress server = addressOf(serverConnect);
    ServerAddress made = addressOf(databaseConnect);
    storage::PgConnection admin(libpqConnInfo(server), serverDisplay(server));
    admin.exec("DROP DATABASE IF EXISTS \"" + made.database + "\" WITH (FORCE)", 3146);
  } catch (CDaoException* e) {
    e->Delete();
  }
}

}  // namespace tabrik::dao::server
