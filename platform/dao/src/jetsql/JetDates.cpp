// OLE dates and #date# literals (rules in JetDates.h).
#include "JetDates.h"

#include <cctype>
#include <cmath>
#include <vector>

namespace tabrik::dao::jetsql {

namespace {

// Days from 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's algorithm).
long daysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

void civilFromDays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<long>(yoe) + era * 400 + (m <= 2));
}

const long kOleEpoch = daysFromCivil(1899, 12, 30);

int daysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

}  // namespace

double oleDate(const DateParts& p) {
  double day = static_cast<double>(
      daysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) -
      kOleEpoch);
  double time = (p.hour * 3600.0 + p.minute * 60.0 + p.second) / 86400.0;
  return day >= 0 ? day + time
                  : day - time;  // before 1899 the fraction still counts forward in the day
}

DateParts dateParts(double ole) {
  DateParts p;
  double whole = std::trunc(ole);
  double frac = std::fabs(ole - whole);
  long secs = std::lround(frac * 86400.0);
  if (secs >= 86400) {
    secs -= 86400;
    whole += ole >= 0 ? 1 : -1;
  }
  civilFromDays(static_cast<long>(whole) + kOleEpoch, p.year, p.month, p.day);
  p.hour = static_cast<int>(secs / 3600);
  p.minute = static_cast<int>(secs / 60 % 60);
  p.second = static_cast<int>(secs % 60);
  return p;
}

std::optional<double> parseDateLiteral(const std::string& text) {
  // Split into numbers and the separators between them.
  std::vector<long> nums;
  std::vector<char> seps;
  bool pm = false, am = false;
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isdigit(c)) {
      long v = 0;
      int digits = 0;
      while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        if (++digits > 4) return std::nullopt;
        v = v * 10 + (text[i++] - '0');
      }
      nums.push_back(v);
      continue;
    }
    if (c == '/' || c == '-' || c == ':') {
      if (seps.size() >= nums.size()) return std::nullopt;  // a separator with no number before it
      seps.push_back(static_cast<char>(c));
    } else if (c == ' ') {
      if (!nums.empty() && seps.size() < nums.size()) seps.push_back(' ');
    } else if ((c == 'A' || c == 'a' || c == 'P' || c == 'p') && i + 1 < text.size() &&
               (text[i + 1] == 'M' || text[i + 1] == 'm')) {
      (c == 'P' || c == 'p' ? pm : am) = true;
      ++i;
    } else {
      return std::nullopt;
    }
    ++i;
  }
  while (!seps.empty() && seps.size() >= nums.size()) {
    if (seps.back() != ' ') return std::nullopt;
    seps.pop_back();
  }
  DateParts p;
  std::size_t at = 0;
  bool hasDate = nums.size() >= 3 && (seps[0] == '/' || seps[0] == '-') && seps[1] == seps[0];
  if (hasDate) {
    long a = nums[0], b = nums[1], c = nums[2];
    long y, m, d;
    if (a > 31) {  // 2024-03-05
      y = a, m = b, d = c;
    } else {
      m = a, d = b, y = c;
      if (m > 12 && d <= 12) std::swap(m, d);  // Jet reads an impossible month as the day
      if (y < 30)
        y += 2000;
      else if (y < 100)
        y += 1900;
    }
    if (m < 1 || m > 12 || y < 100 || y > 9999 || d < 1 ||
        d > daysInMonth(static_cast<int>(y), static_cast<int>(m)))
      return std::nullopt;
    p.year = static_cast<int>(y), p.month = static_cast<int>(m), p.day = static_cast<int>(d);
    at = 3;
    if (at < nums.size() && seps[2] != ' ') return std::nullopt;
  }
  if (at < nums.size()) {
    std::size_t parts = nums.size() - at;
    if (parts < 2 || parts > 3) return std::nullopt;
    for (std::size_t k = at + 1; k < nums.size(); ++k)
      if (seps[k - 1] != ':') return std::nullopt;
    long h = nums[at], mi = nums[at + 1], s = parts == 3 ? nums[at + 2] : 0;
    if (pm || am) {
      if (h < 1 || h > 12) return std::nullopt;
      h = h % 12 + (pm ? 12 : 0);
    }
    if (h > 23 || mi > 59 || s > 59) return std::nullopt;
    p.hour = static_cast<int>(h), p.minute = static_cast<int>(mi), p.second = static_cast<int>(s);
  } else if (!hasDate || pm || am) {
    return std::nullopt;
  }
  return oleDate(p);
}

}  // namespace tabrik::dao::jetsql
