// VARIANT conversions with Automation's rules, and COleVariant's ownership of BSTRs.
#include <gtest/gtest.h>

#include <cmath>

#include "afxdisp.h"

namespace {

COleVariant text(const wchar_t* s) { return COleVariant(s); }

TEST(VariantChangeType, RealsRoundHalfToEvenIntoIntegers) {
  struct Case {
    double in;
    LONG out;
  } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {-3.5, -4}, {2.6, 3}, {-2.4, -2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    COleVariant v(c.in);
    v.ChangeType(VT_I4);
    ASSERT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, c.out);
  }
}

TEST(VariantChangeType, RangeAndTypeFailures) {
  struct Case {
    COleVariant in;
    VARTYPE to;
    HRESULT hr;
  };
  COleVariant null;
  null.vt = VT_NULL;
  const Case cases[] = {
      {COleVariant(40000L), VT_I2, DISP_E_OVERFLOW},
      {COleVariant(-32769L), VT_I2, DISP_E_OVERFLOW},
      {COleVariant(256L), VT_UI1, DISP_E_OVERFLOW},
      {COleVariant(-1L), VT_UI1, DISP_E_OVERFLOW},
      {COleVariant(3e9), VT_I4, DISP_E_OVERFLOW},
      {text(L"abc"), VT_I4, DISP_E_TYPEMISMATCH},
      {text(L"12x"), VT_R8, DISP_E_TYPEMISMATCH},
      {null, VT_I4, DISP_E_TYPEMISMATCH},
      {null, VT_BSTR, DISP_E_TYPEMISMATCH},
      {text(L"not a date"), VT_DATE, DISP_E_TYPEMISMATCH},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(VariantChangeType(&out, &c.in, 0, c.to), c.hr);
    EXPECT_EQ(out.vt, VT_EMPTY);
  }
}

TEST(VariantChangeType, ToText) {
  struct Case {
    COleVariant in;
    USHORT flags;
    const wchar_t* out;
  };
  COleVariant yes(short(1), VT_BOOL);
  CY cy;
  cy.int64 = -12345000;  // -1234.5
  const Case cases[] = {
      {COleVariant(42L), 0, L"42"},
      {COleVariant(short(-7)), 0, L"-7"},
      {COleVariant(BYTE(200)), 0, L"200"},
      {COleVariant(0.1), 0, L"0.1"},
      {COleVariant(2.5f), 0, L"2.5"},
      {yes, 0, L"-1"},
      {yes, VARIANT_ALPHABOOL, L"True"},
      {COleVariant(COleCurrency(cy)), 0, L"-1234.5"},
      {COleVariant(COleDateTime(45356.0)), 0, L"3/5/2024"},
      {COleVariant(), 0, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    VARIANT out;
    VariantInit(&out);
    ASSERT_EQ(VariantChangeType(&out, &c.in, c.flags, VT_BSTR), S_OK);
    EXPECT_STREQ(out.bstrVal, c.out);
    VariantClear(&out);
  }
}

TEST(VariantChangeType, FromText) {
  COleVariant v(L" 12.75 ");
  v.ChangeType(VT_R8);
  EXPECT_DOUBLE_EQ(v.dblVal, 12.75);
  COleVariant c(L"1.23456");
  c.ChangeType(VT_CY);
  EXPECT_EQ(c.cyVal.int64, 12346);  // rounded to four decimals, half to even
  COleVariant b(L"false");
  b.ChangeType(VT_BOOL);
  EXPECT_EQ(b.boolVal, VARIANT_FALSE);
  COleVariant d(L"3/5/2024");
  d.ChangeType(VT_DATE);
  EXPECT_DOUBLE_EQ(d.date, 45356.0);
}

TEST(COleVariant, ChangeTypeThrowsOleExceptionByPointer) {
  COleVariant v(L"abc");
  try {
    v.ChangeType(VT_I4);
    FAIL() << "no exception";
  } catch (COleException* e) {
    EXPECT_EQ(e->m_sc, DISP_E_TYPEMISMATCH);
    wchar_t msg[64];
    EXPECT_TRUE(e->GetErrorMessage(msg, 64));
    EXPECT_STREQ(msg, L"Type mismatch.");
    e->Delete();
  }
  EXPECT_EQ(v.vt, VT_BSTR);  // a failed conversion leaves the value alone
}

TEST(COleVariant, CopiesOwnTheirStrings) {
  COleVariant a(L"hello");
  COleVariant b(a);
  ASSERT_EQ(b.vt, VT_BSTR);
  EXPECT_NE(a.bstrVal, b.bstrVal);
  a = 5L;
  EXPECT_STREQ(b.bstrVal, L"hello");
  EXPECT_EQ(SysStringLen(b.bstrVal), 5u);
  COleVariant c;
  c = b;
  EXPECT_TRUE(c == b);
  c = L"other";
  EXPECT_FALSE(c == b);
  VARIANT raw = c.Detach();
  EXPECT_EQ(c.vt, VT_EMPTY);
  COleVariant d;
  d.Attach(raw);
  EXPECT_STREQ(d.bstrVal, L"other");
}

TEST(COleVariant, ConstructorTypes) {
  EXPECT_EQ(COleVariant(short(1), VT_BOOL).boolVal, VARIANT_TRUE);
  EXPECT_EQ(COleVariant(7L, VT_BOOL).vt, VT_BOOL);
  EXPECT_EQ(COleVariant(LONG(7)).vt, VT_I4);
  EXPECT_EQ(COleVariant(short(7)).vt, VT_I2);
  EXPECT_EQ(COleVariant(BYTE(7)).vt, VT_UI1);
  EXPECT_EQ(COleVariant(7.0f).vt, VT_R4);
  EXPECT_EQ(COleVariant(COleCurrency(3, 2500)).cyVal.int64, 32500);
  EXPECT_EQ(COleCurrency(3, 2500).Format(), CString(L"3.25"));
}

}  // namespace
