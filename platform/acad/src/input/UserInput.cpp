// User input requests over the input queue.
#include "input/UserInput.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "adscodes.h"
#include "host/Console.h"
#include "host/HostState.h"

namespace tabrik::acad {

namespace {

std::string g_lastKeyword;

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
    while (i < text.size() && (text[i] == ' ' || text[i] == ',')) ++i;
    size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != ',') ++i;
    if (i > start) list.push_back(text.substr(start, i - start));
  }
  return list;
}

// A keyword's abbreviation is its capital letters; one written all in one case
// must be typed in full (letter case ignored) or as any prefix of it.
bool keywordMatches(const std::string& keyword, const std::string& typed) {
  std::string up = upper(keyword);
  std::string wanted = upper(typed);
  if (wanted.empty()) return false;
  if (up == wanted) return true;
  std::string capitals;
  for (char c : keyword) {
    if (std::isupper(static_cast<unsigned char>(c))) capitals.push_back(c);
  }
  bool mixed = !capitals.empty() && capitals.size() < keyword.size();
  if (mixed) return wanted.size() >= capitals.size() && up.compare(0, wanted.size(), wanted) == 0 &&
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

}  // namespace

const std::string& lastKeywordInput() { return g_lastKeyword; }

std::optional<std::string> matchKeyword(const std::string& keywords, const std::string& text) {
  std::vector<std::string> local;
  std::vector<std::string> global;
  bool inGlobal = false;
  for (const std::string& word : words(keywords)) {
    if (word[0] == '_') {
      inGlobal = true;
      if (word.size() > 1) global.push_back(word.substr(1));
      continue;
    }
    (inGlobal ? global : local).push_back(word);
  }
  std::string typed = trim(text);
  for (const std::string& keyword : local) {
    if (keywordMatches(keyword, typed)) return keyword;
  }
  bool underscore = !typed.empty() && typed[0] == '_';
  std::string bare = underscore ? typed.substr(1) : typed;
  for (size_t i = 0; i < global.size(); ++i) {
    if (keywordMatches(global[i], bare)) return i < local.size() ? local[i] : global[i];
  }
  return std::nullopt;
}

std::optional<std::array<double, 3>> parsePoint(const std::string& text) {
  std::array<double, 3> point{0, 0, 0};
  std::string rest = trim(text);
  int count = 0;
  size_t start = 0;
  while (true) {
    size_t comma = rest.find(',', start);
    std::string part = rest.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
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
  if (!state.isInteractive() || state.hasQueuedInput()) writeConsole(query.prompt);
  const int bits = query.initgetBits;
  while (true) {
    std::optional<std::string> token = state.takeInput(query.prompt);
    if (!token || *token == "*cancel*") {
      answer.status = RTCAN;
      return answer;
    }
    std::string text = *token;
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
      case InputWant::kDistance:
        if (auto value = parseReal(text)) {
          if (!acceptable(*value, bits)) continue;
          answer.status = RTNORM;
          answer.real = *value;
          return answer;
        }
        if (auto point = parsePoint(text); point && query.base && query.want == InputWant::kDistance) {
          const auto& b = *query.base;
          double dz = (bits & RSG_2D) ? 0 : (*point)[2] - b[2];
          answer.status = RTNORM;
          answer.real = std::sqrt(((*point)[0] - b[0]) * ((*point)[0] - b[0]) + ((*point)[1] - b[1]) * ((*point)[1] - b[1]) + dz * dz);
          return answer;
        }
        break;
      case InputWant::kAngle:
      case InputWant::kOrientation:
        if (auto value = parseReal(text)) {
          answer.status = RTNORM;
          answer.real = *value * M_PI / 180.0;
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
      case InputWant::kCorner: say("\nInvalid point.\n"); break;
      case InputWant::kInteger: say("\nRequires an integer value.\n"); break;
      case InputWant::kReal: say("\nRequires numeric value.\n"); break;
      case InputWant::kDistance: say("\nRequires numeric distance or two points.\n"); break;
      case InputWant::kAngle:
      case InputWant::kOrientation: say("\nRequires valid numeric angle or second point.\n"); break;
      default: say("\nInvalid option keyword.\n"); break;
    }
  }
}

}  // namespace tabrik::acad
