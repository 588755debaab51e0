// Module loading: dlopen beside the host, the application messages in their order,
// per-drawing registration, unloading.
#include <gtest/gtest.h>

#include "HostTesting.h"
#include "acedads.h"
#include "aced/doc/DocManager.h"
#include "rxregsvc.h"

using tabrik::acad::docManager;
using tabrik::acad::testing::OutputCapture;

namespace {

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { tabrik::acad::testing::resetHost(); }
  void TearDown() override {
    OutputCapture quiet;
    tabrik::acad::testing::resetHost();
  }
};

}  // namespace

TEST_F(ModuleTest, LoadingSendsInitThenLoadDwgForEveryOpenDocument) {
  OutputCapture output;
  docManager().open(L"one.dwg");
  auto* second = docManager().open(L"two.dwg");
  ASSERT_TRUE(acrxLoadModule(L"TestModule.arx", /*printIt=*/false));
  EXPECT_EQ(output.take(), "[init][load one.dwg][load two.dwg]");
  // The current document is back where it was.
  EXPECT_EQ(docManager().current(), second);
  for (const auto& document : docManager().documents()) EXPECT_EQ(document->codeOf(L"TM_ECHO"), 7);
  // A second load of a loaded module changes nothing.
  EXPECT_TRUE(acrxLoadModule(L"testmodule.arx", false));
  EXPECT_EQ(output.take(), "");
}

TEST_F(ModuleTest, DocumentsOpenedAndClosedLaterAreAnnounced) {
  OutputCapture output;
  ASSERT_TRUE(acrxLoadModule(L"TestModule.arx", false));
  auto* document = docManager().open(L"later.dwg");
  docManager().close(document);
  EXPECT_EQ(output.take(), "[init][load later.dwg][unload later.dwg]");
}

TEST_F(ModuleTest, UnloadingForgetsTheModulesFunctions) {
  OutputCapture output;
  auto* document = docManager().open(L"Drawing1.dwg");
  ASSERT_TRUE(acrxLoadModule(L"TestModule.arx", false));
  EXPECT_TRUE(acrxUnloadModule(L"TestModule.arx"));
  EXPECT_EQ(output.take(), "[init][load Drawing1.dwg][unloadapp]");
  EXPECT_EQ(document->codeOf(L"TM_ECHO"), -1);
  EXPECT_EQ(document->handler(7), nullptr);
  EXPECT_FALSE(acrxUnloadModule(L"TestModule.arx"));
}

TEST_F(ModuleTest, MissingModulesAndNonModulesDoNotLoad) {
  EXPECT_FALSE(acrxLoadModule(L"NoSuchModule.arx", false));
  EXPECT_FALSE(acrxLoadModule(nullptr, false));
  // A file that is not a shared library.
  EXPECT_FALSE(acrxLoadModule(L"CTestTestfile.cmake", false));
  EXPECT_FALSE(acrxUnloadModule(L"NoSuchModule.arx"));
}
