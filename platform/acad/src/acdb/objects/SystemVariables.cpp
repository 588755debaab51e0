// The system variable table and the drawing's store of its variables.
#include "tabrik/SystemVariables.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "acdb/objects/DatabaseInternal.h"

namespace tabrik::acad {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr VariableType Int = VariableType::Int, Real = VariableType::Real, Str = VariableType::Str,
                       Pt2 = VariableType::Pt2, Pt3 = VariableType::Pt3;
constexpr VariableHome Drawing = VariableHome::Drawing, Session = VariableHome::Session,
                       Registry = VariableHome::Registry;
constexpr bool Rw = false, Ro = true;

const SystemVariable kVariables[] = {
#define SYSVAR(name, type, home, access, text, low, high, dxf) \
  {name, type, home, access, text, low, high, dxf},
#include "acdb/objects/SystemVariables.def"
#undef SYSVAR
};

std::string upper(std::string_view name) {
  std::string text(name);
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

std::optional<double> number(std::string_view text) {
  text = trim(text);
  if (text.empty()) return std::nullopt;
  double value = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::span<const SystemVariable> systemVariables() { return kVariables; }

const SystemVariable* findSystemVariable(std::string_view name) {
  std::string key = upper(name);
  auto found = std::lower_bound(
      std::begin(kVariables), std::end(kVariables), key,
      [](const SystemVariable& variable, const std::string& k) { return variable.name < k; });
  if (found == std::end(kVariables) || found->name != key) return nullptr;
  return found;
}

std::optional<VariableValue> parseVariableText(VariableType type, std::string_view text) {
  text = trim(text);
  VariableValue value;
  value.type = type;
  switch (type) {
    case VariableType::Int: {
      long integer = 0;
      auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), integer);
      if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
      value.integer = integer;
      return value;
    }
    case VariableType::Real: {
      auto real = number(text);
      if (!real) return std::nullopt;
      value.real = *real;
      return value;
    }
    case VariableType::Str: {
      if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::nullopt;
      text = text.substr(1, text.size() - 2);
      value.text.assign(text.begin(), text.end());  // the table's strings are ASCII
      return value;
    }
    case VariableType::Pt2:
    case VariableType::Pt3: {
      if (text.size() < 2 || text.front() != '(' || text.back() != ')') return std::nullopt;
      text = trim(text.substr(1, text.size() - 2));
      size_t count = type == VariableType::Pt2 ? 2 : 3;
      for (size_t i = 0; i < count; ++i) {
        size_t space = text.find(' ');
        auto coordinate = number(text.substr(0, space));
        if (!coordinate) return std::nullopt;
        value.point[i] = *coordinate;
        text = space == std::string_view::npos ? std::string_view() : trim(text.substr(space));
      }
      if (!text.empty()) return std::nullopt;
      return value;
    }
  }
  return std::nullopt;
}

std::optional<VariableValue> defaultValue(const SystemVariable& variable) {
  if (variable.defaultText == nullptr) return std::nullopt;
  return parseVariableText(variable.type, variable.defaultText);
}

bool isHeaderMember(std::string_view name) {
  static constexpr std::string_view kMembers[] = {
      "CECOLOR", "CELTSCALE", "CELTYPE", "CELWEIGHT",   "CLAYER",   "DIMSCALE", "DWGCODEPAGE",
      "INSBASE", "INSUNITS",  "LTSCALE", "MEASUREMENT", "TEXTSIZE", "TEXTSTYLE"};
  return std::find(std::begin(kMembers), std::end(kMembers), name) != std::end(kMembers);
}

VariableValue drawingVariable(const AcDbDatabase* database, const SystemVariable& variable) {
  if (database != nullptr) {
    const auto& stored = database->impl().variables;
    auto found = stored.find(variable.name);
    if (found != stored.end()) return found->second;
  }
  if (auto initial = defaultValue(variable)) return *initial;
  VariableValue value;
  value.type = variable.type;
  return value;
}

void setDrawingVariable(AcDbDatabase* database, const SystemVariable& variable,
                        const VariableValue& value) {
  if (database == nullptr) return;
  database->impl().variables[variable.name] = value;
}

}  // namespace tabrik::acad
