// Text encoding and number formatting of DXF files.
#include "DxfText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tabrik::dxf {

namespace {

// Windows-1252 bytes 0x80-0x9F; the rest of the high half is Latin-1.
constexpr char16_t kCp1252[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                  0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

int hexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

void appendEscape(std::string& out, unsigned code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "\\U+%04X", code & 0xFFFF);
  out += buffer;
}

}  // namespace

std::string encodeText(std::wstring_view text) {
  std::string out;
  appendEncodedText(out, text);
  return out;
}

void appendEncodedText(std::string& out, std::wstring_view text) {
  out.reserve(out.size() + text.size());
  for (wchar_t c : text) {
    auto code = static_cast<unsigned>(c);
    if (code == '^') {
      out += "^ ";
    } else if (code < 32) {
      out += '^';
      out += static_cast<char>(code + 64);
    } else if (code < 127) {
      out += static_cast<char>(code);
    } else if (code > 0xFFFF) {
      // Past the basic plane: as a surrogate pair, which readers join again.
      unsigned v = code - 0x10000;
      appendEscape(out, 0xD800 + (v >> 10));
      appendEscape(out, 0xDC00 + (v & 0x3FF));
    } else {
      appendEscape(out, code);
    }
  }
}

std::wstring decodeText(std::string_view bytes, bool utf8) {
  // Most values are plain ASCII with nothing to undo: widened in one go.
  bool plain = true;
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 0x80 || c == '^' || c == '\\') {
      plain = false;
      break;
    }
  }
  if (plain) return std::wstring(bytes.begin(), bytes.end());
  std::wstring raw;
  raw.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      raw += static_cast<wchar_t>(b);
      continue;
    }
    if (utf8) {
      int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
      if (extra > 0) {
        unsigned code = b & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
          if (i + k >= bytes.size()) {
            ok = false;
            break;
          }
          auto next = static_cast<unsigned char>(bytes[i + k]);
          if ((next & 0xC0) != 0x80) {
            ok = false;
            break;
          }
          code = (code << 6) | (next & 0x3F);
        }
        if (ok && code <= 0x10FFFF) {
          raw += static_cast<wchar_t>(code);
          i += extra;
          continue;
        }
      }
      raw += static_cast<wchar_t>(b);  // not UTF-8 after all: the byte as Latin-1
      continue;
    }
    raw += b < 0xA0 ? static_cast<wchar_t>(kCp1252[b - 0x80]) : static_cast<wchar_t>(b);
  }
  std::wstring out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    wchar_t c = raw[i];
    if (c == L'^' && i + 1 < raw.size()) {
      wchar_t next = raw[i + 1];
      if (next == L' ') {
        out += L'^';
        ++i;
        continue;
      }
      if (next >= 64 && next < 96) {
        out += static_cast<wchar_t>(next - 64);
        ++i;
        continue;
      }
    }
    if (c == L'\\' && i + 6 < raw.size() && raw[i + 1] == L'U' && raw[i + 2] == L'+') {
      int d[4] = {hexDigit(raw[i + 3]), hexDigit(raw[i + 4]), hexDigit(raw[i + 5]),
                  hexDigit(raw[i + 6])};
      if (d[0] >= 0 && d[1] >= 0 && d[2] >= 0 && d[3] >= 0) {
        unsigned code = (d[0] << 12) | (d[1] << 8) | (d[2] << 4) | d[3];
        // A high surrogate followed by a low one is one character past the basic plane.
        if (code >= 0xD800 && code < 0xDC00 && i + 13 < raw.size() && raw[i + 7] == L'\\' &&
            raw[i + 8] == L'U' && raw[i + 9] == L'+') {
          int e[4] = {hexDigit(raw[i + 10]), hexDigit(raw[i + 11]), hexDigit(raw[i + 12]),
                      hexDigit(raw[i + 13])};
          if (e[0] >= 0 && e[1] >= 0 && e[2] >= 0 && e[3] >= 0) {
            unsigned low = (e[0] << 12) | (e[1] << 8) | (e[2] << 4) | e[3];
            if (low >= 0xDC00 && low < 0xE000) {
              out += static_cast<wchar_t>(0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
              i += 13;
              continue;
            }
          }
        }
        out += static_cast<wchar_t>(code);
        i += 6;
        continue;
      }
    }
    out += c;
  }
  return out;
}

std::string formatReal(double value) {
  std::string text;
  appendReal(text, value);
  return text;
}

// The shortest text that reads back as the same double (to_chars guarantees the round
// trip), with ".0" on whole numbers.
void appendReal(std::string& out, double value) {
  if (!std::isfinite(value)) value = 0.0;  // defensive: DXF has no spelling for these
  if (value == 0) value = 0.0;             // no "-0.0"
  char buffer[40];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, end);
  if (std::string_view(buffer, static_cast<std::size_t>(end - buffer)).find_first_of(".e") ==
      std::string_view::npos)
    out += ".0";
}

bool parseReal(std::string_view text, double& value) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

bool parseInt(std::string_view text, long long& value) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc() && end == text.data() + text.size()) return true;
  // Some writers put a real where an integer belongs ("1.0"): take its whole part.
  double real = 0;
  if (!parseReal(text, real) || std::fabs(real) > 9.2e18) return false;
  value = static_cast<long long>(real);
  return true;
}

}  // namespace tabrik::dxf
