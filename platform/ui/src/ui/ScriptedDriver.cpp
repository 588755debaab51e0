// The scripted driver: runs the actions of a dialog script as the user would, with
// the notifications each sends. An action that names nothing the dialog has prints
// "\n; dialog script: " and the reason, and the dialog is cancelled.
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "acutads.h"
#include "adscodes.h"
#include "tabrik/DialogDriver.h"
#include "ui/DialogRecord.h"
#include "ui/DialogState.h"

namespace tabrik::ui {

namespace {

// One value of a script, parsed from its result buffers.
struct ScriptValue {
  enum class Kind { List, Text, Integer, Real, True, Nil } kind = Kind::Nil;
  std::wstring text;
  long long integer = 0;
  double real = 0;
  std::vector<ScriptValue> items;

  bool isNil() const { return kind == Kind::Nil || (kind == Kind::List && items.empty()); }
  // How the value reads where text is expected ("" for none).
  std::optional<std::wstring> asText() const {
    switch (kind) {
      case Kind::Text:
        return text;
      case Kind::Integer:
        return std::to_wstring(integer);
      case Kind::Real: {
        wchar_t buffer[64];
        std::swprintf(buffer, 64, L"%g", real);
        return std::wstring(buffer);
      }
      default:
        return std::nullopt;
    }
  }
  // How the value prints in a reason.
  std::wstring shown() const {
    if (auto value = asText()) return kind == Kind::Text ? L"\"" + *value + L"\"" : *value;
    if (kind == Kind::True) return L"T";
    if (isNil()) return L"nil";
    std::wstring list = L"(";
    for (size_t i = 0; i < items.size(); ++i) list += (i ? L" " : L"") + items[i].shown();
    return list + L")";
  }
};

// Parses the values of one list up to its RTLE; `at` moves past it.
std::vector<ScriptValue> parseList(const resbuf*& at) {
  std::vector<ScriptValue> values;
  while (at != nullptr) {
    const resbuf* item = at;
    at = at->rbnext;
    ScriptValue value;
    switch (item->restype) {
      case RTLE:
        return values;
      case RTLB:
        value.kind = ScriptValue::Kind::List;
        value.items = parseList(at);
        break;
      case RTSTR:
        value.kind = ScriptValue::Kind::Text;
        value.text = item->resval.rstring ? item->resval.rstring : L"";
        break;
      case RTSHORT:
        value.kind = ScriptValue::Kind::Integer;
        value.integer = item->resval.rint;
        break;
      case RTLONG:
        value.kind = ScriptValue::Kind::Integer;
        value.integer = item->resval.rlong;
        break;
      case RTREAL:
        value.kind = ScriptValue::Kind::Real;
        value.real = item->resval.rreal;
        break;
      case RTT:
        value.kind = ScriptValue::Kind::True;
        break;
      case RTDOTE:
        continue;
      default:
        value.kind = ScriptValue::Kind::Nil;
        break;
    }
    values.push_back(std::move(value));
  }
  return values;
}

std::wstring lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// A name compares without "&" marks, ignoring case; a label's trailing colon is optional.
bool namesLabel(const std::wstring& label, const std::wstring& name) {
  if (label.empty()) return false;
  std::wstring a = lower(withoutMnemonics(label));
  std::wstring b = lower(withoutMnemonics(name));
  if (a == b) return true;
  if (!a.empty() && a.back() == L':') a.pop_back();
  if (!b.empty() && b.back() == L':') b.pop_back();
  return !a.empty() && a == b;
}

class ScriptRun {
 public:
  explicit ScriptRun(CDialog& dialog) : m_dialog(dialog) {}

  // Runs every action until the dialog ends; false (after printing why) on an action
  // that names nothing the dialog has.
  bool run(const std::vector<ScriptValue>& actions) {
    for (const ScriptValue& action : actions) {
      if (ended()) return true;
      std::optional<std::wstring> problem = perform(action);
      if (problem) {
        acutPrintf(L"\n; dialog script: %ls", problem->c_str());
        return false;
      }
    }
    return true;
  }

 private:
  DialogState& state() const { return *m_dialog.dialogState(); }
  bool ended() const { return m_dialog.dialogState() == nullptr || state().ended; }

  std::optional<std::wstring> perform(const ScriptValue& action) {
    if (action.kind != ScriptValue::Kind::List || action.items.empty() ||
        action.items[0].kind != ScriptValue::Kind::Text)
      return L"not an action: " + action.shown();
    const std::wstring verb = lower(action.items[0].text);
    const std::vector<ScriptValue>& args = action.items;
    auto needs = [&](size_t count) -> std::optional<std::wstring> {
      if (args.size() < count + 1) return L"too few arguments: " + action.shown();
      return std::nullopt;
    };
    if (verb == L"dump") {
      state().dumps.push_back(dumpDialog(state()));
      return std::nullopt;
    }
    if (verb == L"set") {
      if (auto problem = needs(2)) return problem;
      return set(args[1], args[2]);
    }
    if (verb == L"select") {
      if (auto problem = needs(2)) return problem;
      return select(args[1], args[2]);
    }
    if (verb == L"press") {
      if (auto problem = needs(1)) return problem;
      return press(args[1]);
    }
    if (verb == L"cell") {
      if (auto problem = needs(4)) return problem;
      return gridAction(args[1], &args[2], &args[3], &args[4]);
    }
    if (verb == L"click") {
      if (auto problem = needs(3)) return problem;
      return gridAction(args[1], &args[2], &args[3], nullptr);
    }
    if (verb == L"row") {
      if (auto problem = needs(2)) return problem;
      return gridAction(args[1], &args[2], nullptr, nullptr);
    }
    return L"unknown action " + action.shown();
  }

  // The controls a name designates: by label, or by resource id.
  std::vector<ControlState*> named(const ScriptValue& name) const {
    std::vector<ControlState*> found;
    std::optional<std::wstring> text = name.asText();
    if (!text) return found;
    for (const auto& control : state().controls) {
      if (control->kind == ControlKind::Static || control->kind == ControlKind::GroupBox) continue;
      bool byId = *text == std::to_wstring(static_cast<int>(control->id()));
      if (byId || namesLabel(control->label, *text)) found.push_back(control.get());
    }
    return found;
  }

  // The first named control of the kinds given; a reason when there is none.
  std::optional<std::wstring> pick(const ScriptValue& name,
                                   std::initializer_list<ControlKind> kinds, const wchar_t* what,
                                   ControlState*& chosen) const {
    std::vector<ControlState*> candidates = named(name);
    if (candidates.empty()) return L"no control " + name.shown();
    for (ControlState* control : candidates) {
      for (ControlKind kind : kinds) {
        if (control->kind != kind) continue;
        if (!control->visible || !control->enabled)
          return name.shown() + L" is " + (control->visible ? L"disabled" : L"hidden");
        chosen = control;
        return std::nullopt;
      }
    }
    return name.shown() + L" is not " + what;
  }

  std::optional<std::wstring> set(const ScriptValue& name, const ScriptValue& value) {
    ControlState* control = nullptr;
    if (auto problem = pick(name,
                            {ControlKind::Edit, ControlKind::ComboBox, ControlKind::CheckBox,
                             ControlKind::RadioButton},
                            L"an edit, combo or check box", control))
      return problem;
    if (control->kind == ControlKind::CheckBox || control->kind == ControlKind::RadioButton) {
      int check = value.isNil() ? BST_UNCHECKED : BST_CHECKED;
      if (control->check != check) {
        control->check = check;
        state().command(*control, BN_CLICKED);
      }
      return std::nullopt;
    }
    std::optional<std::wstring> text =
        value.isNil() ? std::optional<std::wstring>(L"") : value.asText();
    if (!text) return name.shown() + L" takes text, not " + value.shown();
    if (control->kind == ControlKind::Edit) {
      if (control->readOnly) return name.shown() + L" is read-only";
      if (control->limit > 0 && static_cast<int>(text->size()) > control->limit)
        text->resize(static_cast<size_t>(control->limit));
      control->text = *text;
      state().command(*control, EN_CHANGE);
      return std::nullopt;
    }
    // A drop-down list cannot be typed into: the text picks the item it names.
    if (control->isDropList()) return select(name, value);
    control->text = *text;
    control->selection = -1;
    state().command(*control, CBN_EDITCHANGE);
    return std::nullopt;
  }

  std::optional<std::wstring> select(const ScriptValue& name, const ScriptValue& item) {
    ControlState* control = nullptr;
    if (auto problem = pick(name, {ControlKind::ListBox, ControlKind::ComboBox},
                            L"a list or combo box", control))
      return problem;
    int index = -1;
    if (item.kind == ScriptValue::Kind::Integer) {
      if (item.integer >= 0 && item.integer < static_cast<long long>(control->items.size()))
        index = static_cast<int>(item.integer);
    } else if (std::optional<std::wstring> text = item.asText()) {
      for (size_t i = 0; i < control->items.size() && index < 0; ++i)
        if (lower(control->items[i]) == lower(*text)) index = static_cast<int>(i);
    }
    if (index < 0) return name.shown() + L" has no item " + item.shown();
    control->selection = index;
    if (control->kind == ControlKind::ComboBox) {
      control->text = control->items[index];
      state().command(*control, CBN_SELCHANGE);
    } else {
      state().command(*control, LBN_SELCHANGE);
    }
    return std::nullopt;
  }

  std::optional<std::wstring> press(const ScriptValue& name) {
    ControlState* control = nullptr;
    if (auto problem =
            pick(name, {ControlKind::PushButton, ControlKind::CheckBox, ControlKind::RadioButton},
                 L"a button", control))
      return problem;
    if (control->kind == ControlKind::CheckBox) {
      control->check = control->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    } else if (control->kind == ControlKind::RadioButton) {
      control->check = BST_CHECKED;
    }
    state().command(*control, BN_CLICKED);
    return std::nullopt;
  }

  ControlState* findGrid(const std::wstring& name) const {
    for (const auto& control : state().controls) {
      if (control->kind != ControlKind::Grid) continue;
      if (lower(name) == L"grid" + std::to_wstring(control->gridNumber)) return control.get();
      if (control->grid->findColumn(name, /*visibleOnly=*/true) >= 0) return control.get();
    }
    return nullptr;
  }

  std::optional<std::wstring> gridAction(const ScriptValue& gridName, const ScriptValue* rowName,
                                         const ScriptValue* columnName, const ScriptValue* value) {
    std::optional<std::wstring> gridText = gridName.asText();
    ControlState* control = gridText ? findGrid(*gridText) : nullptr;
    if (control == nullptr) return L"no grid " + gridName.shown();
    if (!control->visible || !control->enabled) return gridName.shown() + L" is disabled";
    GridModel& grid = *control->grid;
    int row = 0;
    if (rowName->kind == ScriptValue::Kind::Integer) {
      if (rowName->integer >= 1 && rowName->integer < grid.rowCount())
        row = static_cast<int>(rowName->integer);
    } else if (std::optional<std::wstring> text = rowName->asText()) {
      row = grid.findRow(*text);
    }
    if (row == 0) return gridName.shown() + L" has no row " + rowName->shown();
    if (columnName == nullptr) {
      grid.userSelectRow(row);
      return std::nullopt;
    }
    std::optional<std::wstring> columnText = columnName->asText();
    int column = columnText ? grid.findColumn(*columnText, /*visibleOnly=*/true) : -1;
    if (column < 0) return gridName.shown() + L" has no column " + columnName->shown();
    GridRefusal refusal = GridRefusal::None;
    if (value == nullptr) {
      refusal = grid.userClick(row, column);
    } else if (grid.kind(row, column) == GCK_CHECK) {
      refusal = grid.userSetCheck(row, column, !value->isNil());
    } else {
      std::optional<std::wstring> text =
          value->isNil() ? std::optional<std::wstring>(L"") : value->asText();
      if (!text) return L"the cell takes text, not " + value->shown();
      refusal = grid.userEdit(row, column, *text);
    }
    const std::wstring where =
        L"the cell " + rowName->shown() + L" " + columnName->shown() + L" of " + gridName.shown();
    switch (refusal) {
      case GridRefusal::ReadOnly:
        return where + L" is read-only";
      case GridRefusal::WrongKind:
        return where + L" cannot be edited as text";
      case GridRefusal::NotAnOption:
        return where + L" has no option " + value->shown();
      case GridRefusal::NoSuchCell:
        return where + L" does not exist";
      default:
        // A veto is the dialog's own answer to the edit, not a script error.
        return std::nullopt;
    }
  }

  CDialog& m_dialog;
};

}  // namespace

void runDialogScript(CDialog& dialog, const resbuf* script) {
  if (dialog.dialogState() == nullptr) return;
  const resbuf* at = script;
  std::vector<ScriptValue> actions;
  if (at != nullptr && at->restype == RTLB) {
    at = at->rbnext;
    actions = parseList(at);
  }
  ScriptRun run(dialog);
  if (!run.run(actions) && dialog.dialogState() && !dialog.dialogState()->ended)
    dialog.EndDialog(IDCANCEL);
}

}  // namespace tabrik::ui
