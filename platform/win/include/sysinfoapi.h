// The computer's name as Windows reports it to programs (GetComputerNameW): the
// NetBIOS name, upper case, at most MAX_COMPUTERNAME_LENGTH characters.
#pragma once
#include "windef.h"

#define MAX_COMPUTERNAME_LENGTH 15
#ifndef ERROR_BUFFER_OVERFLOW
#define ERROR_BUFFER_OVERFLOW 111L
#endif

// Copies the name and its terminating null into lpBuffer, whose size *nSize counts in
// characters; on success *nSize is the name's length. When the buffer is too small it
// fails with ERROR_BUFFER_OVERFLOW and *nSize is the size needed, null included.
// The name is the environment's COMPUTERNAME when set (Windows keeps the two equal),
// else the host name's first label, upper-cased and cut to 15 characters.
// (No GetComputerName macro: the module has a LISP function of that name.)
BOOL GetComputerNameW(LPWSTR lpBuffer, DWORD* nSize);
