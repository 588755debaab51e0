// The standards record cursors and fixed statements on the sample standards database:
// what a record loads (types, nulls, trimmed text), navigation by a named index, what
// Save writes in each mode (only the changed columns, nulls as Null), and the refusals:
// a key that is gone, a table or column the database lacks, a read-only file. The
// statements are checked by what they do to the data, not by their text.
#include <sys/stat.h>

#include "StandardsTestDatabase.h"
#include "standards/StandardsSql.h"
#include "standards/TblLayer.h"
#include "standards/TblLayerKey.h"
#include "standards/TblLayerSystem.h"
#include "standards/TblTextStyle.h"

namespace {

using namespace tabrik::arx::standards;
using Strings = std::vector<std::wstring>;
using tabrik::testing::narrow;

class StandardsRecordTest : public tabrik::testing::StandardsDatabaseTest {};

TEST_F(StandardsRecordTest, FindByKeyLoadsEachColumnInItsTypeWithNulls) {
  CTblLayer layer(&m_connection);
  ASSERT_TRUE(layer.FindByKey(5));
  EXPECT_EQ(layer.Key(), 5);
  EXPECT_EQ(layer.GetText(CTblLayer::kName), L"M-EQPM");
  EXPECT_TRUE(layer.GetBool(CTblLayer::kRGBColor));
  EXPECT_EQ(layer.GetOptionalLong(CTblLayer::kColor), 2);
  EXPECT_EQ(layer.GetOptionalLong(CTblLayer::kRed), 255);
  EXPECT_EQ(layer.GetText(CTblLayer::kLineweight), L"50");
  EXPECT_TRUE(layer.IsNull(CTblLayer::kPlotstyle));
  EXPECT_TRUE(layer.IsNull(CTblLayer::kMasterDatabase));

  ASSERT_TRUE(layer.FindByKey(15));  // G-ANNO-LEAD: no colour
  EXPECT_EQ(layer.GetOptionalLong(CTblLayer::kColor), std::nullopt);
  EXPECT_FALSE(layer.IsNull(CTblLayer::kLineweight));

  CTblTextStyle style(&m_connection);
  ASSERT_TRUE(style.FindByKey(3));  // Notes: no scale factor
  EXPECT_EQ(style.GetOptionalDouble(CTblTextStyle::kHeight), 0.125);
  EXPECT_EQ(style.GetOptionalDouble(CTblTextStyle::kScaleFactor), std::nullopt);

  CTblLayerKey key(&m_connection);
  ASSERT_TRUE(key.FindByKey(1));  // a key of the general system
  EXPECT_TRUE(key.IsNull(CTblLayerKey::kIxLayerSystem));
  EXPECT_EQ(key.GetText(CTblLayerKey::kKey), L"Text");

  EXPECT_FALSE(layer.FindByKey(999));
  EXPECT_FALSE(m_connection.HasError());
}

TEST_F(StandardsRecordTest, TextLosesTrailingBlanksAndNamesAreFoundInAnyCase) {
  run(L"UPDATE tblLayerSystem SET sDescription = 'Standard   ' WHERE ixLayerSystem = 1");
  CTblLayerSystem system(&m_connection);
  ASSERT_TRUE(system.FindByKey(1));
  EXPECT_EQ(system.GetText(CTblLayerSystem::kDescription), L"Standard");
  // An empty text is stored as one blank and reads as empty.
  EXPECT_EQ(system.GetText(CTblLayerSystem::kSuffix), L"");

  CTblLayer layer(&m_connection);
  struct Case {
    const wchar_t* name;
    long key;  // 0: not found
  } cases[] = {{L"P-DOMW-HWTR", 9}, {L"p-domw-hwtr", 9}, {L"E-Cabl-Tray", 13}, {L"P-DOMW", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(narrow(c.name));
    EXPECT_EQ(layer.FindByName(c.name), c.key != 0);
    if (c.key != 0) {
      EXPECT_EQ(layer.Key(), c.key);
    }
  }
}

TEST_F(StandardsRecordTest, NavigationFollowsTheIndexSet) {
  run(L"UPDATE tblLayerSystem SET iSortOrder = 0 WHERE ixLayerSystem = 3");
  CTblLayerSystem system(&m_connection);
  ASSERT_TRUE(system.SetIndex(L"iSortOrder"));
  Strings seen;
  for (bool more = system.MoveFirst(); more; more = system.MoveNext()) {
    seen.push_back(system.GetText(CTblLayerSystem::kDescription).GetString());
  }
  EXPECT_EQ(seen, (Strings{L"Client Legacy", L"Standard", L"Renovation"}));
  EXPECT_TRUE(system.IsEOF());
  ASSERT_TRUE(system.MoveLast());
  EXPECT_EQ(system.Key(), 2);
  EXPECT_FALSE(system.IsEOF());
}

TEST_F(StandardsRecordTest, NewSavesOnlyTheColumnsSetAndBecomesAnEditOfTheNewRecord) {
  CTblLayerSystem system(&m_connection);
  ASSERT_TRUE(system.FindByKey(1));
  system.New();
  EXPECT_TRUE(system.IsNull(CTblLayerSystem::kDescription));
  system.SetText(CTblLayerSystem::kDescription, L"Tenant Fit-out");
  system.SetLong(CTblLayerSystem::kSortOrder, 4);
  system.SetDouble(
      CTblLayerSystem::HatchColumn(CTblLayerSystem::kExhaust, CTblLayerSystem::kHatchAngle), 0.5);
  ASSERT_TRUE(system.Save());
  EXPECT_EQ(system.GetMode(), CStandardsRecord::Mode::Edit);
  const long id = system.Key();
  EXPECT_GT(id, 3);
  EXPECT_EQ(column(L"SELECT sDescription FROM tblLayerSystem WHERE iSortOrder = 4"),
            Strings{L"Tenant Fit-out"});
  EXPECT_EQ(column(L"SELECT exhaustHatchAngle FROM tblLayerSystem WHERE iSortOrder = 4"),
            Strings{L"0.5"});
  // Columns never set stay Null.
  EXPECT_EQ(column(L"SELECT count(*) FROM tblLayerSystem WHERE iSortOrder = 4 AND sPrefix Is Null "
                   L"AND supplyHatchPattern Is Null AND dHatchOverhang Is Null"),
            Strings{L"1"});

  // The same object saves again as an edit of the record it made.
  system.SetText(CTblLayerSystem::kPrefix, L"T-");
  ASSERT_TRUE(system.Save());
  EXPECT_EQ(column(L"SELECT count(*) FROM tblLayerSystem"), Strings{L"4"});
  EXPECT_EQ(column(L"SELECT sPrefix FROM tblLayerSystem WHERE iSortOrder = 4"), Strings{L"T-"});
}

TEST_F(StandardsRecordTest, EditReplacesOnlyChangedColumnsAndWritesNullsAsNull) {
  CTblLayer layer(&m_connection);
  ASSERT_TRUE(layer.FindByKey(1));
  layer.Edit();
  // Another cursor moves the table meanwhile; the edit still goes to its own key.
  CTblLayer other(&m_connection);
  ASSERT_TRUE(other.FindByKey(10));
  layer.SetText(CTblLayer::kName, L"M-DUCT-SUPPLY");
  layer.SetNull(CTblLayer::kLineweight);
  layer.SetBool(CTblLayer::kPlot, false);
  ASSERT_TRUE(layer.Save());
  EXPECT_EQ(column(L"SELECT sName FROM tblLayer WHERE ixLayer = 1"), Strings{L"M-DUCT-SUPPLY"});
  EXPECT_EQ(column(L"SELECT count(*) FROM tblLayer WHERE ixLayer = 1 AND sLineweight Is Null AND "
                   L"bPlot = False AND iColor = 4 AND sPlotstyle = 'Normal'"),
            Strings{L"1"});
  EXPECT_EQ(column(L"SELECT sName FROM tblLayer WHERE ixLayer = 10"), Strings{L"P-SANR-PIPE"});
}

TEST_F(StandardsRecordTest, SaveAndDeleteFailWhenTheKeyIsGone) {
  CTblTextStyle style(&m_connection);
  ASSERT_TRUE(style.FindByKey(4));
  style.Edit();
  run(L"DELETE FROM tblTextStyle WHERE ixTextStyle = 4");
  style.SetText(CTblTextStyle::kStyleName, L"Standard");
  EXPECT_FALSE(style.Save());
  EXPECT_FALSE(style.Delete());
  EXPECT_EQ(column(L"SELECT count(*) FROM tblTextStyle"), Strings{L"4"});

  ASSERT_TRUE(style.FindByKey(2));
  ASSERT_TRUE(style.Delete());
  EXPECT_EQ(column(L"SELECT sKey FROM tblTextStyle ORDER BY ixTextStyle"),
            (Strings{L"Default", L"Notes", L"Schedule"}));
}

TEST_F(StandardsRecordTest, MissingTablesAndColumnsFailOnlyWhatNeedsThem) {
  run(L"ALTER TABLE tblTextStyle DROP COLUMN dScaleFactor");
  CTblTextStyle style(&m_connection);
  ASSERT_TRUE(style.FindByKey(1));
  EXPECT_EQ(style.GetText(CTblTextStyle::kStyleName), L"Standard");
  EXPECT_TRUE(style.IsNull(CTblTextStyle::kScaleFactor));
  style.Edit();
  style.SetDouble(CTblTextStyle::kHeight, 0.2);
  style.SetDouble(CTblTextStyle::kScaleFactor, 2);
  EXPECT_FALSE(style.Save());
  EXPECT_TRUE(m_connection.HasError());
  // Nothing of the failed save was written.
  EXPECT_EQ(column(L"SELECT dHeight FROM tblTextStyle WHERE ixTextStyle = 1"), Strings{L"0.09375"});

  run(L"DROP TABLE tblLayerKey");
  CTblLayerKey key(&m_connection);
  EXPECT_FALSE(key.FindByKey(1));
  EXPECT_TRUE(m_connection.HasError());
  EXPECT_FALSE(key.MoveFirst());
  key.New();
  key.SetText(CTblLayerKey::kKey, L"Orphan");
  EXPECT_FALSE(key.Save());
}

TEST_F(StandardsRecordTest, AReadOnlyDatabaseReadsButDoesNotSave) {
  m_connection.Close();
  ASSERT_EQ(chmod(narrow(m_path).c_str(), 0444), 0);
  ASSERT_FALSE(m_connection.Open(m_path, false, false).IsEmpty());
  ASSERT_TRUE(m_connection.IsReadOnly());
  CTblLayer layer(&m_connection);
  ASSERT_TRUE(layer.FindByName(L"X-SPARE"));
  layer.Edit();
  layer.SetLong(CTblLayer::kColor, 1);
  EXPECT_FALSE(layer.Save());
  layer.New();
  layer.SetText(CTblLayer::kName, L"New Layer");
  EXPECT_FALSE(layer.Save());
  EXPECT_EQ(column(L"SELECT count(*) FROM tblLayer WHERE iColor = 9 OR sName = 'New Layer'"),
            Strings{L"1"});
}

TEST_F(StandardsRecordTest, FixedStatementsDoWhatTheirNamesSay) {
  // Keys of a named system and of the general one, in key order.
  // ReturnDuct, Sanitary, SupplyDuct; and Dimension, Leader, NoPlot, Text.
  EXPECT_EQ(column(sql::layerKeysOfSystem(2)), (Strings{L"15", L"16", L"14"}));
  EXPECT_EQ(column(sql::layerKeysOfGeneralSystem()), (Strings{L"2", L"3", L"4", L"1"}));
  EXPECT_EQ(column(sql::keysReferencingLayer(1)), (Strings{L"5", L"14"}));
  EXPECT_TRUE(column(sql::keysReferencingLayer(16)).empty());

  long affected = 0;
  ASSERT_TRUE(m_connection.ExecuteSQL(sql::copySystemKeys(3, 2), affected));
  EXPECT_EQ(affected, 3);
  EXPECT_EQ(column(L"SELECT sKey FROM tblLayerKey WHERE ixLayerSystem = 3 ORDER BY sKey"),
            (Strings{L"Lighting", L"ReturnDuct", L"Sanitary", L"SupplyDuct", L"SupplyDuct"}));

  ASSERT_TRUE(m_connection.ExecuteSQL(sql::deleteSystemKeys(3), affected));
  EXPECT_EQ(affected, 5);
  ASSERT_TRUE(m_connection.ExecuteSQL(sql::deleteSystem(3), affected));
  EXPECT_EQ(affected, 1);
  EXPECT_EQ(column(L"SELECT sDescription FROM tblLayerSystem ORDER BY iSortOrder"),
            (Strings{L"Standard", L"Renovation"}));

  // Layers 12 (only system 3 used it) and 16 are no longer referenced.
  ASSERT_TRUE(m_connection.ExecuteSQL(sql::deleteUnusedLayers(), affected));
  EXPECT_EQ(column(L"SELECT sName FROM tblLayer WHERE ixLayer IN (12, 16)"), Strings{});
  EXPECT_EQ(column(L"SELECT count(*) FROM tblLayer"), Strings{L"14"});

  run(L"INSERT INTO tblLabelGroup (sGroup, sKey, sLabel, iSortOrder) VALUES ('O''Brien', 'A', "
      L"'x', 1)");
  EXPECT_EQ(column(sql::labelGroupRows(L"O'Brien")), Strings{L"9"});
  EXPECT_EQ(column(sql::labelGroupRows(L"PipeSchedule")), (Strings{L"6", L"7", L"8"}));
}

TEST(StandardsSqlText, QuotingAndNumberDisplay) {
  struct Quote {
    const wchar_t* text;
    const wchar_t* quoted;
  } quotes[] = {{L"Left", L"'Left'"},
                {L"", L"' '"},
                {L"O'Brien", L"'O''Brien'"},
                {L"''", L"''''''"},
                {L" ", L"' '"}};
  for (const Quote& q : quotes) EXPECT_EQ(sql::quote(q.text), q.quoted);

  struct Number {
    double value;
    int decimals;
    const wchar_t* shown;
  } numbers[] = {{0.25, 2, L"0.25"},     {0.5, 2, L"0.5"},        {0, 2, L"0"},
                 {45.0000001, 2, L"45"}, {1.23456, 4, L"1.2346"}, {-0.001, 2, L"0"},
                 {2.75, 0, L"3"},        {10, 4, L"10"},          {-12.5, 4, L"-12.5"}};
  for (const Number& n : numbers) {
    SCOPED_TRACE(n.value);
    EXPECT_EQ(sql::formatNumber(n.value, n.decimals), n.shown);
  }
}

}  // namespace
