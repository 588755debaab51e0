// The command line through the ads interface: acedCmd hands its result buffers over as
// LISP's command does (waiting commands, cancelling, Escape at a pause, arguments that
// are no command input), and keywords typed with "_" match lists without global names.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "HostSession.h"
#include "HostTesting.h"
#include "aced/doc/DocManager.h"
#include "aced/input/UserInput.h"
#include "acdocman.h"
#include "acedads.h"
#include "acutads.h"
#include "dbsymtb.h"

using tabrik::acad::testing::OutputCapture;
using tabrik::acad::testing::queueInput;

namespace {

class CommandEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_session = tabrik::acad::HostSession::startBare();
    ASSERT_NE(m_session, nullptr);
    resbuf echo{};
    echo.restype = RTSHORT;
    echo.resval.rint = 0;
    acedSetVar(L"CMDECHO", &echo);
  }
  void TearDown() override {
    OutputCapture quiet;
    m_session.reset();
  }

  static int active() {
    resbuf value{};
    acedGetVar(L"CMDACTIVE", &value);
    return value.resval.rint;
  }

  static bool hasLayer(const wchar_t* name) {
    AcDbLayerTable* table = nullptr;
    acdbHostApplicationServices()->workingDatabase()->getLayerTable(table);
    bool found = table->has(name);
    table->close();
    return found;
  }

  std::unique_ptr<tabrik::acad::HostSession> m_session;
};

// The arguments of one call as a chain: strings, or the point (x, y).
resbuf* chain(const std::vector<std::wstring>& texts) {
  resbuf* head = nullptr;
  resbuf* last = nullptr;
  for (const std::wstring& text : texts) {
    resbuf* rb = nullptr;
    if (text.rfind(L"pt:", 0) == 0) {
      rb = acutNewRb(RTPOINT);
      rb->resval.rpoint[X] = std::stod(text.substr(3));
      rb->resval.rpoint[Y] = 0;
      rb->resval.rpoint[Z] = 0;
    } else if (text == L"T") {
      rb = acutNewRb(RTT);
    } else {
      rb = acutBuildList(RTSTR, text.c_str(), 0);
    }
    (head == nullptr ? head : last->rbnext) = rb;
    last = rb;
  }
  return head;
}

struct Call {
  const char* name;
  std::vector<std::wstring> args;
  int status;            // what acedCmd answers
  int activeAfter;       // CMDACTIVE after the call
  const wchar_t* layer;  // a layer the call makes (or must not make)
  bool layerMade;
};

TEST_F(CommandEngineTest, AcedCmdRunsCommandsAsCommandDoes) {
  const Call calls[] = {
      {"whole command", {L"_.-LAYER", L"_New", L"K1", L""}, RTNORM, 0, L"K1", true},
      {"waits for more", {L"_.-LAYER", L"_New"}, RTNORM, 1, L"K2", false},
      {"the next call goes on", {L"K2", L""}, RTNORM, 0, L"K2", true},
      {"points answer point prompts", {L"_.ZOOM", L"pt:1", L"pt:5"}, RTNORM, 0, L"K3", false},
      {"T is no input: nothing runs",
       {L"_.-LAYER", L"_New", L"K3", L"T", L""},
       RTERROR,
       0,
       L"K3",
       false},
      {"Escape at a pause cancels", {L"_.-LAYER", L"_New", L"\\"}, RTCAN, 0, L"K4", false},
  };
  for (const Call& call : calls) {
    SCOPED_TRACE(call.name);
    resbuf* args = chain(call.args);
    OutputCapture quiet;
    EXPECT_EQ(acedCmd(args), call.status);
    acutRelRb(args);
    EXPECT_EQ(active(), call.activeAfter);
    EXPECT_EQ(hasLayer(call.layer), call.layerMade);
  }
}

TEST_F(CommandEngineTest, NoArgumentCancelsTheWaitingCommand) {
  resbuf* args = chain({L"_.-LAYER", L"_New", L"K5"});
  OutputCapture quiet;
  ASSERT_EQ(acedCmd(args), RTNORM);
  acutRelRb(args);
  ASSERT_EQ(active(), 1);
  EXPECT_EQ(acedCmd(nullptr), RTNORM);
  EXPECT_EQ(active(), 0);
  // The name was given before the cancel: the layer is made, the command is over.
  EXPECT_TRUE(hasLayer(L"K5"));
}

TEST_F(CommandEngineTest, PauseTakesTheInputQueue) {
  queueInput("PQ");
  queueInput("");
  resbuf* args = chain({L"_.-LAYER", L"_New", L"\\", L"\\"});
  OutputCapture quiet;
  EXPECT_EQ(acedCmd(args), RTNORM);
  acutRelRb(args);
  // The second pause's Enter answered the option prompt: the command is over.
  EXPECT_EQ(active(), 0);
  EXPECT_TRUE(hasLayer(L"PQ"));
}

// Lines sent to a drawing are command-line input: a space or a newline ends each answer,
// a command waits across lines, and "(" starts LISP whose value answers the prompt.
TEST_F(CommandEngineTest, SentLinesRunCommands) {
  AcApDocument* document = acDocManager->curDocument();
  const wchar_t* lines[] = {L"_.-LAYER _New SL1 \n", L"_.-LAYER _New ", L"SL2\n\n",
                            L"_.-LAYER _New (strcat \"S\" \"L3\") \n"};
  for (const wchar_t* line : lines)
    acDocManager->sendStringToExecute(document, line, false, false, false);
  OutputCapture quiet;
  tabrik::acad::docManager().runPendingLines();
  EXPECT_TRUE(hasLayer(L"SL1"));
  EXPECT_TRUE(hasLayer(L"SL2"));
  EXPECT_TRUE(hasLayer(L"SL3"));
  EXPECT_EQ(active(), 0);
}

TEST(CommandKeywords, UnderscoreNamesTheKeywordInAnyList) {
  struct Row {
    const char* keywords;
    const char* typed;
    const char* expected;  // nullptr: no match
  };
  const Row rows[] = {
      {"Yes No", "_Y", "Yes"},         {"Yes No", "_no", "No"},
      {"Make Set New", "_N", "New"},   {"LOck Unlock", "_LO", "LOck"},
      {"LOck Unlock", "_L", nullptr},  {"Oui Non _Yes No", "_Y", "Yes"},
      {"Oui Non _Yes No", "O", "Yes"}, {"Yes No", "_", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.keywords) + " <- " + row.typed);
    std::optional<std::string> match = tabrik::acad::matchKeyword(row.keywords, row.typed);
    if (row.expected == nullptr) {
      EXPECT_FALSE(match);
    } else {
      ASSERT_TRUE(match);
      EXPECT_EQ(*match, row.expected);
    }
  }
}

}  // namespace
