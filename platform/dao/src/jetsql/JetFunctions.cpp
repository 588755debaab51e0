// VBA functions and Jet operator helpers registered in SQLite (rules in JetFunctions.h).
#include "JetFunctions.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <cwctype>
#include <optional>

#include "../DaoStore.h"
#include "../JetCollation.h"
#include "JetDates.h"

namespace tabrik::dao::jetsql {

namespace {

using Args = sqlite3_value**;

bool isNull(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_NULL; }
bool anyNull(int argc, Args argv) {
  for (int i = 0; i < argc; ++i)
    if (isNull(argv[i])) return true;
  return false;
}

std::wstring textOf(sqlite3_value* v);

// VBA's CStr of a number: integers plainly, others with up to 15 significant digits.
std::string numberText(double d) {
  if (d == std::trunc(d) && std::fabs(d) < 1e15) return std::to_string(static_cast<long long>(d));
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15G", d);
  return buf;
}

std::wstring textOf(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      return fromUtf8(std::to_string(sqlite3_value_int64(v)).c_str());
    case SQLITE_FLOAT:
      return fromUtf8(numberText(sqlite3_value_double(v)).c_str());
    case SQLITE_NULL:
      return L"";
    default:
      return fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
  }
}

void resultText(sqlite3_context* ctx, const std::wstring& s) {
  std::string u = toUtf8(s);
  sqlite3_result_text(ctx, u.c_str(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
}

wchar_t upperChar(wchar_t c) {
  if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 32);
  return c;
}
wchar_t lowerChar(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 32);
  return c;
}

// VBA's numeric reading of a value: numbers as they are, text by Val's rules.
double valOf(const std::wstring& s) {
  std::size_t i = 0;
  auto skip = [&] {
    while (i < s.size() && (s[i] == L' ' || s[i] == L'\t' || s[i] == L'\n' || s[i] == L'\r')) ++i;
  };
  skip();
  if (i + 1 < s.size() && s[i] == L'&' &&
      (s[i + 1] == L'H' || s[i + 1] == L'h' || s[i + 1] == L'O' || s[i + 1] == L'o')) {
    int base = (s[i + 1] == L'H' || s[i + 1] == L'h') ? 16 : 8;
    i += 2;
    unsigned long long v = 0;
    for (; i < s.size(); ++i) {
      int d = std::iswdigit(s[i])                    ? s[i] - L'0'
              : (base == 16 && std::iswxdigit(s[i])) ? (upperChar(s[i]) - L'A' + 10)
                                                     : -1;
      if (d < 0 || d >= base) break;
      v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    }
    if (v <= 0xFFFF)
      return static_cast<double>(static_cast<int16_t>(v));  // &HFFFF is -1, as an Integer
    return static_cast<double>(static_cast<int32_t>(v));
  }
  std::string digits;
  bool dot = false, exp = false;
  for (; i < s.size(); ++i) {
    wchar_t c = s[i];
    if (c == L' ' || c == L'\t' || c == L'\n' || c == L'\r') continue;
    if (std::iswdigit(c))
      digits += static_cast<char>(c);
    else if ((c == L'-' || c == L'+') && (digits.empty() || (exp && (digits.back() == 'E'))))
      digits += static_cast<char>(c);
    else if (c == L'.' && !dot && !exp)
      dot = true, digits += '.';
    else if ((c == L'e' || c == L'E' || c == L'd' || c == L'D') && !exp && !digits.empty())
      exp = true, digits += 'E';
    else
      break;
  }
  return std::strtod(digits.c_str(), nullptr);
}

double numberOf(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      return static_cast<double>(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
      return sqlite3_value_double(v);
    default:
      return valOf(textOf(v));
  }
}

bool isTrue(sqlite3_value* v) { return !isNull(v) && numberOf(v) != 0; }

// Round half to even, as VBA's CInt, CLng and the integer operators do.
double bankers(double d) { return std::nearbyint(d); }

// --- operators ---------------------------------------------------------------------

void concatFn(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0]) && isNull(argv[1])) return sqlite3_result_null(ctx);
  resultText(ctx, textOf(argv[0]) + textOf(argv[1]));
}

// +: two texts join; otherwise the operands add as numbers (a numeric text by Val).
void addFn(sqlite3_context* ctx, int, Args argv) {
  if (anyNull(2, argv)) return sqlite3_result_null(ctx);
  int ta = sqlite3_value_type(argv[0]), tb = sqlite3_value_type(argv[1]);
  if (ta == SQLITE_TEXT && tb == SQLITE_TEXT)
    return resultText(ctx, textOf(argv[0]) + textOf(argv[1]));
  if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
    long long a = sqlite3_value_int64(argv[0]), b = sqlite3_value_int64(argv[1]), sum = 0;
    if (!__builtin_add_overflow(a, b, &sum)) return sqlite3_result_int64(ctx, sum);
  }
  sqlite3_result_double(ctx, numberOf(argv[0]) + numberOf(argv[1]));
}

bool integerOperands(sqlite3_context* ctx, Args argv, long long& a, long long& b) {
  if (isNull(argv[0]) || isNull(argv[1])) {
    sqlite3_result_null(ctx);
    return false;
  }
  double x = bankers(numberOf(argv[0])), y = bankers(numberOf(argv[1]));
  if (!(std::fabs(x) <= 2147483647.0) ||
      !(std::fabs(y) <= 2147483647.0)) {  // VBA works in Longs here
    sqlite3_result_error(ctx, "Overflow", -1);
    return false;
  }
  a = static_cast<long long>(x);
  b = static_cast<long long>(y);
  if (b == 0) {
    sqlite3_result_error(ctx, "Division by zero", -1);
    return false;
  }
  return true;
}

void intDivFn(sqlite3_context* ctx, int, Args argv) {
  long long a, b;
  if (integerOperands(ctx, argv, a, b)) sqlite3_result_int64(ctx, a / b);
}

void modFn(sqlite3_context* ctx, int, Args argv) {
  long long a, b;
  if (integerOperands(ctx, argv, a, b))
    sqlite3_result_int64(ctx, a % b);  // C++ keeps the dividend's sign, as VBA
}

// Jet's ordering of two non-Null values: numbers by value, text by the JETTEXT rules.
int jetOrder(sqlite3_value* a, sqlite3_value* b) {
  bool numeric = sqlite3_value_type(a) != SQLITE_TEXT && sqlite3_value_type(b) != SQLITE_TEXT;
  if (numeric) {
    double x = numberOf(a), y = numberOf(b);
    return x < y ? -1 : x > y ? 1 : 0;
  }
  std::string s = toUtf8(textOf(a)), t = toUtf8(textOf(b));
  return jetCompareUtf8(s.data(), static_cast<int>(s.size()), t.data(), static_cast<int>(t.size()));
}

void betweenFn(sqlite3_context* ctx, int, Args argv) {
  if (anyNull(3, argv)) return sqlite3_result_null(ctx);
  bool swapped = jetOrder(argv[1], argv[2]) > 0;
  sqlite3_value* low = argv[swapped ? 2 : 1];
  sqlite3_value* high = argv[swapped ? 1 : 2];
  sqlite3_result_int(ctx, jetOrder(argv[0], low) >= 0 && jetOrder(argv[0], high) <= 0 ? -1 : 0);
}

void likeFn(sqlite3_context* ctx, int, Args argv) {
  if (anyNull(2, argv)) return sqlite3_result_null(ctx);
  sqlite3_result_int(ctx, jetLike(textOf(argv[0]), textOf(argv[1])) ? -1 : 0);
}

// --- VBA functions -----------------------------------------------------------------

void iifFn(sqlite3_context* ctx, int, Args argv) {
  sqlite3_result_value(ctx, argv[isTrue(argv[0]) ? 1 : 2]);
}

void nzFn(sqlite3_context* ctx, int argc, Args argv) {
  if (!isNull(argv[0])) return sqlite3_result_value(ctx, argv[0]);
  if (argc > 1) return sqlite3_result_value(ctx, argv[1]);
  sqlite3_result_int(ctx, 0);
}

long count(sqlite3_value* v) {
  double d = numberOf(v);
  return d < 0 ? -1 : static_cast<long>(std::min(d, 1e9));
}

void leftFn(sqlite3_context* ctx, int, Args argv) {
  if (anyNull(2, argv)) return sqlite3_result_null(ctx);
  long n = count(argv[1]);
  if (n < 0) return sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
  std::wstring s = textOf(argv[0]);
  resultText(ctx, s.substr(0, static_cast<std::size_t>(n)));
}

void rightFn(sqlite3_context* ctx, int, Args argv) {
  if (anyNull(2, argv)) return sqlite3_result_null(ctx);
  long n = count(argv[1]);
  if (n < 0) return sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
  std::wstring s = textOf(argv[0]);
  std::size_t k = std::min(s.size(), static_cast<std::size_t>(n));
  resultText(ctx, s.substr(s.size() - k));
}

void midFn(sqlite3_context* ctx, int argc, Args argv) {
  if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
  long start = count(argv[1]);
  long n = argc > 2 ? count(argv[2]) : 1000000000L;
  if (start < 1 || n < 0)
    return sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
  std::wstring s = textOf(argv[0]);
  if (static_cast<std::size_t>(start) > s.size()) return resultText(ctx, L"");
  resultText(ctx, s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n)));
}

void lenFn(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0])) return sqlite3_result_null(ctx);
  sqlite3_result_int64(ctx, static_cast<long long>(textOf(argv[0]).size()));
}

template <wchar_t (*Map)(wchar_t)>
void caseFn(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0])) return sqlite3_result_null(ctx);
  std::wstring s = textOf(argv[0]);
  for (auto& c : s) c = Map(c);
  resultText(ctx, s);
}

template <bool Left, bool Right>
void trimFn(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0])) return sqlite3_result_null(ctx);
  std::wstring s = textOf(argv[0]);
  std::size_t b = 0, e = s.size();
  if (Left)
    while (b < e && s[b] == L' ') ++b;
  if (Right)
    while (e > b && s[e - 1] == L' ') --e;
  resultText(ctx, s.substr(b, e - b));
}

// InStr([start,] s1, s2 [, compare]): a textual (case-insensitive) search in queries.
void instrFn(sqlite3_context* ctx, int argc, Args argv) {
  int first = argc >= 3 ? 1 : 0;
  if (anyNull(first + 2, argv)) return sqlite3_result_null(ctx);
  long start = first ? count(argv[0]) : 1;
  if (start < 1) return sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
  std::wstring hay = textOf(argv[first]), needle = textOf(argv[first + 1]);
  bool binary = argc == 4 && numberOf(argv[3]) == 0;
  if (!binary) {
    for (auto& c : hay) c = upperChar(c);
    for (auto& c : needle) c = upperChar(c);
  }
  if (static_cast<std::size_t>(start) > hay.size()) return sqlite3_result_int(ctx, 0);
  if (needle.empty()) return sqlite3_result_int64(ctx, start);
  std::size_t at = hay.find(needle, static_cast<std::size_t>(start - 1));
  sqlite3_result_int64(ctx, at == std::wstring::npos ? 0 : static_cast<long long>(at + 1));
}

void valFn(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0])) return sqlite3_result_error(ctx, "Invalid use of Null", -1);
  double d = valOf(textOf(argv[0]));
  if (d == std::trunc(d) && std::fabs(d) < 9e15)
    return sqlite3_result_int64(ctx, static_cast<long long>(d));
  sqlite3_result_double(ctx, d);
}

void cstrFn(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0])) return sqlite3_result_error(ctx, "Invalid use of Null", -1);
  resultText(ctx, textOf(argv[0]));
}

template <long long Low, long long High>
void cintFn(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0])) return sqlite3_result_error(ctx, "Invalid use of Null", -1);
  double d = bankers(numberOf(argv[0]));
  if (!(d >= static_cast<double>(Low) && d <= static_cast<double>(High)))
    return sqlite3_result_error(ctx, "Overflow", -1);
  sqlite3_result_int64(ctx, static_cast<long long>(d));
}

void cdblFn(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0])) return sqlite3_result_error(ctx, "Invalid use of Null", -1);
  sqlite3_result_double(ctx, numberOf(argv[0]));
}

double nowOle() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  DateParts p{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
              local.tm_hour,        local.tm_min,     local.tm_sec};
  return oleDate(p);
}

template <double (*Round)(double)>
void intFn(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0])) return sqlite3_result_null(ctx);
  double d = Round(numberOf(argv[0]));
  if (std::fabs(d) < 9e15) return sqlite3_result_int64(ctx, static_cast<long long>(d));
  sqlite3_result_double(ctx, d);
}

void nowFn(sqlite3_context* ctx, int, Args) { sqlite3_result_double(ctx, nowOle()); }
void dateFn(sqlite3_context* ctx, int, Args) { sqlite3_result_double(ctx, std::floor(nowOle())); }

// A text that is a number and nothing else (blanks around it allowed), as the
// conversion functions read it; nothing for any other text.
std::optional<double> strictNumber(const std::wstring& text) {
  std::string narrow = toUtf8(text);
  const char* begin = narrow.c_str();
  while (*begin == ' ') ++begin;
  if (*begin == '\0') return std::nullopt;
  char* end = nullptr;
  double d = std::strtod(begin, &end);
  while (*end == ' ') ++end;
  if (*end != '\0' || !std::isfinite(d)) return std::nullopt;
  return d;
}

// CDate: a number is a date already; a text is read as a date (US English, as #…#
// literals) or, failing that, as a number.
void cdateFn(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0])) return sqlite3_result_error(ctx, "Invalid use of Null", -1);
  std::optional<double> date;
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
    std::wstring text = textOf(argv[0]);
    date = parseDateLiteral(toUtf8(text));
    if (!date) date = strictNumber(text);
    if (!date) return sqlite3_result_error(ctx, "Type mismatch", -1);
  } else {
    date = numberOf(argv[0]);
  }
  if (!(*date >= -657434.0 && *date < 2958466.0)) return sqlite3_result_error(ctx, "Overflow", -1);
  sqlite3_result_double(ctx, *date);
}

// CBool: any number but 0 is True (-1); a text is "True", "False" or a number.
void cboolFn(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0])) return sqlite3_result_error(ctx, "Invalid use of Null", -1);
  double value = 0;
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
    std::wstring text = textOf(argv[0]);
    for (auto& c : text) c = upperChar(c);
    std::size_t b = text.find_first_not_of(L' '), e = text.find_last_not_of(L' ');
    text = b == std::wstring::npos ? L"" : text.substr(b, e - b + 1);
    std::optional<double> number = strictNumber(text);
    if (text == L"TRUE")
      value = -1;
    else if (text == L"FALSE")
      value = 0;
    else if (number)
      value = *number;
    else
      return sqlite3_result_error(ctx, "Type mismatch", -1);
  } else {
    value = numberOf(argv[0]);
  }
  sqlite3_result_int(ctx, value != 0 ? -1 : 0);
}

// CCur: Currency keeps four decimals, rounded half to even.
void ccurFn(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0])) return sqlite3_result_error(ctx, "Invalid use of Null", -1);
  std::optional<double> value;
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT)
    value = strictNumber(textOf(argv[0]));
  else
    value = numberOf(argv[0]);
  if (!value) return sqlite3_result_error(ctx, "Type mismatch", -1);
  if (!(std::fabs(*value) <= 922337203685477.5807))
    return sqlite3_result_error(ctx, "Overflow", -1);
  sqlite3_result_double(ctx, bankers(*value * 10000.0) / 10000.0);
}

// Parameter values as their declared type (jet_param_*): what converts is converted,
// anything else stays as given and meets Jet's type rules where it is used.
void paramDateFn(sqlite3_context* ctx, int, Args argv) {
  if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) return sqlite3_result_value(ctx, argv[0]);
  std::wstring text = textOf(argv[0]);
  std::optional<double> date = parseDateLiteral(toUtf8(text));
  if (!date) date = strictNumber(text);
  if (!date) return sqlite3_result_value(ctx, argv[0]);
  sqlite3_result_double(ctx, *date);
}

void paramNumberFn(sqlite3_context* ctx, int, Args argv) {
  if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) return sqlite3_result_value(ctx, argv[0]);
  std::optional<double> number = strictNumber(textOf(argv[0]));
  if (!number) return sqlite3_result_value(ctx, argv[0]);
  if (*number == std::trunc(*number) && std::fabs(*number) < 9e15)
    return sqlite3_result_int64(ctx, static_cast<long long>(*number));
  sqlite3_result_double(ctx, *number);
}

void paramBoolFn(sqlite3_context* ctx, int, Args argv) {
  int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
    return sqlite3_result_int(ctx, numberOf(argv[0]) != 0 ? -1 : 0);
  if (type != SQLITE_TEXT) return sqlite3_result_value(ctx, argv[0]);
  std::wstring text = textOf(argv[0]);
  for (auto& c : text) c = upperChar(c);
  std::optional<double> number = strictNumber(text);
  if (text == L"TRUE" || text == L"YES" || (number && *number != 0))
    return sqlite3_result_int(ctx, -1);
  if (text == L"FALSE" || text == L"NO" || number) return sqlite3_result_int(ctx, 0);
  sqlite3_result_value(ctx, argv[0]);
}

void paramTextFn(sqlite3_context* ctx, int, Args argv) {
  int type = sqlite3_value_type(argv[0]);
  if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) return sqlite3_result_value(ctx, argv[0]);
  resultText(ctx, textOf(argv[0]));
}

// --- aggregates Jet has and SQLite lacks -----------------------------------------------

// StDev, StDevP, Var, VarP over the non-Null values (Welford's running sums). The
// sample forms need two values, the population forms one; fewer give Null.
struct Moments {
  long long count;
  double mean;
  double squares;
};

void momentsStep(sqlite3_context* ctx, int, Args argv) {
  if (isNull(argv[0])) return;
  auto* m = static_cast<Moments*>(sqlite3_aggregate_context(ctx, sizeof(Moments)));
  if (!m) return sqlite3_result_error_nomem(ctx);
  double x = numberOf(argv[0]);
  ++m->count;
  double delta = x - m->mean;
  m->mean += delta / static_cast<double>(m->count);
  m->squares += delta * (x - m->mean);
}

template <bool Sample, bool Root>
void momentsFinal(sqlite3_context* ctx) {
  auto* m = static_cast<Moments*>(sqlite3_aggregate_context(ctx, 0));
  long long needed = Sample ? 2 : 1;
  if (!m || m->count < needed) return sqlite3_result_null(ctx);
  double variance = m->squares / static_cast<double>(m->count - (Sample ? 1 : 0));
  if (variance < 0) variance = 0;  // defensive: rounding of the running sums
  sqlite3_result_double(ctx, Root ? std::sqrt(variance) : variance);
}

// First and Last: the value of the group's first or last record as the rows arrive,
// Null included.
struct Kept {
  sqlite3_value* value;
  bool seen;
};

template <bool Last>
void keepStep(sqlite3_context* ctx, int, Args argv) {
  auto* k = static_cast<Kept*>(sqlite3_aggregate_context(ctx, sizeof(Kept)));
  if (!k) return sqlite3_result_error_nomem(ctx);
  if (k->seen && !Last) return;
  sqlite3_value_free(k->value);
  k->value = sqlite3_value_dup(argv[0]);
  k->seen = true;
  if (!k->value) sqlite3_result_error_nomem(ctx);
}

void keepFinal(sqlite3_context* ctx) {
  auto* k = static_cast<Kept*>(sqlite3_aggregate_context(ctx, 0));
  if (!k || !k->value) return sqlite3_result_null(ctx);
  sqlite3_result_value(ctx, k->value);
  sqlite3_value_free(k->value);
  k->value = nullptr;
}

struct Aggregate {
  const char* name;
  void (*step)(sqlite3_context*, int, sqlite3_value**);
  void (*final)(sqlite3_context*);
};

const Aggregate kAggregates[] = {
    {"stdev", momentsStep, momentsFinal<true, true>},
    {"stdevp", momentsStep, momentsFinal<false, true>},
    {"var", momentsStep, momentsFinal<true, false>},
    {"varp", momentsStep, momentsFinal<false, false>},
    {"first", keepStep<false>, keepFinal},
    {"last", keepStep<true>, keepFinal},
};

// --- Format ------------------------------------------------------------------------

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};

std::string twoDigits(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

// A date picture: yyyy yy mmmm mmm mm m dd d hh h nn n ss s AM/PM; anything else literal.
std::string formatDate(double ole, const std::string& pic) {
  DateParts p = dateParts(ole);
  std::string out;
  bool ampm = pic.find("AM/PM") != std::string::npos || pic.find("am/pm") != std::string::npos;
  int hour = ampm ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;
  bool afterHour = false;
  for (std::size_t i = 0; i < pic.size();) {
    auto run = [&](char c) {
      std::size_t k = i;
      while (k < pic.size() && std::tolower(static_cast<unsigned char>(pic[k])) == c) ++k;
      return k - i;
    };
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pic[i])));
    std::size_t r = run(c);
    if (c == 'y')
      out += r >= 4 ? std::to_string(p.year) : twoDigits(p.year % 100);
    else if (c == 'm' && afterHour)
      out += r >= 2 ? twoDigits(p.minute) : std::to_string(p.minute);
    else if (c == 'm')
      out += r >= 4   ? kMonths[p.month - 1]
             : r == 3 ? std::string(kMonths[p.month - 1], 3)
             : r == 2 ? twoDigits(p.month)
                      : std::to_string(p.month);
    else if (c == 'd')
      out += r >= 2 ? twoDigits(p.day) : std::to_string(p.day);
    else if (c == 'h')
      out += r >= 2 ? twoDigits(hour) : std::to_string(hour);
    else if (c == 'n')
      out += r >= 2 ? twoDigits(p.minute) : std::to_string(p.minute);
    else if (c == 's')
      out += r >= 2 ? twoDigits(p.second) : std::to_string(p.second);
    else if ((c == 'a') && pic.compare(i, 5, "AM/PM") == 0)
      out += p.hour < 12 ? "AM" : "PM", r = 5;
    else if ((c == 'a') && pic.compare(i, 5, "am/pm") == 0)
      out += p.hour < 12 ? "am" : "pm", r = 5;
    else
      out += pic[i], r = 1;
    afterHour = c == 'h' || (afterHour && (c == ':' || c == ' '));
    i += r;
  }
  return out;
}

std::string groupThousands(const std::string& digits) {
  std::string out;
  int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += ',';
    out += digits[static_cast<std::size_t>(i)];
  }
  return out;
}

std::string fixed(double v, int decimals, bool thousands) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(v));
  std::string s = buf;
  std::size_t dot = s.find('.');
  std::string whole = s.substr(0, dot), rest = dot == std::string::npos ? "" : s.substr(dot);
  bool negative = v < 0 && std::strtod(buf, nullptr) != 0;
  return (negative ? "-" : "") + (thousands ? groupThousands(whole) : whole) + rest;
}

std::string formatValue(sqlite3_value* v, const std::string& fmt) {
  std::string f;
  for (char c : fmt) f += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  double d = numberOf(v);
  if (f.empty() || f == "general number") return toUtf8(textOf(v));
  if (f == "fixed") return fixed(d, 2, false);
  if (f == "standard") return fixed(d, 2, true);
  if (f == "percent") return fixed(d * 100, 2, false) + "%";
  if (f == "currency") return d < 0 ? "($" + fixed(-d, 2, true) + ")" : "$" + fixed(d, 2, true);
  if (f == "yes/no") return d != 0 ? "Yes" : "No";
  if (f == "true/false") return d != 0 ? "True" : "False";
  if (f == "on/off") return d != 0 ? "On" : "Off";
  bool dateNamed = f == "short date" || f == "medium date" || f == "long date" ||
                   f == "short time" || f == "long time";
  if (dateNamed && !(std::fabs(d) < 2958466.0)) return toUtf8(textOf(v));
  if (f == "short date") return formatDate(d, "m/d/yyyy");
  if (f == "medium date") return formatDate(d, "dd-mmm-yy");
  if (f == "long date") return formatDate(d, "mmmm d, yyyy");
  if (f == "short time") return formatDate(d, "hh:nn");
  if (f == "long time") return formatDate(d, "h:nn:ss AM/PM");
  bool datePicture = f.find_first_of("ymdhns") != std::string::npos;
  if (datePicture && !(std::fabs(d) < 2958466.0))
    return toUtf8(textOf(v));  // past 12/31/9999: no date
  if (datePicture) return formatDate(d, fmt);
  if (f.find_first_of("0#") != std::string::npos) {
    std::size_t dot = f.find('.');
    int decimals = 0;
    if (dot != std::string::npos)
      while (dot + 1 + static_cast<std::size_t>(decimals) < f.size() &&
             (f[dot + 1 + static_cast<std::size_t>(decimals)] == '0' ||
              f[dot + 1 + static_cast<std::size_t>(decimals)] == '#'))
        ++decimals;
    return fixed(d, decimals, f.find(',') != std::string::npos);
  }
  return toUtf8(textOf(v));
}

void formatFn(sqlite3_context* ctx, int argc, Args argv) {
  if (isNull(argv[0])) return sqlite3_result_null(ctx);
  std::string fmt = argc > 1 && !isNull(argv[1]) ? toUtf8(textOf(argv[1])) : "";
  std::string out = formatValue(argv[0], fmt);
  sqlite3_result_text(ctx, out.c_str(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

struct Registration {
  const char* name;
  int args;
  void (*fn)(sqlite3_context*, int, sqlite3_value**);
  bool deterministic;
};

const Registration kFunctions[] = {
    {"jet_concat", 2, concatFn, true},
    {"jet_add", 2, addFn, true},
    {"jet_intdiv", 2, intDivFn, true},
    {"jet_mod", 2, modFn, true},
    {"jet_like", 2, likeFn, true},
    {"jet_between", 3, betweenFn, true},
    {"iif", 3, iifFn, true},
    {"nz", 1, nzFn, true},
    {"nz", 2, nzFn, true},
    {"left", 2, leftFn, true},
    {"right", 2, rightFn, true},
    {"mid", 2, midFn, true},
    {"mid", 3, midFn, true},
    {"len", 1, lenFn, true},
    {"ucase", 1, caseFn<upperChar>, true},
    {"lcase", 1, caseFn<lowerChar>, true},
    {"trim", 1, trimFn<true, true>, true},
    {"ltrim", 1, trimFn<true, false>, true},
    {"rtrim", 1, trimFn<false, true>, true},
    {"instr", 2, instrFn, true},
    {"instr", 3, instrFn, true},
    {"instr", 4, instrFn, true},
    {"val", 1, valFn, true},
    {"cstr", 1, cstrFn, true},
    {"cint", 1, cintFn<-32768, 32767>, true},
    {"clng", 1, cintFn<-2147483648LL, 2147483647LL>, true},
    {"cdbl", 1, cdblFn, true},
    {"cdate", 1, cdateFn, true},
    {"cvdate", 1, cdateFn, true},
    {"cbool", 1, cboolFn, true},
    {"ccur", 1, ccurFn, true},
    {"jet_param_date", 1, paramDateFn, true},
    {"jet_param_number", 1, paramNumberFn, true},
    {"jet_param_bool", 1, paramBoolFn, true},
    {"jet_param_text", 1, paramTextFn, true},
    {"int", 1, intFn<std::floor>, true},
    {"fix", 1, intFn<std::trunc>, true},
    {"jet_ceil", 1, intFn<std::ceil>, true},
    {"now", 0, nowFn, false},
    {"date", 0, dateFn, false},
    {"format", 1, formatFn, true},
    {"format", 2, formatFn, true},
};

// One character of a Like pattern against one of the text, without regard to case.
bool sameChar(wchar_t a, wchar_t b) { return upperChar(a) == upperChar(b); }

// Matches a [list] at pattern[p] (just after '['); returns the index after ']' or npos
// when the list is malformed (then '[' is an ordinary character).
std::size_t matchList(const std::wstring& pat, std::size_t p, wchar_t c, bool& matched) {
  bool negate = p < pat.size() && pat[p] == L'!';
  if (negate) ++p;
  bool any = false;
  while (p < pat.size() && pat[p] != L']') {
    wchar_t lo = pat[p];
    if (p + 2 < pat.size() && pat[p + 1] == L'-' && pat[p + 2] != L']') {
      wchar_t hi = pat[p + 2];
      wchar_t u = upperChar(c);
      if ((u >= upperChar(lo) && u <= upperChar(hi)) || (c >= lo && c <= hi)) any = true;
      p += 3;
      continue;
    }
    if (sameChar(lo, c)) any = true;
    ++p;
  }
  if (p >= pat.size()) return std::wstring::npos;
  matched = negate ? !any : any;
  return p + 1;
}

bool likeAt(const std::wstring& s, std::size_t i, const std::wstring& pat, std::size_t p) {
  while (p < pat.size()) {
    wchar_t pc = pat[p];
    if (pc == L'*') {
      while (p < pat.size() && pat[p] == L'*') ++p;
      if (p == pat.size()) return true;
      for (std::size_t k = i; k <= s.size(); ++k)
        if (likeAt(s, k, pat, p)) return true;
      return false;
    }
    if (pc == L'[' && p + 1 < pat.size() && pat[p + 1] == L']') {  // [] matches the empty string
      p += 2;
      continue;
    }
    if (i >= s.size()) return false;
    if (pc == L'?') {
      ++i, ++p;
      continue;
    }
    if (pc == L'#') {
      if (!std::iswdigit(s[i])) return false;
      ++i, ++p;
      continue;
    }
    if (pc == L'[') {
      bool matched = false;
      std::size_t next = matchList(pat, p + 1, s[i], matched);
      if (next != std::wstring::npos) {
        if (!matched) return false;
        ++i, p = next;
        continue;
      }
    }
    if (!sameChar(pc, s[i])) return false;
    ++i, ++p;
  }
  return i == s.size();
}

}  // namespace

bool jetLike(const std::wstring& text, const std::wstring& pattern) {
  return likeAt(text, 0, pattern, 0);
}

bool isJetFunction(const char* name) {
  if (name == nullptr) return false;
  // SQLite's built-ins that are Jet's too. Round differs from VBA's only for halves
  // and is kept rather than refusing statements that use it.
  static const char* const kShared[] = {"count", "sum", "avg",   "min",
                                        "max",   "abs", "round", "rank"};
  for (const char* shared : kShared)
    if (sqlite3_stricmp(name, shared) == 0) return true;
  for (const Registration& r : kFunctions)
    if (sqlite3_stricmp(name, r.name) == 0) return true;
  for (const Aggregate& a : kAggregates)
    if (sqlite3_stricmp(name, a.name) == 0) return true;
  return false;
}

void registerJetFunctions(sqlite3* db) {
  for (const Registration& r : kFunctions)
    sqlite3_create_function_v2(db, r.name, r.args,
                               SQLITE_UTF8 | (r.deterministic ? SQLITE_DETERMINISTIC : 0), nullptr,
                               r.fn, nullptr, nullptr, nullptr);
  for (const Aggregate& a : kAggregates)
    sqlite3_create_function_v2(db, a.name, 1, SQLITE_UTF8, nullptr, nullptr, a.step, a.final,
                               nullptr);
}

}  // namespace tabrik::dao::jetsql
