// The steps around a module dialog and the component-missing prompt, and what the file
// picker makes of its arguments.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "HostTesting.h"
#include "ShellTesting.h"
#include "WinUserTesting.h"
#include "shellapi.h"
#include "host/DialogHosting.h"
#include "host/FilePickers.h"
#include "resources/ModuleResources.h"
#include "resources/resource.h"

namespace {

using tabrik::win::testing::MessageBoxRequest;
using tabrik::win::testing::ShellExecution;

class DialogHostingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tabrik::win::testing::setMessageBoxHandler([this](const MessageBoxRequest& box) {
      boxes.push_back(box);
      int answer = answers.empty() ? IDNO : answers.front();
      if (!answers.empty()) answers.erase(answers.begin());
      return answer;
    });
    tabrik::win::testing::setShellHandler([this](const ShellExecution& execution) -> std::intptr_t {
      executions.push_back(execution);
      return shellResult;
    });
    setenv("TABRIK_COMPONENTS_URL", "https://example.test/components.exe", 1);
  }
  void TearDown() override {
    tabrik::win::testing::setMessageBoxHandler(nullptr);
    tabrik::win::testing::setShellHandler(nullptr);
    unsetenv("TABRIK_COMPONENTS_URL");
  }

  std::vector<MessageBoxRequest> boxes;
  std::vector<int> answers;
  std::vector<ShellExecution> executions;
  std::intptr_t shellResult = 42;
};

TEST_F(DialogHostingTest, OnlyAFailedRunPromptsForTheComponents) {
  const INT_PTR quiet[] = {IDOK, IDCANCEL, 0, 4};
  for (INT_PTR result : quiet) tabrik::arx::componentMissingPrompt(result);
  EXPECT_TRUE(boxes.empty());
  for (INT_PTR result : {INT_PTR(-1), INT_PTR(3)}) tabrik::arx::componentMissingPrompt(result);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, L"Norvane Error");
  EXPECT_EQ(boxes[0].text,
            L"Dialog box could not be created.\nComponents need to be installed.\nWould you like "
            L"to download a fix to this error?");
  EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_YESNO | MB_ICONERROR));
  EXPECT_TRUE(executions.empty());  // both answered No
}

TEST_F(DialogHostingTest, YesOpensTheConfiguredInstallerAndSaysWhatHappened) {
  struct Case {
    std::intptr_t shellResult;
    const wchar_t* printed;
  };
  const Case cases[] = {
      {42, L"\nDownloading https://example.test/components.exe"},
      {2,
       L"\nError downloading https://example.test/components.exe\nPlease contact Norvane "
       L"technical support."},
  };
  for (const Case& c : cases) {
    boxes.clear();
    executions.clear();
    answers = {IDYES, IDOK};
    shellResult = c.shellResult;
    tabrik::acad::testing::OutputCapture output;
    tabrik::arx::componentMissingPrompt(-1);
    ASSERT_EQ(executions.size(), 1u);
    EXPECT_EQ(executions[0].verb, L"OPEN");
    EXPECT_EQ(executions[0].file, L"https://example.test/components.exe");
    EXPECT_EQ(executions[0].show, SW_SHOWNOACTIVATE);
    std::string expected;
    for (const wchar_t* p = c.printed; *p; ++p) expected += static_cast<char>(*p);
    EXPECT_EQ(output.take(), expected);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_NE(boxes[1].text.find(L"technical support"), std::wstring::npos);
  }
  unsetenv("TABRIK_COMPONENTS_URL");
  EXPECT_EQ(tabrik::arx::componentsUrl().rfind(L"https://", 0), 0u);
}

TEST_F(DialogHostingTest, AMissingTemplatePromptsOnceAndTheResourcesComeBack) {
  HINSTANCE before = AfxGetResourceHandle();
  INT_PTR result = 0;
  {
    tabrik::arx::ModuleResourceScope resources;
    EXPECT_EQ(AfxGetResourceHandle(), tabrik::arx::moduleResourceHandle());
    CDialog missing(4999);
    result = tabrik::arx::runModuleDialog(missing);
    // The folder picker's template is among the module's.
    EXPECT_NE(tabrik::arx::moduleResourceHandle()->findDialog(IDD_XFOLDERDIALOG), nullptr);
  }
  EXPECT_EQ(result, -1);
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(AfxGetResourceHandle(), before);
}

TEST(FilePickerArguments, FilterFromExtensions) {
  struct Case {
    const wchar_t* extensions;
    const wchar_t* filter;
  };
  const Case cases[] = {
      {L"*", L"All Files (*.*)|*.*||"},
      {L"", L"All Files (*.*)|*.*||"},
      {L"dwg", L"DWG Files (*.dwg)|*.dwg|"},
      {L"dwg;dxf", L"DWG Files (*.dwg)|*.dwg|DXF Files (*.dxf)|*.dxf|"},
      {L";Mdb;;", L"MDB Files (*.Mdb)|*.Mdb|"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(tabrik::arx::fileDialogFilter(c.extensions), c.filter) << c.extensions;
}

TEST(FilePickerArguments, SaveProposesTheLastComponent) {
  struct Case {
    const wchar_t* initial;
    const wchar_t* folder;
    const wchar_t* file;
  };
  const Case cases[] = {
      {L"C:\\Jobs\\plan.dwg", L"C:\\Jobs\\", L"plan.dwg"},
      {L"C:\\Jobs\\", L"C:\\Jobs\\", L""},
      {L"out/plan.dxf", L"out/", L"plan.dxf"},
      {L"plan.dxf", L"", L"plan.dxf"},
      {L"", L"", L""},
  };
  for (const Case& c : cases) {
    tabrik::arx::SaveProposal proposal = tabrik::arx::saveProposal(c.initial);
    EXPECT_EQ(proposal.folder, c.folder) << c.initial;
    EXPECT_EQ(proposal.fileName, c.file) << c.initial;
  }
}

}  // namespace
