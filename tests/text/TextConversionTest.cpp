// The platform's one conversion between wide text and UTF-8, and paths.
#include <gtest/gtest.h>

#include <string>

#include "tabrik/TextConversion.h"

using tabrik::text::fromUtf8;
using tabrik::text::nativePath;
using tabrik::text::parentFolder;
using tabrik::text::toUtf8;

namespace {

struct WideCase {
  const char* what;
  std::wstring wide;
  std::string utf8;
};

TEST(TextConversion, WideToUtf8) {
  const WideCase cases[] = {
      {"ASCII", L"plan.mdb", "plan.mdb"},
      {"two bytes", L"\u00fc", "\xC3\xBC"},
      {"three bytes (CJK)", L"\u56f3\u9762", "\xE5\x9B\xB3\xE9\x9D\xA2"},
      {"four bytes (emoji)", std::wstring(1, static_cast<wchar_t>(0x1F600)), "\xF0\x9F\x98\x80"},
      {"last code point", std::wstring(1, static_cast<wchar_t>(0x10FFFF)), "\xF4\x8F\xBF\xBF"},
      {"surrogate pair", std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)},
       "\xF0\x9F\x98\x80"},
      {"lone high surrogate", std::wstring{L'a', static_cast<wchar_t>(0xD83D), L'b'},
       "a\xEF\xBF\xBD"
       "b"},
      {"lone low surrogate", std::wstring(1, static_cast<wchar_t>(0xDE00)), "\xEF\xBF\xBD"},
      {"low before high", std::wstring{static_cast<wchar_t>(0xDE00), static_cast<wchar_t>(0xD83D)},
       "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"past U+10FFFF", std::wstring(1, static_cast<wchar_t>(0x110000)), "\xEF\xBF\xBD"},
      {"negative wchar_t", std::wstring(1, static_cast<wchar_t>(-1)), "\xEF\xBF\xBD"},
      {"embedded null", std::wstring(L"a\0b", 3), std::string("a\0b", 3)},
  };
  for (const WideCase& c : cases) EXPECT_EQ(toUtf8(c.wide), c.utf8) << c.what;
}

struct NarrowCase {
  const char* what;
  std::string utf8;
  std::wstring wide;
};

TEST(TextConversion, Utf8ToWide) {
  const NarrowCase cases[] = {
      {"two bytes", "\xC3\xBC", L"\u00fc"},
      {"four bytes", "\xF0\x9F\x98\x80", std::wstring(1, static_cast<wchar_t>(0x1F600))},
      {"Latin-1 byte",
       "M\xFC"
       "ller",
       L"M\u00fcller"},
      {"overlong slash", "\xC0\xAF", L"\u00c0\u00af"},
      {"encoded surrogate", "\xED\xA0\x80", L"\u00ed\u00a0\u0080"},
      {"truncated sequence", "\xE5\x9B", L"\u00e5\u009b"},
      {"lead byte past F4", "\xF5\x80\x80", L"\u00f5\u0080\u0080"},
  };
  for (const NarrowCase& c : cases) EXPECT_EQ(fromUtf8(c.utf8), c.wide) << c.what;
}

TEST(TextConversion, ValidTextRoundTrips) {
  std::wstring all;
  for (wchar_t c :
       {0x41, 0x7F, 0x80, 0x7FF, 0x800, 0xD7FF, 0xE000, 0xFFFD, 0xFFFF, 0x10000, 0x10FFFF})
    all.push_back(c);
  EXPECT_EQ(fromUtf8(toUtf8(all)), all);
}

struct PathCase {
  std::wstring given;
  std::string native;
  std::string folder;
};

TEST(TextConversion, PathsTakeEitherSeparatorAndAnyCharacter) {
  const PathCase cases[] = {
      {L"C:\\Projekte\\\u00fc.mdb", "C:/Projekte/\xC3\xBC.mdb", "C:/Projekte"},
      {L"/tmp/\u56f3\u9762/a.dxf", "/tmp/\xE5\x9B\xB3\xE9\x9D\xA2/a.dxf",
       "/tmp/\xE5\x9B\xB3\xE9\x9D\xA2"},
      {L"rel\\sub/x.mdb", "rel/sub/x.mdb", "rel/sub"},
      {L"x.mdb", "x.mdb", "."},
      {L"\\x.mdb", "/x.mdb", "/"},
      {std::wstring(L"d\\") + static_cast<wchar_t>(0x1F600) + L".mdb", "d/\xF0\x9F\x98\x80.mdb",
       "d"},
  };
  for (const PathCase& c : cases) {
    std::string native = nativePath(c.given);
    EXPECT_EQ(native, c.native);
    EXPECT_EQ(parentFolder(native), c.folder) << native;
  }
}

}  // namespace
