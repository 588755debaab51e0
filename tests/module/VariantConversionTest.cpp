// Database values to LISP values and back, and the string rule of "s_" fields.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "ResbufChain.h"
#include "host/VariantConversion.h"

using namespace tabrik::arx;
using namespace tabrik::arx::testing;

namespace {

struct Released {
  resbuf* rb;
  ~Released() { acutRelRb(rb); }
};

VARIANT variantOf(VARTYPE type) {
  VARIANT v;
  VariantInit(&v);
  v.vt = type;
  return v;
}

}  // namespace

TEST(VariantConversion, NumbersAndFlagsBecomeLongsOrReals) {
  struct Case {
    const char* name;
    VARIANT value;
    short type;
    double expected;  // the RTLONG or RTREAL value
  };
  VARIANT i2 = variantOf(VT_I2);
  i2.iVal = -5;
  VARIANT i4 = variantOf(VT_I4);
  i4.lVal = 100000;
  VARIANT ui1 = variantOf(VT_UI1);
  ui1.bVal = 200;
  VARIANT yes = variantOf(VT_BOOL);
  yes.boolVal = VARIANT_TRUE;
  VARIANT no = variantOf(VT_BOOL);
  no.boolVal = VARIANT_FALSE;
  VARIANT r4 = variantOf(VT_R4);
  r4.fltVal = 0.5f;
  VARIANT r8 = variantOf(VT_R8);
  r8.dblVal = -2.25;
  VARIANT nan4 = variantOf(VT_R4);
  nan4.fltVal = std::numeric_limits<float>::quiet_NaN();
  VARIANT nan8 = variantOf(VT_R8);
  nan8.dblVal = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"16-bit integer, sign-extended", i2, RTLONG, -5},
      {"32-bit integer", i4, RTLONG, 100000},
      {"unsigned byte", ui1, RTLONG, 200},
      {"Yes", yes, RTLONG, -1},
      {"No", no, RTLONG, 0},
      {"4-byte real", r4, RTREAL, 0.5},
      {"8-byte real", r8, RTREAL, -2.25},
      {"4-byte not-a-number", nan4, RTREAL, 0.0},
      {"8-byte not-a-number", nan8, RTREAL, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Released out{variantToResbuf(c.value, StringRule::kTrimTrailingBlanks)};
    ASSERT_NE(out.rb, nullptr);
    EXPECT_EQ(out.rb->rbnext, nullptr);
    ASSERT_EQ(out.rb->restype, c.type);
    EXPECT_EQ(c.type == RTLONG ? out.rb->resval.rlong : out.rb->resval.rreal, c.expected);
  }
}

TEST(VariantConversion, ValuesWithoutLispFormBecomeNil) {
  VARIANT currency = variantOf(VT_CY);
  currency.cyVal.int64 = 12345;
  const VARIANT cases[] = {variantOf(VT_EMPTY), variantOf(VT_NULL), currency, variantOf(VT_ERROR)};
  for (const VARIANT& value : cases) {
    SCOPED_TRACE(value.vt);
    Released out{variantToResbuf(value, StringRule::kTrimTrailingBlanks)};
    ASSERT_NE(out.rb, nullptr);
    EXPECT_EQ(out.rb->restype, RTNIL);
  }
}

TEST(VariantConversion, DatesComeBackAsTextNeverAsNumbers) {
  struct Case {
    DATE date;
    const wchar_t* text;
  };
  // OLE dates count days from 30 December 1899; day 45000 is 15 March 2023.
  const Case cases[] = {
      {45000.0, L"3/15/2023"},
      {45000.75, L"3/15/2023 6:00:00 PM"},
      {2.0, L"1/1/1900"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    VARIANT value = variantOf(VT_DATE);
    value.date = c.date;
    Released out{variantToResbuf(value, StringRule::kKeepBlanks)};
    ASSERT_EQ(out.rb->restype, RTSTR);
    EXPECT_STREQ(out.rb->resval.rstring, c.text);
  }
}

TEST(VariantConversion, StringRuleKeepsBlanksOnlyInSFields) {
  struct Case {
    const char* name;
    const wchar_t* field;
    const wchar_t* stored;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"s_ field keeps two trailing blanks", L"s_Note", L"ab  ", L"ab  "},
      {"other field trims them", L"Note", L"ab  ", L"ab"},
      {"s_ field: one blank is the empty text", L"s_Note", L" ", L""},
      {"s_ field: two blanks stay", L"s_Note", L"  ", L"  "},
      {"other field: one blank is the empty text", L"Note", L" ", L""},
      {"leading blanks stay", L"Note", L"  ab", L"  ab"},
      {"S_ in capitals is not the prefix", L"S_Note", L"ab  ", L"ab"},
      {"prefix must begin the name", L"xs_Note", L"ab  ", L"ab"},
      {"tab is no blank", L"Note", L"ab\t", L"ab\t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    COleVariant value(c.stored, VT_BSTR);
    Released out{variantToResbuf(value, stringRuleForField(c.field))};
    ASSERT_EQ(out.rb->restype, RTSTR);
    EXPECT_STREQ(out.rb->resval.rstring, c.expected);
  }
}

TEST(VariantConversion, TheRuleSeesTheWholeTextAndTheStringEndsAtItsFirstNul) {
  struct Case {
    const char* name;
    const wchar_t* field;
    const wchar_t* stored;
    unsigned length;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"only blanks", L"Note", L"   ", 3, L""},
      {"empty", L"Note", L"", 0, L""},
      {"empty s_", L"s_Note", L"", 0, L""},
      {"blank before the NUL stays: the text ends in b", L"Note", L"a \0b", 4, L"a "},
      {"blanks after the NUL trimmed", L"Note", L"ab\0  ", 5, L"ab"},
      {"s_: a blank and more is no lone blank", L"s_Note", L" \0x", 3, L" "},
      {"long text trimmed", L"Note", L"abcdefghijklmnopqrstuvwxyz    ", 30,
       L"abcdefghijklmnopqrstuvwxyz"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    COleVariant value;
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(c.stored, c.length);
    Released out{variantToResbuf(value, stringRuleForField(c.field))};
    ASSERT_EQ(out.rb->restype, RTSTR);
    EXPECT_STREQ(out.rb->resval.rstring, c.expected);
  }
}

TEST(VariantConversion, LispElementsToDatabaseValues) {
  Chain chain{Real(2.5), Short(-3), Long(70000), Str(L"text "), Marker(RTNIL), Marker(RTT)};
  struct Expected {
    VARTYPE vt;
    double number;
  };
  const Expected expected[] = {{VT_R8, 2.5}, {VT_I4, -3},   {VT_I4, 70000},
                               {VT_BSTR, 0}, {VT_EMPTY, 0}, {VT_BOOL, -1}};
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    COleVariant value(99.0);
    ASSERT_TRUE(resbufToVariant(chain.at(i), value));
    ASSERT_EQ(value.vt, expected[i].vt);
    switch (value.vt) {
      case VT_R8:
        EXPECT_EQ(value.dblVal, expected[i].number);
        break;
      case VT_I4:
        EXPECT_EQ(value.lVal, expected[i].number);
        break;
      case VT_BOOL:
        EXPECT_EQ(value.boolVal, VARIANT_TRUE);
        break;
      case VT_BSTR:
        EXPECT_STREQ(value.bstrVal, L"text ");
        break;
      default:
        break;
    }
  }
}

TEST(VariantConversion, ElementsWithoutDatabaseValueAreNotConverted) {
  Chain chain{Marker(RTLB), Marker(RTLE),           Marker(RTDOTE), Point(RT3DPOINT, 1, 2, 3),
              Name(1, 2),   Point(RTPOINT, 1, 2, 0)};
  for (std::size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    COleVariant value(7.0);
    EXPECT_FALSE(resbufToVariant(chain.at(i), value));
    EXPECT_EQ(value.vt, VT_R8);
    EXPECT_EQ(value.dblVal, 7.0);
  }
  COleVariant value(7.0);
  EXPECT_FALSE(resbufToVariant(nullptr, value));
}
