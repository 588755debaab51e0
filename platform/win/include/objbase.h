// Component object services the module calls: new globally unique identifiers.
#pragma once
#include "windef.h"

#ifndef GUID_DEFINED
#define GUID_DEFINED
typedef struct _GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
} GUID;
#endif

// A new random (version 4, RFC 4122 variant) identifier from the system's random
// source. S_OK; E_FAIL when no random bytes could be had.
HRESULT CoCreateGuid(GUID* pguid);
