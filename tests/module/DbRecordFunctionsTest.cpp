// The tb_ cursor and record functions called from LISP, on a database whose tables
// this test builds through the engine's own table definitions (no LISP function makes
// tables yet). The host runs without loading the module file: this executable holds
// the module's code, and its function table is registered in the drawing as the
// drawing load does. Expected records follow DAO's documented results.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <afxdao.h>

#include "HostSession.h"
#include "HostTesting.h"
#include "db/ConnectionList.h"
#include "host/DaoStartup.h"
#include "host/LispFunctionTable.h"
#include "lisp/Reader.h"

using namespace tabrik::arx;
using tabrik::acad::testing::OutputCapture;

namespace {

struct Field {
  const wchar_t* name;
  short type;
  long size;
  long attributes = 0;
  bool required = false;
};

void makeTable(CDaoDatabase& database, const wchar_t* name, const std::vector<Field>& fields,
               const std::vector<std::pair<const wchar_t*, std::vector<const wchar_t*>>>& indexes) {
  CDaoTableDef table(&database);
  table.Create(name);
  for (const Field& f : fields) {
    CDaoFieldInfo info;
    info.m_strName = f.name;
    info.m_nType = f.type;
    info.m_lSize = f.size;
    info.m_lAttributes = f.attributes;
    info.m_bRequired = f.required;
    table.CreateField(info);
  }
  for (const auto& [indexName, indexFields] : indexes) {
    std::vector<CDaoIndexFieldInfo> parts(indexFields.size());
    for (std::size_t i = 0; i < indexFields.size(); ++i) parts[i].m_strName = indexFields[i];
    CDaoIndexInfo info;
    info.m_strName = indexName;
    info.m_pFieldInfos = parts.data();
    info.m_nFields = static_cast<short>(parts.size());
    info.m_bPrimary = std::wstring(indexName) == L"PrimaryKey";
    info.m_bUnique = info.m_bPrimary;
    table.CreateIndex(info);
    info.m_pFieldInfos = nullptr;
  }
  table.Append();
}

using Row = std::vector<std::pair<const wchar_t*, COleVariant>>;

void addRows(CDaoDatabase& database, const wchar_t* table, const std::vector<Row>& rows) {
  CDaoRecordset cursor(&database);
  cursor.Open(dbOpenTable, table);
  for (const Row& row : rows) {
    cursor.AddNew();
    for (const auto& [name, value] : row) cursor.SetFieldValue(name, value);
    cursor.Update();
  }
  cursor.Close();
}

COleVariant text(const wchar_t* value) { return COleVariant(value, VT_BSTR); }

// Parts: an auto-number key, text fields (one with the "s_" prefix), numbers, a
// currency, a Yes/No and a required Text without default. Points: three reals under
// a two- and a three-field index. Wide: eleven Longs under a ten-field index. Keyed:
// an auto-number key whose counter stands at 2.
void buildFixture(const CString& path) {
  CDaoDatabase database;
  database.Create(path);
  makeTable(database, L"Parts",
            {{L"ID", dbLong, 4, dbAutoIncrField},
             {L"Name", dbText, 10},
             {L"s_Code", dbText, 10},
             {L"Qty", dbLong, 4},
             {L"Price", dbCurrency, 8},
             {L"Active", dbBoolean, 1},
             {L"Weight", dbDouble, 8},
             {L"Note", dbText, 20, 0, /*required=*/true}},
            {{L"PrimaryKey", {L"ID"}}, {L"ByName", {L"Name"}}, {L"ByQtyName", {L"Qty", L"Name"}}});
  addRows(database, L"Parts",
          {{{L"Name", text(L"Bolt")},
            {L"s_Code", text(L"A ")},
            {L"Qty", COleVariant(10)},
            {L"Price", COleVariant(1.5)},
            {L"Active", COleVariant(short(-1), VT_BOOL)},
            {L"Weight", COleVariant(0.25)},
            {L"Note", text(L"n1")}},
           {{L"Name", text(L"nut")},
            {L"s_Code", text(L" ")},
            {L"Qty", COleVariant(20)},
            {L"Active", COleVariant(short(0), VT_BOOL)},
            {L"Weight", COleVariant(1.0)},
            {L"Note", text(L"n2")}},
           {{L"Name", text(L"Washer  ")},
            {L"s_Code", text(L"C")},
            {L"Qty", COleVariant(30)},
            {L"Active", COleVariant(short(0), VT_BOOL)},
            {L"Weight", COleVariant(2.0)},
            {L"Note", text(L"n3")}}});
  makeTable(database, L"Points", {{L"X", dbDouble, 8}, {L"Y", dbDouble, 8}, {L"Z", dbDouble, 8}},
            {{L"XY", {L"X", L"Y"}}, {L"XYZ", {L"X", L"Y", L"Z"}}});
  addRows(database, L"Points",
          {{{L"X", COleVariant(1.0)}, {L"Y", COleVariant(2.0)}, {L"Z", COleVariant(3.0)}},
           {{L"X", COleVariant(1.0)}, {L"Y", COleVariant(2.0)}, {L"Z", COleVariant(4.0)}},
           {{L"X", COleVariant(4.0)}, {L"Y", COleVariant(5.0)}, {L"Z", COleVariant(6.0)}}});
  std::vector<Field> wide;
  std::vector<const wchar_t*> tenKeys;
  static const wchar_t* kNames[] = {L"K1", L"K2", L"K3", L"K4",  L"K5", L"K6",
                                    L"K7", L"K8", L"K9", L"K10", L"K11"};
  Row wideRow;
  for (int i = 0; i < 11; ++i) {
    wide.push_back({kNames[i], dbLong, 4});
    if (i < 10) tenKeys.push_back(kNames[i]);
    wideRow.emplace_back(kNames[i], COleVariant(i + 1));
  }
  makeTable(database, L"Wide", wide, {{L"Keys", tenKeys}});
  addRows(database, L"Wide", {wideRow});
  makeTable(database, L"Keyed", {{L"ID", dbLong, 4, dbAutoIncrField}, {L"Name", dbText, 20}},
            {{L"PrimaryKey", {L"ID"}}});
  addRows(database, L"Keyed", {{{L"Name", text(L"one")}}, {{L"Name", text(L"two")}}});
  database.Close();
}

class DbRecordFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/tabrik_dbrec_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    m_folder = folder;
    ASSERT_TRUE(startDatabaseEngine(m_startedDao));
    m_path = m_folder + "/parts.mdb";
    buildFixture(CString(m_path.c_str()));

    m_session = tabrik::acad::HostSession::startBare();
    ASSERT_NE(m_session, nullptr);
    registerFunctionTable(databaseFunctionTable(), 0);
    ASSERT_TRUE(db::AddDocumentRecord());
    // The last-error text is module-wide and outlives a session.
    db::setLastErrorText(std::wstring());
    ASSERT_EQ(eval("(tb_connect \"" + m_path + "\")"), "T");
  }

  void TearDown() override {
    {
      OutputCapture quiet;
      m_session.reset();
    }
    db::discardAllConnections();
    if (m_startedDao) stopDatabaseEngine();
    std::system(("rm -rf '" + m_folder + "'").c_str());
  }

  // The value of one form as prin1 prints it; what the form printed goes to m_printed.
  std::string eval(const std::string& form) {
    OutputCapture output;
    tabrik::lisp::Outcome outcome = m_session->evaluateForm(tabrik::lisp::readFirst(form));
    m_printed = output.take();
    return outcome.ok ? outcome.value.toPrin1String() : "error: " + outcome.error;
  }

  struct Case {
    const char* form;
    const char* value;
    const char* printed = "";
  };
  void run(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.form);
      EXPECT_EQ(eval(c.form), c.value);
      EXPECT_EQ(m_printed, c.printed);
    }
  }

  std::string m_folder;
  std::string m_path;
  bool m_startedDao = false;
  std::unique_ptr<tabrik::acad::HostSession> m_session;
  std::string m_printed;
};

constexpr const char* kBolt =
    "((\"ID\" . 1) (\"Name\" . \"Bolt\") (\"s_Code\" . \"A \") (\"Qty\" . 10) (\"Price\") "
    "(\"Active\" . -1) "
    "(\"Weight\" . 0.25) (\"Note\" . \"n1\"))";
constexpr const char* kNut =
    "((\"ID\" . 2) (\"Name\" . \"nut\") (\"s_Code\" . \"\") (\"Qty\" . 20) (\"Price\") (\"Active\" "
    ". 0) "
    "(\"Weight\" . 1.0) (\"Note\" . \"n2\"))";
constexpr const char* kWasher =
    "((\"ID\" . 3) (\"Name\" . \"Washer\") (\"s_Code\" . \"C\") (\"Qty\" . 30) (\"Price\") "
    "(\"Active\" . 0) "
    "(\"Weight\" . 2.0) (\"Note\" . \"n3\"))";

}  // namespace

TEST_F(DbRecordFunctionsTest, NavigationLandsOnRecordsAndStopsQuietlyAtTheEnds) {
  run({
      {"(tb_table \"Parts\" \"PrimaryKey\")", "\"Parts\""},
      {"(tb_current_index)", "\"PrimaryKey\""},
      {"(tb_getrec)", kBolt},
      {"(tb_count)", "3"},
      {"(tb_skip)", kNut},
      {"(tb_skip 0)", "nil"},
      {"(tb_skip 1.9)", kWasher},
      {"(tb_skip)", "nil"},
      {"(tb_getrec)", "nil"},
      {"(tb_skip -1)", kWasher},
      {"(tb_skip -5)", "nil"},
      {"(tb_skip -1)", "nil"},
      {"(tb_bottom)", kWasher},
      {"(tb_top)", kBolt},
      {"(tb_lastError)", "\"\""},
  });
}

TEST_F(DbRecordFunctionsTest, SeekTakesEveryArgumentForm) {
  run({
      {"(tb_table \"Parts\")", "\"Parts\""},
      // No index yet: an ordinary miss, nothing recorded.
      {"(tb_seek 1)", "nil"},
      {"(tb_table \"Parts\" \"PrimaryKey\")", "\"Parts\""},
      {"(tb_seek 2)", kNut},
      {"(tb_seek 9)", "nil"},
      {"(tb_seek nil)", "nil"},
      {"(tb_table \"Parts\" \"ByName\")", "\"Parts\""},
      {"(tb_seek \"NUT\")", kNut},
      {"(tb_seek '(\"washer\"))", kWasher},
      {"(tb_table \"Parts\" \"ByQtyName\")", "\"Parts\""},
      {"(tb_seek 10 \"bolt\")", kBolt},
      {"(tb_seek '(20 \"nut\"))", kNut},
      {"(tb_seek 20 \"bolt\")", "nil"},
      {"(tb_table \"Points\" \"XY\")", "\"Points\""},
      {"(tb_seek '(4.0 5.0))", "((\"X\" . 4.0) (\"Y\" . 5.0) (\"Z\" . 6.0))"},
      {"(tb_table \"Points\" \"XYZ\")", "\"Points\""},
      {"(tb_seek '(1.0 2.0 4.0))", "((\"X\" . 1.0) (\"Y\" . 2.0) (\"Z\" . 4.0))"},
      {"(tb_table \"Wide\" \"Keys\")", "\"Wide\""},
      // The eleventh value is not passed.
      {"(tb_seek 1 2 3 4 5 6 7 8 9 10 99)",
       "((\"K1\" . 1) (\"K2\" . 2) (\"K3\" . 3) (\"K4\" . 4) (\"K5\" . 5) (\"K6\" . 6) (\"K7\" . "
       "7) (\"K8\" . 8) "
       "(\"K9\" . 9) (\"K10\" . 10) (\"K11\" . 11))"},
      {"(tb_lastError)", "\"\""},
      {"(tb_seek (list 1 (list 2)))", "error: ADS request error",
       "\nWrong type of arguments passed.\n; error: ADS request error\n"},
  });
}

TEST_F(DbRecordFunctionsTest, OpenTablesStayOpenAndKeepTheirPlace) {
  run({
      {"(tb_table \"Parts\" \"PrimaryKey\")", "\"Parts\""},
      {"(tb_skip)", kNut},
      {"(tb_table \"Points\")", "\"Points\""},
      {"(tb_current_table)", "\"Points\""},
      {"(tb_table \"Parts\")", "\"Parts\""},
      {"(tb_getrec)", kNut},
      {"(tb_current_index)", "\"PrimaryKey\""},
      {"(tb_close_table)", "nil"},
      {"(tb_current_table)", "\"Points\""},
      {"(tb_closeall_tables)", "nil"},
      {"(tb_current_table)", "\"\""},
      {"(tb_exist \"Parts\")", "T"},
      {"(tb_exist \"parts\")", "nil"},
  });
  // An index the table lacks: reported, and the table stays open and current.
  EXPECT_EQ(eval("(tb_table \"Parts\" \"NoSuchIndex\")"), "nil");
  EXPECT_EQ(m_printed.rfind("\nTabrik Error: 'NoSuchIndex' is not an index in this table.", 0), 0u)
      << m_printed;
  EXPECT_EQ(eval("(substr (tb_lastError) 1 7)"), "\"(3015) \"");
  EXPECT_EQ(eval("(tb_current_table)"), "\"Parts\"");
}

TEST_F(DbRecordFunctionsTest, AppendWritesTextByTheFieldRulesAndSkipsTheAutoNumber) {
  ASSERT_EQ(eval("(tb_table \"Parts\" \"PrimaryKey\")"), "\"Parts\"");
  run({
      {"(tb_append '((\"ID\" 77) (\"Name\" \"ABCDEFGHIJKLMNO\") (\"s_Code\" \" x \") (\"Qty\" 5) "
       "(\"Weight\" 2) "
       "(\"Active\" T) (\"Note\" \"ab  \")))",
       "((\"ID\" . 4) (\"Name\" . \"ABCDEFGHIJ\") (\"s_Code\" . \" x \") (\"Qty\" . 5) (\"Price\") "
       "(\"Active\" . -1) "
       "(\"Weight\" . 2.0) (\"Note\" . \"ab\"))"},
      // The new record is current.
      {"(cdr (assoc \"ID\" (tb_getrec)))", "4"},
      // Empty text is stored as one blank and reads back empty under both rules.
      {"(progn (setq r (tb_append \"Name\" \"\" \"s_Code\" \"\" \"Note\" \"\")) "
       "(mapcar '(lambda (f) (cdr (assoc f r))) '(\"Name\" \"s_Code\" \"Note\")))",
       "(\"\" \"\" \"\")"},
      // A name alone in its list is Null.
      {"(cdr (assoc \"Qty\" (tb_append '((\"Name\" \"Solo\") (\"Qty\") (\"Note\" \"n\")))))",
       "nil"},
      // Dotted pairs are not a supplied record; nothing is written or printed.
      {"(tb_append '((\"Name\" . \"Dot\") (\"Note\" . \"n\")))", "nil"},
      {"(tb_append '((\"Name\" (1 2)) (\"Note\" \"n\")))", "nil"},
      {"(tb_append)", "nil"},
      {"(tb_append 5 \"Name\")", "nil"},
      {"(tb_count)", "6"},
      {"(tb_lastError)", "\"\""},
  });
}

TEST_F(DbRecordFunctionsTest, FillFlagFillsRequiredTextAndDaoErrorsAreReported) {
  ASSERT_EQ(eval("(tb_table \"Parts\" \"PrimaryKey\")"), "\"Parts\"");
  EXPECT_EQ(eval("(tb_append '((\"Name\" \"NoNote\")))"), "nil");
  EXPECT_EQ(m_printed.rfind("\nTabrik Error: The field '", 0), 0u) << m_printed;
  EXPECT_EQ(eval("(substr (tb_lastError) 1 7)"), "\"(3314) \"");
  run({
      {"(tb_resetLastError)", "\"\""},
      {"(cdr (assoc \"Note\" (tb_append 1 '((\"Name\" \"Filled\")))))", "\"\""},
      {"(tb_append '((\"Nope\" 1)))", "nil", "\nTabrik Error: Item not found in this collection."},
      {"(tb_lastError)", "\"(3265) Item not found in this collection.\""},
      {"(tb_count)", "4"},
  });
}

TEST_F(DbRecordFunctionsTest, ReplaceAndDeleteActOnTheCurrentRecord) {
  run({
      {"(tb_table \"Parts\" \"PrimaryKey\")", "\"Parts\""},
      {"(tb_seek 2)", kNut},
      {"(tb_replace '((\"Qty\" 99) (\"Active\" T) (\"ID\" 50)))",
       "((\"ID\" . 2) (\"Name\" . \"nut\") (\"s_Code\" . \"\") (\"Qty\" . 99) (\"Price\") "
       "(\"Active\" . -1) "
       "(\"Weight\" . 1.0) (\"Note\" . \"n2\"))"},
      {"(cdr (assoc \"Qty\" (tb_seek 2)))", "99"},
      {"(tb_replace '((\"Qty\" . 1)))", "nil"},
      {"(tb_delete)", "T"},
      {"(tb_seek 2)", "nil"},
      {"(tb_count)", "2"},
      {"(tb_top)", kBolt},
      {"(tb_skip)", kWasher},
      // After the last record there is nothing to delete or replace.
      {"(tb_skip)", "nil"},
      {"(tb_delete)", "nil"},
      {"(tb_replace '((\"Qty\" 1)))", "nil"},
      {"(tb_lastError)", "\"(3021) No current record.\""},
      {"(tb_count)", "2"},
  });
}

TEST_F(DbRecordFunctionsTest, AppendWithIndexUsesUpTheAutoNumbersBelowTheIndex) {
  run({
      {"(tb_table \"Keyed\" \"PrimaryKey\")", "\"Keyed\""},
      {"(tb_append_withindex 1 '((\"Name\" \"low\")))", "\"error - unable to match index\""},
      {"(tb_count)", "2"},
      {"(tb_append_withindex 5 '((\"Name\" \"five\")))", "((\"ID\" . 5) (\"Name\" . \"five\"))"},
      {"(tb_count)", "3"},
      {"(list (tb_seek 3) (tb_seek 4))", "(nil nil)"},
      {"(tb_append_withindex 6 '((\"Name\" . \"dot\")))", "nil"},
      {"(tb_count)", "3"},
  });
}

TEST_F(DbRecordFunctionsTest, ReadOnlyDatabaseRefusesWritesQuietly) {
  run({
      {("(tb_connect \"" + m_path + "\" \"r\")").c_str(), "T"},
      {"(tb_readonly)", "T"},
      {"(tb_table \"Parts\" \"PrimaryKey\")", "\"Parts\""},
      {"(tb_getrec)", kBolt},
      {"(tb_delete)", "nil"},
      {"(tb_append '((\"Name\" \"x\") (\"Note\" \"n\")))", "nil"},
      {"(tb_replace '((\"Qty\" 1)))", "nil"},
      {"(tb_count)", "3"},
      {"(tb_lastError)", "\"\""},
  });
}

TEST_F(DbRecordFunctionsTest, KeysThatDoNotFitTheIndexFindNothing) {
  ASSERT_EQ(eval("(tb_table \"Parts\" \"PrimaryKey\")"), "\"Parts\"");
  for (const char* form : {"(tb_seek \"one\")", "(tb_seek T)", "(tb_seek 1e300)", "(tb_seek -1)",
                           "(tb_seek nil 1)", "(tb_seek '())", "(tb_seek '(nil))"}) {
    SCOPED_TRACE(form);
    EXPECT_EQ(eval(form), "nil");
  }
  // The table is still usable afterwards.
  EXPECT_EQ(eval("(tb_seek 3)"), kWasher);
}
