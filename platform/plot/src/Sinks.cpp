#include "Sinks.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <fstream>

namespace tabrik::plot {

namespace {

// Average advance of a character as a fraction of the text height (the plotter's
// font is proportional; the box only decides the extents).
constexpr double kAdvancePerHeight = 0.75;
// The default font's capital height as a fraction of its em: the drawing's text
// height is a capital's, cairo's font size an em.
constexpr double kCapHeight = 0.729;
// Pending segments stroked at once: large batches save cairo state changes, bounded
// ones keep its path memory small.
constexpr size_t kBatch = 4096;
// Dashes shorter than this on the device draw as a continuous line (as the host shows
// a pattern too fine to see).
constexpr double kFinestDash = 0.5;
// Device units off the page beyond which coordinates are cut: cairo's fixed-point
// numbers hold about eight million.
constexpr double kFarthest = 1e6;
// The default font: the file multi-line text is measured in.
constexpr const char* kDefaultFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

size_t codePoints(const std::string& utf8) {
  size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// The text with every byte that is not part of well-formed UTF-8 replaced by '?'
// (cairo refuses a malformed string, and would refuse all drawing after it).
std::string wellFormed(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(utf8[k]); };
    const unsigned lead = byte(i);
    const size_t length = lead < 0x80         ? 1
                          : (lead >> 5) == 6  ? 2
                          : (lead >> 4) == 14 ? 3
                          : (lead >> 3) == 30 ? 4
                                              : 0;
    bool ok = length > 0 && i + length <= utf8.size() && lead != 0;
    unsigned cp = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; ok && k < length; ++k) {
      ok = (byte(i + k) & 0xC0) == 0x80;
      cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    static const unsigned kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};  // no overlong forms
    ok = ok && cp >= kLeast[length] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    if (ok) {
      out.append(utf8, i, length);
      i += length;
    } else {
      out += '?';
      ++i;
    }
  }
  return out;
}

bool readable(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in.good();
}

}  // namespace

void BoundsSink::add(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  m_minX = std::min(m_minX, x);
  m_minY = std::min(m_minY, y);
  m_maxX = std::max(m_maxX, x);
  m_maxY = std::max(m_maxY, y);
}

void BoundsSink::path(const std::vector<Point2>& points, bool, bool, const Pen&) {
  for (const Point2& p : points) add(p.x, p.y);
}

void BoundsSink::arc(Point2 c, double r, double start, double sweep, const Pen&) {
  add(c.x + r * std::cos(start), c.y + r * std::sin(start));
  add(c.x + r * std::cos(start + sweep), c.y + r * std::sin(start + sweep));
  // The quadrant points the arc passes.
  const double from = std::min(start, start + sweep), to = std::max(start, start + sweep);
  if (!(std::fabs(from) < 1e6 && std::fabs(to) < 1e6)) return;
  for (int k = static_cast<int>(std::ceil(from / (M_PI / 2))); k * (M_PI / 2) <= to && k < 1e6; ++k)
    add(c.x + r * std::cos(k * M_PI / 2), c.y + r * std::sin(k * M_PI / 2));
}

void BoundsSink::text(const TextRun& run, std::uint32_t) {
  const double length = kAdvancePerHeight * run.height * run.widthFactor * codePoints(run.utf8);
  const double ax = run.direction.x * length, ay = run.direction.y * length;
  const double ux = run.up.x * run.height, uy = run.up.y * run.height;
  const Point2 p = run.position;
  add(p.x, p.y);
  add(p.x + ax, p.y + ay);
  add(p.x + ux, p.y + uy);
  add(p.x + ax + ux, p.y + ay + uy);
}

CairoSink::CairoSink(cairo_t* cr, PageMapping page, DeviceLines lines, double pageWidth)
    : m_cr(cr), m_page(page), m_lines(lines), m_pageWidth(pageWidth) {
  // Lines end and join round, as pens draw them; a point is a dot.
  cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_ROUND);
  cairo_new_path(m_cr);
}

CairoSink::~CairoSink() {
  for (auto& [file, face] : m_faces) cairo_font_face_destroy(face);
}

bool CairoSink::outside(double minX, double minY, double maxX, double maxY) const {
  const double slack = 50;  // device units: wide lines and round caps
  return maxX < -slack || minX > m_pageWidth + slack || maxY < -slack ||
         minY > m_page.pageHeight + slack;
}

void CairoSink::ink(std::uint32_t rgb) {
  cairo_set_source_rgb(m_cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
}

void CairoSink::flush() {
  if (m_pending == 0) return;
  cairo_stroke(m_cr);
  m_pending = 0;
}

void CairoSink::use(const Pen& pen) {
  if (m_penSet && pen == m_pen && m_pending < kBatch) return;
  flush();
  m_pen = pen;
  m_penSet = true;
  ink(pen.rgb);
  cairo_set_line_width(m_cr, std::max(m_lines.thinnest, pen.weightMm * m_lines.unitsPerMm));
  std::vector<double> dashes;
  if (pen.dashes) {
    double total = 0, shortest = std::numeric_limits<double>::infinity();
    for (double d : *pen.dashes) {
      dashes.push_back(d * m_page.scale);
      total += dashes.back();
      if (d > 0) shortest = std::min(shortest, dashes.back());
    }
    // A pattern too fine to see, or too coarse to be a number, is a continuous line.
    if (!(shortest >= kFinestDash) || !std::isfinite(total) || total > 1e7) dashes.clear();
  }
  // A dot is a drawn length of (almost) nothing: the round cap shows it. Cairo drops
  // drawn lengths of exactly nothing, hence the hundredth of a unit.
  for (size_t i = 0; i < dashes.size(); i += 2)
    if (dashes[i] == 0) dashes[i] = 0.01;
  cairo_set_dash(m_cr, dashes.data(), static_cast<int>(dashes.size()), 0);
}

void CairoSink::path(const std::vector<Point2>& points, bool closed, bool filled, const Pen& pen) {
  if (points.empty()) return;
  double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  for (const Point2& p : points) {
    const double x = m_page.x(p.x), y = m_page.y(p.y);
    minX = std::min(minX, x), maxX = std::max(maxX, x);
    minY = std::min(minY, y), maxY = std::max(maxY, y);
  }
  if (!std::isfinite(minX + maxX + minY + maxY) || outside(minX, minY, maxX, maxY)) return;
  const bool far =
      std::max({-minX, -minY, maxX - m_pageWidth, maxY - m_page.pageHeight}) > kFarthest;
  if (filled) {
    if (far) return;  // an area reaching that far off the page: left out
    flush();
    m_penSet = false;
    cairo_move_to(m_cr, m_page.x(points[0].x), m_page.y(points[0].y));
    for (size_t i = 1; i < points.size(); ++i)
      cairo_line_to(m_cr, m_page.x(points[i].x), m_page.y(points[i].y));
    cairo_close_path(m_cr);
    ink(pen.rgb);
    // The face's own colour round its edge closes the hairline seams between faces.
    cairo_set_line_width(m_cr, m_lines.thinnest * 0.5);
    cairo_set_dash(m_cr, nullptr, 0, 0);
    cairo_fill_preserve(m_cr);
    cairo_stroke(m_cr);
    return;
  }
  use(pen);
  if (far) {
    // Reaching far off the page (a window onto a drawing with a distant point): each
    // segment cut to what cairo's fixed-point coordinates can hold near the page.
    for (size_t i = 1; i < points.size() + (closed ? 1 : 0); ++i)
      clippedSegment(points[i - 1], points[i % points.size()]);
    return;
  }
  cairo_move_to(m_cr, m_page.x(points[0].x), m_page.y(points[0].y));
  // A point is a segment of no length: the round cap makes it a dot as wide as a line.
  if (points.size() == 1) cairo_rel_line_to(m_cr, 0, 0);
  for (size_t i = 1; i < points.size(); ++i)
    cairo_line_to(m_cr, m_page.x(points[i].x), m_page.y(points[i].y));
  if (closed) cairo_close_path(m_cr);
  m_pending += points.size();
}

void CairoSink::clippedSegment(Point2 a, Point2 b) {
  double x0 = m_page.x(a.x), y0 = m_page.y(a.y), x1 = m_page.x(b.x), y1 = m_page.y(b.y);
  // Cohen-Sutherland against the page grown by kFarthest on every side, moving an end
  // along the segment's slope (a ratio of its sides: exact enough however long it is).
  const double left = -kFarthest, right = m_pageWidth + kFarthest;
  const double top = -kFarthest, bottom = m_page.pageHeight + kFarthest;
  auto code = [&](double x, double y) {
    return (x < left ? 1 : 0) | (x > right ? 2 : 0) | (y < top ? 4 : 0) | (y > bottom ? 8 : 0);
  };
  for (int round = 0; round < 8; ++round) {
    if (!std::isfinite(x0 + y0 + x1 + y1)) return;
    const int c0 = code(x0, y0), c1 = code(x1, y1);
    if ((c0 | c1) == 0) {
      cairo_move_to(m_cr, x0, y0);
      cairo_line_to(m_cr, x1, y1);
      m_pending += 2;
      return;
    }
    if ((c0 & c1) != 0) return;  // wholly on one side
    const int out = c0 != 0 ? c0 : c1;
    double x, y;
    if (out & (4 | 8)) {
      y = (out & 4) ? top : bottom;
      x = x0 + (y - y0) * ((x1 - x0) / (y1 - y0));
    } else {
      x = (out & 1) ? left : right;
      y = y0 + (x - x0) * ((y1 - y0) / (x1 - x0));
    }
    if (out == c0) {
      x0 = x, y0 = y;
    } else {
      x1 = x, y1 = y;
    }
  }
}

void CairoSink::arc(Point2 c, double r, double start, double sweep, const Pen& pen) {
  const double x = m_page.x(c.x), y = m_page.y(c.y), radius = r * m_page.scale;
  if (!std::isfinite(x + y + radius + start + sweep) ||
      outside(x - radius, y - radius, x + radius, y + radius))
    return;
  if (std::max({std::fabs(x), std::fabs(y)}) + radius > kFarthest) {
    // Too large for cairo's coordinates: only the part of the arc near the page, in
    // chords short enough to look round. The angle towards the page's centre (model
    // angles turn the other way from the page's, whose y runs down) and how far either
    // side of it the arc stays near the page.
    double from = sweep >= 0 ? start : start + sweep, span = std::fabs(sweep);
    const double towards = std::atan2(y - m_page.pageHeight / 2, m_pageWidth / 2 - x);
    const double reach =
        std::min(M_PI, (std::hypot(m_pageWidth, m_page.pageHeight) + 2 * kFarthest) / radius);
    if (span < 2 * M_PI - 1e-12) {
      // The near part's angles, moved by whole turns to meet the arc's.
      double lo = towards - reach;
      lo += 2 * M_PI * std::round((from + span / 2 - towards) / (2 * M_PI));
      const double a = std::max(from, lo), b = std::min(from + span, lo + 2 * reach);
      if (!(a < b)) return;
      from = a, span = b - a;
    } else {
      from = towards - reach, span = 2 * reach;
    }
    // Chords bowing less than a tenth of a unit from the arc: sqrt(0.8 radius) long.
    const int chords =
        static_cast<int>(std::clamp(std::ceil(span * radius / std::sqrt(0.8 * radius)), 16.0, 1e5));
    std::vector<Point2> points;
    points.reserve(chords + 1);
    for (int i = 0; i <= chords; ++i) {
      const double t = from + span * i / chords;
      points.push_back({c.x + r * std::cos(t), c.y + r * std::sin(t)});
    }
    path(points, false, false, pen);
    return;
  }
  use(pen);
  cairo_new_sub_path(m_cr);
  // The page's y runs down: a counter-clockwise arc on the drawing is clockwise on it.
  if (sweep >= 0) {
    cairo_arc_negative(m_cr, x, y, radius, -start, -(start + sweep));
  } else {
    cairo_arc(m_cr, x, y, radius, -start, -(start + sweep));
  }
  m_pending += 8;
}

// A cairo face of a TrueType file read with FreeType; null when the file is not one.
cairo_font_face_t* CairoSink::fileFace(const std::string& path) {
  if (path.empty() || !readable(path)) return nullptr;
  // One FreeType library for the process: cairo may keep faces made from it in its
  // caches after the sink is gone.
  static FT_Library library = [] {
    FT_Library made = nullptr;
    return FT_Init_FreeType(&made) == 0 ? made : nullptr;
  }();
  FT_Face ft = nullptr;
  if (library == nullptr || FT_New_Face(library, path.c_str(), 0, &ft) != 0) return nullptr;
  cairo_font_face_t* made = cairo_ft_font_face_create_for_ft_face(ft, 0);
  static cairo_user_data_key_t key;
  if (cairo_font_face_set_user_data(made, &key, ft, [](void* f) {
        FT_Done_Face(static_cast<FT_Face>(f));
      }) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(made);
    FT_Done_Face(ft);
    return nullptr;
  }
  return made;
}

// A style's TrueType file when it can be read; otherwise (a missing file, a shape font)
// the default font, the one multi-line text is measured in: the text still shows, in
// another font, as wide as it was measured.
cairo_font_face_t* CairoSink::face(const std::string& fontFile) {
  auto found = m_faces.find(fontFile);
  if (found != m_faces.end()) return found->second;
  cairo_font_face_t* made = fileFace(fontFile);
  if (made == nullptr && !fontFile.empty()) made = cairo_font_face_reference(face(""));
  if (made == nullptr) made = fileFace(kDefaultFont);
  if (made == nullptr)  // no default font file either: whatever the system matches
    made = cairo_toy_font_face_create("DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                                      CAIRO_FONT_WEIGHT_NORMAL);
  m_faces[fontFile] = made;
  return made;
}

void CairoSink::text(const TextRun& run, std::uint32_t rgb) {
  const double size = run.height * m_page.scale;
  if (!(size > 0.05) || !std::isfinite(size) || size > 1e5) return;  // too small or large to see
  const double x = m_page.x(run.position.x), y = m_page.y(run.position.y);
  if (std::max(std::fabs(x), std::fabs(y)) > kFarthest) return;  // off the page anyway
  const double reach = size * (1 + kAdvancePerHeight * run.widthFactor * codePoints(run.utf8));
  if (!std::isfinite(x + y + reach) || outside(x - reach, y - reach, x + reach, y + reach)) return;
  flush();
  m_penSet = false;
  const double slant = std::isfinite(std::tan(run.oblique)) ? std::tan(run.oblique) : 0.0;
  const double widthFactor = std::isfinite(run.widthFactor) && run.widthFactor > 0
                                 ? std::clamp(run.widthFactor, 0.01, 100.0)
                                 : 1.0;
  // The glyphs' frame on the device (y down): a point (u, v) of the font (v down)
  // lands at (widthFactor u - slant v) along the baseline and -v along the up
  // direction; a glyph's top leans forward by tan(oblique) of its height.
  const double dx = run.direction.x, dy = -run.direction.y;
  const double ux = run.up.x, uy = -run.up.y;
  const double t = std::clamp(slant, -10.0, 10.0);
  cairo_matrix_t frame;
  cairo_matrix_init(&frame, widthFactor * dx, widthFactor * dy, -t * dx - ux, -t * dy - uy, x, y);
  // Seen edge on, the text has no frame: nothing to show (and cairo must never get a
  // matrix it cannot invert).
  if (!(std::fabs(frame.xx * frame.yy - frame.xy * frame.yx) > 1e-9)) return;
  cairo_save(m_cr);
  cairo_transform(m_cr, &frame);
  cairo_set_font_face(m_cr, face(run.fontFile));
  cairo_set_font_size(m_cr, size / kCapHeight);
  ink(rgb);
  cairo_move_to(m_cr, 0, 0);
  cairo_show_text(m_cr, wellFormed(run.utf8).c_str());
  cairo_new_path(m_cr);
  cairo_restore(m_cr);
}

void CairoSink::clip(double minX, double minY, double maxX, double maxY) {
  flush();
  unclip();
  cairo_save(m_cr);
  const double x0 = m_page.x(minX), x1 = m_page.x(maxX);
  const double y0 = m_page.y(maxY), y1 = m_page.y(minY);
  cairo_rectangle(m_cr, x0, y0, x1 - x0, y1 - y0);
  cairo_clip(m_cr);
  m_clipped = true;
  m_penSet = false;  // the restore in unclip() forgets the pen
}

void CairoSink::unclip() {
  flush();
  if (!m_clipped) return;
  cairo_restore(m_cr);
  m_clipped = false;
  m_penSet = false;
}

void SortingSink::path(const std::vector<Point2>& points, bool closed, bool filled,
                       const Pen& pen) {
  m_items.push_back({m_tier, m_depth, Path{points, closed, filled, pen}});
}

void SortingSink::arc(Point2 center, double radius, double start, double sweep, const Pen& pen) {
  m_items.push_back({m_tier, m_depth, Arc{center, radius, start, sweep, pen}});
}

void SortingSink::text(const TextRun& run, std::uint32_t rgb) {
  m_items.push_back({m_tier, m_depth, Text{run, rgb}});
}

void SortingSink::finish() {
  std::stable_sort(m_items.begin(), m_items.end(), [](const Item& a, const Item& b) {
    return a.tier != b.tier ? a.tier < b.tier : a.depth < b.depth;
  });
  for (const Item& item : m_items) {
    if (const auto* p = std::get_if<Path>(&item.what)) {
      m_target.path(p->points, p->closed, p->filled, p->pen);
    } else if (const auto* a = std::get_if<Arc>(&item.what)) {
      m_target.arc(a->center, a->radius, a->start, a->sweep, a->pen);
    } else if (const auto* t = std::get_if<Text>(&item.what)) {
      m_target.text(t->run, t->rgb);
    }
  }
  m_items.clear();
  m_target.finish();
}

}  // namespace tabrik::plot
