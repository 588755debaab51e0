// String functions: strcat, substr, strcase, chr/ascii, wcmatch and the vl-string-
// family. Strings are byte strings (UTF-8 passes through); positions count bytes.
#include <algorithm>
#include <cctype>

#include "RuntimeInternal.h"

namespace tabrik::lisp {

namespace {

Value bi_strcat(Runtime&, Args a) {
  std::string out;
  for (const Value& v : a) out += stringArg(v);
  return Value::string(std::move(out));
}

Value bi_strlen(Runtime&, Args a) {
  std::size_t n = 0;
  for (const Value& v : a) n += stringArg(v).size();
  return Value::integer(static_cast<std::int32_t>(n));
}

Value bi_substr(Runtime&, Args a) {
  checkArgCount(a, 2, 3);
  const std::string& s = stringArg(a[0]);
  std::int32_t start = intArg(a[1]);
  if (start <= 0) throwBadArgumentValue("positive " + std::to_string(start));
  std::size_t from = static_cast<std::size_t>(start - 1);
  if (from >= s.size()) return Value::string("");
  std::size_t count = std::string::npos;
  if (a.size() == 3) {
    std::int32_t length = intArg(a[2]);
    if (length < 0) throwBadArgumentValue("non-negative " + std::to_string(length));
    count = static_cast<std::size_t>(length);
  }
  return Value::string(s.substr(from, count));
}

Value bi_strcase(Runtime&, Args a) {
  checkArgCount(a, 1, 2);
  std::string s = stringArg(a[0]);
  bool lower = a.size() == 2 && a[1].isTrue();
  for (char& c : s) {
    if (lower && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (!lower && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return Value::string(std::move(s));
}

std::string encodeChar(std::int32_t code) {
  if (code <= 0) return std::string();
  if (code < 256) return std::string(1, static_cast<char>(code));
  // Beyond a byte: the character's UTF-8 form.
  std::string out;
  auto c = static_cast<std::uint32_t>(code);
  if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (c & 0x3F));
  return out;
}

Value bi_chr(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::string(encodeChar(intArg(a[0])));
}

Value bi_ascii(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  const std::string& s = stringArg(a[0]);
  return Value::integer(s.empty() ? 0 : static_cast<unsigned char>(s[0]));
}

// ---------------------------------------------------------------- wcmatch

bool isAlpha(unsigned char c) { return std::isalpha(c) || c >= 128; }
bool isAlnum(unsigned char c) { return std::isalnum(c) || c >= 128; }

// Matches one pattern alternative (no top-level commas) against text.
bool matchAlternative(std::string_view p, std::string_view t) {
  // Backtracking only at '*', keeping the last star position (classic two-pointer).
  std::size_t pi = 0, ti = 0, starP = std::string_view::npos, starT = 0;
  auto single = [&](std::size_t& pos, unsigned char c) -> bool {
    char pc = p[pos];
    switch (pc) {
      case '#':
        ++pos;
        return std::isdigit(c) != 0;
      case '@':
        ++pos;
        return isAlpha(c);
      case '.':
        ++pos;
        return !isAlnum(c);
      case '?':
        ++pos;
        return true;
      case '`':
        if (pos + 1 < p.size()) {
          pos += 2;
          return c == static_cast<unsigned char>(p[pos - 1]);
        }
        ++pos;
        return c == '`';
      case '[': {
        std::size_t k = pos + 1;
        bool negate = k < p.size() && p[k] == '~';
        if (negate) ++k;
        bool found = false;
        bool firstInSet = true;
        while (k < p.size() && (p[k] != ']' || firstInSet)) {
          unsigned char lo = static_cast<unsigned char>(p[k]);
          if (lo == '`' && k + 1 < p.size()) lo = static_cast<unsigned char>(p[++k]);
          if (k + 2 < p.size() && p[k + 1] == '-' && p[k + 2] != ']') {
            unsigned char hi = static_cast<unsigned char>(p[k + 2]);
            if (c >= lo && c <= hi) found = true;
            k += 3;
          } else {
            if (c == lo) found = true;
            ++k;
          }
          firstInSet = false;
        }
        pos = k < p.size() ? k + 1 : k;  // an unclosed set runs to the end
        return found != negate;
      }
      default:
        ++pos;
        return c == static_cast<unsigned char>(pc);
    }
  };
  while (ti < t.size()) {
    if (pi < p.size() && p[pi] == '*') {
      starP = ++pi;
      starT = ti;
      continue;
    }
    std::size_t next = pi;
    if (pi < p.size() && single(next, static_cast<unsigned char>(t[ti]))) {
      pi = next;
      ++ti;
      continue;
    }
    if (starP == std::string_view::npos) return false;
    pi = starP;
    ti = ++starT;
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace

bool wildcardMatch(std::string_view text, std::string_view pattern) {
  // Split at commas outside brackets and not escaped.
  std::size_t start = 0;
  bool inSet = false;
  for (std::size_t i = 0; i <= pattern.size(); ++i) {
    if (i < pattern.size()) {
      char c = pattern[i];
      if (c == '`') {
        ++i;
        continue;
      }
      if (c == '[')
        inSet = true;
      else if (c == ']')
        inSet = false;
      if (c != ',' || inSet) continue;
    }
    std::string_view alt = pattern.substr(start, i - start);
    bool negate = !alt.empty() && alt[0] == '~';
    if (negate) alt.remove_prefix(1);
    if (matchAlternative(alt, text) != negate) return true;
    start = i + 1;
  }
  return false;
}

namespace {

Value bi_wcmatch(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  // Only the first 500 characters of each take part.
  std::string_view text = stringArg(a[0]);
  std::string_view pattern = stringArg(a[1]);
  return Value::boolean(wildcardMatch(text.substr(0, 500), pattern.substr(0, 500)));
}

// ---------------------------------------------------------------- vl-string-

Value trim(Args a, bool left, bool right) {
  checkArgCount(a, 2, 2);
  const std::string& set = stringArg(a[0]);
  const std::string& s = stringArg(a[1]);
  std::size_t begin = 0, end = s.size();
  if (left)
    while (begin < end && set.find(s[begin]) != std::string::npos) ++begin;
  if (right)
    while (end > begin && set.find(s[end - 1]) != std::string::npos) --end;
  return Value::string(s.substr(begin, end - begin));
}

Value bi_trim(Runtime&, Args a) { return trim(a, true, true); }
Value bi_leftTrim(Runtime&, Args a) { return trim(a, true, false); }
Value bi_rightTrim(Runtime&, Args a) { return trim(a, false, true); }

std::size_t startArg(Args a, std::size_t index) {
  if (a.size() <= index || a[index].isNil()) return 0;
  std::int32_t start = intArg(a[index]);
  return start < 0 ? 0 : static_cast<std::size_t>(start);
}

Value bi_search(Runtime&, Args a) {
  checkArgCount(a, 2, 3);
  const std::string& pattern = stringArg(a[0]);
  const std::string& s = stringArg(a[1]);
  std::size_t start = startArg(a, 2);
  if (start > s.size()) return Value();
  std::size_t found = s.find(pattern, start);
  if (found == std::string::npos) return Value();
  return Value::integer(static_cast<std::int32_t>(found));
}

Value bi_subst(Runtime&, Args a) {
  checkArgCount(a, 3, 4);
  const std::string& replacement = stringArg(a[0]);
  const std::string& pattern = stringArg(a[1]);
  std::string s = stringArg(a[2]);
  std::size_t start = startArg(a, 3);
  if (start > s.size()) return Value::string(std::move(s));
  std::size_t found = s.find(pattern, start);
  if (found != std::string::npos) s.replace(found, pattern.size(), replacement);
  return Value::string(std::move(s));
}

Value bi_translate(Runtime&, Args a) {
  checkArgCount(a, 3, 3);
  const std::string& from = stringArg(a[0]);
  const std::string& to = stringArg(a[1]);
  std::string s = stringArg(a[2]);
  for (char& c : s) {
    std::size_t k = from.find(c);
    if (k != std::string::npos && k < to.size()) c = to[k];
  }
  return Value::string(std::move(s));
}

Value bi_position(Runtime&, Args a) {
  checkArgCount(a, 2, 4);
  std::int32_t code = intArg(a[0]);
  const std::string& s = stringArg(a[1]);
  bool fromEnd = a.size() == 4 && a[3].isTrue();
  std::size_t start = startArg(a, 2);
  if (!fromEnd) {
    for (std::size_t i = start; i < s.size(); ++i)
      if (static_cast<unsigned char>(s[i]) == code)
        return Value::integer(static_cast<std::int32_t>(i));
    return Value();
  }
  // From the end: the last occurrence at or before start (start defaults to the end).
  if (s.empty()) return Value();
  std::size_t last = a.size() >= 3 && a[2].isTrue() ? std::min(start, s.size() - 1) : s.size() - 1;
  for (std::size_t i = last + 1; i-- > 0;)
    if (static_cast<unsigned char>(s[i]) == code)
      return Value::integer(static_cast<std::int32_t>(i));
  return Value();
}

Value bi_elt(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  const std::string& s = stringArg(a[0]);
  std::int32_t i = intArg(a[1]);
  if (i < 0 || static_cast<std::size_t>(i) >= s.size())
    throwBadArgumentValue("index " + std::to_string(i));
  return Value::integer(static_cast<unsigned char>(s[static_cast<std::size_t>(i)]));
}

Value bi_mismatch(Runtime&, Args a) {
  checkArgCount(a, 2, 5);
  const std::string& s1 = stringArg(a[0]);
  const std::string& s2 = stringArg(a[1]);
  std::size_t p1 = startArg(a, 2), p2 = startArg(a, 3);
  bool ignoreCase = a.size() == 5 && a[4].isTrue();
  std::int32_t n = 0;
  while (p1 < s1.size() && p2 < s2.size()) {
    unsigned char x = static_cast<unsigned char>(s1[p1]), y = static_cast<unsigned char>(s2[p2]);
    if (ignoreCase) {
      x = static_cast<unsigned char>(std::toupper(x));
      y = static_cast<unsigned char>(std::toupper(y));
    }
    if (x != y) break;
    ++n, ++p1, ++p2;
  }
  return Value::integer(n);
}

Value bi_toList(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  std::vector<Value> codes;
  for (unsigned char c : stringArg(a[0])) codes.push_back(Value::integer(c));
  return Value::list(codes);
}

Value bi_fromList(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  if (!a[0].isList()) throwBadArgumentType("listp", a[0]);
  std::string out;
  for (const Value& code : a[0]) out += encodeChar(intArg(code));
  return Value::string(std::move(out));
}

}  // namespace

void installStringBuiltins(Runtime& rt) {
  defineNative(rt, "STRCAT", bi_strcat);
  defineNative(rt, "STRLEN", bi_strlen);
  defineNative(rt, "SUBSTR", bi_substr);
  defineNative(rt, "STRCASE", bi_strcase);
  defineNative(rt, "CHR", bi_chr);
  defineNative(rt, "ASCII", bi_ascii);
  defineNative(rt, "WCMATCH", bi_wcmatch);
  defineNative(rt, "VL-STRING-TRIM", bi_trim);
  defineNative(rt, "VL-STRING-LEFT-TRIM", bi_leftTrim);
  defineNative(rt, "VL-STRING-RIGHT-TRIM", bi_rightTrim);
  defineNative(rt, "VL-STRING-SEARCH", bi_search);
  defineNative(rt, "VL-STRING-SUBST", bi_subst);
  defineNative(rt, "VL-STRING-TRANSLATE", bi_translate);
  defineNative(rt, "VL-STRING-POSITION", bi_position);
  defineNative(rt, "VL-STRING-ELT", bi_elt);
  defineNative(rt, "VL-STRING-MISMATCH", bi_mismatch);
  defineNative(rt, "VL-STRING->LIST", bi_toList);
  defineNative(rt, "VL-LIST->STRING", bi_fromList);
}

}  // namespace tabrik::lisp
