// TextJig: drags a multi-line text by its top-left corner, the text placed so that
// its first line's top sits at the cursor's height. The text is the jig's and never
// reaches a drawing.
#pragma once
#include <memory>

#include <dbjig.h>

class AcDbMText;

namespace tabrik::arx::draw {

class TextJig : public AcEdJig {
 public:
  // Takes the text (new, in no drawing).
  explicit TextJig(AcDbMText* text);
  ~TextJig() override;

  // Drags until a pick; false on Escape.
  bool run();
  AcGePoint3d location() const;

  DragStatus sampler() override;
  Adesk::Boolean update() override;
  AcDbEntity* entity() const override;

 private:
  std::unique_ptr<AcDbMText> m_text;
  double m_adjustment;  // ascent - text height: the top-left attachment's gap
  AcGePoint3d m_previous;
  bool m_sampled = false;  // before the first sample no point equals the last one
};

}  // namespace tabrik::arx::draw
