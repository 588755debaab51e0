// Wide text <-> UTF-8 for the whole platform (see TextConversion.h).
#include "tabrik/TextConversion.h"

#include <cstdint>

namespace tabrik::text {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

bool isHighSurrogate(std::uint32_t cp) { return cp >= 0xD800 && cp <= 0xDBFF; }
bool isLowSurrogate(std::uint32_t cp) { return cp >= 0xDC00 && cp <= 0xDFFF; }

void encode(std::uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::string toUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    // wchar_t may be signed: a negative value is past U+10FFFF as an unsigned one.
    auto cp = static_cast<std::uint32_t>(text[i]);
    if (isHighSurrogate(cp) && i + 1 < text.size() &&
        isLowSurrogate(static_cast<std::uint32_t>(text[i + 1]))) {
      auto low = static_cast<std::uint32_t>(text[++i]);
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
    } else if (isHighSurrogate(cp) || isLowSurrogate(cp) || cp > 0x10FFFF) {
      cp = kReplacement;
    }
    encode(cp, out);
  }
  return out;
}

std::wstring fromUtf8(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead >= 0xF0 && lead <= 0xF4  ? 3
                : lead >= 0xE0 && lead < 0xF0 ? 2
                : lead >= 0xC2 && lead < 0xE0 ? 1
                                              : 0;
    if (lead < 0x80 || extra == 0 || i + extra >= text.size()) {
      out.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    }
    std::uint32_t cp = lead & (0x3F >> extra);
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    constexpr std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (valid && (cp < kSmallest[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF))
      valid = false;
    if (!valid) {
      out.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    }
    out.push_back(static_cast<wchar_t>(cp));
    i += extra + 1;
  }
  return out;
}

std::string nativePath(std::wstring_view path) {
  std::string out = toUtf8(path);
  // '\' is one byte in UTF-8 and never part of a longer sequence.
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

std::string parentFolder(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace tabrik::text
