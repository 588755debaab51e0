// TextJig: the text follows the cursor, raised by its vertical adjustment.
#include "jig/TextJig.h"

#include <dbmtext.h>

#include "jig/JigGeometry.h"

namespace tabrik::arx::draw {

TextJig::TextJig(AcDbMText* text)
    : m_text(text), m_adjustment(text->ascent() - text->textHeight()) {}

TextJig::~TextJig() = default;

bool TextJig::run() {
  setDispPrompt(L"\nSpecify text insertion point: ");
  return drag() != kCancel;
}

AcGePoint3d TextJig::location() const { return m_text->location(); }

AcEdJig::DragStatus TextJig::sampler() {
  AcGePoint3d point;
  DragStatus status = acquirePoint(point);
  if (status != kNormal) return status;
  if (m_sampled && point == m_previous) return kNoChange;
  m_text->setLocation(polar(point, kHalfPi, m_adjustment));
  m_previous = point;
  m_sampled = true;
  return status;
}

Adesk::Boolean TextJig::update() { return Adesk::kTrue; }

AcDbEntity* TextJig::entity() const { return m_text.get(); }

}  // namespace tabrik::arx::draw
