// Starting DAO for the module: started once, only when nobody has started it, and a
// failure to start reported to the caller (who shows the database-driver prompt).
#include <cstdlib>

#include <afxstat_.h>
#include <gtest/gtest.h>

#include "host/DaoStartup.h"

using namespace tabrik::arx;

namespace {

class DaoStartupTest : public ::testing::Test {
 protected:
  void SetUp() override { unsetenv("TABRIK_DAO_INIT_FAIL"); }
  void TearDown() override {
    unsetenv("TABRIK_DAO_INIT_FAIL");
    AFX_MODULE_STATE* state = AfxGetModuleState();
    if (state->m_pDaoState != nullptr) {
      stopDatabaseEngine();
    }
  }
};

}  // namespace

TEST_F(DaoStartupTest, StartsOnceAndStopsWhatItStarted) {
  bool started = false;
  ASSERT_TRUE(startDatabaseEngine(started));
  EXPECT_TRUE(started);
  EXPECT_NE(AfxGetModuleState()->m_pDaoState, nullptr);
  EXPECT_EQ(AfxGetModuleState()->m_dwVersion, 0x0601u);

  bool startedAgain = true;
  ASSERT_TRUE(startDatabaseEngine(startedAgain));
  EXPECT_FALSE(startedAgain);

  stopDatabaseEngine();
  EXPECT_EQ(AfxGetModuleState()->m_pDaoState, nullptr);
}

TEST_F(DaoStartupTest, DaoStartedByAnotherModuleIsLeftAlone) {
  AfxGetModuleState()->m_pDaoState = new _AFX_DAO_STATE();
  // Starting would fail; it is not attempted.
  setenv("TABRIK_DAO_INIT_FAIL", "1", 1);
  bool started = true;
  EXPECT_TRUE(startDatabaseEngine(started));
  EXPECT_FALSE(started);
}

TEST_F(DaoStartupTest, AFailedStartIsReportedAndLeavesNoState) {
  setenv("TABRIK_DAO_INIT_FAIL", "1", 1);
  bool started = true;
  EXPECT_FALSE(startDatabaseEngine(started));
  EXPECT_FALSE(started);
  EXPECT_EQ(AfxGetModuleState()->m_pDaoState, nullptr);
}
