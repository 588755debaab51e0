// GetFileAttributesW over stat(2).
#include <sys/stat.h>

#include <cwchar>

#include "errhandlingapi.h"
#include "fileapi.h"
#include "tabrik/TextConversion.h"

DWORD GetFileAttributesW(LPCWSTR lpFileName) {
  if (lpFileName == nullptr || lpFileName[0] == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_ATTRIBUTES;
  }
  struct stat st {};
  if (::stat(tabrik::text::nativePath(lpFileName).c_str(), &st) != 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = 0;
  if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}
