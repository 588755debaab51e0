// The module's answers to the host's application messages, driven directly: what
// initialisation installs, what a drawing load registers and prints, what unload
// removes, and the database-driver prompt when DAO cannot start.
#include <cstdlib>

#include <ShellTesting.h>
#include <WinUserTesting.h>
#include <afxstat_.h>
#include <gtest/gtest.h>
#include <synchapi.h>

#include "HostTesting.h"
#include "db/ConnectionList.h"
#include "aced/doc/DocManager.h"
#include "aced/doc/HostEditor.h"
#include "host/TabrikApplication.h"

using namespace tabrik::arx;
using tabrik::acad::docManager;
using tabrik::acad::hostEditor;
using tabrik::acad::testing::OutputCapture;
using tabrik::win::testing::MessageBoxRequest;
using tabrik::win::testing::setMessageBoxHandler;
using tabrik::win::testing::setShellHandler;
using tabrik::win::testing::ShellExecution;

namespace {

int g_appId = 0;

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tabrik::acad::testing::resetHost();
    tabrik::acad::installHostClasses();
    unsetenv("TABRIK_DAO_INIT_FAIL");
    setenv("TABRIK_DRIVER_FIX_URL", "https://fix.example.test/driver.exe", 1);
  }
  void TearDown() override {
    unsetenv("TABRIK_DAO_INIT_FAIL");
    unsetenv("TABRIK_DRIVER_FIX_URL");
    setShellHandler(nullptr);
    setMessageBoxHandler(nullptr);
    tabrik::acad::testing::resetHost();
  }
  static AcRx::AppRetCode send(AcRx::AppMsgCode message) {
    return handleAppMessage(message, &g_appId);
  }
};

}  // namespace

TEST_F(ApplicationTest, InitialisationInstallsWhatUnloadRemoves) {
  const size_t reactorsBefore = hostEditor().reactorCount();
  ASSERT_EQ(send(AcRx::kInitAppMsg), AcRx::kRetOK);
  EXPECT_EQ(hostEditor().reactorCount(), reactorsBefore + 1);
  EXPECT_NE(AfxGetModuleState()->m_pDaoState, nullptr);
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"NorvaneTabrik");
  EXPECT_NE(mutex, nullptr);
  CloseHandle(mutex);

  EXPECT_EQ(send(AcRx::kUnloadAppMsg), AcRx::kRetOK);
  EXPECT_EQ(hostEditor().reactorCount(), reactorsBefore);
  EXPECT_EQ(AfxGetModuleState()->m_pDaoState, nullptr);
  // The mutex outlives the module: it announces the module for the host's lifetime.
  mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"NorvaneTabrik");
  EXPECT_NE(mutex, nullptr);
  CloseHandle(mutex);

  // Loading again leaves one reactor, not two.
  ASSERT_EQ(send(AcRx::kInitAppMsg), AcRx::kRetOK);
  EXPECT_EQ(hostEditor().reactorCount(), reactorsBefore + 1);
  send(AcRx::kUnloadAppMsg);
}

TEST_F(ApplicationTest, EachDrawingLoadPrintsOnceAndRegistersEverything) {
  ASSERT_EQ(send(AcRx::kInitAppMsg), AcRx::kRetOK);
  OutputCapture output;
  for (const wchar_t* name : {L"Drawing1.dwg", L"Drawing2.dwg"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(name)));
    tabrik::acad::Document* document = docManager().open(name);
    EXPECT_EQ(send(AcRx::kLoadDwgMsg), AcRx::kRetOK);
    EXPECT_EQ(output.take(), "\nLoading Norvane Tabrik (Direct)");
    EXPECT_EQ(document->codeOf(L"tb_append"), 0);
    EXPECT_EQ(document->codeOf(L"nv_nv-setAcadWindowText"), 172);
    EXPECT_EQ(db::connectionList().front()->docName, name);
  }
  EXPECT_EQ(db::connectionList().size(), 2u);
  EXPECT_EQ(send(AcRx::kUnloadDwgMsg), AcRx::kRetOK);
  EXPECT_EQ(db::connectionList().size(), 1u);
  send(AcRx::kUnloadAppMsg);
}

TEST_F(ApplicationTest, OtherMessagesAreAcceptedAndIgnored) {
  for (AcRx::AppMsgCode message :
       {AcRx::kNullMsg, AcRx::kInvkSubrMsg, AcRx::kQuitMsg, AcRx::kSaveMsg}) {
    EXPECT_EQ(send(message), AcRx::kRetOK);
  }
}

TEST_F(ApplicationTest, DatabaseDriverPromptWhenDaoCannotStart) {
  setenv("TABRIK_DAO_INIT_FAIL", "1", 1);
  const size_t reactorsBefore = hostEditor().reactorCount();

  struct Case {
    const char* name;
    int answer;
    std::intptr_t shellResult;
    const char* output;
    size_t boxes;
  };
  const Case cases[] = {
      {"No", IDNO, 42, "", 1},
      {"Yes, the download starts", IDYES, 42, "\nDownloading https://fix.example.test/driver.exe",
       2},
      {"Yes, the shell fails", IDYES, 2,
       "\nError downloading https://fix.example.test/driver.exe"
       "\nPlease contact Norvane technical support.",
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<ShellExecution> executions;
    setShellHandler([&](const ShellExecution& e) -> std::intptr_t {
      executions.push_back(e);
      return c.shellResult;
    });
    std::vector<MessageBoxRequest> boxes;
    setMessageBoxHandler([&](const MessageBoxRequest& box) {
      boxes.push_back(box);
      return boxes.size() == 1 ? c.answer : IDOK;
    });
    OutputCapture output;
    EXPECT_EQ(send(AcRx::kInitAppMsg), AcRx::kRetError);
    EXPECT_EQ(output.take(), c.output);
    ASSERT_EQ(boxes.size(), c.boxes);
    EXPECT_EQ(boxes[0].caption, L"Norvane Error");
    EXPECT_EQ(boxes[0].text,
              L"Error loading database drivers.\nWould you like to download a fix to this error?");
    EXPECT_EQ(boxes[0].style, MB_YESNO | MB_ICONERROR);
    for (const MessageBoxRequest& box : boxes) EXPECT_EQ(box.caption, L"Norvane Error");
    EXPECT_EQ(executions.size(), c.boxes - 1);
    if (!executions.empty()) {
      EXPECT_EQ(executions[0].verb, L"OPEN");
      EXPECT_EQ(executions[0].file, L"https://fix.example.test/driver.exe");
    }
    // Nothing of a loaded module is left behind.
    EXPECT_EQ(hostEditor().reactorCount(), reactorsBefore);
    EXPECT_EQ(AfxGetModuleState()->m_pDaoState, nullptr);
  }
}
