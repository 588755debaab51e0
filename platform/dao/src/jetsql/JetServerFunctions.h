// Jet's functions on a PostgreSQL server: the VBA functions a caller's SQL may call and
// the jet_* helpers the translator writes, as SQL functions in a schema of the engine's
// own, so that a statement computes the same on a server as on a file.
#pragma once
#include <string>

namespace tabrik::dao::storage {
class Connection;
}

namespace tabrik::dao::jetsql {

// The schema the functions live in; the translator qualifies every call with it.
inline constexpr char kServerSchema[] = "tabrik_jet";

// Whether `lowerName` is one of the functions the server schema defines.
bool isServerFunction(const char* lowerName);

// The same for the functions of JetServerVba.cpp (Format, CDate, CCur, the aggregates).
bool isServerVbaFunction(const char* lowerName);
std::string serverVbaSql();

// The statements that (re)create the schema and its functions.
std::string serverFunctionsSql();

// Makes the functions on the connection's database unless the present version is
// there already; a session that may not write leaves them as they are.
void installServerFunctions(storage::Connection& conn, bool mayWrite);

}  // namespace tabrik::dao::jetsql
