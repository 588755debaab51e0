// JETTEXT: Jet's "General" sort order (locale 1033) as an SQLite collation.
//
// Two texts compare in three passes, each looked at only when the ones before it
// found them equal:
//   1. primary: letters without case or accent; '-' and '\'' ignored; by class
//      control < blank < punctuation and symbols (by code point) < digits < letters
//      (digits as characters: "10" < "9"); a text that is a prefix of the other first;
//   2. accents, character by character (none < acute < grave < circumflex < ...);
//   3. the ignored hyphens and apostrophes and where they stand.
// Case never counts, and trailing blanks are dropped first, so 'abc' = 'ABC   '.
#pragma once
#include <sqlite3.h>

#include <cstddef>

namespace tabrik::dao {

int jetCompare(const wchar_t* a, std::size_t na, const wchar_t* b, std::size_t nb);
int jetCompareUtf8(const char* a, int na, const char* b, int nb);
void registerJetCollation(sqlite3* db);

}  // namespace tabrik::dao
