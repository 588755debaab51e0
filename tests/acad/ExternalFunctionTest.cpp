// External functions without LISP: per-document registration, the handler's view of
// its call (acedGetArgs copies, acedRetXxx last wins), and calls outside any call.
#include <gtest/gtest.h>

#include "HostTesting.h"
#include "acedads.h"
#include "acutads.h"
#include "aced/ads/ExternalCall.h"
#include "aced/doc/DocManager.h"

using tabrik::acad::docManager;
using tabrik::acad::Document;
using tabrik::acad::ExternalCall;

namespace {

class ExternalFunctionTest : public ::testing::Test {
 protected:
  void SetUp() override { tabrik::acad::testing::resetHost(); }
  void TearDown() override { tabrik::acad::testing::resetHost(); }
};

resbuf* g_firstCopy = nullptr;
resbuf* g_secondCopy = nullptr;
int g_code = 0;

int twoCopies() {
  g_code = acedGetFunCode();
  g_firstCopy = acedGetArgs();
  g_secondCopy = acedGetArgs();
  acedRetInt(5);
  acedRetStr(L"last");
  return RSRSLT;
}

int returnsNothing() { return RSRSLT; }

int failing() {
  acedRetT();
  return RSERR;
}

int run(Document& document, int code, resbuf* args, ExternalCall& call) {
  return tabrik::acad::runExternal(document, code, args, call);
}

}  // namespace

TEST_F(ExternalFunctionTest, DefunGivesTheUpperCasedNameItsCode) {
  Document* document = docManager().open(L"Drawing1.dwg");
  EXPECT_EQ(acedDefun(L"tb_connect", 17), RTNORM);
  EXPECT_EQ(acedDefun(L"AcDbCurve::getLength", 65), RTNORM);
  EXPECT_EQ(document->codeOf(L"TB_CONNECT"), 17);
  EXPECT_EQ(document->codeOf(L"acdbcurve::GETLENGTH"), 65);
  // Redefinition replaces the code.
  EXPECT_EQ(acedDefun(L"TB_connect", 18), RTNORM);
  EXPECT_EQ(document->codeOf(L"tb_connect"), 18);
  // acedUndef needs the code the name has.
  EXPECT_EQ(acedUndef(L"tb_connect", 17), RTERROR);
  EXPECT_EQ(acedUndef(L"tb_connect", 18), RTNORM);
  EXPECT_EQ(document->codeOf(L"tb_connect"), -1);
}

TEST_F(ExternalFunctionTest, DefunRefusesBadNamesAndCodes) {
  docManager().open(L"Drawing1.dwg");
  const struct {
    const wchar_t* name;
    int code;
  } cases[] = {{L"", 1}, {L"two words", 1}, {L"paren(", 1}, {L"ok", -1}, {L"ok", 32768}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)) + " " + std::to_string(c.code));
    EXPECT_EQ(acedDefun(c.name, c.code), RTERROR);
  }
  EXPECT_EQ(acedDefun(nullptr, 1), RTERROR);
}

TEST_F(ExternalFunctionTest, FunctionsBelongToTheDocumentTheyWereDefinedIn) {
  Document* first = docManager().open(L"one.dwg");
  acedDefun(L"f", 1);
  acedRegFunc(returnsNothing, 1);
  Document* second = docManager().open(L"two.dwg");
  EXPECT_EQ(first->codeOf(L"F"), 1);
  EXPECT_EQ(second->codeOf(L"F"), -1);
  EXPECT_EQ(second->handler(1), nullptr);
  EXPECT_NE(first->handler(1), nullptr);
}

TEST_F(ExternalFunctionTest, TheHandlerGetsFreshCopiesAndTheLastResultWins) {
  Document* document = docManager().open(L"Drawing1.dwg");
  acedDefun(L"f", 9);
  acedRegFunc(twoCopies, 9);
  ExternalCall call;
  EXPECT_EQ(run(*document, 9, acutBuildList(RTSTR, L"a", RTSHORT, 3, 0), call), RSRSLT);
  EXPECT_EQ(g_code, 9);
  ASSERT_NE(g_firstCopy, nullptr);
  ASSERT_NE(g_secondCopy, nullptr);
  EXPECT_NE(g_firstCopy, g_secondCopy);
  EXPECT_NE(g_firstCopy->resval.rstring, g_secondCopy->resval.rstring);
  EXPECT_STREQ(g_secondCopy->resval.rstring, L"a");
  EXPECT_EQ(g_secondCopy->rbnext->resval.rint, 3);
  acutRelRb(g_firstCopy);
  acutRelRb(g_secondCopy);
  EXPECT_EQ(call.kind, ExternalCall::Result::kValue);
  ASSERT_NE(call.result, nullptr);
  EXPECT_EQ(call.result->restype, RTSTR);
  EXPECT_STREQ(call.result->resval.rstring, L"last");
}

TEST_F(ExternalFunctionTest, NoResultIsNilAndNoHandlerIsAnError) {
  Document* document = docManager().open(L"Drawing1.dwg");
  acedRegFunc(returnsNothing, 2);
  acedRegFunc(failing, 3);
  ExternalCall call;
  EXPECT_EQ(run(*document, 2, nullptr, call), RSRSLT);
  EXPECT_EQ(call.kind, ExternalCall::Result::kNil);
  EXPECT_EQ(run(*document, 3, nullptr, call), RSERR);
  EXPECT_EQ(run(*document, 4, nullptr, call), RTERROR);
  // Detaching a handler.
  EXPECT_EQ(acedRegFunc(nullptr, 2), RTNORM);
  EXPECT_EQ(run(*document, 2, nullptr, call), RTERROR);
}

TEST_F(ExternalFunctionTest, ResultCallsOutsideACallAreRefused) {
  docManager().open(L"Drawing1.dwg");
  ads_point p = {1, 2, 3};
  EXPECT_EQ(acedRetNil(), RTERROR);
  EXPECT_EQ(acedRetInt(1), RTERROR);
  EXPECT_EQ(acedRetStr(L"x"), RTERROR);
  EXPECT_EQ(acedRetPoint(p), RTERROR);
  EXPECT_EQ(acedGetArgs(), nullptr);
  EXPECT_EQ(acedGetFunCode(), RTERROR);
}

TEST_F(ExternalFunctionTest, RegistrationWithoutADocumentFails) {
  EXPECT_EQ(acedDefun(L"f", 1), RTERROR);
  EXPECT_EQ(acedRegFunc(returnsNothing, 1), RTERROR);
}
