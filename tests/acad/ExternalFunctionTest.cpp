// External functions without LISP: per-document registration, the handler's view of
// its call (acedGetArgs copies unless the caller supplies its values, acedRetXxx last
// wins), and calls outside any call.
#include <gtest/gtest.h>

#include <vector>

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

namespace {

// The caller's side of a call, as the LISP bridge provides it, recording what the ads
// calls ask of it.
class RecordingValues final : public tabrik::acad::CallValues {
 public:
  resbuf* rebuildArguments() override {
    ++rebuilt;
    return acutBuildList(RTSTR, L"rebuilt", 0);
  }
  bool takeList(const resbuf* list) override {
    taken.clear();
    for (const resbuf* rb = list; rb != nullptr; rb = rb->rbnext) taken.push_back(rb->restype);
    return accept;
  }
  int rebuilt = 0;
  bool accept = true;
  std::vector<int> taken;
};

resbuf* g_argsSeen[3] = {nullptr, nullptr, nullptr};
int g_retListStatus = 0;

int argsThriceThenList() {
  for (resbuf*& seen : g_argsSeen) seen = acedGetArgs();
  resbuf* list = acutBuildList(RTLB, RTSHORT, 1, RTSTR, L"x", RTLE, 0);
  g_retListStatus = acedRetList(list);
  acutRelRb(list);
  return RSRSLT;
}

}  // namespace

TEST_F(ExternalFunctionTest, WithTheCallersValuesNothingIsCopied) {
  Document* document = docManager().open(L"Drawing1.dwg");
  acedRegFunc(argsThriceThenList, 12);
  const struct {
    const char* name;
    bool withArguments;
    bool accept;
    int status;  // of acedRetList
    ExternalCall::Result kind;
  } cases[] = {
      {"arguments, list taken", true, true, RTNORM, ExternalCall::Result::kList},
      {"no arguments", false, true, RTNORM, ExternalCall::Result::kList},
      {"list refused", true, false, RTERROR, ExternalCall::Result::kNil},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingValues values;
    values.accept = c.accept;
    ExternalCall call;
    call.values = &values;
    resbuf* args = c.withArguments ? acutBuildList(RTSTR, L"a", RTSHORT, 3, 0) : nullptr;
    EXPECT_EQ(run(*document, 12, args, call), RSRSLT);
    // The first taker gets the call's own chain; each later one a rebuilt chain (all
    // of them when the call has none).
    if (c.withArguments) {
      EXPECT_EQ(g_argsSeen[0], args);
    }
    EXPECT_EQ(call.args, nullptr);
    EXPECT_EQ(values.rebuilt, c.withArguments ? 2 : 3);
    ASSERT_NE(g_argsSeen[1], nullptr);
    EXPECT_NE(g_argsSeen[1], g_argsSeen[2]);
    EXPECT_STREQ(g_argsSeen[2]->resval.rstring, L"rebuilt");
    for (resbuf* seen : g_argsSeen) acutRelRb(seen);
    // The list went to the caller as it was returned; no copy stays in the frame.
    EXPECT_EQ(g_retListStatus, c.status);
    EXPECT_EQ(values.taken, (std::vector<int>{RTLB, RTSHORT, RTSTR, RTLE}));
    EXPECT_EQ(call.kind, c.kind);
    EXPECT_EQ(call.result, nullptr);
  }
}
