// Drawing files of the host: the drawing database reads and writes them (DXF, or
// the host's binary form when reading); the host names documents after them and
// tells the editor reactors about saves.
#include "aced/host/DrawingFiles.h"

#include "acdb/acut/WideText.h"
#include "aced/doc/DocManager.h"
#include "aced/doc/HostEditor.h"
#include "aced/host/HostState.h"

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
  if (status != Acad::eOk) {
    hostDiagnostic("cannot open drawing " + toUtf8(path) + ": " + reason(status));
    return nullptr;
  }
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
