// CString: MFC's semantics for slicing, searching, trimming, case and the Windows
// printf dialect of Format.
#include <gtest/gtest.h>

#include "afx.h"

namespace {

TEST(CString, FormatReadsTheWindowsWidePrintfDialect) {
  struct Case {
    const wchar_t* expected;
    CString actual;
  };
  CString name(L"Norvane");
  auto fmt = [](const wchar_t* f, auto... args) {
    CString s;
    s.Format(f, args...);
    return s;
  };
  const Case cases[] = {
      {L"(3021) No current record.", fmt(L"(%ld) %s", 3021L, L"No current record.")},
      {L"[Norvane]", fmt(L"[%s]", static_cast<LPCTSTR>(name))},
      {L"narrow ok", fmt(L"%hs ok", "narrow")},
      {L"also narrow", fmt(L"%S narrow", "also")},
      {L"x=  42|y=3.50|c=Z", fmt(L"x=%4d|y=%.2f|c=%c", 42, 3.5, L'Z')},
      {L"big 12345678901234", fmt(L"big %I64d", 12345678901234LL)},
      {L"100%", fmt(L"%d%%", 100)},
      {L"\nTabrik Error: boom", fmt(L"\nTabrik Error: %s", L"boom")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    EXPECT_STREQ(c.actual, c.expected);
  }
}

TEST(CString, FormatGrowsPastItsFirstBuffer) {
  CString long1(L'x', 5000);
  CString s;
  s.Format(L"<%s>", static_cast<LPCTSTR>(long1));
  EXPECT_EQ(s.GetLength(), 5002);
}

TEST(CString, SlicesClampLikeMfc) {
  CString s(L"abcdef");
  EXPECT_STREQ(s.Left(2), L"ab");
  EXPECT_STREQ(s.Left(99), L"abcdef");
  EXPECT_STREQ(s.Left(-1), L"");
  EXPECT_STREQ(s.Right(2), L"ef");
  EXPECT_STREQ(s.Mid(4), L"ef");
  EXPECT_STREQ(s.Mid(1, 3), L"bcd");
  EXPECT_STREQ(s.Mid(10), L"");
  EXPECT_STREQ(s.Mid(5, 10), L"f");
}

TEST(CString, Searching) {
  CString s(L"a/b\\c/d");
  EXPECT_EQ(s.Find(L'/'), 1);
  EXPECT_EQ(s.Find(L'/', 2), 5);
  EXPECT_EQ(s.Find(L"c/"), 4);
  EXPECT_EQ(s.Find(L"zz"), -1);
  EXPECT_EQ(s.ReverseFind(L'/'), 5);
  EXPECT_EQ(s.FindOneOf(L"\\"), 3);
  EXPECT_EQ(s.Find(L'/', 99), -1);
}

TEST(CString, ReplaceRemoveInsertDelete) {
  CString s(L"a/b/c");
  EXPECT_EQ(s.Replace(L'/', L'\\'), 2);
  EXPECT_STREQ(s, L"a\\b\\c");
  CString t(L"aaa");
  EXPECT_EQ(t.Replace(L"a", L"aa"), 3);  // replacements are not rescanned
  EXPECT_STREQ(t, L"aaaaaa");
  EXPECT_EQ(t.Remove(L'a'), 6);
  EXPECT_TRUE(t.IsEmpty());
  CString u(L"ace");
  u.Insert(1, L'b');
  u.Insert(3, L"d");
  EXPECT_STREQ(u, L"abcde");
  u.Delete(1, 2);
  EXPECT_STREQ(u, L"ade");
}

TEST(CString, TrimAndCase) {
  CString s(L"  Mixed Case \t");
  s.Trim();
  EXPECT_STREQ(s, L"Mixed Case");
  CString t(L"xxabcxx");
  t.TrimRight(L'x');
  EXPECT_STREQ(t, L"xxabc");
  t.TrimLeft(L"x");
  EXPECT_STREQ(t, L"abc");
  CString u(L"Résumé ÿ");
  u.MakeUpper();
  EXPECT_STREQ(u, L"RÉSUMÉ \u0178");
  u.MakeLower();
  EXPECT_STREQ(u, L"résumé ÿ");
  EXPECT_EQ(CString(L"ABC").CompareNoCase(L"abc"), 0);
  EXPECT_LT(CString(L"abc").CompareNoCase(L"ABD"), 0);
  EXPECT_GT(CString(L"b").Compare(L"a"), 0);
  EXPECT_EQ(CString(L"É").CompareNoCase(L"é"), 0);
}

TEST(CString, BufferAccess) {
  CString s;
  wchar_t* p = s.GetBuffer(10);
  wcscpy(p, L"hey");
  s.ReleaseBuffer();
  EXPECT_EQ(s.GetLength(), 3);
  EXPECT_STREQ(s, L"hey");
  s.GetBuffer(5)[0] = L'H';
  s.ReleaseBuffer(2);
  EXPECT_STREQ(s, L"He");
}

TEST(CString, NarrowTextIsUtf8) {
  CString s(
      "Gr\xC3\xBC\xC3\x9F"
      "e");
  EXPECT_STREQ(s, L"Grüße");
  CString bad(
      "a\xFF"
      "b");
  EXPECT_STREQ(bad, L"a\uFFFDb");
}

TEST(CString, Tokenize) {
  CString s(L"a;;b;c");
  int pos = 0;
  CString tokens[4];
  int n = 0;
  for (CString t = s.Tokenize(L";", pos); pos != -1; t = s.Tokenize(L";", pos)) tokens[n++] = t;
  ASSERT_EQ(n, 3);
  EXPECT_STREQ(tokens[0], L"a");
  EXPECT_STREQ(tokens[1], L"b");
  EXPECT_STREQ(tokens[2], L"c");
}

TEST(CList, OrderAndPositions) {
  CList<int, int> list;
  list.AddTail(2);
  list.AddHead(1);
  POSITION three = list.AddTail(3);
  list.InsertBefore(three, 25);
  int expected[] = {1, 2, 25, 3};
  int i = 0;
  for (POSITION p = list.GetHeadPosition(); p;) EXPECT_EQ(list.GetNext(p), expected[i++]);
  EXPECT_EQ(i, 4);
  list.RemoveAt(list.Find(25));
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.RemoveHead(), 1);
  EXPECT_EQ(list.GetHead(), 2);
  EXPECT_EQ(list.GetAt(list.FindIndex(1)), 3);
  EXPECT_EQ(list.FindIndex(5), nullptr);
}

TEST(CStringArray, AddInsertRemove) {
  CStringArray a;
  a.Add(L"x");
  a.Add(L"z");
  a.InsertAt(1, L"y");
  ASSERT_EQ(a.GetSize(), 3);
  EXPECT_STREQ(a[1], L"y");
  a.RemoveAt(0);
  EXPECT_STREQ(a.GetAt(0), L"y");
  EXPECT_EQ(a.GetUpperBound(), 1);
}

TEST(CException, AutoDeleteOnlyWhenOwned) {
  try {
    AfxThrowInvalidArgException();
  } catch (CException* e) {
    wchar_t buf[8];
    EXPECT_TRUE(e->GetErrorMessage(buf, 8));
    EXPECT_STREQ(buf, L"Encount");  // truncated to the buffer, null-terminated
    e->Delete();
  }
  CMemoryException onStack(FALSE);
  onStack.Delete();  // must not free a stack object
  SUCCEED();
}

}  // namespace
