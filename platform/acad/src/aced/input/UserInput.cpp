// User input requests over the input queue.
#include "aced/input/UserInput.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "adscodes.h"
#include "acdb/acut/Console.h"
#include "aced/host/HostState.h"
#include "aced/host/HostVariables.h"

namespace tabrik::acad {

namespace {

std::string g_lastKeyword;
thread_local InputTokenSource* t_source = nullptr;
int g_pendingBits = 0;
std::string g_pendingKeywords;

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> list;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) list.push_back(text.substr(start, i - start));
  }
  return list;
}

// One keyword of an initget list: "LType" (the capitals abbreviate) or "LTYPE,LT"
// (the text after the comma abbreviates).
struct Keyword {
  std::string name;
  std::string abbreviation;  // only in the comma form
};

Keyword keywordOf(const std::string& word) {
  size_t comma = word.find(',');
  if (comma == std::string::npos) return Keyword{word, ""};
  return Keyword{word.substr(0, comma), word.substr(comma + 1)};
}

struct KeywordList {
  std::vector<Keyword> local;
  std::vector<Keyword> global;  // empty, or one per local name
};

KeywordList parseKeywords(const std::string& text) {
  KeywordList list;
  bool inGlobal = false;
  for (const std::string& word : words(text)) {
    std::string bare = word;
    if (bare[0] == '_') {
      inGlobal = true;
      bare.erase(0, 1);
      if (bare.empty()) continue;
    }
    (inGlobal ? list.global : list.local).push_back(keywordOf(bare));
  }
  // A list of global names alone serves as its own local list.
  if (list.local.empty()) list.local = list.global;
  return list;
}

// A keyword in the capitals form is typed as its capitals or more of it; one written
// all in one case must be typed as any prefix of it.
bool keywordMatches(const Keyword& keyword, const std::string& typed) {
  std::string up = upper(keyword.name);
  std::string wanted = upper(typed);
  if (wanted.empty()) return false;
  if (up == wanted) return true;
  if (!keyword.abbreviation.empty()) {
    std::string abbreviation = upper(keyword.abbreviation);
    if (wanted == abbreviation) return true;
    return wanted.size() >= abbreviation.size() && up.compare(0, wanted.size(), wanted) == 0 &&
           wanted.compare(0, abbreviation.size(), abbreviation) == 0;
  }
  std::string capitals;
  for (char c : keyword.name) {
    if (std::isupper(static_cast<unsigned char>(c))) capitals.push_back(c);
  }
  bool mixed = !capitals.empty() && capitals.size() < keyword.name.size();
  // The capitals alone answer wherever they stand in the name ("eXit" <- "x").
  if (mixed && wanted == capitals) return true;
  if (mixed)
    return wanted.size() >= capitals.size() && up.compare(0, wanted.size(), wanted) == 0 &&
           wanted.compare(0, capitals.size(), capitals) == 0;
  return up.compare(0, wanted.size(), wanted) == 0;
}

std::optional<double> parseReal(const std::string& text) {
  std::string t = trim(text);
  if (t.empty()) return std::nullopt;
  char* end = nullptr;
  double value = std::strtod(t.c_str(), &end);
  if (end == t.c_str() || *end != '\0' || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> parseInteger(const std::string& text) {
  std::string t = trim(text);
  if (t.empty()) return std::nullopt;
  char* end = nullptr;
  long value = std::strtol(t.c_str(), &end, 10);
  if (end == t.c_str() || *end != '\0') return std::nullopt;
  if (value < -32768 || value > 32767) return std::nullopt;
  return static_cast<int>(value);
}

void say(const char* message) { writeConsole(std::string_view(message)); }

// Checks a number against the initget bits 2 (no zero) and 4 (no negative).
bool acceptable(double value, int bits) {
  if ((bits & RSG_NOZERO) && value == 0) {
    say("\nValue must be nonzero.\n");
    return false;
  }
  if ((bits & RSG_NONEG) && value < 0) {
    say("\nValue must be positive.\n");
    return false;
  }
  return true;
}

InputAnswer cancelled(InputAnswer& answer) {
  answer.status = RTCAN;
  return answer;
}

// The second point of a distance or angle given by two points; Escape ends it.
std::optional<std::array<double, 3>> secondPoint() {
  writeConsole(std::string_view("\nSpecify second point: "));
  while (true) {
    InputQuery query;
    query.want = InputWant::kPoint;
    query.prompt = "\nSpecify second point: ";
    std::optional<std::string> token = takeInputToken(query);
    if (token && *token == kRepromptToken) {
      writeConsole(query.prompt);
      continue;
    }
    if (!token || *token == "*cancel*") return std::nullopt;
    if (!token->empty() && (*token)[0] == '~') continue;
    if (auto point = parsePoint(*token)) return point;
    say("\nInvalid point.\n");
  }
}

// A numeric host variable (ANGBASE, ANGDIR, ELEVATION); `fallback` when the host
// has none.
double numericVariable(const wchar_t* name, double fallback) {
  resbuf value{};
  if (!getHostVariable(name, &value)) return fallback;
  switch (value.restype) {
    case RTREAL:
      return value.resval.rreal;
    case RTSHORT:
      return value.resval.rint;
    case RTLONG:
      return value.resval.rlong;
    default:
      return fallback;
  }
}

double normalizedAngle(double angle) {
  angle = std::fmod(angle, 2 * M_PI);
  if (angle < 0) angle += 2 * M_PI;
  return angle >= 2 * M_PI ? 0.0 : angle;
}

// The angle a request answers. A typed number is in the drawing's angle system: zero
// at ANGBASE, clockwise when ANGDIR is 1. Two points give a direction, absolute.
// getangle answers relative to ANGBASE, counter-clockwise; getorient the absolute
// direction (zero to the east, counter-clockwise), whatever the two variables say.
double requestedAngle(InputWant want, std::optional<double> typedDegrees, double direction) {
  double base = numericVariable(L"ANGBASE", 0.0);
  if (typedDegrees) {
    double turn = *typedDegrees * M_PI / 180.0;
    if (numericVariable(L"ANGDIR", 0.0) == 1.0) turn = -turn;
    direction = base + turn;
  }
  return normalizedAngle(want == InputWant::kOrientation ? direction : direction - base);
}

}  // namespace

const std::string& lastKeywordInput() { return g_lastKeyword; }

void setThreadTokenSource(InputTokenSource* source) { t_source = source; }

InputTokenSource* threadTokenSource() { return t_source; }

std::optional<std::string> takeInputToken(const InputQuery& query) {
  if (t_source != nullptr) return t_source->take(query);
  return hostState().takeInput(query.prompt);
}

std::string objectToken(bool isSelectionSet, const std::intptr_t name[2]) {
  return std::string("\x01") + (isSelectionSet ? "S " : "E ") + std::to_string(name[0]) + " " +
         std::to_string(name[1]);
}

bool parseObjectToken(const std::string& text, bool& isSelectionSet, std::intptr_t name[2]) {
  if (text.size() < 4 || text[0] != '\x01' || (text[1] != 'S' && text[1] != 'E')) return false;
  isSelectionSet = text[1] == 'S';
  char* end = nullptr;
  const char* start = text.c_str() + 2;
  long long first = std::strtoll(start, &end, 10);
  if (end == start) return false;
  const char* second = end;
  long long other = std::strtoll(second, &end, 10);
  if (end == second || *end != '\0') return false;
  name[0] = static_cast<std::intptr_t>(first);
  name[1] = static_cast<std::intptr_t>(other);
  return true;
}

std::optional<size_t> matchKeywordIndex(const std::string& keywords, const std::string& text) {
  KeywordList list = parseKeywords(keywords);
  std::string typed = trim(text);
  bool underscore = !typed.empty() && typed[0] == '_';
  if (!underscore) {
    for (size_t i = 0; i < list.local.size(); ++i) {
      if (keywordMatches(list.local[i], typed)) return i;
    }
  }
  std::string bare = underscore ? typed.substr(1) : typed;
  // A list without global names has its local names serve as global ones.
  const std::vector<Keyword>& global = list.global.empty() ? list.local : list.global;
  for (size_t i = 0; i < global.size() && i < list.local.size(); ++i) {
    if (keywordMatches(global[i], bare)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> matchKeyword(const std::string& keywords, const std::string& text) {
  std::optional<size_t> index = matchKeywordIndex(keywords, text);
  if (!index) return std::nullopt;
  KeywordList list = parseKeywords(keywords);
  return *index < list.global.size() ? list.global[*index].name : list.local[*index].name;
}

size_t keywordCount(const std::string& keywords) { return parseKeywords(keywords).local.size(); }

void setPendingInitGet(int bits, std::string keywords) {
  g_pendingBits = bits;
  g_pendingKeywords = std::move(keywords);
}

void takePendingInitGet(int& bits, std::string& keywords) {
  bits = g_pendingBits;
  keywords = std::move(g_pendingKeywords);
  g_pendingBits = 0;
  g_pendingKeywords.clear();
}

void setLastKeywordInput(std::string text) { g_lastKeyword = std::move(text); }

double planarAngle(const std::array<double, 3>& from, const std::array<double, 3>& to) {
  double angle = std::atan2(to[1] - from[1], to[0] - from[0]);
  if (angle < 0) angle += 2 * M_PI;
  return angle >= 2 * M_PI ? 0.0 : angle;
}

double distanceBetween(const std::array<double, 3>& from, const std::array<double, 3>& to,
                       bool planar) {
  double dz = planar ? 0.0 : to[2] - from[2];
  return std::sqrt((to[0] - from[0]) * (to[0] - from[0]) + (to[1] - from[1]) * (to[1] - from[1]) +
                   dz * dz);
}

std::optional<std::array<double, 3>> parsePoint(const std::string& text) {
  std::array<double, 3> point{0, 0, 0};
  std::string rest = trim(text);
  int count = 0;
  size_t start = 0;
  while (true) {
    size_t comma = rest.find(',', start);
    std::string part =
        rest.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    std::optional<double> value = parseReal(part);
    if (!value || count == 3) return std::nullopt;
    point[count++] = *value;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (count < 2) return std::nullopt;
  return point;
}

InputAnswer requestUserInput(const InputQuery& query) {
  HostState& state = hostState();
  InputAnswer answer;
  // The terminal shows the prompt itself when it is asked.
  if (t_source != nullptr || !state.isInteractive() || state.hasQueuedInput())
    writeConsole(query.prompt);
  const int bits = query.initgetBits;
  while (true) {
    std::optional<std::string> token = takeInputToken(query);
    if (!token || *token == "*cancel*") {
      answer.status = RTCAN;
      return answer;
    }
    if (*token == kRepromptToken) {
      writeConsole(query.prompt.empty() ? query.shownPrompt : query.prompt);
      continue;
    }
    std::string text = *token;
    bool isSet = false;
    std::intptr_t name[2];
    if (parseObjectToken(text, isSet, name)) {
      if (query.acceptsObjects) {
        answer.status = isSet ? RTPICKS : RTENAME;
        answer.text = text;
        return answer;
      }
      say(query.want == InputWant::kPoint || query.want == InputWant::kCorner
              ? "\nInvalid point.\n"
              : "\nInvalid input.\n");
      continue;
    }
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (!text.empty() && text[0] == '~') continue;  // cursor motion: only jigs sample it
    if (trim(text).empty() && query.want != InputWant::kString) {
      if (bits & RSG_NONULL) continue;
      answer.status = RTNONE;
      return answer;
    }
    if (query.want == InputWant::kString) {
      answer.status = RTNORM;
      answer.text = query.allowSpaces ? text : text.substr(0, text.find(' '));
      return answer;
    }
    if (std::optional<std::string> keyword = matchKeyword(query.keywords, text)) {
      answer.status = RTKWORD;
      answer.text = g_lastKeyword = *keyword;
      return answer;
    }
    switch (query.want) {
      case InputWant::kPoint:
      case InputWant::kCorner:
        if (auto point = parsePoint(text)) {
          answer.status = RTNORM;
          for (int i = 0; i < 3; ++i) answer.point[i] = (*point)[i];
          // A corner lies in the construction plane: a typed Z gives way to the
          // current elevation.
          if (query.want == InputWant::kCorner) answer.point[2] = numericVariable(L"ELEVATION", 0);
          return answer;
        }
        break;
      case InputWant::kInteger:
        if (auto value = parseInteger(text)) {
          if (!acceptable(*value, bits)) continue;
          answer.status = RTNORM;
          answer.integer = *value;
          return answer;
        }
        break;
      case InputWant::kReal:
        if (auto value = parseReal(text)) {
          if (!acceptable(*value, bits)) continue;
          answer.status = RTNORM;
          answer.real = *value;
          return answer;
        }
        break;
      case InputWant::kDistance:
        if (auto value = parseReal(text)) {
          if (!acceptable(*value, bits)) continue;
          answer.status = RTNORM;
          answer.real = *value;
          return answer;
        }
        if (auto point = parsePoint(text)) {
          std::optional<std::array<double, 3>> from = query.base;
          std::array<double, 3> to = *point;
          if (!from) {
            // A first point typed: the distance runs to a second one.
            std::optional<std::array<double, 3>> second = secondPoint();
            if (!second) return cancelled(answer);
            from = point;
            to = *second;
          }
          double distance = distanceBetween(*from, to, (bits & RSG_2D) != 0);
          if (!acceptable(distance, bits)) continue;
          answer.status = RTNORM;
          answer.real = distance;
          return answer;
        }
        break;
      case InputWant::kAngle:
      case InputWant::kOrientation:
        if (auto value = parseReal(text)) {
          answer.status = RTNORM;
          answer.real = requestedAngle(query.want, *value, 0.0);
          return answer;
        }
        if (auto point = parsePoint(text)) {
          std::optional<std::array<double, 3>> from = query.base;
          std::array<double, 3> to = *point;
          if (!from) {
            std::optional<std::array<double, 3>> second = secondPoint();
            if (!second) return cancelled(answer);
            from = point;
            to = *second;
          }
          answer.status = RTNORM;
          answer.real = requestedAngle(query.want, std::nullopt, planarAngle(*from, to));
          return answer;
        }
        break;
      case InputWant::kString:
      case InputWant::kKeyword:
        break;
    }
    if (bits & RSG_OTHER) {
      answer.status = RTKWORD;
      answer.text = g_lastKeyword = text;
      return answer;
    }
    switch (query.want) {
      case InputWant::kPoint:
      case InputWant::kCorner:
        say("\nInvalid point.\n");
        break;
      case InputWant::kInteger:
        say("\nRequires an integer value.\n");
        break;
      case InputWant::kReal:
        say("\nRequires numeric value.\n");
        break;
      case InputWant::kDistance:
        say(query.keywords.empty()
                ? "\nRequires numeric distance or two points.\n"
                : "\nRequires numeric distance, second point, or option keyword.\n");
        break;
      case InputWant::kAngle:
      case InputWant::kOrientation:
        say(query.keywords.empty()
                ? "\nRequires valid numeric angle or second point.\n"
                : "\nRequires valid numeric angle, second point, or option keyword.\n");
        break;
      default:
        say("\nInvalid option keyword.\n");
        break;
    }
  }
}

}  // namespace tabrik::acad
