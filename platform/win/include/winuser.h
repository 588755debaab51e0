// Windows user-interface services the module calls: message boxes (MessageBox,
// AfxMessageBox), beeps, the host's main window (enabled state, title, activation),
// screen metrics and thread timers. The headless host answers message boxes from
// its answer queue and records them (see WinUserTesting.h).
//
// Message box styles: buttons (low 4 bits), icon (next 4), default button (next 4).
//
// | style                   | buttons                    | close box answers |
// |-------------------------|----------------------------|-------------------|
// | MB_OK                   | OK                         | IDOK              |
// | MB_OKCANCEL             | OK Cancel                  | IDCANCEL          |
// | MB_ABORTRETRYIGNORE     | Abort Retry Ignore         | (no close box)    |
// | MB_YESNOCANCEL          | Yes No Cancel              | IDCANCEL          |
// | MB_YESNO                | Yes No                     | (no close box)    |
// | MB_RETRYCANCEL          | Retry Cancel               | IDCANCEL          |
#pragma once
#include "windef.h"

struct HWND__;
typedef struct HWND__* HWND;

#define MB_OK 0x00000000U
#define MB_OKCANCEL 0x00000001U
#define MB_ABORTRETRYIGNORE 0x00000002U
#define MB_YESNOCANCEL 0x00000003U
#define MB_YESNO 0x00000004U
#define MB_RETRYCANCEL 0x00000005U
#define MB_ICONHAND 0x00000010U
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020U
#define MB_ICONEXCLAMATION 0x00000030U
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040U
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON1 0x00000000U
#define MB_DEFBUTTON2 0x00000100U
#define MB_DEFBUTTON3 0x00000200U
#define MB_APPLMODAL 0x00000000U
#define MB_SYSTEMMODAL 0x00001000U
#define MB_TASKMODAL 0x00002000U
#define MB_SETFOREGROUND 0x00010000U
#define MB_TOPMOST 0x00040000U
#define MB_TYPEMASK 0x0000000FU
#define MB_ICONMASK 0x000000F0U
#define MB_DEFMASK 0x00000F00U

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1

typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

// Shows a message box and returns the ID of the button that closed it; 0 for a style
// with no buttons defined.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
#define MessageBox MessageBoxW
// MFC's message box: the caption is the application's name ("Tabrik").
int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT helpId = 0);
BOOL MessageBeep(UINT type);

// Windows: the headless host has one, its main window.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL IsWindow(HWND window);
HWND GetActiveWindow();
HWND SetActiveWindow(HWND window);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND window);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
#define SetWindowText SetWindowTextW
// Copies the title (truncated to maxCount - 1 characters); returns its length.
int GetWindowTextW(HWND window, LPWSTR text, int maxCount);
#define GetWindowText GetWindowTextW
int GetWindowTextLengthW(HWND window);
#define GetWindowTextLength GetWindowTextLengthW
int GetSystemMetrics(int index);

// Thread timers: the headless host fires every timer whenever it is idle.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC callback);
BOOL KillTimer(HWND window, UINT_PTR id);
