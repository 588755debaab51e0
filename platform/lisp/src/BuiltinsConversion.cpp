// Number/text conversion: itoa, atoi, atof, and the unit-aware rtos, distof,
// angtos, angtof. Defaults for mode and precision come from the host variables
// LUNITS/LUPREC (distances) and AUNITS/AUPREC (angles); DIMZIN bit 8 suppresses
// trailing zeros and bit 4 the leading zero of decimal distances.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "RuntimeInternal.h"

namespace tabrik::lisp {

namespace {

// strtod restricted to what the host reads as a number: an optional sign, decimal
// digits with an optional point, an optional exponent. No hexadecimal, "inf" or
// "nan" (C's strtod takes them): "0x1p4" reads as 0 followed by text.
double decimalToDouble(const char* text, char** end) {
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') ++p;
  const char* start = p;
  if (*p == '+' || *p == '-') ++p;
  const char* digits = p;
  while (*p >= '0' && *p <= '9') ++p;
  bool any = p != digits;
  if (*p == '.') {
    const char* fraction = ++p;
    while (*p >= '0' && *p <= '9') ++p;
    any = any || p != fraction;
  }
  if (!any) {
    if (end != nullptr) *end = const_cast<char*>(text);
    return 0.0;
  }
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    if (*q >= '0' && *q <= '9') {
      while (*q >= '0' && *q <= '9') ++q;
      p = q;
    }
  }
  std::string number(start, p);
  if (end != nullptr) *end = const_cast<char*>(p);
  return std::strtod(number.c_str(), nullptr);
}

constexpr double kPi = 3.14159265358979323846;

std::int32_t hostInt(Runtime& rt, std::string_view name, std::int32_t fallback) {
  Value v = rt.services().getVariable(rt, name);
  return v.isInt() ? v.asInt() : fallback;
}

std::string fixed(double v, int precision) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f", precision, v);
  std::string text(buffer);
  // No "-0.00": a value that rounds to zero loses its sign.
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string suppressZeros(std::string text, int dimzin) {
  if ((dimzin & 8) && text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (dimzin & 4) {
    std::size_t digit = text[0] == '-' ? 1 : 0;
    if (text.size() > digit + 1 && text[digit] == '0' && text[digit + 1] == '.')
      text.erase(digit, 1);
  }
  return text;
}

// Whole units plus a fraction with denominator 2^precision, reduced: "17 1/2", "1/2",
// "17"; keepZero writes "0 1/2" (architectural inches after the feet).
std::string fraction(double v, int precision, bool keepZero) {
  long long denominator = 1LL << std::clamp(precision, 0, 8);
  long long units = std::llround(v * static_cast<double>(denominator));
  long long whole = units / denominator;
  long long numerator = units % denominator;
  if (numerator == 0) return std::to_string(whole);
  while (numerator % 2 == 0) {
    numerator /= 2;
    denominator /= 2;
  }
  std::string part = std::to_string(numerator) + "/" + std::to_string(denominator);
  if (whole == 0 && !keepZero) return part;
  return std::to_string(whole) + " " + part;
}

std::string formatDistance(double value, int mode, int precision, int dimzin) {
  precision = std::clamp(precision, 0, 8);
  bool negative = value < 0;
  double v = std::fabs(value);
  std::string sign = negative ? "-" : "";
  // Feet and fractions need whole numbers that fit 64 bits; beyond that (and for
  // infinities) only the decimal form is meaningful.
  if ((mode == 3 || mode == 4 || mode == 5) && !(v < 1e15)) mode = 2;
  switch (mode) {
    case 1: {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%.*E", precision, value);
      return buffer;
    }
    case 3: {  // engineering: feet and decimal inches
      double scale = std::pow(10.0, precision);
      double total = std::round(v * scale) / scale;
      long long feet = static_cast<long long>(std::floor(total / 12.0));
      double inches = total - static_cast<double>(feet) * 12.0;
      std::string text = sign + std::to_string(feet) + "'-" + fixed(inches, precision) + "\"";
      return text;
    }
    case 4: {  // architectural: feet and fractional inches
      long long denominator = 1LL << precision;
      long long units = std::llround(v * static_cast<double>(denominator));
      long long feet = units / (12 * denominator);
      double inches =
          static_cast<double>(units - feet * 12 * denominator) / static_cast<double>(denominator);
      return sign + std::to_string(feet) + "'-" + fraction(inches, precision, /*keepZero=*/true) +
             "\"";
    }
    case 5: {
      std::string text = fraction(v, precision, /*keepZero=*/false);
      return text == "0" ? text : sign + text;
    }
    default:
      return suppressZeros(fixed(value, precision), dimzin);
  }
}

// Parses a distance in any of the rtos forms; nothing when the text is not one.
std::optional<double> parseDistance(std::string_view text) {
  std::string s(text);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
  std::size_t i = 0;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  s.erase(0, i);
  if (s.empty()) return std::nullopt;
  double sign = 1;
  if (s[0] == '-' || s[0] == '+') {
    if (s[0] == '-') sign = -1;
    s.erase(0, 1);
  }
  const char* p = s.c_str();
  // A plain decimal or scientific number.
  {
    char* end = nullptr;
    double v = decimalToDouble(p, &end);
    if (end != p && *end == '\0' && std::isdigit(static_cast<unsigned char>(s[0]))) return sign * v;
  }
  // number [ number/number ] : inches or units, with a fraction
  auto parseMixed = [](std::string_view part, double& out) -> bool {
    std::string t(part);
    while (!t.empty() && t.back() == ' ') t.pop_back();
    while (!t.empty() && t.front() == ' ') t.erase(0, 1);
    if (t.empty()) return false;
    // "5-1/2", as units are typed, is "5 1/2".
    if (std::size_t dash = t.find('-'); dash != std::string::npos && dash > 0) {
      std::size_t slash = t.find('/');
      if (slash != std::string::npos && slash > dash) t[dash] = ' ';
    }
    double whole = 0;
    std::size_t space = t.find(' ');
    std::string fractionText = t;
    if (space != std::string::npos) {
      char* end = nullptr;
      whole = decimalToDouble(t.c_str(), &end);
      if (end != t.c_str() + space) return false;
      fractionText = t.substr(space + 1);
      while (!fractionText.empty() && fractionText.front() == ' ') fractionText.erase(0, 1);
    }
    std::size_t slash = fractionText.find('/');
    if (slash == std::string::npos) {
      if (space != std::string::npos) return false;
      char* end = nullptr;
      double v = decimalToDouble(fractionText.c_str(), &end);
      if (end == fractionText.c_str() || *end != '\0') return false;
      out = v;
      return true;
    }
    if (slash == 0) return false;
    char* end = nullptr;
    double numerator = decimalToDouble(fractionText.c_str(), &end);
    if (end != fractionText.c_str() + slash) return false;
    const char* denominatorText = fractionText.c_str() + slash + 1;
    double denominator = decimalToDouble(denominatorText, &end);
    if (end == denominatorText || *end != '\0' || denominator == 0) return false;
    out = whole + numerator / denominator;
    return true;
  };
  std::size_t foot = s.find('\'');
  double total = 0;
  std::string rest = s;
  if (foot != std::string::npos) {
    double feet = 0;
    if (!parseMixed(std::string_view(s).substr(0, foot), feet)) return std::nullopt;
    total = feet * 12.0;
    rest = s.substr(foot + 1);
    if (!rest.empty() && rest[0] == '-') rest.erase(0, 1);
    if (rest.empty()) return sign * total;
  }
  if (!rest.empty() && rest.back() == '"')
    rest.pop_back();
  else if (foot != std::string::npos)
    return std::nullopt;
  double inches = 0;
  if (!parseMixed(rest, inches)) return std::nullopt;
  return sign * (total + inches);
}

double normalizeAngle(double a) {
  a = std::fmod(a, 2 * kPi);
  if (a < 0) a += 2 * kPi;
  return a;
}

// Degrees as d/m/s with the precision's digits: 0 → 45d, 1-2 → 45d0', 3-4 → 45d0'0",
// more → decimal seconds.
std::string formatDms(double degrees, int precision) {
  if (precision <= 0) return std::to_string(std::llround(degrees)) + "d";
  if (precision <= 2) {
    long long minutes = std::llround(degrees * 60.0);
    return std::to_string(minutes / 60) + "d" + std::to_string(minutes % 60) + "'";
  }
  int secondDigits = std::max(0, precision - 4);
  double scale = std::pow(10.0, secondDigits);
  long long units = std::llround(degrees * 3600.0 * scale);
  long long wholeSeconds = units / static_cast<long long>(scale);
  long long d = wholeSeconds / 3600, m = (wholeSeconds / 60) % 60;
  double s =
      static_cast<double>(units - (d * 3600 + m * 60) * static_cast<long long>(scale)) / scale;
  return std::to_string(d) + "d" + std::to_string(m) + "'" + fixed(s, secondDigits) + "\"";
}

std::string formatAngle(double radians, int mode, int precision) {
  precision = std::clamp(precision, 0, 8);
  double a = normalizeAngle(radians);
  double degrees = a * 180.0 / kPi;
  switch (mode) {
    case 1:
      return formatDms(degrees, precision);
    case 2:
      return fixed(a * 200.0 / kPi, precision) + "g";
    case 3:
      return fixed(a, precision) + "r";
    case 4: {  // surveyor's bearing: N/S, angle toward E/W
      double rounded = std::round(degrees * 3600.0) / 3600.0;
      if (rounded == 0 || rounded == 360) return "E";
      if (rounded == 90) return "N";
      if (rounded == 180) return "W";
      if (rounded == 270) return "S";
      const char* ns = degrees < 180 ? "N" : "S";
      double bearing;
      const char* ew;
      if (degrees < 90)
        bearing = 90 - degrees, ew = "E";
      else if (degrees < 180)
        bearing = degrees - 90, ew = "W";
      else if (degrees < 270)
        bearing = 270 - degrees, ew = "W";
      else
        bearing = degrees - 270, ew = "E";
      return std::string(ns) + " " + formatDms(bearing, precision) + " " + ew;
    }
    default:
      return fixed(degrees, precision);
  }
}

// Parses "45", "45d30'15\"", "50g", "0.7854r", "N 45d E"; nothing when not an angle.
std::optional<double> parseAngle(std::string_view text, int mode) {
  std::string s(text);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  while (!s.empty() && s.front() == ' ') s.erase(0, 1);
  if (s.empty()) return std::nullopt;
  char first = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
  if (first == 'N' || first == 'S' || first == 'E' || first == 'W') {
    if (s.size() == 1) {
      double deg = first == 'E' ? 0 : first == 'N' ? 90 : first == 'W' ? 180 : 270;
      return deg * kPi / 180.0;
    }
    if (first != 'N' && first != 'S') return std::nullopt;
    char last = static_cast<char>(std::toupper(static_cast<unsigned char>(s.back())));
    if (last != 'E' && last != 'W') return std::nullopt;
    auto inner = parseAngle(s.substr(1, s.size() - 2), 1);
    if (!inner) return std::nullopt;
    double b = *inner * 180.0 / kPi;
    double deg = first == 'N' ? (last == 'E' ? 90 - b : 90 + b) : (last == 'E' ? 270 + b : 270 - b);
    return normalizeAngle(deg * kPi / 180.0);
  }
  const char* p = s.c_str();
  char* end = nullptr;
  double v = decimalToDouble(p, &end);
  if (end == p) return std::nullopt;
  std::string rest(end);
  if (rest.empty()) {
    if (mode == 2) return v * kPi / 200.0;
    if (mode == 3) return v;
    return v * kPi / 180.0;
  }
  if (rest == "g" || rest == "G") return v * kPi / 200.0;
  if (rest == "r" || rest == "R") return v;
  if (rest[0] == 'd' || rest[0] == 'D') {
    double degrees = v;
    std::string tail = rest.substr(1);
    if (!tail.empty()) {
      const char* q = tail.c_str();
      double minutes = decimalToDouble(q, &end);
      if (end == q || *end != '\'') return std::nullopt;
      degrees += minutes / 60.0;
      std::string secondsText(end + 1);
      if (!secondsText.empty()) {
        const char* r = secondsText.c_str();
        double seconds = decimalToDouble(r, &end);
        if (end == r || std::string(end) != "\"") return std::nullopt;
        degrees += seconds / 3600.0;
      }
    }
    return degrees * kPi / 180.0;
  }
  return std::nullopt;
}

Value bi_itoa(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::string(std::to_string(intArg(a[0])));
}

Value bi_atoi(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  const std::string& s = stringArg(a[0]);
  long long v = std::strtoll(s.c_str(), nullptr, 10);
  return Value::integer(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
}

Value bi_atof(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::real(decimalToDouble(stringArg(a[0]).c_str(), nullptr));
}

int optionalInt(Args a, std::size_t index, int fallback) {
  return a.size() > index && a[index].isTrue() ? intArg(a[index]) : fallback;
}

// UNITMODE 1 shows units as they are typed: no dash after the feet, a dash between
// a whole number and its fraction ("1'5-1/2\""), no spaces in surveyor's angles.
std::string asTyped(std::string text, bool surveyor) {
  if (surveyor) {
    std::erase(text, ' ');
    return text;
  }
  if (size_t feet = text.find("'-"); feet != std::string::npos) text.erase(feet + 1, 1);
  if (size_t slash = text.find('/'); slash != std::string::npos) {
    size_t space = text.rfind(' ', slash);
    if (space != std::string::npos) text[space] = '-';
  }
  return text;
}

Value bi_rtos(Runtime& rt, Args a) {
  checkArgCount(a, 1, 3);
  double v = numberArg(a[0]);
  int mode = optionalInt(a, 1, hostInt(rt, "LUNITS", 2));
  int precision = optionalInt(a, 2, hostInt(rt, "LUPREC", 4));
  if (mode < 1 || mode > 5) throwBadArgumentValue("mode " + std::to_string(mode));
  std::string text = formatDistance(v, mode, precision, hostInt(rt, "DIMZIN", 0));
  if (hostInt(rt, "UNITMODE", 0) & 1) text = asTyped(std::move(text), false);
  return Value::string(text);
}

Value bi_distof(Runtime&, Args a) {
  checkArgCount(a, 1, 2);
  auto v = parseDistance(stringArg(a[0]));
  return v ? Value::real(*v) : Value();
}

Value bi_angtos(Runtime& rt, Args a) {
  checkArgCount(a, 1, 3);
  double v = numberArg(a[0]);
  int mode = optionalInt(a, 1, hostInt(rt, "AUNITS", 0));
  int precision = optionalInt(a, 2, hostInt(rt, "AUPREC", 0));
  if (mode < 0 || mode > 4) throwBadArgumentValue("mode " + std::to_string(mode));
  std::string text = formatAngle(v, mode, precision);
  if (mode == 4 && (hostInt(rt, "UNITMODE", 0) & 1)) text = asTyped(std::move(text), true);
  return Value::string(text);
}

Value bi_angtof(Runtime& rt, Args a) {
  checkArgCount(a, 1, 2);
  int mode = optionalInt(a, 1, hostInt(rt, "AUNITS", 0));
  auto v = parseAngle(stringArg(a[0]), mode);
  if (!v) return Value();
  // Angles come back between 0 and 2 pi, as angtos takes them.
  double turn = 2 * 3.14159265358979323846;
  double angle = std::fmod(*v, turn);
  return Value::real(angle < 0 ? angle + turn : angle);
}

}  // namespace

void installConversionBuiltins(Runtime& rt) {
  defineNative(rt, "ITOA", bi_itoa);
  defineNative(rt, "ATOI", bi_atoi);
  defineNative(rt, "ATOF", bi_atof);
  defineNative(rt, "RTOS", bi_rtos);
  defineNative(rt, "DISTOF", bi_distof);
  defineNative(rt, "ANGTOS", bi_angtos);
  defineNative(rt, "ANGTOF", bi_angtof);
}

}  // namespace tabrik::lisp
