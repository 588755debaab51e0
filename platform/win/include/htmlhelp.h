// HTML Help: showing a compiled help file. The host's shell carries it out (see
// ShellTesting.h: an execution with the verb "help" on the file).
#pragma once
#include "shellapi.h"
#include "windef.h"

#define HH_DISPLAY_TOPIC 0x0000
#define HH_DISPLAY_TOC 0x0001
#define HH_DISPLAY_INDEX 0x0002
#define HH_DISPLAY_SEARCH 0x0003
#define HH_CLOSE_ALL 0x0012

// The help window (a handle only compared), nullptr when the file cannot be shown.
HWND HtmlHelpW(HWND hwndCaller, LPCWSTR pszFile, UINT uCommand, DWORD_PTR dwData);
#define HtmlHelp HtmlHelpW
