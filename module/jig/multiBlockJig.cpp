// multiBlockJig: the position and rotation drags of new block references and their
// addition to model space.
#include "jig/multiBlockJig.h"

#include <dbents.h>
#include <dbsymtb.h>

#include "jig/JigGeometry.h"

namespace tabrik::arx::draw {
namespace {

void addAttributes(AcDbBlockReference* reference) {
  AcDbBlockTableRecord* block = nullptr;
  if (acdbOpenObject(block, reference->blockTableRecord(), AcDb::kForRead) != Acad::eOk) return;
  AcDbBlockTableRecordIterator* iterator = nullptr;
  if (block->newIterator(iterator) == Acad::eOk && iterator != nullptr) {
    const AcGeMatrix3d transform = reference->blockTransform();
    for (; !iterator->done(); iterator->step()) {
      AcDbEntity* entity = nullptr;
      if (iterator->getEntity(entity, AcDb::kForRead) != Acad::eOk || entity == nullptr) continue;
      auto* definition = AcDbAttributeDefinition::cast(entity);
      if (definition != nullptr && !definition->isConstant()) {
        auto* attribute = new AcDbAttribute();
        attribute->setAttributeFromBlock(definition, transform);
        if (reference->appendAttribute(attribute) == Acad::eOk) {
          attribute->close();
        } else {
          delete attribute;
        }
      }
      entity->close();
    }
    delete iterator;
  }
  block->close();
}

}  // namespace

multiBlockJig::multiBlockJig(bool rotate) : m_rotate(rotate) {}

multiBlockJig::~multiBlockJig() { m_list.deleteEntities(); }

void multiBlockJig::setEntityList(std::vector<AcDbBlockReference*> references) {
  m_list.deleteEntities();
  m_list.setList(std::vector<AcDbEntity*>(references.begin(), references.end()));
}

void multiBlockJig::setInsertionPoint(const AcGePoint3d& point) {
  m_insertionPoint = point;
  m_insertionPointGiven = true;
}

bool multiBlockJig::run() {
  m_phase = 0;
  if (m_insertionPointGiven) {
    update();
  } else {
    setDispPrompt(L"\nSpecify insertion point: ");
    if (drag() != kNormal) return false;
  }
  m_workingPosition = m_insertionPoint;
  if (!m_rotate) return true;
  m_phase = 1;
  setDispPrompt(L"\nSpecify rotation angle <0>: ");
  DragStatus status = drag();
  if (status == kNull) {
    m_angle = 0.0;
    update();
    return true;
  }
  return status == kNormal;
}

AcEdJig::DragStatus multiBlockJig::sampler() {
  setUserInputControls(kNullResponseAccepted);
  if (m_phase == 0) {
    AcGePoint3d point;
    DragStatus status = acquirePoint(point);
    if (status != kNormal) return status;
    if (m_pointSampled && point == m_insertionPoint) return kNoChange;
    m_insertionPoint = point;
    m_pointSampled = true;
    return status;
  }
  double angle = 0.0;
  DragStatus status = acquireAngle(angle, m_insertionPoint);
  angle = drawingAngle(angle);
  if (status == kNormal && angle == m_angle) return kNoChange;
  if (status == kNormal) {
    m_previousAngle = m_angle;
    m_angle = angle;
  }
  return status;
}

Adesk::Boolean multiBlockJig::update() {
  for (AcDbEntity* entity : m_list.list()) {
    auto* reference = static_cast<AcDbBlockReference*>(entity);
    if (m_phase == 0) {
      // The reference's base point may lie off its block's origin: keep that offset.
      const AcGeVector3d offset =
          reference->blockTransform().translation() - reference->position().asVector();
      reference->setPosition(AcGePoint3d(m_insertionPoint.x + offset.x,
                                         m_insertionPoint.y + offset.y, m_insertionPoint.z));
      continue;
    }
    AcGePoint3d position = m_workingPosition;
    position.transformBy(AcGeMatrix3d::rotation(m_angle, AcGeVector3d::kZAxis, m_insertionPoint));
    reference->setPosition(position);
    reference->setRotation(m_angle);
  }
  return Adesk::kTrue;
}

AcDbEntity* multiBlockJig::entity() const { return m_list.shownByJig(); }

std::vector<AcDbObjectId> multiBlockJig::addToModelSpace() {
  std::vector<AcDbObjectId> ids;
  AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
  AcDbBlockTableRecord* space = nullptr;
  if (database != nullptr) {
    AcDbBlockTable* table = nullptr;
    if (database->getSymbolTable(table, AcDb::kForRead) == Acad::eOk) {
      table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForWrite);
      table->close();
    }
  }
  for (AcDbEntity* entity : m_list.list()) {
    auto* reference = static_cast<AcDbBlockReference*>(entity);
    AcDbObjectId id;
    if (space == nullptr || space->appendAcDbEntity(id, reference) != Acad::eOk) {
      ids.push_back(AcDbObjectId::kNull);
      delete reference;
      continue;
    }
    addAttributes(reference);
    reference->close();
    ids.push_back(id);
  }
  if (space != nullptr) space->close();
  // Every reference now belongs to the drawing or is gone.
  m_list.setList({});
  return ids;
}

}  // namespace tabrik::arx::draw
