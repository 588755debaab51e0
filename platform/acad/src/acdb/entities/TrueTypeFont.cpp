// Reading the metric tables of TrueType fonts (the layout is in TrueTypeFont.h), and
// the cache of the fonts text is measured in.
#include "acdb/entities/TrueTypeFont.h"

#include <fstream>
#include <iterator>
#include <map>
#include <mutex>

namespace tabrik::acad {

namespace {

constexpr const char* kSystemFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Big-endian reads that refuse to leave the bytes.
struct Reader {
  std::string_view bytes;
  bool ok = true;
  std::uint32_t u(size_t at, int size) {
    if (at > bytes.size() || bytes.size() - at < static_cast<size_t>(size)) {
      ok = false;
      return 0;
    }
    std::uint32_t v = 0;
    for (int i = 0; i < size; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
  }
  std::uint16_t u16(size_t at) { return static_cast<std::uint16_t>(u(at, 2)); }
  std::int16_t i16(size_t at) { return static_cast<std::int16_t>(u(at, 2)); }
  std::uint32_t u32(size_t at) { return u(at, 4); }
};

struct Table {
  size_t offset = 0, length = 0;
  bool found = false;
};

Table findTable(Reader& r, std::string_view tag) {
  std::uint16_t count = r.u16(4);
  for (std::uint16_t i = 0; i < count && r.ok; ++i) {
    size_t record = 12 + 16 * static_cast<size_t>(i);
    if (record + 16 > r.bytes.size()) break;
    if (r.bytes.substr(record, 4) != tag) continue;
    Table t{r.u32(record + 8), r.u32(record + 12), true};
    if (t.offset > r.bytes.size() || r.bytes.size() - t.offset < t.length) return {};
    return t;
  }
  return {};
}

}  // namespace

std::unique_ptr<TrueTypeFont> TrueTypeFont::parse(std::string bytes) {
  std::unique_ptr<TrueTypeFont> font(new TrueTypeFont);
  font->m_bytes = std::move(bytes);
  Reader r{font->m_bytes};
  std::uint32_t version = r.u32(0);
  if (!r.ok || (version != 0x00010000 && version != 0x74727565 /* 'true' */)) return nullptr;
  Table head = findTable(r, "head"), hhea = findTable(r, "hhea"), hmtx = findTable(r, "hmtx"),
        cmap = findTable(r, "cmap");
  if (!head.found || !hhea.found || !hmtx.found || !cmap.found || head.length < 54 ||
      hhea.length < 36)
    return nullptr;
  font->m_unitsPerEm = r.u16(head.offset + 18);
  font->m_ascender = r.i16(hhea.offset + 4);
  font->m_descender = -static_cast<double>(r.i16(hhea.offset + 6));
  font->m_longMetrics = r.u16(hhea.offset + 34);
  font->m_hmtx = hmtx.offset;
  if (font->m_unitsPerEm < 16 || font->m_longMetrics == 0 || hmtx.length < 4u * font->m_longMetrics)
    return nullptr;

  // The Unicode format 4 subtable: Windows Unicode BMP first, else any Unicode one.
  std::uint16_t subtables = r.u16(cmap.offset + 2);
  for (int pass = 0; pass < 2 && font->m_cmap4 == 0; ++pass) {
    for (std::uint16_t i = 0; i < subtables && r.ok; ++i) {
      size_t record = cmap.offset + 4 + 8 * static_cast<size_t>(i);
      std::uint16_t platform = r.u16(record), encoding = r.u16(record + 2);
      bool wanted = pass == 0 ? platform == 3 && encoding == 1 : platform == 0;
      size_t sub = cmap.offset + r.u32(record + 4);
      if (!wanted || !r.ok || r.u16(sub) != 4) continue;
      size_t segments = r.u16(sub + 6) / 2;
      // The four arrays and the pad must lie inside the font.
      if (segments == 0 || !r.ok || sub + 16 + 8 * segments > font->m_bytes.size()) continue;
      font->m_cmap4 = sub;
      break;
    }
  }
  if (!r.ok || font->m_cmap4 == 0) return nullptr;

  Table os2 = findTable(r, "OS/2");
  if (os2.found && os2.length >= 90 && r.u16(os2.offset) >= 2)
    font->m_capHeight = r.i16(os2.offset + 88);
  if (font->m_capHeight <= 0) {
    Table loca = findTable(r, "loca"), glyf = findTable(r, "glyf");
    std::uint16_t glyph = font->glyphOf(U'H');
    if (loca.found && glyf.found && glyph != 0) {
      bool longOffsets = r.i16(head.offset + 50) != 0;
      size_t at =
          longOffsets
              ? r.u32(loca.offset + 4 * static_cast<size_t>(glyph))
              : 2 * static_cast<size_t>(r.u16(loca.offset + 2 * static_cast<size_t>(glyph)));
      if (r.ok && at + 10 <= glyf.length) font->m_capHeight = r.i16(glyf.offset + at + 8);
    }
  }
  // Defensive: a font without either keeps the proportion common to Latin faces.
  if (!r.ok || font->m_capHeight <= 0) font->m_capHeight = 0.7 * font->m_unitsPerEm;
  if (font->m_ascender <= 0) font->m_ascender = font->m_capHeight;
  if (font->m_descender < 0) font->m_descender = 0;
  return font;
}

std::unique_ptr<TrueTypeFont> TrueTypeFont::load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  return parse(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
}

// Format 4: segCountX2 at 6, then endCode[], a pad, startCode[], idDelta[] and
// idRangeOffset[], each segCount 16-bit values; a non-zero idRangeOffset counts bytes
// from its own slot into glyphIdArray.
std::uint16_t TrueTypeFont::glyphOf(char32_t c) const {
  if (c > 0xFFFF) return 0;
  Reader r{m_bytes};
  size_t segments = r.u16(m_cmap4 + 6) / 2;
  size_t ends = m_cmap4 + 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
         ranges = deltas + 2 * segments;
  for (size_t i = 0; i < segments; ++i) {
    std::uint16_t end = r.u16(ends + 2 * i);
    if (end < c) continue;
    std::uint16_t start = r.u16(starts + 2 * i);
    if (start > c || !r.ok) return 0;
    std::uint16_t delta = r.u16(deltas + 2 * i);
    std::uint16_t range = r.u16(ranges + 2 * i);
    if (range == 0) return static_cast<std::uint16_t>(c + delta);
    std::uint16_t glyph = r.u16(ranges + 2 * i + range + 2 * (c - start));
    if (!r.ok || glyph == 0) return 0;
    return static_cast<std::uint16_t>(glyph + delta);
  }
  return 0;
}

double TrueTypeFont::advance(char32_t c) const {
  std::uint16_t glyph = glyphOf(c);
  if (glyph >= m_longMetrics) glyph = static_cast<std::uint16_t>(m_longMetrics - 1);
  Reader r{m_bytes};
  return r.u16(m_hmtx + 4 * static_cast<size_t>(glyph)) / m_unitsPerEm;
}

namespace {

std::mutex gFontsMutex;
std::map<std::string, std::unique_ptr<TrueTypeFont>> gFonts;  // null entries: unreadable files
std::string gDefaultPath = kSystemFont;

const TrueTypeFont* cachedFont(const std::string& path) {
  auto found = gFonts.find(path);
  if (found == gFonts.end()) found = gFonts.emplace(path, TrueTypeFont::load(path)).first;
  return found->second.get();
}

std::string narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    auto u = static_cast<std::uint32_t>(c);
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | ((u >> 12) & 0x0F));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

bool isTrueTypeName(const std::wstring& file) {
  if (file.size() < 4) return false;
  std::wstring ext = file.substr(file.size() - 4);
  for (wchar_t& c : ext) c = static_cast<wchar_t>(c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c);
  return ext == L".ttf";
}

}  // namespace

const TrueTypeFont* measuringFont(const std::wstring& styleFile) {
  std::lock_guard<std::mutex> lock(gFontsMutex);
  if (isTrueTypeName(styleFile))
    if (const TrueTypeFont* font = cachedFont(narrow(styleFile))) return font;
  return cachedFont(gDefaultPath);
}

void setDefaultFontPath(const std::string& path) {
  std::lock_guard<std::mutex> lock(gFontsMutex);
  gDefaultPath = path.empty() ? kSystemFont : path;
}

}  // namespace tabrik::acad
