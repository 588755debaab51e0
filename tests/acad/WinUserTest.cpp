// Message boxes answered from the answer queue and recorded, the main window and
// thread timers, as the headless host provides them.
#include <gtest/gtest.h>

#include "HostSession.h"
#include "HostTesting.h"
#include "WinUserTesting.h"
#include "acedads.h"
#include "winuser.h"

using tabrik::acad::testing::queueAnswer;
using tabrik::acad::testing::takeMessageBoxes;

namespace {

class WinUserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_session = tabrik::acad::HostSession::startBare();
    ASSERT_NE(m_session, nullptr);
  }
  void TearDown() override { m_session.reset(); }
  std::unique_ptr<tabrik::acad::HostSession> m_session;
};

int g_fired = 0;
void countAndKill(HWND window, UINT, UINT_PTR id, DWORD) {
  ++g_fired;
  KillTimer(window, id);
}
void count(HWND, UINT, UINT_PTR, DWORD) { ++g_fired; }

}  // namespace

TEST_F(WinUserTest, QueuedAnswersPressTheButtonsTheyName) {
  const struct {
    const wchar_t* answer;  // nullptr: nothing queued
    UINT style;
    int pressed;
  } cases[] = {
      {L"OK", MB_OK, IDOK},
      {L"cancel", MB_OKCANCEL, IDCANCEL},
      {L"YES", MB_YESNO | MB_ICONERROR, IDYES},
      {L"NO", MB_YESNOCANCEL, IDNO},
      {L"RETRY", MB_ABORTRETRYIGNORE, IDRETRY},
      {L"*close*", MB_OKCANCEL, IDCANCEL},
      {L"*close*", MB_OK, IDOK},
      // No such button: the default button.
      {L"YES", MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {nullptr, MB_YESNO, IDYES},
      {nullptr, MB_YESNO | MB_DEFBUTTON2, IDNO},
      {nullptr, MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {nullptr, MB_OKCANCEL | MB_DEFBUTTON3, IDOK},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.style) + (c.answer ? " answered" : " unanswered"));
    if (c.answer) queueAnswer(c.answer);
    EXPECT_EQ(MessageBoxW(adsw_acadMainWnd(), L"text", L"Norvane", c.style), c.pressed);
  }
  EXPECT_EQ(takeMessageBoxes().size(), std::size(cases));
}

TEST_F(WinUserTest, EveryBoxIsRecordedWithCaptionTextAndStyle) {
  MessageBoxW(nullptr, L"Error loading database drivers.", L"Norvane Error",
              MB_YESNO | MB_ICONERROR);
  AfxMessageBox(L"Saved.", MB_ICONINFORMATION);
  acedAlert(L"Look");
  auto boxes = takeMessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].caption, L"Norvane Error");
  EXPECT_EQ(boxes[0].text, L"Error loading database drivers.");
  EXPECT_EQ(boxes[0].style, MB_YESNO | MB_ICONERROR);
  EXPECT_EQ(boxes[1].style, MB_ICONINFORMATION);
  EXPECT_EQ(boxes[2].text, L"Look");
  EXPECT_TRUE(takeMessageBoxes().empty());
}

TEST_F(WinUserTest, AnUndefinedButtonStyleShowsNothing) {
  EXPECT_EQ(MessageBoxW(nullptr, L"x", L"y", 0x0F), 0);
  EXPECT_TRUE(takeMessageBoxes().empty());
}

TEST_F(WinUserTest, TheMainWindowKeepsItsStateAndTitle) {
  HWND main = adsw_acadMainWnd();
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(EnableWindow(main, FALSE), FALSE);  // was enabled
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_EQ(EnableWindow(main, TRUE), TRUE);  // was disabled
  EXPECT_TRUE(SetWindowTextW(main, L"Plan - Tabrik"));
  wchar_t title[5];
  EXPECT_EQ(GetWindowTextW(main, title, 5), 4);
  EXPECT_STREQ(title, L"Plan");
  EXPECT_EQ(GetWindowTextLengthW(main), 13);
  EXPECT_FALSE(IsWindowEnabled(nullptr));
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
}

TEST_F(WinUserTest, TimersFireWhenTheHostIsIdleUntilKilled) {
  g_fired = 0;
  UINT_PTR once = SetTimer(nullptr, 0, 100, countAndKill);
  UINT_PTR always = SetTimer(nullptr, 0, 100, count);
  EXPECT_NE(once, always);
  EXPECT_EQ(tabrik::win::testing::runTimers(), 2);
  EXPECT_EQ(tabrik::win::testing::runTimers(), 1);
  EXPECT_EQ(g_fired, 3);
  EXPECT_TRUE(KillTimer(nullptr, always));
  EXPECT_FALSE(KillTimer(nullptr, always));
  EXPECT_EQ(tabrik::win::testing::timerCount(), 0);
}
