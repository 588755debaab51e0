// The host's main window, screen metrics and thread timers.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "WinUserTesting.h"

namespace tabrik::win::testing {

namespace {

struct MainWindow {
  bool enabled = true;
  std::wstring title = L"Tabrik";
};

MainWindow& mainWindow() {
  static MainWindow window;
  return window;
}

// A window handle only ever compared, never dereferenced.
HWND mainHandle() {
  static int anchor;
  return reinterpret_cast<HWND>(&anchor);
}

struct Timer {
  HWND window;
  UINT_PTR id;
  TIMERPROC callback;
};

std::vector<Timer>& timers() {
  static std::vector<Timer> list;
  return list;
}

UINT_PTR g_nextTimerId = 1;

bool isMain(HWND window) { return window == mainHandle(); }

}  // namespace

HWND hostMainWindow() { return mainHandle(); }

void resetWindows() {
  mainWindow() = MainWindow();
  timers().clear();
}

int runTimers() {
  // Callbacks may kill or set timers: walk a copy, skipping timers killed meanwhile.
  std::vector<Timer> due = timers();
  int fired = 0;
  for (const Timer& timer : due) {
    bool alive = false;
    for (const Timer& live : timers())
      alive = alive || (live.window == timer.window && live.id == timer.id);
    if (!alive || timer.callback == nullptr) continue;
    timer.callback(timer.window, /*WM_TIMER*/ 0x0113, timer.id, 0);
    ++fired;
  }
  return fired;
}

int timerCount() { return static_cast<int>(timers().size()); }

}  // namespace tabrik::win::testing

using namespace tabrik::win::testing;

BOOL EnableWindow(HWND window, BOOL enable) {
  if (!isMain(window)) return FALSE;
  bool wasDisabled = !mainWindow().enabled;
  mainWindow().enabled = enable != FALSE;
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) { return isMain(window) && mainWindow().enabled ? TRUE : FALSE; }
BOOL IsWindow(HWND window) { return isMain(window) ? TRUE : FALSE; }
HWND GetActiveWindow() { return mainHandle(); }
HWND SetActiveWindow(HWND window) { return isMain(window) ? mainHandle() : nullptr; }
HWND GetForegroundWindow() { return mainHandle(); }
BOOL SetForegroundWindow(HWND window) { return isMain(window) ? TRUE : FALSE; }

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
  if (!isMain(window)) return FALSE;
  mainWindow().title = text ? text : L"";
  return TRUE;
}

int GetWindowTextW(HWND window, LPWSTR text, int maxCount) {
  if (!isMain(window) || text == nullptr || maxCount <= 0) return 0;
  const std::wstring& title = mainWindow().title;
  int count = std::min(static_cast<int>(title.size()), maxCount - 1);
  title.copy(text, count);
  text[count] = L'\0';
  return count;
}

int GetWindowTextLengthW(HWND window) {
  return isMain(window) ? static_cast<int>(mainWindow().title.size()) : 0;
}

// The host's screen: TABRIK_SCREEN as WIDTHxHEIGHT ("2560x1440"), else a full-HD one.
int GetSystemMetrics(int index) {
  int width = 1920;
  int height = 1080;
  if (const char* given = std::getenv("TABRIK_SCREEN"); given != nullptr) {
    int w = 0;
    int h = 0;
    char extra = 0;
    if (std::sscanf(given, "%dx%d%c", &w, &h, &extra) == 2 && w > 0 && h > 0) {
      width = w;
      height = h;
    }
  }
  switch (index) {
    case SM_CXSCREEN:
      return width;
    case SM_CYSCREEN:
      return height;
    default:
      return 0;
  }
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT, TIMERPROC callback) {
  if (window == nullptr) {
    // A thread timer: the system chooses its id.
    id = g_nextTimerId++;
  } else if (!isMain(window)) {
    return 0;
  }
  for (Timer& timer : timers()) {
    if (timer.window == window && timer.id == id) {
      timer.callback = callback;
      return window ? 1 : id;
    }
  }
  timers().push_back(Timer{window, id, callback});
  return window ? 1 : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  auto& list = timers();
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->window == window && it->id == id) {
      list.erase(it);
      return TRUE;
    }
  }
  return FALSE;
}
