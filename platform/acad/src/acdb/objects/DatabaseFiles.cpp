// Reading and writing whole drawings (the binary form and DXF), and inserting one
// database into another as a block.
#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <fstream>
#include <iterator>

#include "acdb/objects/DatabaseInternal.h"
#include "acutads.h"
#include "dbents.h"
#include "dbmtext.h"
#include "dbsymtb.h"
#include "tabrik/DrawingFiling.h"
#include "tabrik/TextConversion.h"

using namespace tabrik::acad;

// The file's content decides its form, not its name: a drawing saved as binary under
// a ".dxf" name, or as DXF under a ".dwg" name, opens all the same.
Acad::ErrorStatus AcDbDatabase::readDwgFile(const ACHAR* fileName, int, bool, const ACHAR*) {
  if (fileName == nullptr || fileName[0] == 0) return Acad::eInvalidInput;
  std::ifstream in(tabrik::text::nativePath(fileName), std::ios::binary);
  if (!in) return Acad::eFileNotFound;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!isBinaryDrawing(bytes)) return dxfIn(fileName);
  Acad::ErrorStatus status = readBinaryDrawing(this, bytes);
  if (status == Acad::eOk) setFilename(this, fileName);
  return status;
}

// A ".dwg" name (any case) is saved in the binary form, any other as DXF.
Acad::ErrorStatus AcDbDatabase::saveAs(const ACHAR* fileName) {
  if (fileName == nullptr || fileName[0] == 0) return Acad::eInvalidInput;
  std::wstring name = fileName;
  bool binary =
      name.size() >= 4 && std::equal(name.end() - 4, name.end(), L".dwg", [](wchar_t a, wchar_t b) {
        return static_cast<wchar_t>(std::towlower(a)) == b;
      });
  if (!binary) return dxfOut(fileName);
  std::string bytes;
  Acad::ErrorStatus status = writeBinaryDrawing(this, bytes);
  if (status != Acad::eOk) return status;
  std::ofstream out(tabrik::text::nativePath(fileName), std::ios::binary | std::ios::trunc);
  if (!out) return Acad::eFileAccessErr;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return Acad::eFileAccessErr;
  setFilename(this, fileName);
  return Acad::eOk;
}

// --- inserting a drawing as a block ---------------------------------------------------

namespace {

// Copies of a source drawing's objects into a target drawing, with every reference to
// a symbol (layer, linetype, text style, block) carried over by name: an existing
// record of the same name is used, a missing one is copied along.
class DrawingInserter {
 public:
  DrawingInserter(AcDbDatabase* target, AcDbDatabase* source)
      : m_target(target), m_source(source) {}

  AcDbObjectId symbol(AcDbObjectId sourceId, AcDbObjectId targetTableId, int depth) {
    if (!sourceId.isValid() || sourceId.database() != m_source) return sourceId;
    auto* record = AcDbSymbolTableRecord::cast(sourceId.stub()->object);
    auto* table =
        AcDbSymbolTable::cast(targetTableId.isValid() ? targetTableId.stub()->object : nullptr);
    if (record == nullptr || table == nullptr) return AcDbObjectId::kNull;
    AcDbObjectId found;
    if (table->getAt(record->name().c_str(), found) == Acad::eOk) return found;
    if (auto* block = AcDbBlockTableRecord::cast(record))
      return copyBlock(block, record->name(), depth + 1);
    auto* copy = AcDbSymbolTableRecord::cast(record->clone());
    if (copy == nullptr) return AcDbObjectId::kNull;
    if (auto* layer = AcDbLayerTableRecord::cast(copy))
      layer->setLinetypeObjectId(
          symbol(layer->linetypeObjectId(), m_target->linetypeTableId(), depth));
    if (auto* dim = AcDbDimStyleTableRecord::cast(copy))
      dim->setDimtxsty(symbol(dim->dimtxsty(), m_target->textStyleTableId(), depth));
    AcDbSymbolTable* writable = nullptr;
    AcDbObjectId id;
    if (acdbOpenObject(writable, targetTableId, AcDb::kForWrite) != Acad::eOk ||
        writable->add(id, copy) != Acad::eOk) {
      if (writable) writable->close();
      delete copy;
      return AcDbObjectId::kNull;
    }
    copy->close();
    writable->close();
    return id;
  }

  // A new block in the target named `name` holding copies of `source`'s entities.
  AcDbObjectId copyBlock(const AcDbBlockTableRecord* source, const std::wstring& name, int depth) {
    if (depth > 32) return AcDbObjectId::kNull;  // blocks nested past reason, or in a loop
    AcDbBlockTable* blocks = nullptr;
    if (m_target->getBlockTable(blocks, AcDb::kForWrite) != Acad::eOk) return AcDbObjectId::kNull;
    auto* block = new AcDbBlockTableRecord;
    AcDbObjectId id;
    if (block->setName(name.c_str()) != Acad::eOk || blocks->add(id, block) != Acad::eOk) {
      blocks->close();
      delete block;
      return AcDbObjectId::kNull;
    }
    blocks->close();
    block->setOrigin(source->origin());
    for (const AcDbObjectId& entityId : source->entityIds()) {
      if (!entityId.isValid() || entityId.isErased()) continue;
      auto* original = AcDbEntity::cast(entityId.stub()->object);
      auto* copy = original ? AcDbEntity::cast(original->clone()) : nullptr;
      if (copy == nullptr) continue;
      remap(copy, depth);
      AcDbObjectId copyId;
      if (block->appendAcDbEntity(copyId, copy) != Acad::eOk) {
        delete copy;
        continue;
      }
      carryXData(copy, original);
      if (auto* reference = AcDbBlockReference::cast(original))
        copyAttributes(reference, AcDbBlockReference::cast(copy), depth);
      copy->close();
    }
    block->close();
    return id;
  }

 private:
  void remap(AcDbEntity* copy, int depth) {
    copy->setLayer(symbol(copy->layerId(), m_target->layerTableId(), depth));
    copy->setLinetype(symbol(copy->linetypeId(), m_target->linetypeTableId(), depth));
    if (auto* text = AcDbText::cast(copy))
      text->setTextStyle(symbol(text->textStyle(), m_target->textStyleTableId(), depth));
    if (auto* mtext = AcDbMText::cast(copy))
      mtext->setTextStyle(symbol(mtext->textStyle(), m_target->textStyleTableId(), depth));
    if (auto* reference = AcDbBlockReference::cast(copy))
      reference->setBlockTableRecord(
          symbol(reference->blockTableRecord(), m_target->blockTableId(), depth));
  }

  void carryXData(AcDbEntity* copy, const AcDbEntity* original) {
    resbuf* data = original->xData(nullptr);
    if (data != nullptr) copy->setXData(data);  // registers the applications in the target
    acutRelRb(data);
  }

  void copyAttributes(const AcDbBlockReference* original, AcDbBlockReference* copy, int depth) {
    if (copy == nullptr) return;
    AcDbObjectIterator* it = original->attributeIterator();
    for (; !it->done(); it->step()) {
      AcDbObjectId id = it->objectId();
      auto* attribute = id.isValid() ? AcDbAttribute::cast(id.stub()->object) : nullptr;
      auto* attributeCopy = attribute ? AcDbAttribute::cast(attribute->clone()) : nullptr;
      if (attributeCopy == nullptr) continue;
      remap(attributeCopy, depth);
      if (copy->appendAttribute(attributeCopy) != Acad::eOk) {
        delete attributeCopy;
        continue;
      }
      attributeCopy->close();
    }
    delete it;
  }

  AcDbDatabase* m_target;
  AcDbDatabase* m_source;
};

}  // namespace

Acad::ErrorStatus AcDbDatabase::insert(AcDbObjectId& blockId, const ACHAR* blockName,
                                       AcDbDatabase* source, bool) {
  blockId.setNull();
  if (source == nullptr || source == this || blockName == nullptr) return Acad::eInvalidInput;
  AcDbBlockTable* blocks = nullptr;
  if (getBlockTable(blocks) != Acad::eOk) return Acad::eNoDatabase;
  bool exists = blocks->has(blockName);
  blocks->close();
  if (exists) return Acad::eDuplicateRecordName;
  AcDbBlockTableRecord* space = nullptr;
  if (acdbOpenObject(space, source->modelSpaceId(), AcDb::kForRead) != Acad::eOk)
    return Acad::eNoDatabase;
  space->close();  // read directly below: the source is not changed
  auto* model = AcDbBlockTableRecord::cast(source->modelSpaceId().stub()->object);
  DrawingInserter inserter(this, source);
  blockId = inserter.copyBlock(model, blockName, 0);
  if (blockId.isNull()) return Acad::eInvalidBlockName;
  // The block's contents are the source's model space, based at its INSBASE.
  AcDbBlockTableRecord* made = nullptr;
  if (acdbOpenObject(made, blockId, AcDb::kForWrite) == Acad::eOk) {
    made->setOrigin(source->insbase());
    made->close();
  }
  return Acad::eOk;
}
