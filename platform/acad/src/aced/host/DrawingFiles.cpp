// Drawing files of the host: the drawing database reads and writes them (DXF, or
// the host's binary form when reading); the host names documents after them and
// tells the editor reactors about saves.
#include "aced/host/DrawingFiles.h"

#include <memory>

#include "acdb/acut/WideText.h"
#include "aced/doc/DocManager.h"
#include "aced/doc/HostEditor.h"
#include "aced/host/HostState.h"
#include "aced/host/PlainEntities.h"
#include "dbproxy.h"
#include "dbsymtb.h"
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

// Replaces each custom entity owned by a block (model space, paper space, block
// definitions) by the plain entities that show it, in the same block. Entities that
// draw nothing stay as they are.
void explodeCustomEntities(AcDbDatabase* database) {
  for (const AcDbObjectId& id : objectIds(database)) {
    AcDbObject* peeked = peekObject(id);
    if (peeked == nullptr || peeked->isErased() || AcDbEntity::cast(peeked) == nullptr ||
        isHostClass(peeked->isA()) || AcDbProxyEntity::cast(peeked) != nullptr)
      continue;
    AcDbEntity* entity = nullptr;
    if (acdbOpenObject(entity, id, AcDb::kForWrite) != Acad::eOk) continue;
    AcDbBlockTableRecord* owner = nullptr;
    if (acdbOpenObject(owner, entity->ownerId(), AcDb::kForWrite) != Acad::eOk) {
      entity->close();
      continue;
    }
    std::vector<AcDbEntity*> pieces = plainEntitiesOf(entity);
    if (!pieces.empty()) {
      for (AcDbEntity* piece : pieces) {
        if (owner->appendAcDbEntity(piece) == Acad::eOk) {
          piece->close();
        } else {
          delete piece;
        }
      }
      entity->erase();
    }
    owner->close();
    entity->close();
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

namespace tabrik::acad {

bool saveDrawingExploded(Document& document, const std::wstring& path) {
  std::string bytes;
  Acad::ErrorStatus status = writeBinaryDrawing(document.database(), bytes);
  auto copy = std::make_unique<AcDbDatabase>(/*buildDefaultDrawing=*/false, /*noDocument=*/true);
  if (status == Acad::eOk) status = readBinaryDrawing(copy.get(), bytes);
  if (status == Acad::eOk) {
    explodeCustomEntities(copy.get());
    status = copy->dxfOut(path.c_str());
  }
  if (status != Acad::eOk) {
    hostDiagnostic("cannot save drawing exploded as " + toUtf8(path) + ": " + reason(status));
    return false;
  }
  return true;
}

}  // namespace tabrik::acad
