// The LISP bridge: LISP values to argument buffers and results back, external
// functions called from LISP, acedInvoke into LISP, and failures on both sides.
#include <gtest/gtest.h>

#include <afx.h>

#include <stdexcept>
#include <string>

#include "HostTesting.h"
#include "acedads.h"
#include "acutads.h"
#include "acdb/acut/ResbufChain.h"
#include "acdb/acut/WideText.h"
#include "aced/bridge/DocumentLisp.h"
#include "aced/bridge/LispResbuf.h"
#include "aced/doc/DocManager.h"
#include "lisp/Reader.h"

using tabrik::acad::docManager;
using tabrik::acad::DocumentLisp;
using tabrik::acad::ResbufPtr;
using tabrik::acad::testing::OutputCapture;
using tabrik::lisp::Value;

namespace {

// A chain as text: one item per buffer, "RTSHORT 1", "RTSTR a", "RTPOINT 1,2,0", "RTLB".
std::string describe(const resbuf* chain) {
  std::string text;
  for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
    if (!text.empty()) text += " | ";
    auto number = [](double d) {
      std::string s = std::to_string(d);
      s.erase(s.find_last_not_of('0') + 1);
      if (s.back() == '.') s.pop_back();
      return s;
    };
    switch (rb->restype) {
      case RTSHORT:
        text += "RTSHORT " + std::to_string(rb->resval.rint);
        break;
      case RTLONG:
        text += "RTLONG " + std::to_string(rb->resval.rlong);
        break;
      case RTREAL:
        text += "RTREAL " + number(rb->resval.rreal);
        break;
      case RTSTR:
        text += "RTSTR " + tabrik::acad::toUtf8(rb->resval.rstring);
        break;
      case RTPOINT:
      case RT3DPOINT:
        text += std::string(rb->restype == RTPOINT ? "RTPOINT " : "RT3DPOINT ") +
                number(rb->resval.rpoint[0]) + "," + number(rb->resval.rpoint[1]) + "," +
                number(rb->resval.rpoint[2]);
        break;
      case RTLB:
        text += "RTLB";
        break;
      case RTLE:
        text += "RTLE";
        break;
      case RTDOTE:
        text += "RTDOTE";
        break;
      case RTNIL:
        text += "RTNIL";
        break;
      case RTT:
        text += "RTT";
        break;
      default:
        text += "type " + std::to_string(rb->restype);
        break;
    }
  }
  return text;
}

class LispBridgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tabrik::acad::testing::resetHost();
    tabrik::acad::installLispBridge();
    m_document = docManager().open(L"Drawing1.dwg");
  }
  void TearDown() override {
    OutputCapture quiet;
    tabrik::acad::testing::resetHost();
  }
  tabrik::lisp::Runtime& runtime() { return tabrik::acad::lispOf(m_document)->runtime(); }
  Value read(const std::string& text) { return tabrik::lisp::readFirst(text); }
  Value eval(const std::string& text) { return runtime().eval(read(text)); }
  // Evaluates silently; the error message, or "" when it succeeded.
  std::string errorOf(const std::string& text) {
    OutputCapture quiet;
    tabrik::lisp::Outcome outcome =
        runtime().evaluateString(text, tabrik::lisp::ErrorReport::Silent);
    return outcome.ok ? "" : outcome.error;
  }
  std::string printed(const std::string& text) { return eval(text).toPrin1String(); }

  tabrik::acad::Document* m_document = nullptr;
};

int echoArguments() {
  resbuf* args = acedGetArgs();
  acedRetList(args);
  acutRelRb(args);
  return RSRSLT;
}

int refuse() { return RSERR; }
int throwsStandard() { throw std::runtime_error("boom"); }
int throwsMfc() { throw new CMemoryException(); }

// (callback NAME ARG): acedInvoke of NAME with ARG, returning the result or the
// status as "status N".
int invokeCallback() {
  resbuf* args = acedGetArgs();
  resbuf* result = nullptr;
  int status = acedInvoke(args, &result);
  acutRelRb(args);
  if (status != RTNORM) {
    acedRetStr((L"status " + std::to_wstring(status)).c_str());
    return RSRSLT;
  }
  if (result == nullptr) {
    acedRetStr(L"nil");
  } else {
    acedRetList(result);
  }
  acutRelRb(result);
  return RSRSLT;
}

void define(const wchar_t* name, int code, int (*handler)()) {
  acedDefun(name, code);
  acedRegFunc(handler, code);
}

}  // namespace

TEST_F(LispBridgeTest, LispValuesBecomeArgumentBuffers) {
  const struct {
    const char* lisp;
    const char* buffers;
  } cases[] = {
      {"1", "RTSHORT 1"},
      {"-32768", "RTSHORT -32768"},
      {"32767", "RTSHORT 32767"},
      {"32768", "RTLONG 32768"},
      {"-32769", "RTLONG -32769"},
      {"40000", "RTLONG 40000"},
      {"2.5", "RTREAL 2.5"},
      {"\"a b\"", "RTSTR a b"},
      {"nil", "RTNIL"},
      {"T", "RTT"},
      {"'(1 2)", "RTPOINT 1,2,0"},
      {"'(1 2 3)", "RT3DPOINT 1,2,3"},
      {"'(1.5 -2 3.25)", "RT3DPOINT 1.5,-2,3.25"},
      {"'(1 2 3 4)", "RTLB | RTSHORT 1 | RTSHORT 2 | RTSHORT 3 | RTSHORT 4 | RTLE"},
      {"'(1)", "RTLB | RTSHORT 1 | RTLE"},
      {"'(\"a\" 1)", "RTLB | RTSTR a | RTSHORT 1 | RTLE"},
      {"'(1 . 2)", "RTLB | RTSHORT 1 | RTDOTE | RTSHORT 2 | RTLE"},
      {"'(1 2 . 3)", "RTLB | RTSHORT 1 | RTSHORT 2 | RTDOTE | RTSHORT 3 | RTLE"},
      {"'(\"a\" (1 2) (3 . \"b\"))",
       "RTLB | RTSTR a | RTPOINT 1,2,0 | RTLB | RTSHORT 3 | RTDOTE | RTSTR b | RTLE | RTLE"},
      {"'((1 2 3 4) nil T)",
       "RTLB | RTLB | RTSHORT 1 | RTSHORT 2 | RTSHORT 3 | RTSHORT 4 | RTLE | RTNIL | RTT | RTLE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lisp);
    Value value = eval(c.lisp);
    ResbufPtr chain(tabrik::acad::lispValueToResbuf(value));
    EXPECT_EQ(describe(chain.get()), c.buffers);
  }
}

TEST_F(LispBridgeTest, ArgumentsArriveAsOneFlatChain) {
  Value args[] = {eval("1"), eval("\"a\""), eval("'(1 . 2)")};
  ResbufPtr chain(tabrik::acad::lispArgumentsToResbuf(args, 3));
  EXPECT_EQ(describe(chain.get()),
            "RTSHORT 1 | RTSTR a | RTLB | RTSHORT 1 | RTDOTE | RTSHORT 2 | RTLE");
}

TEST_F(LispBridgeTest, SymbolsAndFunctionsCannotCross) {
  const char* cases[] = {"'foo", "car", "'(1 foo)"};
  for (const char* lisp : cases) {
    SCOPED_TRACE(lisp);
    Value value = eval(lisp);
    EXPECT_THROW(ResbufPtr(tabrik::acad::lispValueToResbuf(value)), tabrik::lisp::LispError);
  }
}

TEST_F(LispBridgeTest, ResultBuffersBecomeLispValues) {
  ads_point p = {1, 2, 3};
  ads_point q = {4, 5, 6};
  const struct {
    const char* name;
    resbuf* list;
    const char* lisp;
  } cases[] = {
      {"flat chain", acutBuildList(RTSHORT, 1, RTSTR, L"a", 0), "(1 \"a\")"},
      {"one pair", acutBuildList(RTLB, RTSTR, L"n", RTDOTE, RTLONG, 5, RTLE, 0), "(\"n\" . 5)"},
      {"record",
       acutBuildList(RTLB, RTLB, RTSTR, L"a", RTDOTE, RTSTR, L"x", RTLE, RTLB, RTSTR, L"b", RTDOTE,
                     RTREAL, 2.5, RTLE, RTLE, 0),
       "((\"a\" . \"x\") (\"b\" . 2.5))"},
      {"two groups", acutBuildList(RTLB, RTSHORT, 1, RTLE, RTLB, RTSHORT, 2, RTLE, 0), "((1) (2))"},
      {"points", acutBuildList(RT3DPOINT, p, RT3DPOINT, q, 0), "((1.0 2.0 3.0) (4.0 5.0 6.0))"},
      {"2D point", acutBuildList(RTPOINT, p, 0), "((1.0 2.0))"},
      {"markers", acutBuildList(RTT, RTNIL, RTLB, RTLE, 0), "(T nil nil)"},
      {"entity data", acutBuildList(RTDXF0, L"LINE", 8, L"0", 10, p, 62, 1, 0),
       "((0 . \"LINE\") (8 . \"0\") (10 1.0 2.0 3.0) (62 . 1))"},
      {"unclosed list", acutBuildList(RTLB, RTSHORT, 1, RTLB, RTSHORT, 2, 0), "((1 (2)))"},
      {"stray end", acutBuildList(RTSHORT, 1, RTLE, RTSHORT, 2, 0), "(1 2)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResbufPtr owned(c.list);
    EXPECT_EQ(tabrik::acad::resbufListToLisp(owned.get()).toPrin1String(), c.lisp);
  }
  EXPECT_EQ(tabrik::acad::resbufListToLisp(nullptr).toPrin1String(), "nil");
}

TEST_F(LispBridgeTest, ExternalFunctionsTakeAndReturnLispValues) {
  define(L"echo", 1, echoArguments);
  EXPECT_EQ(printed("(echo 1 \"a\" '(1 . 2))"), "(1 \"a\" (1 . 2))");
  EXPECT_EQ(printed("(echo '(1 2 3 4))"), "(1 2 3 4)");
  EXPECT_EQ(printed("(echo 1 2)"), "(1 2)");
  EXPECT_EQ(printed("(echo '(1 2))"), "((1.0 2.0))");
  EXPECT_EQ(printed("(echo 40000)"), "(40000)");
  EXPECT_EQ(printed("(echo)"), "nil");
  EXPECT_EQ(printed("(type echo)"), "EXRXSUBR");
}

TEST_F(LispBridgeTest, SingleResultsOfEveryKind) {
  static int which = 0;
  define(L"single", 2, [] {
    ads_point p = {1, 2, 3};
    ads_name name = {0x1d45558, 0};
    switch (which) {
      case 0:
        return acedRetInt(-7), RSRSLT;
      case 1:
        return acedRetReal(2.0), RSRSLT;
      case 2:
        return acedRetStr(L"caf\u00e9"), RSRSLT;
      case 3:
        return acedRetPoint(p), RSRSLT;
      case 4:
        return acedRetT(), RSRSLT;
      case 5:
        return acedRetNil(), RSRSLT;
      case 6:
        return acedRetName(name, RTENAME), RSRSLT;
      case 7:
        return acedRetVoid(), RSRSLT;
      default:
        return RSRSLT;
    }
  });
  const char* expected[] = {"-7", "2.0", "\"caf\u00e9\"",          "(1.0 2.0 3.0)",
                            "T",  "nil", "<Entity name: 1d45558>", ""};
  for (which = 0; which < 8; ++which) {
    SCOPED_TRACE(which);
    EXPECT_EQ(printed("(single)"), expected[which]);
  }
}

TEST_F(LispBridgeTest, RserrAndExceptionsAreEvaluationErrors) {
  define(L"refuse", 3, refuse);
  define(L"throws", 4, throwsStandard);
  define(L"throwsmfc", 5, throwsMfc);
  EXPECT_EQ(errorOf("(refuse)"), tabrik::acad::kExternalFailedMessage);
  EXPECT_EQ(errorOf("(throws)"), tabrik::acad::kExternalFailedMessage);
  EXPECT_EQ(errorOf("(throwsmfc)"), tabrik::acad::kExternalFailedMessage);
  // *error* hears the failure as any other error, and the expression yields no value.
  EXPECT_EQ(printed("(progn (setq heard nil) (defun *error* (m) (setq heard m)) "
                    "(vl-catch-all-apply 'refuse nil) heard)"),
            "nil");
  EXPECT_EQ(printed("(vl-catch-all-error-p (vl-catch-all-apply 'refuse nil))"), "T");
  EXPECT_EQ(errorOf("(refuse 'sym)"), "bad argument type: SYM");
}

TEST_F(LispBridgeTest, UndefinedAndRedefinedExternals) {
  define(L"gone", 6, echoArguments);
  acedUndef(L"gone", 6);
  EXPECT_EQ(errorOf("(gone)"), "no function definition: GONE");
  define(L"mine", 7, echoArguments);
  EXPECT_EQ(printed("(progn (defun mine () 'lisp) (mine))"), "LISP");
}

TEST_F(LispBridgeTest, InvokeReachesDefunCommandsAndHostBuiltins) {
  define(L"callback", 8, invokeCallback);
  eval("(defun addone (n) (1+ n))");
  eval("(defun c:twice (a b) (list a b a b))");
  EXPECT_EQ(printed("(callback \"addone\" 41)"), "(42)");
  EXPECT_EQ(printed("(callback \"ADDONE\" 1)"), "(2)");
  EXPECT_EQ(printed("(callback \"c:twice\" \"x\" '(1 . 2))"), "(\"x\" (1 . 2) \"x\" (1 . 2))");
  EXPECT_EQ(printed("(callback \"nosuchfunction\")"), "\"status -5001\"");
  // car is a built-in that the host does not offer to applications.
  EXPECT_EQ(printed("(callback \"car\" '(1))"), "\"status -5001\"");
  {
    OutputCapture output;
    EXPECT_EQ(printed("(callback \"addone\" \"x\")"), "\"status -5001\"");
    EXPECT_NE(output.take().find("; error: bad argument type"), std::string::npos);
  }
  EXPECT_EQ(printed("(progn (defun none () nil) (callback \"none\"))"), "\"nil\"");
  EXPECT_EQ(printed("(callback \"startapp\" \"explorer.exe /select,c:\\\\a.zip\")"), "(33)");
  EXPECT_EQ(printed("(host:shell-log)"), "((\"startapp\" \"explorer.exe /select,c:\\\\a.zip\" 1))");
  eval("(host:answer \"7\" \"*cancel*\")");
  EXPECT_EQ(printed("(callback \"acad_colordlg\" 1)"), "(7)");
  EXPECT_EQ(printed("(callback \"acad_colordlg\" 1)"), "\"nil\"");
}

TEST_F(LispBridgeTest, InvokeUsesTheNamespaceOfTheCallingScript) {
  define(L"callback", 8, invokeCallback);
  eval("(defun scriptfn () \"from the script\")");
  docManager().open(L"Drawing2.dwg");
  // The script still runs in Drawing1's namespace; the external acts on Drawing2,
  // which has no such function, and the callback finds the script's function.
  EXPECT_EQ(printed("(callback \"scriptfn\")"), "(\"from the script\")");
}

TEST_F(LispBridgeTest, HostVariablesThroughGetvarAndAcedGetVar) {
  EXPECT_EQ(printed("(setvar \"ACADPREFIX\" \"/tmp/a;/tmp/b\")"), "\"/tmp/a;/tmp/b\"");
  resbuf value{};
  ASSERT_EQ(acedGetVar(L"ACADPREFIX", &value), RTNORM);
  EXPECT_STREQ(value.resval.rstring, L"/tmp/a;/tmp/b");
  std::free(value.resval.rstring);
  EXPECT_EQ(printed("(getvar \"dimscale\")"), "1.0");
  EXPECT_EQ(printed("(setvar \"DIMSCALE\" 48)"), "48");
  EXPECT_EQ(printed("(getvar \"DIMSCALE\")"), "48.0");
  EXPECT_NE(errorOf("(setvar \"DIMSCALE\" -1)"), "");
  resbuf errnoValue{};
  errnoValue.restype = RTSHORT;
  errnoValue.resval.rint = 7;
  EXPECT_EQ(acedSetVar(L"ERRNO", &errnoValue), RTNORM);
  EXPECT_EQ(printed("(getvar \"ERRNO\")"), "7");
  EXPECT_EQ(printed("(getvar \"NOSUCHVARIABLE\")"), "nil");
}

TEST_F(LispBridgeTest, DeepNestingCrossesWithoutRecursion) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "(";
  deep += "1";
  for (int i = 0; i < 100000; ++i) deep += ")";
  Value value = tabrik::lisp::readFirst(deep);
  ResbufPtr chain(tabrik::acad::lispValueToResbuf(value));
  int count = 0;
  for (const resbuf* rb = chain.get(); rb; rb = rb->rbnext) ++count;
  EXPECT_EQ(count, 200001);
  Value back = tabrik::acad::resbufListToLisp(chain.get());
  EXPECT_TRUE(back.isCons());
}

TEST_F(LispBridgeTest, SentLinesRunInTheirDrawingsNamespaceWhenIdle) {
  tabrik::acad::Document* second = docManager().open(L"Drawing2.dwg");
  acDocManager->sendStringToExecute(m_document, L"(setq x 42)\n", false, false, false);
  acDocManager->sendStringToExecute(second, L"hello\n", false, false, false);
  EXPECT_EQ(printed("x"), "nil");
  OutputCapture output;
  eval("(host:idle)");
  EXPECT_EQ(printed("x"), "42");
  EXPECT_TRUE(tabrik::acad::lispOf(second)->runtime().symbolValue("X").isNil());
  // A line that is no LISP is a command: here one nobody defined.
  EXPECT_NE(output.take().find("Unknown command \"HELLO\""), std::string::npos);
  // The current document is back.
  EXPECT_EQ(docManager().current(), second);
}
