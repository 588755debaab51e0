// The JETTEXT collation (rules in JetCollation.h).
#include "JetCollation.h"

#include <vector>

namespace tabrik::dao {

namespace {

// Latin-1 Supplement and Latin Extended-A letters U+00C0..U+017F: base letter and
// accent class (0 = no letter: such characters sort as symbols).
struct Fold {
  char base;
  unsigned char accent;
};
const Fold kFold[0x180 - 0xC0] = {
    {'a', 2},  {'a', 1},  {'a', 3},  {'a', 5},  {'a', 4},  {'a', 6},  {'a', 17}, {'c', 7},
    {'e', 2},  {'e', 1},  {'e', 3},  {'e', 4},  {'i', 2},  {'i', 1},  {'i', 3},  {'i', 4},
    {0, 0},    {'n', 5},  {'o', 2},  {'o', 1},  {'o', 3},  {'o', 5},  {'o', 4},  {0, 0},
    {'o', 15}, {'u', 2},  {'u', 1},  {'u', 3},  {'u', 4},  {'y', 1},  {0, 0},    {'s', 16},
    {'a', 2},  {'a', 1},  {'a', 3},  {'a', 5},  {'a', 4},  {'a', 6},  {'a', 17}, {'c', 7},
    {'e', 2},  {'e', 1},  {'e', 3},  {'e', 4},  {'i', 2},  {'i', 1},  {'i', 3},  {'i', 4},
    {0, 0},    {'n', 5},  {'o', 2},  {'o', 1},  {'o', 3},  {'o', 5},  {'o', 4},  {0, 0},
    {'o', 15}, {'u', 2},  {'u', 1},  {'u', 3},  {'u', 4},  {'y', 1},  {0, 0},    {'y', 4},
    {'a', 8},  {'a', 8},  {'a', 9},  {'a', 9},  {'a', 10}, {'a', 10}, {'c', 1},  {'c', 1},
    {'c', 3},  {'c', 3},  {'c', 11}, {'c', 11}, {'c', 12}, {'c', 12}, {'d', 12}, {'d', 12},
    {'d', 15}, {'d', 15}, {'e', 8},  {'e', 8},  {'e', 9},  {'e', 9},  {'e', 11}, {'e', 11},
    {'e', 10}, {'e', 10}, {'e', 12}, {'e', 12}, {'g', 3},  {'g', 3},  {'g', 9},  {'g', 9},
    {'g', 11}, {'g', 11}, {'g', 7},  {'g', 7},  {'h', 3},  {'h', 3},  {'h', 15}, {'h', 15},
    {'i', 5},  {'i', 5},  {'i', 8},  {'i', 8},  {'i', 9},  {'i', 9},  {'i', 10}, {'i', 10},
    {'i', 11}, {'i', 15}, {'i', 17}, {'i', 17}, {'j', 3},  {'j', 3},  {'k', 7},  {'k', 7},
    {'k', 15}, {'l', 1},  {'l', 1},  {'l', 7},  {'l', 7},  {'l', 12}, {'l', 12}, {'l', 14},
    {'l', 14}, {'l', 15}, {'l', 15}, {'n', 1},  {'n', 1},  {'n', 7},  {'n', 7},  {'n', 12},
    {'n', 12}, {'n', 15}, {'n', 16}, {'n', 16}, {'o', 8},  {'o', 8},  {'o', 9},  {'o', 9},
    {'o', 13}, {'o', 13}, {'o', 17}, {'o', 17}, {'r', 1},  {'r', 1},  {'r', 7},  {'r', 7},
    {'r', 12}, {'r', 12}, {'s', 1},  {'s', 1},  {'s', 3},  {'s', 3},  {'s', 7},  {'s', 7},
    {'s', 12}, {'s', 12}, {'t', 7},  {'t', 7},  {'t', 12}, {'t', 12}, {'t', 15}, {'t', 15},
    {'u', 5},  {'u', 5},  {'u', 8},  {'u', 8},  {'u', 9},  {'u', 9},  {'u', 6},  {'u', 6},
    {'u', 13}, {'u', 13}, {'u', 10}, {'u', 10}, {'w', 3},  {'w', 3},  {'y', 3},  {'y', 3},
    {'y', 4},  {'z', 1},  {'z', 1},  {'z', 11}, {'z', 11}, {'z', 12}, {'z', 12}, {'s', 15},
};

enum Class : unsigned {
  kControl = 0,
  kBlank = 1,
  kSymbol = 2,
  kDigit = 3,
  kLetter = 4,
  kOtherLetter = 5
};

struct Weight {
  unsigned primary;
  unsigned char accent;
  bool ignored;
};

unsigned lowerOther(char32_t c) {
  if (c >= 0x391 && c <= 0x3A9) return c + 0x20;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;  // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

Weight weigh(char32_t c) {
  auto make = [](unsigned cls, unsigned order, unsigned char accent = 0) {
    return Weight{(cls << 24) | order, accent, false};
  };
  if (c == U'-' || c == U'\'') return Weight{0, 0, true};
  if (c == U' ' || c == U'\t' || c == 0xA0) return make(kBlank, c == U'\t' ? 0 : 1);
  if (c < 0x20 || c == 0x7F) return make(kControl, c);
  if (c >= U'0' && c <= U'9') return make(kDigit, c);
  if (c >= U'a' && c <= U'z') return make(kLetter, c);
  if (c >= U'A' && c <= U'Z') return make(kLetter, c + 32);
  if (c < 0x80) return make(kSymbol, c);
  if (c >= 0xC0 && c < 0x180 && kFold[c - 0xC0].base) {
    const Fold& f = kFold[c - 0xC0];
    return make(kLetter, static_cast<unsigned>(f.base), f.accent);
  }
  if (c < 0x250) return make(kSymbol, c);  // Latin-1 signs, × and ÷
  return make(kOtherLetter, lowerOther(c) & 0xFFFFFF);
}

// Code point sources over the two encodings, with trailing blanks already cut off.
struct WideSource {
  const wchar_t* p;
  const wchar_t* end;
  bool next(char32_t& c) {
    if (p == end) return false;
    c = static_cast<char32_t>(*p++);
    return true;
  }
};

struct Utf8Source {
  const unsigned char* p;
  const unsigned char* end;
  bool next(char32_t& c) {
    if (p == end) return false;
    unsigned char b = *p++;
    if (b < 0x80) {
      c = b;
      return true;
    }
    int extra = (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : 0;
    c = extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    if (extra == 0) {  // a stray byte: weigh it as itself
      c = b;
      return true;
    }
    while (extra-- > 0 && p != end && (*p & 0xC0) == 0x80) c = (c << 6) | (*p++ & 0x3F);
    return true;
  }
};

template <class Source>
int compareSources(Source a0, Source b0) {
  // Pass 1: primary weights.
  {
    Source a = a0, b = b0;
    for (;;) {
      Weight wa{}, wb{};
      char32_t c;
      bool ha = false, hb = false;
      while ((ha = a.next(c)) && (wa = weigh(c)).ignored) {
      }
      while ((hb = b.next(c)) && (wb = weigh(c)).ignored) {
      }
      if (!ha || !hb) {
        if (ha != hb) return ha ? 1 : -1;
        break;
      }
      if (wa.primary != wb.primary) return wa.primary < wb.primary ? -1 : 1;
    }
  }
  // Pass 2: accents (both have the same number of weighed characters here).
  {
    Source a = a0, b = b0;
    for (;;) {
      Weight wa{}, wb{};
      char32_t c;
      bool ha = false, hb = false;
      while ((ha = a.next(c)) && (wa = weigh(c)).ignored) {
      }
      while ((hb = b.next(c)) && (wb = weigh(c)).ignored) {
      }
      if (!ha || !hb) break;
      if (wa.accent != wb.accent) return wa.accent < wb.accent ? -1 : 1;
    }
  }
  // Pass 3: the ignored characters, by position, then by which one.
  {
    Source a = a0, b = b0;
    int ia = 0, ib = 0;
    for (;;) {
      char32_t ca = 0, cb = 0;
      bool ha = false, hb = false;
      while ((ha = a.next(ca)) && !weigh(ca).ignored) ++ia;
      while ((hb = b.next(cb)) && !weigh(cb).ignored) ++ib;
      if (!ha || !hb) {
        if (ha != hb) return ha ? 1 : -1;
        return 0;
      }
      if (ia != ib) return ia < ib ? 1 : -1;  // the earlier mark sorts later
      if (ca != cb) return ca < cb ? -1 : 1;
      ++ia;
      ++ib;
    }
  }
}

int collate(void*, int na, const void* a, int nb, const void* b) {
  return jetCompareUtf8(static_cast<const char*>(a), na, static_cast<const char*>(b), nb);
}

}  // namespace

int jetCompare(const wchar_t* a, std::size_t na, const wchar_t* b, std::size_t nb) {
  while (na > 0 && a[na - 1] == L' ') --na;
  while (nb > 0 && b[nb - 1] == L' ') --nb;
  return compareSources(WideSource{a, a + na}, WideSource{b, b + nb});
}

int jetCompareUtf8(const char* a, int na, const char* b, int nb) {
  while (na > 0 && a[na - 1] == ' ') --na;
  while (nb > 0 && b[nb - 1] == ' ') --nb;
  auto* ua = reinterpret_cast<const unsigned char*>(a);
  auto* ub = reinterpret_cast<const unsigned char*>(b);
  return compareSources(Utf8Source{ua, ua + na}, Utf8Source{ub, ub + nb});
}

void registerJetCollation(sqlite3* db) {
  sqlite3_create_collation_v2(db, "JETTEXT", SQLITE_UTF8, nullptr, collate, nullptr);
}

}  // namespace tabrik::dao
