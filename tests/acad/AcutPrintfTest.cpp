// acutPrintf: wide-format conventions of the module's runtime, UTF-8 on standard output.
#include <gtest/gtest.h>

#include <functional>

#include "HostTesting.h"
#include "acutads.h"

namespace {

struct PrintfCase {
  const char* name;
  std::function<int()> print;
  const char* expected;
};

}  // namespace

TEST(AcutPrintf, FormatsAsTheModulesRuntimeDoes) {
  const PrintfCase cases[] = {
      {"wide %s", [] { return acutPrintf(L"[%s]", L"wide"); }, "[wide]"},
      {"narrow %S", [] { return acutPrintf(L"[%S]", "narrow"); }, "[narrow]"},
      {"narrow %hs", [] { return acutPrintf(L"[%hs]", "narrow"); }, "[narrow]"},
      {"wide %ls", [] { return acutPrintf(L"[%ls]", L"w"); }, "[w]"},
      {"wide %ws", [] { return acutPrintf(L"[%ws]", L"w"); }, "[w]"},
      {"wide %c", [] { return acutPrintf(L"%c", L'\u00e9'); }, "\xc3\xa9"},
      {"narrow %C", [] { return acutPrintf(L"%C", 'x'); }, "x"},
      {"narrow %hc", [] { return acutPrintf(L"%hc", 'y'); }, "y"},
      {"non-ASCII wide text", [] { return acutPrintf(L"Gr\u00f6\u00dfe %s", L"\u20ac"); },
       "Gr\xc3\xb6\xc3\x9f"
       "e \xe2\x82\xac"},
      {"Latin-1 byte in narrow text", [] { return acutPrintf(L"%S", "caf\xe9"); }, "caf\xc3\xa9"},
      {"real width and precision", [] { return acutPrintf(L"%5.1f|%g|%e", 3.14159, 0.5, 12345.0); },
       "  3.1|0.5|1.234500e+04"},
      {"64-bit integer", [] { return acutPrintf(L"%I64d", static_cast<long long>(1) << 40); },
       "1099511627776"},
      {"32-bit integer", [] { return acutPrintf(L"%I32d", -5); }, "-5"},
      {"short integer", [] { return acutPrintf(L"%hd", 70000); }, "4464"},
      {"hex and octal", [] { return acutPrintf(L"%x %X %o %#x", 255, 255, 8, 16); },
       "ff FF 10 0x10"},
      {"left-justified text", [] { return acutPrintf(L"%-4s|%4s|", L"ab", L"cd"); }, "ab  |  cd|"},
      {"text precision", [] { return acutPrintf(L"%.2s", L"abcdef"); }, "ab"},
      {"star width", [] { return acutPrintf(L"%*d|%-*d|", 5, 42, 3, 7); }, "   42|7  |"},
      {"percent", [] { return acutPrintf(L"100%%"); }, "100%"},
      {"null text", [] { return acutPrintf(L"%s", static_cast<const wchar_t*>(nullptr)); },
       "(null)"},
      {"message of a result code",
       [] { return acutPrintf(L"%s", L"\nWrong type of arguments passed.\n"); },
       "\nWrong type of arguments passed.\n"},
      {"unknown conversion kept", [] { return acutPrintf(L"%y!"); }, "%y!"},
  };
  for (const PrintfCase& c : cases) {
    SCOPED_TRACE(c.name);
    tabrik::acad::testing::OutputCapture capture;
    c.print();
    EXPECT_EQ(capture.take(), c.expected);
  }
}

TEST(AcutPrintf, ReturnsTheNumberOfCharactersPrinted) {
  tabrik::acad::testing::OutputCapture capture;
  EXPECT_EQ(acutPrintf(L"%s=%d", L"\u00e9t\u00e9", 12), 6);
  EXPECT_EQ(capture.take(), "\xc3\xa9t\xc3\xa9=12");
}

TEST(AcutPrintf, NullFormatPrintsNothing) {
  tabrik::acad::testing::OutputCapture capture;
  EXPECT_EQ(acutPrintf(nullptr), 0);
  EXPECT_EQ(capture.take(), "");
}
