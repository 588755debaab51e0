// tbEditorReactor: a save of the active drawing under another name closes the
// database the drawing had open; a save under its own name, or of another database,
// changes nothing.
#include <gtest/gtest.h>

#include "HostTesting.h"
#include "db/CDBConnection.h"
#include "db/ConnectionList.h"
#include "aced/doc/DocManager.h"
#include "host/tbEditorReactor.h"

using namespace tabrik::arx;
using tabrik::acad::docManager;
using tabrik::acad::Document;

namespace {

class EditorReactorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tabrik::acad::testing::resetHost();
    db::discardAllConnections();
    one = docManager().open(L"C:\\Jobs\\One.dwg");
    db::AddDocumentRecord();
    two = docManager().open(L"C:\\Jobs\\Two.dwg");
    db::AddDocumentRecord();
    connection = db::createConnection();
    DB_INFO& first = *db::connectionList().front();
    first.connection = connection;
    first.dbPath = L"C:\\Data\\std.mdb";
    db::SetCurrent(connection, first.dbPath, /*readOnly=*/false);
  }
  void TearDown() override {
    db::discardAllConnections();
    tabrik::acad::testing::resetHost();
  }

  Document* one = nullptr;
  Document* two = nullptr;
  CDBConnection* connection = nullptr;
  tbEditorReactor reactor;
};

}  // namespace

TEST_F(EditorReactorTest, SaveUnderANewNameClosesTheDatabase) {
  reactor.saveComplete(two->database(), L"C:\\Jobs\\Two-renamed.dwg");
  EXPECT_EQ(db::currentPath(), L"");
  EXPECT_EQ(db::connectionList().front()->dbPath, L"");
  // tb_close_db's work keeps the closed connection current.
  EXPECT_EQ(db::currentConnection(), connection);
}

TEST_F(EditorReactorTest, SaveUnderTheSameNameOrOfAnotherDrawingChangesNothing) {
  struct Case {
    const char* name;
    bool activeDatabase;
    const wchar_t* savedAs;
  };
  const Case cases[] = {
      {"same name", true, L"C:\\Jobs\\Two.dwg"},
      {"inactive drawing saved under a new name", false, L"C:\\Jobs\\Elsewhere.dwg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reactor.saveComplete(c.activeDatabase ? two->database() : one->database(), c.savedAs);
    EXPECT_EQ(db::currentPath(), L"C:\\Data\\std.mdb");
    EXPECT_EQ(db::connectionList().front()->dbPath, L"C:\\Data\\std.mdb");
  }
}

TEST_F(EditorReactorTest, NameComparisonIsCaseSensitive) {
  reactor.saveComplete(two->database(), L"C:\\JOBS\\TWO.DWG");
  EXPECT_EQ(db::currentPath(), L"");
}

TEST_F(EditorReactorTest, ARecordWhoseConnectionIsNotCurrentKeepsItsDatabase) {
  db::ClearCurrent();
  reactor.saveComplete(two->database(), L"C:\\Jobs\\Two-renamed.dwg");
  EXPECT_EQ(db::connectionList().front()->dbPath, L"C:\\Data\\std.mdb");
}
