// Copying and moving files (the parts of winbase.h the module calls).
#pragma once
#include "fileapi.h"

#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_COPY_ALLOWED 0x00000002

// Copies a file with its contents, permission bits and last-write time. With
// bFailIfExists an existing destination is kept (ERROR_FILE_EXISTS); otherwise it is
// replaced unless it is read-only (ERROR_ACCESS_DENIED) or a folder. The copy is
// written under a temporary name in the destination's folder and renamed into place,
// so a copy that fails midway leaves the destination as it was and no partial file.
BOOL CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists);
#define CopyFile CopyFileW
// Moves or renames a file or folder; an existing destination is never replaced
// (ERROR_ALREADY_EXISTS). A file moves across file systems by copy and delete; a
// folder does not (ERROR_NOT_SAME_DEVICE).
BOOL MoveFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName);
#define MoveFile MoveFileW
// As MoveFileW; MOVEFILE_REPLACE_EXISTING replaces an existing file (not a folder).
BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags);
#define MoveFileEx MoveFileExW
