// The calling thread's last-error code, which Windows API calls set when they fail
// (and some when they succeed, such as CreateMutexW finding an existing mutex).
#pragma once
#include "windef.h"

#ifndef ERROR_SUCCESS
#define ERROR_SUCCESS 0L
#endif
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_ALREADY_EXISTS 183L

DWORD GetLastError();
void SetLastError(DWORD dwErrCode);
