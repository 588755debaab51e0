// Text as the plotter receives it from the entities: where each line starts, which way
// it runs and leans, how high and wide it is; for single-line text by justification,
// for multi-line text by wrapping and attachment, for attributes and text in blocks by
// the reference's transform.
#include <gtest/gtest.h>

#include <cmath>

#include "PlotTestKit.h"
#include "dbmtext.h"

namespace {

using namespace plotkit;

AcDbText* text(const ACHAR* string, AcDb::TextHorzMode h, AcDb::TextVertMode v,
               AcGePoint3d position, AcGePoint3d alignment, double height = 10) {
  auto* t = new AcDbText(position, string, AcDbObjectId::kNull, height, 0);
  t->setHorizontalMode(h);
  t->setVerticalMode(v);
  t->setAlignmentPoint(alignment);
  return t;
}

tabrik::plot::TextRun onlyRun(AcDbDatabase& db) {
  const RecordingSink sink = record(db);
  EXPECT_EQ(sink.texts.size(), 1u);
  return sink.texts.empty() ? tabrik::plot::TextRun{} : sink.texts.front();
}

TEST(PlotText, JustificationPlacesTheBaselineStart) {
  // The natural width of "ABC" 10 high: how far a right-justified text starts left of
  // its alignment point.
  double width = 0;
  {
    AcDbDatabase db;
    append(db, text(L"ABC", AcDb::kTextRight, AcDb::kTextBase, {}, {100, 50, 0}));
    width = 100 - onlyRun(db).position.x;
  }
  ASSERT_GT(width, 3 * 10 * 0.5);  // capitals are wider than half their height
  ASSERT_LT(width, 3 * 10 * 1.0);
  struct Case {
    const char* what;
    AcDb::TextHorzMode h;
    AcDb::TextVertMode v;
    double widthsLeft;  // how many widths the start lies left of the alignment point
    double below;       // how far the baseline lies below it (heights)
  };
  const Case cases[] = {
      {"left, top", AcDb::kTextLeft, AcDb::kTextTop, 0, 1},
      {"left, middle", AcDb::kTextLeft, AcDb::kTextVertMid, 0, 0.5},
      {"centre, baseline", AcDb::kTextCenter, AcDb::kTextBase, 0.5, 0},
      {"centre, top", AcDb::kTextCenter, AcDb::kTextTop, 0.5, 1},
      {"right, middle", AcDb::kTextRight, AcDb::kTextVertMid, 1, 0.5},
      {"middle: centred both ways", AcDb::kTextMid, AcDb::kTextBase, 0.5, 0.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AcDbDatabase db;
    append(db, text(L"ABC", c.h, c.v, {}, {100, 50, 0}));
    const auto run = onlyRun(db);
    EXPECT_NEAR(run.position.x, 100 - c.widthsLeft * width, 1e-9);
    EXPECT_NEAR(run.position.y, 50 - c.below * 10, 1e-9);
    EXPECT_NEAR(run.height, 10, 1e-12);
  }
  // Bottom: the baseline rises above the point by the font's descent.
  AcDbDatabase db;
  append(db, text(L"ABC", AcDb::kTextLeft, AcDb::kTextBottom, {}, {100, 50, 0}));
  const auto bottom = onlyRun(db);
  EXPECT_GT(bottom.position.y, 50 + 10 * 0.1);
  EXPECT_LT(bottom.position.y, 50 + 10 * 0.5);

  // Aligned and fitted text span their two points: aligned by its height, fitted by
  // its width factor.
  struct Span {
    AcDb::TextHorzMode h;
    double stretch, height, widthFactor;
  };
  for (const Span& s : {Span{AcDb::kTextAlign, 2, 20, 1}, Span{AcDb::kTextFit, 2, 10, 2},
                        Span{AcDb::kTextAlign, 0.5, 5, 1}, Span{AcDb::kTextFit, 0.5, 10, 0.5}}) {
    SCOPED_TRACE(s.h == AcDb::kTextAlign ? "aligned" : "fitted");
    AcDbDatabase spanDb;
    append(spanDb, text(L"ABC", s.h, AcDb::kTextBase, {0, 0, 0}, {0, width * s.stretch, 0}));
    const auto run = onlyRun(spanDb);
    EXPECT_NEAR(run.position.x, 0, 1e-9);
    EXPECT_NEAR(run.direction.x, 0, 1e-9);  // along the two points: up the page
    EXPECT_NEAR(run.direction.y, 1, 1e-9);
    EXPECT_NEAR(run.height, s.height, 1e-9);
    EXPECT_NEAR(run.widthFactor, s.widthFactor, 1e-9);
  }
}

TEST(PlotText, RotationWidthAndSlantReachTheRun) {
  struct Case {
    double rotation, widthFactor, oblique;
    double dx, dy, ux, uy;
  };
  const Case cases[] = {
      {0, 1, 0, 1, 0, 0, 1},
      {M_PI / 2, 1, 0, 0, 1, -1, 0},
      {M_PI, 0.5, 0.26, -1, 0, 0, -1},
      {M_PI / 6, 2, -0.2, std::cos(M_PI / 6), 0.5, -0.5, std::cos(M_PI / 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rotation);
    AcDbDatabase db;
    auto* t = new AcDbText({5, 5, 0}, L"Rotated", AcDbObjectId::kNull, 2.5, c.rotation);
    t->setWidthFactor(c.widthFactor);
    t->setOblique(c.oblique);
    append(db, t);
    const auto run = onlyRun(db);
    EXPECT_NEAR(run.position.x, 5, 1e-12);
    EXPECT_NEAR(run.direction.x, c.dx, 1e-9);
    EXPECT_NEAR(run.direction.y, c.dy, 1e-9);
    EXPECT_NEAR(run.up.x, c.ux, 1e-9);
    EXPECT_NEAR(run.up.y, c.uy, 1e-9);
    EXPECT_NEAR(run.widthFactor, c.widthFactor, 1e-12);
    EXPECT_NEAR(run.oblique, c.oblique, 1e-12);
    EXPECT_NEAR(run.height, 2.5, 1e-12);
    EXPECT_EQ(run.utf8, "Rotated");
  }
}

// A block with a text at (1, 0) and an attribute made from its definition at (0, 1),
// referenced at (10, 10) with the case's scales and rotation.
TEST(PlotText, BlockTextAndAttributesFollowTheReference) {
  struct Case {
    const char* what;
    AcGeScale3d scale;
    double rotation;
    tabrik::plot::Point2 textAt, textDirection, textUp, attributeAt;
    double height;
  };
  const Case cases[] = {
      {"plain", {1, 1, 1}, 0, {11, 10}, {1, 0}, {0, 1}, {10, 11}, 1},
      {"scaled 2 and turned a quarter", {2, 2, 2}, M_PI / 2, {10, 12}, {0, 1}, {-1, 0}, {8, 10}, 2},
      // Mirrored in x: the text runs backwards with its glyphs mirrored, upright.
      {"mirrored", {-2, 2, 2}, 0, {8, 10}, {-1, 0}, {0, 1}, {10, 12}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AcDbDatabase db;
    const AcDbObjectId block = addBlock(db, L"TAGGED");
    appendTo(block, new AcDbText({1, 0, 0}, L"inside", AcDbObjectId::kNull, 1, 0));
    auto* definition =
        new AcDbAttributeDefinition({0, 1, 0}, L"value", L"TAG", L"Tag?", AcDbObjectId::kNull);
    definition->setHeight(1);
    AcDbObjectId definitionId = appendTo(block, definition);
    auto* reference = new AcDbBlockReference({10, 10, 0}, block);
    reference->setScaleFactors(c.scale);
    reference->setRotation(c.rotation);
    AcDbAttributeDefinition* opened = nullptr;
    ASSERT_EQ(acdbOpenObject(opened, definitionId, AcDb::kForRead), Acad::eOk);
    auto* attribute = new AcDbAttribute;
    attribute->setAttributeFromBlock(opened, reference->blockTransform());
    attribute->setTextString(L"value");
    opened->close();
    append(db, reference);
    {
      AcDbBlockTableRecord* space = nullptr;
      acdbOpenObject(space, db.modelSpaceId(), AcDb::kForRead);
      const AcDbObjectId refId = space->entityIds().last();
      space->close();
      AcDbBlockReference* open = nullptr;
      ASSERT_EQ(acdbOpenObject(open, refId, AcDb::kForWrite), Acad::eOk);
      open->appendAttribute(attribute);
      attribute->close();
      open->close();
    }
    const RecordingSink sink = record(db);
    ASSERT_EQ(sink.texts.size(), 2u);  // the definition itself does not draw
    const auto& inside = sink.texts[0].utf8 == "inside" ? sink.texts[0] : sink.texts[1];
    const auto& value = sink.texts[0].utf8 == "inside" ? sink.texts[1] : sink.texts[0];
    EXPECT_EQ(value.utf8, "value");
    EXPECT_NEAR(inside.position.x, c.textAt.x, 1e-9);
    EXPECT_NEAR(inside.position.y, c.textAt.y, 1e-9);
    EXPECT_NEAR(inside.direction.x, c.textDirection.x, 1e-9);
    EXPECT_NEAR(inside.direction.y, c.textDirection.y, 1e-9);
    EXPECT_NEAR(inside.up.x, c.textUp.x, 1e-9);
    EXPECT_NEAR(inside.up.y, c.textUp.y, 1e-9);
    EXPECT_NEAR(inside.height, c.height, 1e-9);
    EXPECT_NEAR(value.position.x, c.attributeAt.x, 1e-9);
    EXPECT_NEAR(value.position.y, c.attributeAt.y, 1e-9);
    EXPECT_NEAR(value.height, c.height, 1e-9);
  }
}

TEST(PlotText, MultilineTextWrapsAndAligns) {
  struct Case {
    const char* what;
    const ACHAR* contents;
    double width;
    AcDbMText::AttachmentPoint attachment;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"paragraphs", L"A\\PBB\\PCCC", 0, AcDbMText::kTopLeft, {"A", "BB", "CCC"}},
      {"words wrap at the width", L"AAA BBB CCC", 20, AcDbMText::kTopLeft, {"AAA", "BBB", "CCC"}},
      {"two words fit a wider column", L"AAA BBB CCC", 35, AcDbMText::kTopLeft, {"AAA BBB", "CCC"}},
      {"centred lines", L"A\\PCCC", 0, AcDbMText::kTopCenter, {"A", "CCC"}},
      {"right-aligned lines", L"A\\PCCC", 0, AcDbMText::kTopRight, {"A", "CCC"}},
      {"codes leave the text",
       L"{\\fArial|b1;A}\\PC\\U+00e9",
       0,
       AcDbMText::kTopLeft,
       {"A", "C\xc3\xa9"}},
  };
  std::map<int, double> indentOfA;  // by attachment column
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AcDbDatabase db;
    auto* mtext = new AcDbMText;
    mtext->setLocation({0, 100, 0});
    mtext->setTextHeight(5);
    mtext->setWidth(c.width);
    mtext->setAttachment(c.attachment);
    mtext->setContents(c.contents);
    append(db, mtext);
    const RecordingSink sink = record(db);
    ASSERT_EQ(sink.texts.size(), c.lines.size());
    for (size_t i = 0; i < c.lines.size(); ++i) {
      EXPECT_EQ(sink.texts[i].utf8, c.lines[i]);
      // Baselines 5/3 of the height apart, the first a height below the top.
      EXPECT_NEAR(sink.texts[i].position.y, 100 - 5 - i * 5 * 5.0 / 3.0, 1e-9);
    }
    const double longest = sink.texts.back().position.x;  // "CCC" or the last line
    if (c.attachment == AcDbMText::kTopLeft) {
      for (const auto& run : sink.texts) EXPECT_NEAR(run.position.x, 0, 1e-9);
    } else {
      indentOfA[(c.attachment - 1) % 3] = sink.texts[0].position.x - longest;
    }
  }
  // A short line moves in by half the difference when centred, all of it on the right.
  ASSERT_EQ(indentOfA.size(), 2u);
  EXPECT_GT(indentOfA[1], 0);
  EXPECT_NEAR(indentOfA[2], 2 * indentOfA[1], 1e-9);
}

}  // namespace
