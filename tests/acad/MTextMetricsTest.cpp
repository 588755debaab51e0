// Multi-line text measured in a real font. Expected values come from DejaVu Sans's
// tables, read by hand: 2048 units per em, cap height ("H" yMax) 1493, ascender 1901,
// descender -483, advances i 569, W 2025, space 651, a 1255, b 1300, x 1212. A text
// height of 1.493 makes one em 2.048 drawing units, so one font unit is 0.001.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "dbmtext.h"
#include "dbsymtb.h"
#include "acdb/entities/TrueTypeFont.h"

namespace {

using tabrik::acad::TrueTypeFont;

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr double kHeight = 1.493;
constexpr double kStep = kHeight * 5.0 / 3.0;  // baseline to baseline at spacing 1

bool haveDejaVu() { return std::ifstream(kDejaVu).good(); }

std::string dejaVuBytes() {
  std::ifstream in(kDejaVu, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(MTextMetrics, FontTablesReadAsWritten) {
  if (!haveDejaVu()) GTEST_SKIP() << "fonts-dejavu-core is not installed";
  auto font = TrueTypeFont::load(kDejaVu);
  ASSERT_NE(font, nullptr);
  const struct {
    char32_t c;
    int units;
  } advances[] = {{U'i', 569},  {U'W', 2025}, {U' ', 651},
                  {U'a', 1255}, {U'H', 1540}, {U'\u00e9', 1260}};
  for (const auto& a : advances) {
    SCOPED_TRACE(static_cast<int>(a.c));
    EXPECT_DOUBLE_EQ(font->advance(a.c), a.units / 2048.0);
  }
  EXPECT_DOUBLE_EQ(font->capHeight(), 1493 / 2048.0);
  EXPECT_DOUBLE_EQ(font->ascender(), 1901 / 2048.0);
  EXPECT_DOUBLE_EQ(font->descender(), 483 / 2048.0);
}

TEST(MTextMetrics, LinesMeasuredInTheFont) {
  if (!haveDejaVu()) GTEST_SKIP() << "fonts-dejavu-core is not installed";
  const struct Case {
    const ACHAR* contents;
    double width, spacing;
    double actualWidth, actualHeight;
  } cases[] = {
      {L"iii", 0, 1, 1.707, kHeight},
      {L"WWW", 0, 1, 6.075, kHeight},
      {L"iii   ", 0, 1, 1.707, kHeight},  // trailing spaces take no width
      {L"iii\\PWWW", 0, 1, 6.075, kHeight + kStep},
      {L"aaa bbb xxx", 0, 1, 12.603, kHeight},
      {L"aaa bbb xxx", 9, 1, 8.316, kHeight + kStep},    // "aaa bbb" / "xxx"
      {L"aaa bbb xxx", 5, 1, 3.9, kHeight + 2 * kStep},  // one word a line
      {L"aaa bbb xxx", 1, 1, 3.9, kHeight + 2 * kStep},  // words wider than the column
      {L"aaa bbb xxx", 5, 1.5, 3.9, kHeight + 2 * kStep * 1.5},
      {L"{\\fArial;iii}", 0, 1, 1.707, kHeight},  // codes take no width
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << std::wstring(c.contents).size() << " chars, width " << c.width);
    AcDbMText text;
    text.setTextHeight(kHeight);
    text.setContents(c.contents);
    text.setWidth(c.width);
    text.setLineSpacingFactor(c.spacing);
    EXPECT_NEAR(text.actualWidth(), c.actualWidth, 1e-9);
    EXPECT_NEAR(text.actualHeight(), c.actualHeight, 1e-9);
  }
  AcDbMText text;
  text.setTextHeight(kHeight);
  EXPECT_NEAR(text.ascent(), 1.901, 1e-9);
  EXPECT_NEAR(text.descent(), 0.483, 1e-9);
}

TEST(MTextMetrics, StyleWidthFactorNarrowsTheLines) {
  if (!haveDejaVu()) GTEST_SKIP() << "fonts-dejavu-core is not installed";
  AcDbDatabase db;
  AcDbTextStyleTable* styles = nullptr;
  ASSERT_EQ(db.getTextStyleTable(styles, AcDb::kForWrite), Acad::eOk);
  auto* narrow = new AcDbTextStyleTableRecord;
  narrow->setName(L"NARROW");
  narrow->setXScale(0.5);
  AcDbObjectId narrowId;
  ASSERT_EQ(styles->add(narrowId, narrow), Acad::eOk);
  narrow->close();
  styles->close();
  AcDbMText text;
  text.setTextHeight(kHeight);
  text.setContents(L"WWW");
  text.setTextStyle(narrowId);
  EXPECT_NEAR(text.actualWidth(), 3.0375, 1e-9);
}

// Without the font file, text is measured by the fixed-pitch rule: 3/4 of the height
// per character, ascent the height, descent a third of it.
TEST(MTextMetrics, MissingFontFallsBackToFixedPitch) {
  tabrik::acad::setDefaultFontPath("/nonexistent/fonts/missing.ttf");
  const struct Case {
    const ACHAR* contents;
    double width, actualWidth, actualHeight;
  } cases[] = {
      {L"AB CD", 0, 7.5, 2},
      {L"iii", 0, 4.5, 2},
      {L"WWW", 0, 4.5, 2},
      {L"AB CD", 4, 3.0, 2 + 2 * 5.0 / 3},
      {L"AB\\PLONGER", 0, 9.0, 2 + 2 * 5.0 / 3},
      {L"{\\fArial;AB}", 0, 3.0, 2},
      {L"", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << std::wstring(c.contents).size() << " chars, width " << c.width);
    AcDbMText text;
    text.setTextHeight(2);
    text.setContents(c.contents);
    text.setWidth(c.width);
    EXPECT_NEAR(text.actualWidth(), c.actualWidth, 1e-12);
    EXPECT_NEAR(text.actualHeight(), c.actualHeight, 1e-12);
  }
  AcDbMText text;
  text.setTextHeight(3);
  EXPECT_DOUBLE_EQ(text.ascent(), 3.0);
  EXPECT_DOUBLE_EQ(text.descent(), 1.0);
  tabrik::acad::setDefaultFontPath("");
}

// Offsets in DejaVu Sans's table directory: the count at 4, records of 16 bytes from
// 12 (tag, checksum, offset, length).
TEST(MTextMetrics, DamagedFontsAreRefused) {
  if (!haveDejaVu()) GTEST_SKIP() << "fonts-dejavu-core is not installed";
  const std::string good = dejaVuBytes();
  const struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"CFF outlines", std::string("OTTO") + good.substr(4)},
      {"directory only", good.substr(0, 12 + 16 * 4)},
      {"first kilobyte", good.substr(0, 1024)},
      {"no tables", good.substr(0, 4) + std::string("\0\0", 2) + good.substr(6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TrueTypeFont::parse(c.bytes), nullptr);
  }
  // Any damaged byte of the directory parses to a font or to nothing; what parses
  // answers within the font's bytes (the sanitizer builds check the reads).
  for (size_t i = 0; i < 12 + 16 * 20 && i < good.size(); ++i) {
    std::string damaged = good;
    damaged[i] = static_cast<char>(damaged[i] ^ 0xA5);
    auto font = TrueTypeFont::parse(damaged);
    if (font == nullptr) continue;
    EXPECT_GE(font->advance(U'a'), 0.0) << "byte " << i;
    EXPECT_GT(font->capHeight(), 0.0) << "byte " << i;
  }
}

}  // namespace
