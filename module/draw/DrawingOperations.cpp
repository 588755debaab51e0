// The shared drawing operations of DrawingOperations.h.
#include "draw/DrawingOperations.h"

#include <memory>
#include <string>

#include <acdocman.h>
#include <acedads.h>
#include <acutads.h>
#include <dbmain.h>
#include <dbsymtb.h>

#include "host/ResultValues.h"

namespace tabrik::arx::draw {
namespace {

// Opening a file without sharing restrictions (the runtime's _SH_DENYNO).
constexpr int kShareDenyNone = 0x40;
constexpr int kFindFileBufferLength = 1024;

// Holds the write lock of a document while an operation changes its drawing.
class DocumentLock {
 public:
  explicit DocumentLock(AcApDocument* document) : m_document(document) {
    m_locked = m_document != nullptr &&
               acDocManager->lockDocument(m_document, AcAp::kWrite, /*globalCmdName=*/nullptr,
                                          /*localCmdName=*/nullptr,
                                          /*prompt=*/true) == Acad::eOk;
  }
  ~DocumentLock() {
    if (m_locked) acDocManager->unlockDocument(m_document);
  }
  DocumentLock(const DocumentLock&) = delete;
  DocumentLock& operator=(const DocumentLock&) = delete;

 private:
  AcApDocument* m_document;
  bool m_locked = false;
};

// Tells the LISP application that a block's drawing file is missing; what the function
// answers does not matter.
void alertMissingBlock(const ACHAR* name) {
  resbuf* call = acutNewRb(RTSTR);
  resbuf* argument = acutNewRb(RTSTR);
  if (call == nullptr || argument == nullptr) {
    acutRelRb(call);
    acutRelRb(argument);
    return;
  }
  call->resval.rstring = acutNewString(ACRX_T("nvBlock-alertMissing"));
  argument->resval.rstring = acutNewString(name);
  call->rbnext = argument;
  resbuf* answer = nullptr;
  acedInvoke(call, &answer);
  acutRelRb(answer);
  acutRelRb(call);
}

}  // namespace

AcDbDatabase* currentDatabase() {
  if (AcApDocument* document = acDocManager->curDocument()) return document->database();
  return acdbHostApplicationServices()->workingDatabase();
}

bool appendToModelSpace(AcDbEntity* entity) {
  AcDbDatabase* working = acdbHostApplicationServices()->workingDatabase();
  DocumentLock lock(working != nullptr ? acDocManager->document(working) : nullptr);
  AcDbDatabase* database = currentDatabase();
  AcDbBlockTable* table = nullptr;
  if (database == nullptr || database->getBlockTable(table, AcDb::kForRead) != Acad::eOk) {
    acedAlert(ACRX_T("Failed to get block table!"));
    delete entity;
    return false;
  }
  AcDbBlockTableRecord* modelSpace = nullptr;
  Acad::ErrorStatus status = table->getAt(ACDB_MODEL_SPACE, modelSpace, AcDb::kForWrite);
  if (status != Acad::eOk) {
    acedAlert(ACRX_T("Failed to get block table record!"));
    acutPrintf(ACRX_T("\n%i"), static_cast<int>(status));
    table->close();
    delete entity;
    return false;
  }
  status = modelSpace->appendAcDbEntity(entity);
  modelSpace->close();
  table->close();
  if (status != Acad::eOk) {
    acedAlert(ACRX_T("Failed to append entity!"));
    delete entity;
    return false;
  }
  return true;
}

bool appendAndClose(AcDbEntity* entity) {
  if (entity == nullptr) return false;
  if (!appendToModelSpace(entity)) return false;
  entity->close();
  return true;
}

bool findLayer(const ACHAR* name, AcDbObjectId& layerId) {
  AcDbDatabase* database = currentDatabase();
  AcDbLayerTable* table = nullptr;
  if (name == nullptr || database == nullptr ||
      database->getLayerTable(table, AcDb::kForRead) != Acad::eOk)
    return false;
  AcDbObjectId found;
  const bool exists = table->getAt(name, found) == Acad::eOk;
  table->close();
  if (exists) layerId = found;
  return exists;
}

bool findBlock(const ACHAR* name, AcDbObjectId& blockId) {
  AcDbDatabase* database = currentDatabase();
  AcDbBlockTable* table = nullptr;
  if (name == nullptr || database == nullptr ||
      database->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
    return false;
  AcDbObjectId found;
  if (table->getAt(name, found) == Acad::eOk) {
    table->close();
    // Defensive: a symbol is a block definition; a layout's block would draw the
    // drawing inside itself.
    AcDbBlockTableRecord* record = nullptr;
    if (acdbOpenObject(record, found, AcDb::kForRead) != Acad::eOk) return false;
    const bool isLayout = record->isLayout();
    record->close();
    if (isLayout) return false;
    blockId = found;
    return true;
  }
  const std::wstring fileName = std::wstring(name) + ACRX_T(".dwg");
  ACHAR path[kFindFileBufferLength] = {0};
  if (acdbHostApplicationServices()->findFile(path, kFindFileBufferLength, fileName.c_str()) !=
      Acad::eOk) {
    table->close();
    alertMissingBlock(name);
    return false;
  }
  auto source = std::make_unique<AcDbDatabase>(/*buildDefaultDrawing=*/false, /*noDocument=*/true);
  const Acad::ErrorStatus read = source->readDwgFile(path, kShareDenyNone);
  table->close();
  if (read != Acad::eOk) return false;
  AcDbObjectId inserted;
  if (database->insert(inserted, name, source.get()) != Acad::eOk) return false;
  blockId = inserted;
  return true;
}

double leaderScale() {
  AcDbDatabase* database = currentDatabase();
  return database != nullptr ? database->dimscale() : 1.0;
}

void retObject(const AcDbObject* object) {
  if (object == nullptr) {
    acedRetNil();
    return;
  }
  retEntity(object->objectId());
}

}  // namespace tabrik::arx::draw
