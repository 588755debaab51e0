// Conversion between the module's wide text and narrow byte strings (files, SQLite,
// the terminal). Wide characters are code points (wchar_t is 32 bits here); the
// narrow side is UTF-8 for CP_UTF8 and, on this platform, for CP_ACP as well.
#pragma once
#include "windef.h"

#define CP_ACP 0
#define CP_UTF8 65001

// Returns the number of units written, or the size needed when the output size is 0;
// a length of -1 means the input is null-terminated and the count includes the null.
// Invalid UTF-8 bytes become U+FFFD. Wide to narrow is the platform's one conversion
// (tabrik/TextConversion.h): a surrogate pair becomes its code point, a lone surrogate
// U+FFFD.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcBytes, LPWSTR dst,
                        int dstChars);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcChars, LPSTR dst,
                        int dstBytes, LPCSTR defaultChar, BOOL* usedDefaultChar);
