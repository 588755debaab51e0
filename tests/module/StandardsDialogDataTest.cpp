// What the standards dialogs read and write, apart from their grids: text style rows
// and the required default, label rows per mode and their updates run against the
// database, the discipline options of a layer system (degrees shown, radians stored,
// only the discipline's columns written), the lineweight and name rules, and the
// layer system, key and layer changes read back from the tables.
#include <sys/stat.h>

#include "HostTesting.h"
#include "WinUserTesting.h"
#include "StandardsTestDatabase.h"
#include "standards/StandardsDialogRun.h"
#include "standards/LabelOrderRows.h"
#include "standards/LayerRules.h"
#include "standards/LayerStandards.h"
#include "standards/LayerSystemOptions.h"
#include "standards/StandardsSql.h"
#include "standards/TextStyleRows.h"

namespace {

using namespace tabrik::arx::standards;
using Strings = std::vector<std::wstring>;
using tabrik::testing::narrow;

class StandardsDialogDataTest : public tabrik::testing::StandardsDatabaseTest {
 protected:
  void execute(const CString& statement) {
    long affected = 0;
    ASSERT_TRUE(m_connection.ExecuteSQL(statement, affected)) << narrow(statement);
  }
};

TEST_F(StandardsDialogDataTest, TextStyleRowsFollowTheKeyIndexAndTheShowCallback) {
  std::vector<TextStyleRow> rows;
  ASSERT_TRUE(loadTextStyleRows(
      m_connection, [](const CString& key) { return key != L"Tags"; }, rows));
  Strings keys, heights, scales;
  for (const TextStyleRow& row : rows) {
    keys.push_back(row.key.GetString());
    heights.push_back(row.height.GetString());
    scales.push_back(row.scale.GetString());
  }
  EXPECT_EQ(keys, (Strings{L"Default", L"Notes", L"Schedule", L"Title"}));
  EXPECT_EQ(heights, (Strings{L"0.0938", L"0.125", L"0.1", L"0.25"}));
  EXPECT_EQ(scales, (Strings{L"1", L"", L"1.1", L"0.85"}));
  EXPECT_EQ(rows[0].style, L"Standard");
}

TEST_F(StandardsDialogDataTest, OnlyTheExactDefaultKeysNeedAStyleAndAHeight) {
  struct Case {
    const wchar_t* key;
    const wchar_t* style;
    const wchar_t* height;
    const wchar_t* message;  // nullptr: OK goes on
  } cases[] = {
      {L"Default", L"  ", L"0.1", L"DEFAULT \"Text Style\" must have a value."},
      {L"DEFAULT", L"Standard", L"", L"DEFAULT \"Height\" must have a value."},
      {L"DEFAULT", L"", L"", L"DEFAULT \"Text Style\" must have a value."},
      {L"default", L"", L"", nullptr},
      {L"DeFault", L"", L"", nullptr},
      {L"Default", L"Standard", L"0.1", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(narrow(c.key));
    std::vector<TextStyleRow> rows = {{L"Notes", 3, L"", L"", L""},
                                      {c.key, 1, c.style, c.height, L""}};
    auto missing = findMissingDefault(rows);
    ASSERT_EQ(missing.has_value(), c.message != nullptr);
    if (missing) {
      EXPECT_STREQ(missing->message, c.message);
      EXPECT_EQ(missing->row, 1u);
    }
  }
}

TEST_F(StandardsDialogDataTest, TextStyleUpdatesWriteNullsAndQuotedNames) {
  execute(textStyleUpdate({L"Title", 2, L"O'Neil Bold", L"0.3", L""}));
  execute(textStyleUpdate({L"Notes", 3, L"", L"", L"1.5"}));
  EXPECT_EQ(column(L"SELECT sStyleName & '|' & dHeight & '|' & dScaleFactor FROM tblTextStyle "
                   L"WHERE ixTextStyle IN (2, 3) ORDER BY ixTextStyle"),
            (Strings{L"O'Neil Bold|0.3|", L"||1.5"}));
  EXPECT_EQ(
      column(L"SELECT count(*) FROM tblTextStyle WHERE ixTextStyle = 3 AND sStyleName Is Null "
             L"AND dHeight Is Null"),
      Strings{L"1"});
}

TEST_F(StandardsDialogDataTest, LabelRowsLoadInSortOrderAndSaveByMode) {
  std::vector<LabelRow> rows;
  ASSERT_TRUE(loadLabelRows(m_connection, L"DuctSchedule", rows));
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].key, kScheduleTitle);
  EXPECT_EQ(rows[0].width, L"");
  EXPECT_EQ(rows[0].justification, L"");
  EXPECT_EQ(rows[2].width, L"1.25");
  EXPECT_EQ(rows[3].label, L"CFM");
  EXPECT_FALSE(rows[4].display);

  // The user moves Remarks above Flow, renames, empties a label, widens the tag.
  std::swap(rows[3], rows[4]);
  rows[1].label = L"Mark's";
  rows[2].label = L"";
  rows[1].width = L"0.8";
  rows[1].justification = L"";
  struct Case {
    const wchar_t* mode;
    const wchar_t* tagRow;  // sLabel|dWidth|sJustification|bDisplay|iSortOrder of the Tag row
  } cases[] = {
      {L"", L"Mark's|0.75|Center|-1|2"},
      {L"SAME", L"Mark's|0.8|Center|-1|2"},
      {L"Both", L"Mark's|0.8|Left|-1|2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(narrow(c.mode));
    run(L"UPDATE tblLabelGroup SET dWidth = 0.75, sJustification = 'Center' WHERE ixLabelGroup = "
        L"2");
    for (std::size_t i = 0; i < rows.size(); ++i) {
      execute(labelUpdate(rows[i], static_cast<int>(i + 1), labelModeOf(c.mode)));
    }
    EXPECT_EQ(column(L"SELECT sLabel & '|' & dWidth & '|' & sJustification & '|' & bDisplay & '|' "
                     L"& iSortOrder FROM tblLabelGroup WHERE ixLabelGroup = 2"),
              Strings{c.tagRow});
  }
  EXPECT_EQ(
      column(L"SELECT sKey FROM tblLabelGroup WHERE sGroup = 'DuctSchedule' ORDER BY iSortOrder"),
      (Strings{L"Schedule Title", L"Tag", L"Size", L"Remarks", L"Flow"}));
  // An empty label is stored as one blank, which reads back empty.
  EXPECT_EQ(column(L"SELECT '[' & sLabel & ']' FROM tblLabelGroup WHERE ixLabelGroup = 3"),
            Strings{L"[ ]"});
  EXPECT_EQ(column(L"SELECT iSortOrder FROM tblLabelGroup WHERE ixLabelGroup = 1"), Strings{L"-1"});
}

TEST_F(StandardsDialogDataTest, LayerSystemOptionsShowDegreesAndWriteOnlyTheDisciplinesColumns) {
  CTblLayerSystem record(&m_connection);
  LayerSystemOptions options;
  ASSERT_TRUE(loadLayerSystemOptions(record, 1, options));
  EXPECT_EQ(options.hatch[0].angle, L"45");  // pi/4 with pi = 3.14159265
  EXPECT_EQ(options.hatch[2].angle, L"90");
  EXPECT_EQ(options.hatch[2].scale, L"2.25");
  EXPECT_EQ(options.hatch[2].type, L"Custom");
  EXPECT_EQ(options.hatchOverhang, L"0.125");
  EXPECT_EQ(options.prefix, L"S-");

  options.description = L"Standard 2";
  options.solid = true;
  options.prefix = L"X-";
  options.hatch[1].angle = L"30";
  options.hatch[1].on = false;
  options.hatchOverhang = L"0.5";
  struct Case {
    Discipline discipline;
    const wchar_t* row;  // sDescription|bSolid|sPrefix|returnHatchOn|dHatchOverhang
  } cases[] = {
      {Discipline::Plumbing, L"Standard 2|0|S-|-1|0.125"},
      {Discipline::Electrical, L"Standard 2|-1|S-|-1|0.125"},
      {Discipline::HVAC, L"Standard 2|-1|X-|0|0.5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.discipline));
    ASSERT_TRUE(saveLayerSystemOptions(record, 1, options, c.discipline));
    EXPECT_EQ(column(L"SELECT sDescription & '|' & bSolid & '|' & sPrefix & '|' & returnHatchOn & "
                     L"'|' & dHatchOverhang FROM tblLayerSystem WHERE ixLayerSystem = 1"),
              Strings{c.row});
  }
  LayerSystemOptions again;
  ASSERT_TRUE(loadLayerSystemOptions(record, 1, again));
  EXPECT_EQ(again.hatch[1].angle, L"30");
  EXPECT_EQ(again.hatch[0].angle, L"45");
  // An id that names no row writes nothing.
  EXPECT_FALSE(saveLayerSystemOptions(record, 99, options, Discipline::HVAC));
  EXPECT_EQ(column(L"SELECT count(*) FROM tblLayerSystem"), Strings{L"3"});
}

TEST(StandardsLayerRules, LineweightsNamesAndColours) {
  struct Shown {
    std::optional<CString> stored;
    const wchar_t* shown;
  } shown[] = {{CString(L"25"), L"0.25 mm"}, {CString(L"50"), L"0.5 mm"},
               {CString(L"0"), L"0 mm"},     {CString(L"211"), L"2.11 mm"},
               {CString(L""), L"Default"},   {std::nullopt, L"Default"}};
  for (const Shown& s : shown) EXPECT_EQ(lineweightShown(s.stored), s.shown);

  struct Stored {
    const wchar_t* shown;
    std::optional<CString> stored;
  } stored[] = {{L"0.35 mm", CString(L"35")}, {L"Default", std::nullopt},
                {L"", std::nullopt},          {L"0.00 mm", CString(L"0")},
                {L"1.2", CString(L"120")},    {L"0.29 mm", CString(L"28")}};
  for (const Stored& s : stored) EXPECT_EQ(lineweightStored(s.shown), s.stored) << narrow(s.shown);
  for (const wchar_t* bad : {L"A>B", L"a<b", L"x/y", L"x\\y", L"O'K", L"\"q\"", L"a:b", L"a;b",
                             L"a?b", L"a*b", L"a|b", L"a,b", L"a=b"}) {
    EXPECT_TRUE(hasInvalidLayerCharacters(bad)) << narrow(bad);
  }
  EXPECT_FALSE(hasInvalidLayerCharacters(L"M-DUCT_SUPP $1 (new)"));

  const std::vector<CString> existing = {L"Standard", L"Renovation"};
  struct Name {
    const wchar_t* name;
    const wchar_t* refusal;
  } names[] = {{L"  ", L"Invalid layer system name."},
               {L" general ", L"Invalid layer system name."},
               {L"RENOVATION", L"A layer system with that name already exists."},
               {L" Standard", L"A layer system with that name already exists."},
               {L"Generalized", nullptr}};
  for (const Name& n : names) {
    const wchar_t* refusal = refuseLayerSystemName(n.name, existing);
    if (n.refusal == nullptr) {
      EXPECT_EQ(refusal, nullptr) << narrow(n.name);
    } else {
      EXPECT_STREQ(refusal, n.refusal) << narrow(n.name);
    }
  }
  EXPECT_EQ(clampColorIndex(0), 1);
  EXPECT_EQ(clampColorIndex(256), 255);
  EXPECT_EQ(clampColorIndex(140), 140);
}

TEST_F(StandardsDialogDataTest, LayerSystemsAreCreatedWithCopiedKeysReorderedAndDeleted) {
  auto id = createLayerSystem(m_connection, L"Tenant", 2);
  ASSERT_TRUE(id.has_value());
  EXPECT_EQ(column(L"SELECT iSortOrder FROM tblLayerSystem WHERE sDescription = 'Tenant'"),
            Strings{L"4"});
  EXPECT_EQ(column(sql::layerKeysOfSystem(*id)).size(), 3u);

  std::vector<SystemRow> systems;
  ASSERT_TRUE(loadSystemRows(m_connection, systems));
  ASSERT_EQ(systems.size(), 5u);
  EXPECT_EQ(systems[0].id, kGeneralSystemId);
  EXPECT_EQ(systems[4].name, L"Tenant");
  // Tenant moves to the top of the named systems and Standard is renamed.
  std::rotate(systems.begin() + 1, systems.begin() + 4, systems.end());
  systems[2].name = L"House Standard";
  ASSERT_TRUE(saveSystemRows(m_connection, systems));
  EXPECT_EQ(
      column(L"SELECT sDescription & ':' & iSortOrder FROM tblLayerSystem ORDER BY iSortOrder"),
      (Strings{L"Tenant:2", L"House Standard:3", L"Renovation:4", L"Client Legacy:5"}));

  ASSERT_TRUE(deleteLayerSystem(m_connection, *id));
  EXPECT_TRUE(column(sql::layerKeysOfSystem(*id)).empty());
  EXPECT_EQ(column(L"SELECT count(*) FROM tblLayerSystem"), Strings{L"3"});
}

TEST_F(StandardsDialogDataTest, LayersAreAppendedSavedAndDeletedUnderTheRules) {
  std::vector<LayerRow> layers;
  ASSERT_TRUE(loadLayerRows(m_connection, layers));
  ASSERT_EQ(layers.size(), 16u);
  EXPECT_EQ(layers.front().name, L"E-CABL-TRAY");  // the "sName" index order
  auto dims =
      std::find_if(layers.begin(), layers.end(), [](auto& l) { return l.name == L"G-ANNO-DIMS"; });
  ASSERT_NE(dims, layers.end());
  EXPECT_EQ(dims->lineweight, L"Default");

  LayerRow fresh{0, L"New Layer", 300, L"Continuous", false, L"0.35 mm", L""};
  auto id = appendLayer(m_connection, fresh);
  ASSERT_TRUE(id.has_value());
  EXPECT_EQ(column(L"SELECT iColor & '|' & sLineweight & '|' & bPlot & '|' & (sPlotstyle Is Null) "
                   L"FROM tblLayer WHERE sName = 'New Layer'"),
            Strings{L"255|35|0|-1"});
  EXPECT_TRUE(layerNameTaken(m_connection, L"new layer", 0));
  EXPECT_FALSE(layerNameTaken(m_connection, L"new layer", *id));
  EXPECT_FALSE(layerIsReferenced(m_connection, *id));
  EXPECT_TRUE(layerIsReferenced(m_connection, 1));

  dims->lineweight = L"Default";
  dims->color = 0;
  dims->plotStyle = L"Heavy";
  ASSERT_TRUE(saveLayerRows(m_connection, {*dims}));
  EXPECT_EQ(column(L"SELECT iColor & '|' & (sLineweight Is Null) & '|' & sPlotstyle FROM tblLayer "
                   L"WHERE sName = 'G-ANNO-DIMS'"),
            Strings{L"1|-1|Heavy"});

  // Keys take the layer chosen for them.
  ASSERT_TRUE(saveKeyRows(m_connection, {KeyRow{L"Text", 1, L"Text", *id, L"New Layer"}}));
  EXPECT_TRUE(layerIsReferenced(m_connection, *id));
  EXPECT_FALSE(layerIsReferenced(m_connection, 6));
  ASSERT_TRUE(runStatement(m_connection, sql::deleteUnusedLayers()));
  EXPECT_EQ(column(L"SELECT sName FROM tblLayer WHERE ixLayer IN (6, 12, 16)"),
            Strings{L"E-LITE-FIXT"});
  ASSERT_TRUE(deleteLayer(m_connection, *id));
  EXPECT_FALSE(deleteLayer(m_connection, *id));
}

}  // namespace

namespace {

using tabrik::arx::standards::StandardsDatabase;

// Opening a standards database for a dialog: a read-only file is refused with its
// message box, a missing one with the failure printed in the form asked for.
TEST_F(StandardsDialogDataTest, TheDialogsRefuseReadOnlyAndMissingDatabases) {
  std::vector<tabrik::win::testing::MessageBoxRequest> boxes;
  auto previous = tabrik::win::testing::setMessageBoxHandler(
      [&boxes](const tabrik::win::testing::MessageBoxRequest& request) {
        boxes.push_back(request);
        return IDOK;
      });
  m_connection.Close();
  ASSERT_EQ(chmod(narrow(m_path).c_str(), 0444), 0);
  {
    StandardsDatabase database;
    EXPECT_FALSE(database.Open(m_path, StandardsDatabase::Report::DatabaseError));
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"Norvane");
  EXPECT_EQ(boxes[0].text, L"Database is read-only. Cannot be viewed at this time.");
  boxes.clear();

  struct Case {
    StandardsDatabase::Report report;
    const char* printed;
  } cases[] = {{StandardsDatabase::Report::DatabaseError, "\nDatabase Error: Could not find file"},
               {StandardsDatabase::Report::TabrikError, "\nTabrik Error: Could not find file"}};
  for (const Case& c : cases) {
    tabrik::acad::testing::OutputCapture output;
    StandardsDatabase database;
    EXPECT_FALSE(database.Open(CString((m_folder + "/none.mdb").c_str()), c.report));
    EXPECT_EQ(output.take().rfind(c.printed, 0), 0u) << c.printed;
  }
  EXPECT_TRUE(boxes.empty());
  tabrik::win::testing::setMessageBoxHandler(previous);
}

}  // namespace
