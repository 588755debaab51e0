// The small dialogs' text conversions: LISP lines into an edit box and back, and the
// capitals of the typed-word confirmation.
#include <gtest/gtest.h>

#include <string>

#include "support/EditLines.h"

namespace tabrik::arx {
namespace {

TEST(EditLines, BetweenLispAndEditBox) {
  struct Case {
    const wchar_t* lisp;
    const wchar_t* edit;
  } cases[] = {
      {L"", L""},
      {L"one", L"one"},
      {L"one\ntwo", L"one\r\ntwo"},
      {L"\n\n", L"\r\n\r\n"},
      {L"end\n", L"end\r\n"},
      {L"\u00e9t\u00e9\nhiver", L"\u00e9t\u00e9\r\nhiver"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lisp);
    EXPECT_EQ(toEditLines(c.lisp), c.edit);
    EXPECT_EQ(fromEditLines(c.edit), c.lisp);
  }
  // What the user typed comes back with single line feeds, a lone carriage return kept.
  EXPECT_EQ(fromEditLines(L"a\r\nb\rc\n"), L"a\nb\rc\n");
  // Any text survives the way into the edit box and back.
  for (const std::wstring text : {L"\r\n", L"\r\r\n\n", L"x\ry\r"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(fromEditLines(toEditLines(text)), text);
  }
}

TEST(EditLines, Capitals) {
  struct Case {
    const wchar_t* text;
    const wchar_t* upper;
  } cases[] = {
      {L"delete", L"DELETE"},
      {L"DeLeTe 42!", L"DELETE 42!"},
      {L"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(capitals(c.text), c.upper);
  }
}

}  // namespace
}  // namespace tabrik::arx
