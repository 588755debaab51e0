// The host's table of system variables (acdb/objects/SystemVariables.def) and the
// values a drawing keeps for its own ones. The host's getvar/setvar and the drawing
// file filers share it: a drawing variable is stored here until a filer or setvar
// changes it, and a HEADER section carries every one that has a group code.
#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>

class AcDbDatabase;

namespace tabrik::acad {

enum class VariableType { Int, Real, Str, Pt2, Pt3 };
enum class VariableHome { Drawing, Session, Registry };

struct SystemVariable {
  const char* name;  // upper case
  VariableType type;
  VariableHome home;
  bool readOnly;
  const char* defaultText;  // as LISP reads it; null where the host computes the value
  double low, high;         // inclusive; NaN where open
  int dxfCode;              // group code of "$name" in a HEADER section, 0 for none
};

// A variable's value: `integer` for Int, `real` for Real, `text` for Str, `point`
// for points (z is 0 for a 2D point).
struct VariableValue {
  VariableType type = VariableType::Int;
  long integer = 0;
  double real = 0;
  std::wstring text;
  double point[3] = {0, 0, 0};

  friend bool operator==(const VariableValue&, const VariableValue&) = default;
};

// Every variable, sorted by name.
std::span<const SystemVariable> systemVariables();
// The variable of that name (any letter case), or null.
const SystemVariable* findSystemVariable(std::string_view name);
// The variable's initial value; nothing for a computed one.
std::optional<VariableValue> defaultValue(const SystemVariable& variable);
// Reads a value of the variable's type from the text of a default ("12", "0.5",
// "\"Standard\"", "(0.0 0.0 0.0)"); nothing when the text does not fit the type.
std::optional<VariableValue> parseVariableText(VariableType type, std::string_view text);

// The value the drawing holds for one of its variables: what was stored last, else
// the default. Variables the database keeps in members of its own (CLAYER, DIMSCALE,
// ...) are read through those members by their callers, not here.
VariableValue drawingVariable(const AcDbDatabase* database, const SystemVariable& variable);
// True for the drawing variables the database keeps in members of its own and the
// filers read and write by name (CLAYER, DIMSCALE, INSBASE, ...).
bool isHeaderMember(std::string_view name);
// Stores a drawing variable's value as given (the caller checked type and range).
void setDrawingVariable(AcDbDatabase* database, const SystemVariable& variable,
                        const VariableValue& value);

}  // namespace tabrik::acad
