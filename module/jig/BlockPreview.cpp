// The block preview drawing of BlockPreview.h. Each entity of the definition is opened
// for read only while it draws; the definition stays open for the whole visit.
#include "jig/BlockPreview.h"

#include <memory>
#include <vector>

#include <acgi.h>
#include <dblead.h>
#include <dbmtext.h>
#include <dbents.h>
#include <dbsymtb.h>

namespace tabrik::arx::draw {
namespace {

// The blocks being drawn, outermost first. Defensive: the host refuses blocks that
// contain themselves, but a block met again inside itself is not
// drawn again, so a drawing whose blocks contain themselves still draws in finite time.
using Visiting = std::vector<AcDbObjectId>;

AcDbMText::AttachmentPoint attachmentOf(const AcDbAttributeDefinition& definition) {
  // Rows: left (and fit), centre (and aligned, middle), right; columns: the vertical mode.
  int row = 0;
  switch (definition.horizontalMode()) {
    case AcDb::kTextCenter:
    case AcDb::kTextAlign:
    case AcDb::kTextMid:
      row = 1;
      break;
    case AcDb::kTextRight:
      row = 2;
      break;
    default:
      row = 0;
      break;
  }
  static constexpr AcDbMText::AttachmentPoint kBottom[] = {
      AcDbMText::kBottomLeft, AcDbMText::kBottomCenter, AcDbMText::kBottomRight};
  static constexpr AcDbMText::AttachmentPoint kMiddle[] = {
      AcDbMText::kMiddleLeft, AcDbMText::kMiddleCenter, AcDbMText::kMiddleRight};
  static constexpr AcDbMText::AttachmentPoint kTop[] = {AcDbMText::kTopLeft, AcDbMText::kTopCenter,
                                                        AcDbMText::kTopRight};
  switch (definition.verticalMode()) {
    case AcDb::kTextVertMid:
      return kMiddle[row];
    case AcDb::kTextTop:
      return kTop[row];
    default:
      return kBottom[row];
  }
}

// A constant, visible attribute shows its text as the reference would place it. The
// text carries the block transform itself, so it draws outside the pushed one.
void drawConstantAttribute(const AcDbAttributeDefinition& definition,
                           const AcGeMatrix3d& blockTransform, AcGiWorldDraw* mode) {
  AcDbMText text;
  text.setContents(definition.textStringConst());
  text.setLocation(definition.alignmentPoint());
  text.setTextHeight(definition.height());
  text.setTextStyle(definition.textStyle());
  text.setAttachment(attachmentOf(definition));
  text.setLayer(definition.layerId());
  mode->subEntityTraits().setLayer(definition.layerId());
  text.transformBy(blockTransform);
  text.setRotation(0.0);
  text.setColorIndex(256);  // by layer
  mode->geometry().popModelTransform();
  mode->geometry().draw(&text);
  mode->geometry().pushModelTransform(blockTransform);
}

// While the host drags, a leader shows only its path, one segment at a time.
void drawLeaderPath(const AcDbLeader& leader, AcGiWorldDraw* mode) {
  mode->subEntityTraits().setLayer(leader.layerId());
  mode->subEntityTraits().setColor(leader.colorIndex());
  for (int i = 0; i + 1 < leader.numVertices(); ++i) {
    AcGePoint3d segment[2] = {leader.vertexAt(i), leader.vertexAt(i + 1)};
    mode->geometry().polyline(2, segment);
  }
}

void drawEntity(AcDbEntity* entity, AcGiWorldDraw* mode) {
  mode->subEntityTraits().setLayer(entity->layerId());
  mode->subEntityTraits().setColor(entity->colorIndex());
  entity->worldDraw(mode);
}

void drawBlock(const AcDbBlockReference* reference, AcGiWorldDraw* mode, Visiting& visiting) {
  const AcDbObjectId blockId = reference->blockTableRecord();
  for (const AcDbObjectId& outer : visiting) {
    if (outer == blockId) return;
  }
  AcDbBlockTableRecord* block = nullptr;
  if (acdbOpenObject(block, blockId, AcDb::kForRead) != Acad::eOk) return;
  AcDbBlockTableRecordIterator* raw = nullptr;
  if (block->newIterator(raw) != Acad::eOk || raw == nullptr) {
    block->close();
    return;
  }
  std::unique_ptr<AcDbBlockTableRecordIterator> iterator(raw);
  const AcGeMatrix3d transform = reference->blockTransform();
  visiting.push_back(blockId);
  mode->geometry().pushModelTransform(transform);
  for (; !iterator->done(); iterator->step()) {
    AcDbEntity* entity = nullptr;
    if (iterator->getEntity(entity, AcDb::kForRead) != Acad::eOk || entity == nullptr) continue;
    if (auto* nested = AcDbBlockReference::cast(entity)) {
      drawBlock(nested, mode, visiting);
    } else if (auto* definition = AcDbAttributeDefinition::cast(entity)) {
      if (definition->isConstant() && !definition->isInvisible())
        drawConstantAttribute(*definition, transform, mode);
    } else if (auto* leader = AcDbLeader::cast(entity); leader != nullptr && mode->isDragging()) {
      drawLeaderPath(*leader, mode);
    } else {
      drawEntity(entity, mode);
    }
    entity->close();
  }
  mode->geometry().popModelTransform();
  visiting.pop_back();
  block->close();
}

}  // namespace

void drawBlockPreview(const AcDbBlockReference* reference, AcGiWorldDraw* mode) {
  if (reference == nullptr || mode == nullptr) return;
  Visiting visiting;
  drawBlock(reference, mode, visiting);
}

}  // namespace tabrik::arx::draw
