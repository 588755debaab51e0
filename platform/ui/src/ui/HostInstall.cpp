// What the dialog runtime adds to the host: its host: functions.
#include "HostSession.h"
#include "lisp/Runtime.h"
#include "tabrik/DialogDriver.h"
#include "tabrik/TextConversion.h"
#include "ui/SampleDialog.h"

namespace tabrik::ui {

namespace {

using lisp::Args;
using lisp::Runtime;
using lisp::Value;

Value text(const std::wstring& value) { return Value::string(tabrik::text::toUtf8(value)); }

// (host:sample-dialog [name]): the sample's values on OK, as
// (name notes urgent colour size item confirmed ((cell ...) ...)), else nil.
Value sampleDialog(Runtime&, Args args) {
  std::wstring name;
  if (!args.empty() && args[0].isString()) name = tabrik::text::fromUtf8(args[0].asString());
  std::optional<SampleResult> result = runSampleDialog(name);
  if (!result) return Value();
  std::vector<Value> rows;
  for (const auto& row : result->rows) {
    std::vector<Value> cells;
    for (const std::wstring& cell : row) cells.push_back(text(cell));
    rows.push_back(Value::list(cells));
  }
  return Value::list({text(result->name), text(result->notes), Value::boolean(result->urgent),
                      text(result->colour), text(result->size), text(result->item),
                      Value::boolean(result->confirmed), Value::list(rows)});
}

}  // namespace

void installHost() {
  acad::HostSession::addLispInstaller(
      [](Runtime& runtime) { runtime.defineBuiltin("host:sample-dialog", sampleDialog); });
}

}  // namespace tabrik::ui
