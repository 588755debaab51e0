// Named synchronisation objects. A named mutex lives in the process's object namespace
// until its last handle is closed; a handle that is never closed keeps it for the rest
// of the process, which is how an application announces that it is running.
#pragma once
#include "windef.h"

typedef void* HANDLE;

typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#define SYNCHRONIZE 0x00100000L
#define MUTEX_ALL_ACCESS 0x001F0001L

// A handle to the mutex of that name, created when none exists (the last error is then
// ERROR_SUCCESS; ERROR_ALREADY_EXISTS when it existed, and bInitialOwner is ignored).
// An unnamed mutex (lpName null) is always new. NULL when out of memory.
HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCWSTR lpName);
#define CreateMutex CreateMutexW
// A new handle to an existing named mutex; NULL (ERROR_FILE_NOT_FOUND) when there is none.
HANDLE OpenMutexW(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCWSTR lpName);
#define OpenMutex OpenMutexW
// Releases ownership held by the calling thread; FALSE when it holds none.
BOOL ReleaseMutex(HANDLE hMutex);
// Closes a handle; the object goes when its last handle does. FALSE for a handle that
// is not open (ERROR_INVALID_HANDLE).
BOOL CloseHandle(HANDLE hObject);
