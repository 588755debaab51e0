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

// Whether a caller's statement may call the function (name as written, any case):
// the functions registered here, SQLite's own that Jet shares in name and meaning
// (Count, Sum, Avg, Min, Max, Abs, Round...) and the window function the translator
// writes for TOP. Everything else in SQLite's library (load_extension, fts3_tokenizer,
// randomblob, sqlite_version...) Jet never had.
bool isJetFunction(const char* name);

// Jet's Like: * ? # [list] [!list], case-insensitive; no trailing-blank forgiveness.
bool jetLike(const std::wstring& text, const std::wstring& pattern);

}  // namespace tabrik::dao::jetsql
