// The database layer's per-drawing records: one per drawing load at the front, the
// document switch bringing the active drawing's record to the front, and the records
// going with their drawings (all of them with the last drawing).
#include <gtest/gtest.h>

#include "HostTesting.h"
#include "db/ConnectionList.h"
#include "aced/doc/DocManager.h"

using namespace tabrik::arx;
using tabrik::acad::docManager;
using tabrik::acad::Document;

namespace {

class ConnectionListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tabrik::acad::testing::resetHost();
    db::discardAllConnections();
  }
  void TearDown() override {
    db::discardAllConnections();
    tabrik::acad::testing::resetHost();
  }

  // Opens a drawing and adds its record, as the drawing load message does.
  Document* load(const std::wstring& name) {
    Document* document = docManager().open(name);
    EXPECT_TRUE(db::AddDocumentRecord());
    return document;
  }

  static std::vector<std::wstring> recordNames() {
    std::vector<std::wstring> names;
    for (const auto& record : db::connectionList()) names.push_back(record->docName);
    return names;
  }
};

}  // namespace

TEST_F(ConnectionListTest, EachLoadPutsAnEmptyRecordInFront) {
  load(L"Drawing1.dwg");
  load(L"Drawing2.dwg");
  EXPECT_EQ(recordNames(), (std::vector<std::wstring>{L"Drawing2.dwg", L"Drawing1.dwg"}));
  const DB_INFO& first = *db::connectionList().front();
  EXPECT_EQ(first.connection, nullptr);
  EXPECT_TRUE(first.dbPath.empty());
  EXPECT_FALSE(first.readOnly);
}

TEST_F(ConnectionListTest, SwitchBringsTheActiveDrawingsRecordToTheFront) {
  Document* one = load(L"Drawing1.dwg");
  load(L"Drawing2.dwg");
  load(L"Drawing3.dwg");
  docManager().activateDocument(one, false);
  db::documentSwitch();
  // The two positions exchange their records; the middle one stays.
  EXPECT_EQ(recordNames(),
            (std::vector<std::wstring>{L"Drawing1.dwg", L"Drawing2.dwg", L"Drawing3.dwg"}));
  EXPECT_EQ(db::currentConnection(), nullptr);
  EXPECT_EQ(db::currentPath(), L"");
  EXPECT_EQ(db::currentReadOnly(), 0);
  db::documentSwitch();
  EXPECT_EQ(recordNames(),
            (std::vector<std::wstring>{L"Drawing1.dwg", L"Drawing2.dwg", L"Drawing3.dwg"}));
}

TEST_F(ConnectionListTest, ADrawingWithoutRecordHasNoCurrentConnection) {
  load(L"Drawing1.dwg");
  docManager().open(L"Unrecorded.dwg");
  db::documentSwitch();
  EXPECT_EQ(db::currentConnection(), nullptr);
  EXPECT_EQ(recordNames(), (std::vector<std::wstring>{L"Drawing1.dwg"}));
}

TEST_F(ConnectionListTest, ReleaseDropsTheClosingDrawingsRecordAndEverythingWithTheLast) {
  Document* one = load(L"Drawing1.dwg");
  Document* two = load(L"Drawing2.dwg");
  docManager().activateDocument(one, false);
  db::ReleaseDocument();
  EXPECT_EQ(recordNames(), (std::vector<std::wstring>{L"Drawing2.dwg"}));
  docManager().close(one);

  // A free record (no drawing) goes with the last drawing too.
  db::connectionList().push_back(std::make_unique<DB_INFO>());
  docManager().activateDocument(two, false);
  db::ReleaseDocument();
  EXPECT_TRUE(db::connectionList().empty());
}

TEST_F(ConnectionListTest, CurrentValuesAreSetAndClearedTogether) {
  load(L"Drawing1.dwg");
  CDBConnection* connection = db::createConnection();
  db::SetCurrent(connection, L"C:\\data\\std.mdb", /*readOnly=*/true);
  EXPECT_EQ(db::currentConnection(), connection);
  EXPECT_EQ(db::currentPath(), L"C:\\data\\std.mdb");
  EXPECT_EQ(db::currentReadOnly(), -1);
  db::ClearCurrent();
  EXPECT_EQ(db::currentConnection(), nullptr);
  EXPECT_EQ(db::currentPath(), L"");
  EXPECT_EQ(db::currentReadOnly(), 0);
  db::destroyConnection(connection);
}
