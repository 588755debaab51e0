// The metrics of a TrueType font, read from the font file's own tables, for measuring
// multi-line text: advance widths by character, ascender, descender and cap height,
// all as fractions of the em. No outlines, no hinting, no kerning. Tables read (all
// big-endian):
//
// | table | fields used                                                          |
// |-------|----------------------------------------------------------------------|
// | head  | unitsPerEm (offset 18), indexToLocFormat (offset 50)                 |
// | hhea  | ascender (4), descender (6), numberOfHMetrics (34)                   |
// | hmtx  | advanceWidth of each long metric; later glyphs take the last one     |
// | cmap  | a format 4 subtable of platform 3 encoding 1 (or platform 0)         |
// | OS/2  | sCapHeight (88) from version 2 on                                    |
// | loca, glyf | yMax of "H" (glyph header offset 8) when OS/2 has no cap height |
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tabrik::acad {

class TrueTypeFont {
 public:
  // Null when the bytes are not a TrueType font with the tables above, or any table
  // lies outside them.
  static std::unique_ptr<TrueTypeFont> parse(std::string bytes);
  static std::unique_ptr<TrueTypeFont> load(const std::string& path);

  // The advance of a character in ems; a character the font lacks takes the advance
  // of the missing glyph (glyph 0), as a renderer would draw it.
  double advance(char32_t c) const;
  double ascender() const { return m_ascender / m_unitsPerEm; }
  double descender() const { return m_descender / m_unitsPerEm; }  // positive, below the baseline
  double capHeight() const { return m_capHeight / m_unitsPerEm; }

 private:
  TrueTypeFont() = default;
  std::uint16_t glyphOf(char32_t c) const;

  std::string m_bytes;
  double m_unitsPerEm = 0, m_ascender = 0, m_descender = 0, m_capHeight = 0;
  size_t m_hmtx = 0, m_cmap4 = 0;
  std::uint16_t m_longMetrics = 0;
};

// The font multi-line text is measured in: the style's font file when it names a
// readable TrueType file, else the system's DejaVu Sans; null when neither can be read
// (the caller then measures by the fixed-pitch rule). Fonts are read once.
const TrueTypeFont* measuringFont(const std::wstring& styleFile);
// Where the default font is looked for (tests point it at a missing file to check the
// fallback); an empty path restores the system's.
void setDefaultFontPath(const std::string& path);

}  // namespace tabrik::acad
