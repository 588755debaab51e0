// Input steps of the built-in commands over the ads input calls. Points go through
// RSG_OTHER so that relative and polar forms, which the point request itself does not
// read, reach the command; anything else is refused here with the host's message.
#include "aced/command/CommandInput.h"

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <cstdlib>

#include "acedads.h"
#include "acutads.h"
#include "acdb/acut/WideText.h"
#include "aced/input/UserInput.h"

namespace tabrik::acad::command {

namespace {

constexpr size_t kInputSize = 2048;

std::wstring trimmed(const std::wstring& text) {
  size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return L"";
  size_t last = text.find_last_not_of(L" \t");
  return text.substr(first, last - first + 1);
}

std::optional<double> parseNumber(const std::wstring& text) {
  std::wstring t = trimmed(text);
  if (t.empty()) return std::nullopt;
  wchar_t* end = nullptr;
  double value = std::wcstod(t.c_str(), &end);
  if (end == t.c_str() || *end != L'\0' || !std::isfinite(value)) return std::nullopt;
  return value;
}

// "x,y[,z]" as reals.
std::optional<AcGeVector3d> parseCoordinates(const std::wstring& text) {
  std::optional<std::array<double, 3>> point = parsePoint(toUtf8(text));
  if (!point) return std::nullopt;
  return AcGeVector3d((*point)[0], (*point)[1], (*point)[2]);
}

// "dist<angle": the offset of that length in that direction (degrees, the drawing's
// angle system).
std::optional<AcGeVector3d> parsePolar(const std::wstring& text) {
  size_t less = text.find(L'<');
  if (less == std::wstring::npos) return std::nullopt;
  std::optional<double> distance = parseNumber(text.substr(0, less));
  std::optional<double> degrees = parseNumber(text.substr(less + 1));
  if (!distance || !degrees) return std::nullopt;
  double turn = *degrees * M_PI / 180.0;
  if (intVariable(L"ANGDIR", 0) == 1) turn = -turn;
  double angle = realVariable(L"ANGBASE", 0.0) + turn;
  return AcGeVector3d(*distance * std::cos(angle), *distance * std::sin(angle), 0.0);
}

std::wstring keywordText() {
  ACHAR text[kInputSize] = {0};
  if (acedGetInput(text, kInputSize) != RTNORM) return L"";
  return text;
}

// The keyword of `keywords` the text names, or nothing.
std::optional<std::wstring> keywordOf(const std::wstring& keywords, const std::wstring& text) {
  if (keywords.empty()) return std::nullopt;
  std::optional<std::string> match = matchKeyword(toUtf8(keywords), toUtf8(text));
  if (!match) return std::nullopt;
  return fromUtf8(*match);
}

// The direction between two points, from ANGBASE, counter-clockwise.
double relativeDirection(const AcGePoint3d& from, const AcGePoint3d& to) {
  double angle = std::atan2(to.y - from.y, to.x - from.x) - realVariable(L"ANGBASE", 0.0);
  angle = std::fmod(angle, 2 * M_PI);
  return angle < 0 ? angle + 2 * M_PI : angle;
}

Answer answerFor(int status) {
  Answer answer;
  answer.status = status;
  if (status == RTKWORD) answer.keyword = keywordText();
  return answer;
}

void fill(ads_point out, const AcGePoint3d& point) {
  out[X] = point.x;
  out[Y] = point.y;
  out[Z] = point.z;
}

std::wstring formatFixed(double value, int places) {
  // Room for the largest double in fixed notation with the most places asked.
  wchar_t text[400];
  if (std::swprintf(text, 400, L"%.*f", places, value) < 0) return L"*";
  std::wstring result = text;
  if (result.rfind(L"-0", 0) == 0 && std::fabs(value) < 0.5 * std::pow(10.0, -places))
    result.erase(0, 1);  // no "-0.0000" for a value that rounds to zero
  return result;
}

}  // namespace

bool Answer::isKeyword(const wchar_t* name) const { return status == RTKWORD && keyword == name; }

std::optional<AcGePoint3d> parseTypedPoint(const std::wstring& text, const AcGePoint3d& last) {
  std::wstring t = trimmed(text);
  if (t.empty()) return std::nullopt;
  if (t[0] == L'@') {
    std::wstring rest = t.substr(1);
    if (trimmed(rest).empty()) return last;
    if (std::optional<AcGeVector3d> offset = parsePolar(rest)) return last + *offset;
    if (std::optional<AcGeVector3d> offset = parseCoordinates(rest)) return last + *offset;
    return std::nullopt;
  }
  if (std::optional<AcGeVector3d> offset = parsePolar(t)) return AcGePoint3d::kOrigin + *offset;
  return std::nullopt;
}

Answer getPoint(const AcGePoint3d* base, const std::wstring& prompt, const std::wstring& keywords,
                int bits) {
  std::wstring shown = prompt;
  while (true) {
    ads_point basePoint;
    if (base != nullptr) fill(basePoint, *base);
    acedInitGet(bits | RSG_OTHER, keywords.empty() ? nullptr : keywords.c_str());
    ads_point picked;
    Answer answer;
    answer.status = acedGetPoint(base ? basePoint : nullptr, shown.c_str(), picked);
    if (answer.status == RTNORM) {
      answer.point = AcGePoint3d(picked[X], picked[Y], picked[Z]);
      setLastPoint(answer.point);
      return answer;
    }
    if (answer.status != RTKWORD) return answer;
    std::wstring text = keywordText();
    if (std::optional<std::wstring> keyword = keywordOf(keywords, text)) {
      answer.keyword = *keyword;
      return answer;
    }
    if (std::optional<AcGePoint3d> point = parseTypedPoint(text, lastPoint())) {
      answer.status = RTNORM;
      answer.point = *point;
      setLastPoint(answer.point);
      return answer;
    }
    acutPrintf(L"\nInvalid point.\n");
    // The host waits for the answer again without repeating the prompt.
    shown.clear();
  }
}

Answer getDistance(const AcGePoint3d* base, const std::wstring& prompt,
                   const std::wstring& keywords, int bits) {
  ads_point basePoint;
  if (base != nullptr) fill(basePoint, *base);
  acedInitGet(bits, keywords.empty() ? nullptr : keywords.c_str());
  ads_real value = 0.0;
  Answer answer = answerFor(acedGetDist(base ? basePoint : nullptr, prompt.c_str(), &value));
  answer.value = value;
  return answer;
}

Answer getAngle(const AcGePoint3d* base, const std::wstring& prompt, const std::wstring& keywords,
                int bits) {
  ads_point basePoint;
  if (base != nullptr) fill(basePoint, *base);
  acedInitGet(bits, keywords.empty() ? nullptr : keywords.c_str());
  ads_real value = 0.0;
  Answer answer = answerFor(acedGetOrient(base ? basePoint : nullptr, prompt.c_str(), &value));
  answer.value = value;
  return answer;
}

Answer getIncludedAngle(const AcGePoint3d* base, const std::wstring& prompt,
                        const std::wstring& keywords, int bits) {
  // The angle request turns a typed number into a direction in [0, 2pi); an included
  // angle keeps its sign (negative turns clockwise), so numbers are read here.
  std::wstring shown = prompt;
  while (true) {
    ads_point basePoint;
    if (base != nullptr) fill(basePoint, *base);
    acedInitGet(bits | RSG_OTHER, keywords.empty() ? nullptr : keywords.c_str());
    ads_point picked;
    Answer answer;
    answer.status = acedGetPoint(base ? basePoint : nullptr, shown.c_str(), picked);
    if (answer.status == RTNORM) {
      AcGePoint3d from(picked[X], picked[Y], picked[Z]);
      if (base != nullptr) {
        answer.value = relativeDirection(*base, from);
        return answer;
      }
      acedInitGet(RSG_NONULL, nullptr);
      ads_point second;
      answer.status = acedGetPoint(picked, L"\nSpecify second point: ", second);
      if (answer.status == RTNORM)
        answer.value = relativeDirection(from, AcGePoint3d(second[X], second[Y], second[Z]));
      return answer;
    }
    if (answer.status != RTKWORD) return answer;
    std::wstring text = keywordText();
    if (std::optional<std::wstring> keyword = keywordOf(keywords, text)) {
      answer.keyword = *keyword;
      return answer;
    }
    if (std::optional<double> degrees = parseNumber(text)) {
      answer.status = RTNORM;
      answer.value = *degrees * M_PI / 180.0;
      if (intVariable(L"ANGDIR", 0) == 1) answer.value = -answer.value;
      return answer;
    }
    acutPrintf(keywords.empty()
                   ? L"\nRequires valid numeric angle or second point.\n"
                   : L"\nRequires valid numeric angle, second point, or option keyword.\n");
    shown.clear();
  }
}

Answer getPointOrNumber(const AcGePoint3d* base, const std::wstring& prompt,
                        const std::wstring& keywords, int bits) {
  std::wstring shown = prompt;
  while (true) {
    ads_point basePoint;
    if (base != nullptr) fill(basePoint, *base);
    acedInitGet(bits | RSG_OTHER, keywords.empty() ? nullptr : keywords.c_str());
    ads_point picked;
    Answer answer;
    answer.status = acedGetPoint(base ? basePoint : nullptr, shown.c_str(), picked);
    if (answer.status == RTNORM) {
      answer.point = AcGePoint3d(picked[X], picked[Y], picked[Z]);
      return answer;
    }
    if (answer.status != RTKWORD) return answer;
    std::wstring text = keywordText();
    if (std::optional<std::wstring> keyword = keywordOf(keywords, text)) {
      answer.keyword = *keyword;
      return answer;
    }
    std::optional<double> number = parseNumber(text);
    if (number && *number != 0) {
      answer.status = RTREAL;
      answer.value = *number;
      return answer;
    }
    if (std::optional<AcGePoint3d> point = parseTypedPoint(text, lastPoint())) {
      answer.status = RTNORM;
      answer.point = *point;
      return answer;
    }
    acutPrintf(number ? L"\nValue must be nonzero.\n" : L"\nInvalid point.\n");
    shown.clear();
  }
}

Answer getReal(const std::wstring& prompt, const std::wstring& keywords, int bits) {
  acedInitGet(bits, keywords.empty() ? nullptr : keywords.c_str());
  ads_real value = 0.0;
  Answer answer = answerFor(acedGetReal(prompt.c_str(), &value));
  answer.value = value;
  return answer;
}

Answer getKeyword(const std::wstring& prompt, const std::wstring& keywords, int bits) {
  acedInitGet(bits, keywords.c_str());
  ACHAR text[kInputSize] = {0};
  Answer answer;
  answer.status = acedGetKword(prompt.c_str(), text, kInputSize);
  if (answer.status == RTNORM || answer.status == RTKWORD) {
    answer.status = RTKWORD;
    answer.keyword = text;
  }
  return answer;
}

Answer getText(const std::wstring& prompt, bool allowSpaces) {
  ACHAR text[kInputSize] = {0};
  Answer answer;
  answer.status = acedGetString(allowSpaces ? 1 : 0, prompt.c_str(), text, kInputSize);
  if (answer.status == RTINPUTTRUNCATED) answer.status = RTNORM;
  if (answer.status == RTNORM) answer.keyword = text;
  return answer;
}

std::wstring formatDistance(double value) { return formatFixed(value, intVariable(L"LUPREC", 4)); }

std::wstring formatAngle(double radians) {
  return formatFixed(radians * 180.0 / M_PI, intVariable(L"AUPREC", 0));
}

std::wstring formatPoint(const AcGePoint3d& point) {
  return formatDistance(point.x) + L", " + formatDistance(point.y) + L", " +
         formatDistance(point.z);
}

AcGePoint3d lastPoint() {
  resbuf value{};
  if (acedGetVar(L"LASTPOINT", &value) != RTNORM || value.restype != RT3DPOINT)
    return AcGePoint3d::kOrigin;
  return AcGePoint3d(value.resval.rpoint[X], value.resval.rpoint[Y], value.resval.rpoint[Z]);
}

void setLastPoint(const AcGePoint3d& point) {
  resbuf value{};
  value.restype = RT3DPOINT;
  fill(value.resval.rpoint, point);
  acedSetVar(L"LASTPOINT", &value);
}

double realVariable(const wchar_t* name, double fallback) {
  resbuf value{};
  if (acedGetVar(name, &value) != RTNORM) return fallback;
  if (value.restype == RTREAL) return value.resval.rreal;
  if (value.restype == RTSHORT) return value.resval.rint;
  return fallback;
}

int intVariable(const wchar_t* name, int fallback) {
  resbuf value{};
  if (acedGetVar(name, &value) != RTNORM) return fallback;
  if (value.restype == RTSHORT) return value.resval.rint;
  if (value.restype == RTLONG) return static_cast<int>(value.resval.rlong);
  return fallback;
}

std::wstring stringVariable(const wchar_t* name) {
  resbuf value{};
  if (acedGetVar(name, &value) != RTNORM || value.restype != RTSTR) return L"";
  std::wstring text = value.resval.rstring ? value.resval.rstring : L"";
  std::free(value.resval.rstring);
  return text;
}

void setRealVariable(const wchar_t* name, double number) {
  resbuf value{};
  value.restype = RTREAL;
  value.resval.rreal = number;
  acedSetVar(name, &value);
}

void setIntVariable(const wchar_t* name, int number) {
  resbuf value{};
  value.restype = RTSHORT;
  value.resval.rint = static_cast<short>(number);
  acedSetVar(name, &value);
}

void setStringVariable(const wchar_t* name, const std::wstring& text) {
  resbuf value{};
  value.restype = RTSTR;
  value.resval.rstring = const_cast<ACHAR*>(text.c_str());
  acedSetVar(name, &value);
}

}  // namespace tabrik::acad::command
