// The drawing operations the drawing functions share: the model-space append's alerts
// when the drawing refuses, and the block lookup that brings a block in from a drawing
// file on the search path (once) or tells the application that there is none.
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "HostTesting.h"
#include "WinUserTesting.h"
#include "acedads.h"
#include "aced/doc/DocManager.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "draw/DrawingOperations.h"

using tabrik::win::testing::MessageBoxRequest;
using tabrik::win::testing::setMessageBoxHandler;

namespace {

class DrawingOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tabrik::acad::testing::resetHost();
    tabrik::acad::docManager().open(L"Drawing1.dwg");
    m_db = acDocManager->curDocument()->database();
    setMessageBoxHandler([this](const MessageBoxRequest& box) {
      m_alerts.push_back(box.text);
      return IDOK;
    });
  }
  void TearDown() override {
    setMessageBoxHandler(nullptr);
    tabrik::acad::testing::resetHost();
  }

  AcDbDatabase* m_db = nullptr;
  std::vector<std::wstring> m_alerts;
};

TEST_F(DrawingOperationsTest, AppendAlertsWhenTheDrawingRefuses) {
  struct Case {
    const char* name;
    bool holdTable, holdModelSpace;
    const wchar_t* alert;
    std::string printed;
  } cases[] = {
      {"appended", false, false, nullptr, ""},
      {"block table held for write", true, false, L"Failed to get block table!", ""},
      {"model space held for write", false, true, L"Failed to get block table record!",
       "\n" + std::to_string(static_cast<int>(Acad::eWasOpenForWrite))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_alerts.clear();
    AcDbObject* held = nullptr;
    if (c.holdTable || c.holdModelSpace) {
      const AcDbObjectId id = c.holdTable ? m_db->blockTableId() : m_db->modelSpaceId();
      ASSERT_EQ(acdbOpenObject(held, id, AcDb::kForWrite), Acad::eOk);
    }
    tabrik::acad::testing::OutputCapture output;
    auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0));
    const bool appended = tabrik::arx::draw::appendToModelSpace(line);
    EXPECT_EQ(appended, c.alert == nullptr);
    if (appended) {
      EXPECT_EQ(line->ownerId(), m_db->modelSpaceId());
      line->close();
      EXPECT_TRUE(m_alerts.empty());
    } else {
      ASSERT_EQ(m_alerts.size(), 1u);
      EXPECT_EQ(m_alerts[0], c.alert);
    }
    EXPECT_EQ(output.take(), c.printed);
    if (held != nullptr) held->close();
    EXPECT_EQ(tabrik::acad::testing::lockCount(acDocManager->curDocument()), 0);
  }
}

TEST_F(DrawingOperationsTest, ABlockComesInOnceFromItsDrawingFile) {
  const std::string folder =
      (std::filesystem::temp_directory_path() / ("blocks-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(folder);
  {
    AcDbDatabase symbol;
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, symbol.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    auto* circle = new AcDbCircle(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 1.0);
    ASSERT_EQ(space->appendAcDbEntity(circle), Acad::eOk);
    circle->close();
    space->close();
    ASSERT_EQ(
        symbol.saveAs(std::wstring(folder.begin(), folder.end()).append(L"/Bubble.dwg").c_str()),
        Acad::eOk);
  }
  resbuf prefix{};
  prefix.restype = RTSTR;
  std::wstring wideFolder(folder.begin(), folder.end());
  prefix.resval.rstring = wideFolder.data();
  ASSERT_EQ(acedSetVar(L"ACADPREFIX", &prefix), RTNORM);

  AcDbObjectId first, second, missing;
  ASSERT_TRUE(tabrik::arx::draw::findBlock(L"Bubble", first));
  AcDbBlockTableRecord* block = nullptr;
  ASSERT_EQ(acdbOpenObject(block, first, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(block->name(), L"Bubble");
  ASSERT_EQ(block->entityIds().length(), 1);
  block->close();
  ASSERT_TRUE(tabrik::arx::draw::findBlock(L"Bubble", second));
  EXPECT_EQ(second, first);
  // No file: nothing found, nothing defined; layouts are never symbols.
  EXPECT_FALSE(tabrik::arx::draw::findBlock(L"NoSuchBubble", missing));
  EXPECT_TRUE(missing.isNull());
  EXPECT_FALSE(tabrik::arx::draw::findBlock(L"*Model_Space", missing));
  std::filesystem::remove_all(folder);
}

TEST_F(DrawingOperationsTest, LeaderScaleIsTheCurrentDrawingsDimscale) {
  for (double scale : {1.0, 48.0, 0.25}) {
    ASSERT_EQ(m_db->setDimscale(scale), Acad::eOk);
    EXPECT_EQ(tabrik::arx::draw::leaderScale(), scale);
  }
}

}  // namespace
