// The path of a LISP call into the module without the LISP runtime: registration of
// both tables in a drawing, the handlers, the call wrapper's lock and exception paths,
// and the reporter's messages.
#include <algorithm>
#include <cwctype>
#include <stdexcept>
#include <vector>

#include <afx.h>
#include <gtest/gtest.h>

#include "HostTesting.h"
#include "ResbufChain.h"
#include "acedads.h"
#include "aced/ads/ExternalCall.h"
#include "aced/doc/DocManager.h"
#include "host/CallWrapper.h"
#include "host/LispFunctionTable.h"

using namespace tabrik::arx;
using tabrik::acad::docManager;
using tabrik::acad::Document;
using tabrik::acad::ExternalCall;
using tabrik::acad::testing::lockCount;
using tabrik::acad::testing::OutputCapture;

namespace {

class CallPathTest : public ::testing::Test {
 protected:
  void SetUp() override { tabrik::acad::testing::resetHost(); }
  void TearDown() override { tabrik::acad::testing::resetHost(); }

  Document* openRegistered(const std::wstring& name) {
    Document* document = docManager().open(name);
    registerFunctionTable(databaseFunctionTable(), 0);
    registerFunctionTable(drawingFunctionTable(), db::databaseFunctionCount());
    return document;
  }
};

int g_locksSeen = -1;

int bodyThatLooksAtTheLock() {
  g_locksSeen = lockCount(acDocManager->curDocument());
  return kResultOk;
}

int bodyThrowingMfc() { throw new CMemoryException(); }

int bodyThrowingOther() { throw std::runtime_error("boom"); }

}  // namespace

TEST_F(CallPathTest, BothTablesGetConsecutiveCodesInEveryDrawing) {
  ASSERT_EQ(databaseFunctionTable().size(), 63u);
  ASSERT_EQ(drawingFunctionTable().size(), 110u);
  ASSERT_EQ(db::databaseFunctionCount(), 63);
  for (const wchar_t* drawing : {L"Drawing1.dwg", L"Drawing2.dwg"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(drawing)));
    Document* document = openRegistered(drawing);
    int code = 0;
    for (const auto& entry : databaseFunctionTable()) {
      EXPECT_EQ(document->codeOf(entry.name), code)
          << ::testing::PrintToString(std::wstring(entry.name));
      EXPECT_EQ(document->handler(code), entry.handler);
      ++code;
    }
    for (const auto& entry : drawingFunctionTable()) {
      EXPECT_EQ(document->codeOf(entry.name), code)
          << ::testing::PrintToString(std::wstring(entry.name));
      ++code;
    }
    EXPECT_EQ(document->codeOf(L"tb_relationInfo"), 62);
    EXPECT_EQ(document->codeOf(L"nv_nv-setGroupSelectable"), 63);
    EXPECT_EQ(document->codeOf(L"AcDbCurve::getLength"), 65);
    EXPECT_EQ(document->codeOf(L"nv_nv-setAcadWindowText"), 172);
  }
}

// What a drawing ends up with is the module's function list, no name more or less: a body
// added to a table by hand, or a list entry that never reaches a table, fails here.
TEST_F(CallPathTest, ADrawingDefinesExactlyTheFunctionList) {
  std::vector<std::wstring> listed;
#define TABRIK_LISP_FUNCTION(body, name, table, family, state) listed.push_back(L##name);
#include "host/LispFunctionList.def"
#undef TABRIK_LISP_FUNCTION
  for (std::wstring& name : listed) {
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
  }
  std::sort(listed.begin(), listed.end());
  ASSERT_EQ(listed.size(), 173u);
  EXPECT_EQ(std::adjacent_find(listed.begin(), listed.end()), listed.end())
      << "a name listed twice";
  Document* document = openRegistered(L"Drawing1.dwg");
  EXPECT_EQ(document->externalNames(), listed);
}

TEST_F(CallPathTest, ReporterPrintsTheMessageOfEachResultCode) {
  struct Case {
    int code;
    const char* output;
    int status;
  };
  const Case cases[] = {
      {0, "", RSRSLT},
      {1, "\nToo few arguments passed.\n", RSERR},
      {2, "\nWrong type of arguments passed.\n", RSERR},
      {3, "\nBad data passed .\n", RSERR},
      {4, "", RSERR},
      {5, "", RSRSLT},
      {-1, "", RSRSLT},
  };
  OutputCapture output;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(reportResult(c.code), c.status);
    EXPECT_EQ(output.take(), c.output);
  }
}

TEST_F(CallPathTest, WrapperHoldsTheLockForTheBodyOnly) {
  Document* document = docManager().open(L"Drawing1.dwg");
  g_locksSeen = -1;
  EXPECT_EQ(callWrapper(bodyThatLooksAtTheLock), RSRSLT);
  EXPECT_EQ(g_locksSeen, 1);
  EXPECT_EQ(lockCount(document), 0);
}

TEST_F(CallPathTest, ExceptionsAreAnnouncedAfterUnlockingAndPassedOn) {
  Document* document = docManager().open(L"Drawing1.dwg");
  OutputCapture output;

  CException* caught = nullptr;
  try {
    callWrapper(bodyThrowingMfc);
  } catch (CException* e) {
    caught = e;
  }
  ASSERT_NE(caught, nullptr);
  caught->Delete();
  EXPECT_EQ(output.take(), "\nGeneral Exception");
  EXPECT_EQ(lockCount(document), 0);

  EXPECT_THROW(callWrapper(bodyThrowingOther), std::runtime_error);
  EXPECT_EQ(output.take(), "\nError");
  EXPECT_EQ(lockCount(document), 0);
}

TEST_F(CallPathTest, MissingRequiredArgumentIsAWrongTypeAndLeavesTheDrawingUnlocked) {
  Document* document = openRegistered(L"Drawing1.dwg");
  OutputCapture output;
  // Functions whose first argument is a required string or real.
  for (const wchar_t* name : {L"tb_connect", L"asin", L"nv::pow", L"nv_nv-setToDoDrawing"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(name)));
    ExternalCall call;
    EXPECT_EQ(tabrik::acad::runExternal(*document, document->codeOf(name), nullptr, call), RSERR);
    EXPECT_EQ(output.take(), "\nWrong type of arguments passed.\n");
    EXPECT_EQ(lockCount(document), 0);
  }
}
