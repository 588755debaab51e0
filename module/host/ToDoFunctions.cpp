// The to-do drawing: one module-wide drawing name that LISP code remembers across
// drawings (nv_nv-setToDoDrawing, nv_nv-getToDoDrawing), and nv_nv-executeToDo, which
// queues an expression on another open drawing's command line.
#include <cwctype>
#include <memory>
#include <string>

#include <acdocman.h>
#include <acedads.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ResultValues.h"
#include "host/ToDoDrawing.h"

namespace tabrik::arx {
namespace {

std::wstring& toDoDrawing() {
  static std::wstring name;
  return name;
}

bool equalIgnoringCase(const std::wstring& a, const ACHAR* b) {
  if (b == nullptr || a.size() != std::char_traits<ACHAR>::length(b)) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The first open document, in the host's order, whose file name is `name` in any case.
AcApDocument* findDocument(const std::wstring& name) {
  std::unique_ptr<AcApDocumentIterator> documents(acDocManager->newAcApDocumentIterator());
  for (; documents != nullptr && !documents->done(); documents->step()) {
    AcApDocument* document = documents->document();
    if (document != nullptr && equalIgnoringCase(name, document->fileName())) {
      return document;
    }
  }
  return nullptr;
}

}  // namespace

void clearToDoDrawing() { toDoDrawing().clear(); }

namespace fn {

int nv_nv_setToDoDrawing() {
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring name;
  if (!readString(cursor, name)) {
    return kWrongType;
  }
  toDoDrawing() = std::move(name);
  acedRetNil();
  return kResultOk;
}

int nv_nv_getToDoDrawing() {
  acedRetStr(toDoDrawing().c_str());
  return kResultOk;
}

int nv_nv_executeToDo() {
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring drawing;
  std::wstring expression;
  if (!readString(cursor, drawing) || !readString(cursor, expression)) {
    return kWrongType;
  }
  expression += L'\n';
  AcApDocument* document = findDocument(drawing);
  if (document == nullptr) {
    retInteger(0);
    return kResultOk;
  }
  if (!document->isQuiescent()) {
    retInteger(-1);
    return kResultOk;
  }
  acDocManager->sendStringToExecute(document, expression.c_str(), /*activate=*/true,
                                    /*wrapUpInactiveDoc=*/false, /*echoString=*/false);
  retInteger(1);
  return kResultOk;
}

}  // namespace fn
}  // namespace tabrik::arx
