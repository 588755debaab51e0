// nv_nv-submitBug, EditUserOptions, ed_editMultilineText and nv_nv-safeContinue: the
// LISP side of the support family's dialogs.
#include <acedads.h>
#include <winuser.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "support/CSubmitBug.h"
#include "support/CUserOptions.h"
#include "support/SmallDialogs.h"
#include "host/DialogHosting.h"
#include "resources/ModuleResources.h"

namespace tabrik::arx::fn {

// (nv_nv-submitBug kind label logFolder extraText [files]): always nil.
int nv_nv_submitBug() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  SupportReport report;
  std::int32_t kind = 0;
  if (!readInteger(cursor, kind) || !readString(cursor, report.archiveLabel) ||
      !readString(cursor, report.logFolder) || !readString(cursor, report.extraText)) {
    return kWrongType;
  }
  report.kind = kind;
  readListStart(cursor);
  std::wstring file;
  while (readString(cursor, file)) {
    if (!file.empty()) {
      report.attachments.push_back(file);
    }
  }
  ModuleResourceScope resources;
  CSubmitBug dialog(std::move(report), AfxGetMainWnd());
  runModuleDialog(dialog);
  return kResultOk;
}

// (EditUserOptions product [variant]): always nil.
int EditUserOptions() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring product;
  if (!readString(cursor, product)) {
    return kWrongType;
  }
  std::wstring variant = L"NOT ELEC";
  readString(cursor, variant);
  ModuleResourceScope resources;
  CUserOptions dialog(product, variant, AfxGetMainWnd());
  runModuleDialog(dialog);
  return kResultOk;
}

// (ed_editMultilineText text [title]): the edited text, nil when cancelled.
int ed_editMultilineText() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring text;
  if (!readString(cursor, text)) {
    return kWrongType;
  }
  std::wstring title;
  readString(cursor, title);
  ModuleResourceScope resources;
  CEditMultilineText dialog(text, title, AfxGetMainWnd());
  if (runModuleDialog(dialog) == IDOK) {
    acedRetStr(dialog.text().c_str());
  }
  return kResultOk;
}

// (nv_nv-safeContinue title message word): T when the word was typed and OK pressed.
int nv_nv_safeContinue() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring title;
  std::wstring message;
  std::wstring word;
  if (!readString(cursor, title) || !readString(cursor, message) || !readString(cursor, word)) {
    return kWrongType;
  }
  ModuleResourceScope resources;
  CSafeContinue dialog(title, message, word, AfxGetMainWnd());
  if (runModuleDialog(dialog) == IDOK && dialog.confirmed()) {
    acedRetT();
  }
  return kResultOk;
}

}  // namespace tabrik::arx::fn
