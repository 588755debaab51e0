// Query results as LISP receives them (SqlResultList.h) and their flat form
// (DBQueryResult::flatten): one column gives a flat list of values, several columns a
// record list per row with the "s_" rule, no rows nil. Expected chains are written out
// by hand from the list shapes of the database functions; rows read straight from a
// forward-only recordset give the list that the same rows kept first give.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <acutads.h>

#include "db/CDBConnection.h"
#include "db/SqlResultList.h"

namespace {

using tabrik::arx::db::queryResultList;

// A chain written as text: ( ) . for list marks, "..." for strings, numbers as they
// print, nil for RTNIL.
std::string describe(const resbuf* chain) {
  std::string out;
  for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
    if (!out.empty()) out += ' ';
    switch (rb->restype) {
      case RTLB:
        out += '(';
        break;
      case RTLE:
        out += ')';
        break;
      case RTDOTE:
        out += '.';
        break;
      case RTNIL:
        out += "nil";
        break;
      case RTLONG:
        out += std::to_string(rb->resval.rlong);
        break;
      case RTREAL:
        out += std::to_string(rb->resval.rreal);
        break;
      case RTSTR: {
        out += '"';
        for (const wchar_t* p = rb->resval.rstring; *p; ++p) out += static_cast<char>(*p);
        out += '"';
        break;
      }
      default:
        out += "?" + std::to_string(rb->restype);
    }
  }
  return out;
}

COleVariant text(const wchar_t* value) { return COleVariant(value, VT_BSTRT); }
COleVariant null() {
  COleVariant v;
  v.vt = VT_NULL;
  return v;
}

struct Case {
  const char* name;
  std::vector<CString> columns;
  std::vector<COleVariant> values;
  const char* list;  // as LISP receives it; "" for nil
  const char* flat;  // the flat form
};

TEST(SqlResultList, ShapesFollowTheColumnCount) {
  const Case cases[] = {
      {"no rows", {L"A", L"B"}, {}, "", ""},
      {"one column",
       {L"Name"},
       {text(L"bolt  "), text(L"nut"), COleVariant(7L)},
       "( \"bolt\" \"nut\" 7 )",
       "\"bolt  \" \"nut\" 7"},
      // One column loses trailing blanks even when its name begins with "s_".
      {"one s_ column", {L"s_Code"}, {text(L"B1  ")}, "( \"B1\" )", "\"B1  \""},
      {"two columns",
       {L"ID", L"Name"},
       {COleVariant(1L), text(L"bolt "), COleVariant(2L), null()},
       "( ( ( \"ID\" . 1 ) ( \"Name\" . \"bolt\" ) ) ( ( \"ID\" . 2 ) ( \"Name\" . nil ) ) )",
       "\"*NewRecord*\" \"ID\" 1 \"Name\" \"bolt \" \"*NewRecord*\" \"ID\" 2 \"Name\" nil"},
      {"s_ keeps blanks, one blank is empty",
       {L"s_A", L"s_B"},
       {text(L"x  "), text(L" ")},
       "( ( ( \"s_A\" . \"x  \" ) ( \"s_B\" . \"\" ) ) )",
       "\"*NewRecord*\" \"s_A\" \"x  \" \"s_B\" \" \""},
      {"Yes/No and reals",
       {L"Ok", L"W"},
       {COleVariant(static_cast<short>(-1), VT_BOOL), COleVariant(2.5)},
       "( ( ( \"Ok\" . -1 ) ( \"W\" . 2.500000 ) ) )",
       "\"*NewRecord*\" \"Ok\" -1 \"W\" 2.500000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DBQueryResult result;
    result.columns = c.columns;
    result.values = c.values;
    resbuf* list = queryResultList(result);
    EXPECT_EQ(describe(list), c.list);
    if (list != nullptr) acutRelRb(list);
    // The flat form, each value as the one-column list shows it (untrimmed here).
    std::string flat;
    for (const COleVariant& v : result.flatten()) {
      if (!flat.empty()) flat += ' ';
      switch (v.vt) {
        case VT_BSTR: {
          flat += '"';
          for (const wchar_t* p = v.bstrVal; *p; ++p) flat += static_cast<char>(*p);
          flat += '"';
          break;
        }
        case VT_I4:
          flat += std::to_string(v.lVal);
          break;
        case VT_BOOL:
          flat += v.boolVal ? "-1" : "0";
          break;
        case VT_R8:
          flat += std::to_string(v.dblVal);
          break;
        case VT_NULL:
          flat += "nil";
          break;
        default:
          flat += "?";
      }
    }
    EXPECT_EQ(flat, c.flat);
    EXPECT_EQ(result.rowCount(), c.values.size() / c.columns.size());
  }
}

}  // namespace

namespace {

// A scratch database with one table of every kind of value the lists carry.
class StreamedQueryList : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/tabrik_sqllist_XXXXXX";
    m_folder = mkdtemp(folder) != nullptr ? folder : "/tmp";
    db.Create(CString((m_folder + "/rows.mdb").c_str()));
    db.Execute(
        L"CREATE TABLE Parts (ID LONG, Name TEXT(20), s_Code TEXT(10), Weight DOUBLE, Made "
        L"DATETIME, Ok YESNO)");
    db.Execute(
        L"INSERT INTO Parts VALUES (1, 'bolt  ', 'B1  ', 2.5, #3/5/2024#, True), (2, Null, ' ', "
        L"Null, Null, False), (3, 'nut', 'N', 0.25, #1/1/2000#, True)");
  }
  void TearDown() override {
    db.Close();
    std::system(("rm -rf '" + m_folder + "'").c_str());
  }

  // The list of the statement's rows read into a query result first (a snapshot).
  std::string keptFirst(const wchar_t* sql) {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenSnapshot, sql);
    DBQueryResult result;
    const short fields = rs.GetFieldCount();
    for (short i = 0; i < fields && !rs.IsEOF(); ++i) {
      CDaoFieldInfo info;
      rs.GetFieldInfo(i, info);
      result.columns.push_back(info.m_strName);
    }
    for (; !rs.IsEOF(); rs.MoveNext())
      for (short i = 0; i < fields; ++i) result.values.push_back(rs.GetFieldValue(i));
    resbuf* list = queryResultList(result);
    std::string shown = describe(list);
    if (list != nullptr) acutRelRb(list);
    return shown;
  }
  // The list read straight from a forward-only recordset.
  std::string streamed(const wchar_t* sql) {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenForwardOnly, sql);
    resbuf* list = queryResultList(rs);
    EXPECT_TRUE(rs.IsEOF());
    std::string shown = describe(list);
    if (list != nullptr) acutRelRb(list);
    return shown;
  }

  std::string m_folder;
  CDaoDatabase db;
};

TEST_F(StreamedQueryList, RowsStraightFromTheStatementMakeTheSameList) {
  const wchar_t* statements[] = {
      L"SELECT ID, Name, s_Code, Weight, Ok FROM Parts ORDER BY ID",
      L"SELECT Name FROM Parts ORDER BY ID",
      L"SELECT s_Code FROM Parts ORDER BY ID",
      L"SELECT Name & '|' AS Tag, ID * 2 FROM Parts ORDER BY ID DESC",
      L"SELECT * FROM Parts WHERE ID > 10",
      L"SELECT Made FROM Parts WHERE ID = 2",
  };
  for (std::size_t i = 0; i < std::size(statements); ++i) {
    const wchar_t* sql = statements[i];
    SCOPED_TRACE("statement " + std::to_string(i));
    EXPECT_EQ(streamed(sql), keptFirst(sql));
  }
  // One case written out by hand: the record lists, "s_" keeping its blanks and a
  // lone blank reading as the empty text, Null as nil, Yes/No as -1 and 0.
  EXPECT_EQ(streamed(L"SELECT ID, s_Code, Name, Ok FROM Parts WHERE ID <= 2 ORDER BY ID"),
            "( ( ( \"ID\" . 1 ) ( \"s_Code\" . \"B1  \" ) ( \"Name\" . \"bolt\" ) ( \"Ok\" . -1 ) "
            ") ( ( \"ID\" . 2 ) ( \"s_Code\" . \"\" ) ( \"Name\" . nil ) ( \"Ok\" . 0 ) ) )");
}

TEST_F(StreamedQueryList, ARecordsetAtItsEndGivesNil) {
  CDaoRecordset rs(&db);
  rs.Open(dbOpenForwardOnly, L"SELECT ID FROM Parts");
  rs.Move(3);
  ASSERT_TRUE(rs.IsEOF());
  EXPECT_EQ(queryResultList(rs), nullptr);
}

}  // namespace
