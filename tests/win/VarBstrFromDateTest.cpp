// OLE dates as the en-US user locale writes them, against the published reference
// vectors (Wine's conformance table and hand-worked dates).
#include <gtest/gtest.h>

#include "afxdisp.h"
#include "oleauto.h"

namespace {

struct DateCase {
  double date;
  const wchar_t* text;
};

const DateCase kDateCases[] = {
    {0.0, L"12:00:00 AM"},
    {3.34, L"1/2/1900 8:09:36 AM"},
    {3339.34, L"2/20/1909 8:09:36 AM"},
    {365.0, L"12/30/1900"},
    {365.25, L"12/30/1900 6:00:00 AM"},
    {1461.0, L"12/31/1903"},
    {1461.5, L"12/31/1903 12:00:00 PM"},
    {-49192.24, L"4/24/1765 5:45:36 AM"},
    {-657434.0, L"1/1/100"},
    {2958465.0, L"12/31/9999"},
    {45356.58829861111, L"3/5/2024 2:07:09 PM"},
    {45356.0, L"3/5/2024"},
    {0.5882986111111111, L"2:07:09 PM"},
    {1.0, L"12/31/1899"},
    {-1.0, L"12/29/1899"},
    {-1.25, L"12/29/1899 6:00:00 AM"},
    {-0.25, L"6:00:00 AM"},
};

TEST(VarBstrFromDate, EnUsReferenceVectors) {
  for (const auto& c : kDateCases) {
    SCOPED_TRACE(c.date);
    BSTR out = nullptr;
    ASSERT_EQ(VarBstrFromDate(c.date, LANG_USER_DEFAULT, 0, &out), S_OK);
    EXPECT_STREQ(out, c.text);
    SysFreeString(out);
  }
}

TEST(VarBstrFromDate, OutsideTheDateRangeIsInvalidArgument) {
  for (double d : {-657435.0, 2958466.0, 1e300}) {
    SCOPED_TRACE(d);
    BSTR out = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(VarBstrFromDate(d, LANG_USER_DEFAULT, 0, &out), E_INVALIDARG);
    EXPECT_EQ(out, nullptr);
  }
}

TEST(VarDateFromStr, ReadsTheEnUsForms) {
  struct Case {
    const wchar_t* text;
    double date;
  } cases[] = {
      {L"3/5/2024", 45356.0},
      {L"3/5/2024 2:07:09 PM", 45356.0 + (14 * 3600 + 7 * 60 + 9) / 86400.0},
      {L"2024-03-05", 45356.0},
      {L"12/30/1899", 0.0},
      {L"12/29/1899 6:00:00 AM", -1.25},
      {L"6:00 AM", 0.25},
      {L"18:00", 0.75},
      {L"12:00:00 AM", 0.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "text index " << (&c - cases));
    DATE d = -99;
    ASSERT_EQ(VarDateFromStr(c.text, LANG_USER_DEFAULT, 0, &d), S_OK);
    EXPECT_NEAR(d, c.date, 1e-9);
  }
  for (const wchar_t* bad : {L"", L"abc", L"2/30/2024", L"13/1/2024", L"25:00", L"3/5/2024 x"}) {
    DATE d = 0;
    EXPECT_EQ(VarDateFromStr(bad, LANG_USER_DEFAULT, 0, &d), DISP_E_TYPEMISMATCH)
        << static_cast<const void*>(bad);
  }
}

TEST(COleDateTime, PartsOfKnownDates) {
  // 5 March 2024 was a Tuesday, day 65 of a leap year.
  COleDateTime t(2024, 3, 5, 14, 7, 9);
  ASSERT_EQ(t.GetStatus(), COleDateTime::valid);
  EXPECT_NEAR(t.m_dt, 45356.58829861111, 1e-9);
  EXPECT_EQ(t.GetYear(), 2024);
  EXPECT_EQ(t.GetMonth(), 3);
  EXPECT_EQ(t.GetDay(), 5);
  EXPECT_EQ(t.GetHour(), 14);
  EXPECT_EQ(t.GetMinute(), 7);
  EXPECT_EQ(t.GetSecond(), 9);
  EXPECT_EQ(t.GetDayOfWeek(), 3);
  EXPECT_EQ(t.GetDayOfYear(), 65);
  EXPECT_STREQ(t.Format(), L"3/5/2024 2:07:09 PM");
  EXPECT_STREQ(t.Format(L"%Y-%m-%d %H:%M:%S %A"), L"2024-03-05 14:07:09 Tuesday");
}

TEST(COleDateTime, InvalidPartsGiveInvalidStatus) {
  EXPECT_EQ(COleDateTime(2023, 2, 29, 0, 0, 0).GetStatus(), COleDateTime::invalid);
  EXPECT_EQ(COleDateTime(2024, 13, 1, 0, 0, 0).GetStatus(), COleDateTime::invalid);
  EXPECT_EQ(COleDateTime(99, 1, 1, 0, 0, 0).GetStatus(), COleDateTime::invalid);
  EXPECT_EQ(COleDateTime(2024, 2, 29, 0, 0, 0).GetStatus(), COleDateTime::valid);
}

}  // namespace
