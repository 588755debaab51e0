// Files and folders: create and remove folders, delete, copy and move files, list a
// folder by a wildcard pattern, read attributes and times, the temporary folder.
// Paths are Windows paths or POSIX ones: `\` and `/` both separate, and names are
// UTF-8 on disk whatever the characters. A file without write permission bits has
// the read-only attribute, and it binds every user as it does on Windows: such a file
// is neither deleted nor overwritten.
#pragma once
#include "errhandlingapi.h"
#include "synchapi.h"
#include "windef.h"

#ifndef MAX_PATH
#define MAX_PATH 260
#endif

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

#define GENERIC_READ 0x80000000U
#define GENERIC_WRITE 0x40000000U
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004
#define OPEN_EXISTING 3
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

// 100-nanosecond intervals since 1601-01-01 UTC, as two 32-bit halves.
typedef struct _FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
} FILETIME, *PFILETIME, *LPFILETIME;

typedef union _ULARGE_INTEGER {
  struct {
    DWORD LowPart;
    DWORD HighPart;
  };
  ULONGLONG QuadPart;
} ULARGE_INTEGER;

typedef struct _WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  WCHAR cFileName[MAX_PATH];
  WCHAR cAlternateFileName[14];
} WIN32_FIND_DATAW, *LPWIN32_FIND_DATAW;
typedef WIN32_FIND_DATAW WIN32_FIND_DATA;

// Creates one folder level; its parent must exist (ERROR_PATH_NOT_FOUND), the name must
// be free (ERROR_ALREADY_EXISTS).
BOOL CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
#define CreateDirectory CreateDirectoryW
// Removes an empty folder (ERROR_DIR_NOT_EMPTY otherwise, ERROR_DIRECTORY for a file).
BOOL RemoveDirectoryW(LPCWSTR lpPathName);
#define RemoveDirectory RemoveDirectoryW
// Deletes a file; a folder or a read-only file is not deleted (ERROR_ACCESS_DENIED).
BOOL DeleteFileW(LPCWSTR lpFileName);
#define DeleteFile DeleteFileW
// The attributes of a file or folder, INVALID_FILE_ATTRIBUTES when there is none.
// Names beginning with a dot are hidden; a file with no other attribute is NORMAL.
DWORD GetFileAttributesW(LPCWSTR lpFileName);
#define GetFileAttributes GetFileAttributesW

// The first entry of a folder that matches the pattern (the last path component, with
// the wildcards `*` and `?`, compared without regard to case; "*.*" matches every name),
// "." and ".." included when the pattern matches them. Entries come in a stable order:
// "." and "..", then the names in case-insensitive order. INVALID_HANDLE_VALUE
// (ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND) when nothing matches.
HANDLE FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData);
#define FindFirstFile FindFirstFileW
// The next match; FALSE with ERROR_NO_MORE_FILES after the last.
BOOL FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData);
#define FindNextFile FindNextFileW
BOOL FindClose(HANDLE hFindFile);

// Opens an existing file (OPEN_EXISTING only; other dispositions fail with
// ERROR_INVALID_PARAMETER). A folder opens only with FILE_FLAG_BACKUP_SEMANTICS.
// Close the handle with CloseHandle.
HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
#define CreateFile CreateFileW
// The times of an open file; any pointer may be null.
BOOL GetFileTime(HANDLE hFile, LPFILETIME lpCreationTime, LPFILETIME lpLastAccessTime,
                 LPFILETIME lpLastWriteTime);
// -1, 0 or 1 as the first time is earlier than, equal to or later than the second.
LONG CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2);

// The temporary folder ($TMPDIR, else /tmp) with its trailing separator, copied into
// lpBuffer (nBufferLength characters, null included). Returns the length without the
// null, or the size needed with it when the buffer is too small; 0 on failure.
DWORD GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer);
// (No GetTempPath macro: the module has a LISP function of that name.)
