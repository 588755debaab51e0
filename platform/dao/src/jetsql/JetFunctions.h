// The VBA functions Jet SQL can call (conversions CInt, CLng, CDbl, CCur, CDate, CBool
// included), Jet's aggregates that SQLite lacks (StDev, StDevP, Var, VarP, First,
// Last), and the helpers the translator rewrites Jet's operators into (jet_concat for
// &, jet_intdiv for \, jet_mod for Mod, jet_like for Like), registered on an SQLite
// connection. VBA's rules hold: Null in, Null out; CInt/CLng/CCur round half to even;
// text functions count characters, not bytes.
#pragma once
#include <sqlite3.h>

#include <string>

namespace tabrik::dao::jetsql {

void registerJetFunctions(sqlite3* db);

// Jet's Like: * ? # [list] [!list], case-insensitive; no trailing-blank forgiveness.
bool jetLike(const std::wstring& text, const std::wstring& pattern);

}  // namespace tabrik::dao::jetsql
