// Drawing files of the host: the drawing database reads and writes them (DXF, or
// the host's binary form when reading); the host names documents after them and
// tells the editor reactors about saves.
#include "aced/host/DrawingFiles.h"

#include "acdb/acut/WideText.h"
#include "aced/doc/DocManager.h"
#include "aced/doc/HostEditor.h"
#include "aced/host/HostState.h"
#include "tabrik/DrawingFiling.h"

namespace tabrik::acad {

namespace {

std::string reason(Acad::ErrorStatus status) {
  switch (status) {
    case Acad::eFileNotFound:
      return "no such file";
    case Acad::eNotImplementedYet:
      return "this host has no DXF filer installed";
    case Acad::eInvalidInput:
      return "not a path";
    default:
      return "error status " + std::to_string(static_cast<int>(status));
  }
}

}  // namespace

Document* openDrawingFile(const std::wstring& path) {
  auto database =
      std::make_unique<AcDbDatabase>(/*buildDefaultDrawing=*/false, /*noDocument=*/false);
  Acad::ErrorStatus status = database->readDwgFile(path.c_str());
  const std::wstring& said = readMessage(database.get());
  if (status != Acad::eOk) {
    // The reader's line and reason first; the status stays for those who look it up.
    hostDiagnostic("cannot open drawing " + toUtf8(path) + ": " +
                   (said.empty() ? reason(status) : toUtf8(said) + " (" + reason(status) + ")"));
    return nullptr;
  }
  // A drawing that opens but lost something on the way says so.
  if (!said.empty()) hostDiagnostic("drawing " + toUtf8(path) + ": " + toUtf8(said));
  return docManager().open(path, std::move(database));
}

bool saveDrawingAs(Document& document, const std::wstring& path) {
  AcDbDatabase* database = document.database();
  HostEditor& editor = hostEditor();
  editor.fireBeginSave(database, path.c_str());
  Acad::ErrorStatus status = database->dxfOut(path.c_str());
  if (status != Acad::eOk) {
    editor.fireAbortSave(database);
    hostDiagnostic("cannot save drawing as " + toUtf8(path) + ": " + reason(status));
    return false;
  }
  document.setFileName(path);
  editor.fireSaveComplete(database, path.c_str());
  return true;
}

}  // namespace tabrik::acad
