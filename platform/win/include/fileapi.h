// File attributes as Windows reports them to programs (GetFileAttributesW). Paths take
// `\` or `/` and any characters.
#pragma once
#include "windef.h"

#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080

// The attributes of the file or folder; INVALID_FILE_ATTRIBUTES (last error
// ERROR_FILE_NOT_FOUND) when there is none, or ERROR_INVALID_PARAMETER for a null or
// empty path. A file without write permission bits is FILE_ATTRIBUTE_READONLY; a file
// with no other attribute is FILE_ATTRIBUTE_NORMAL.
DWORD GetFileAttributesW(LPCWSTR lpFileName);
