// What the Windows-shaped file services share: a Windows path as the file system's
// UTF-8 path, the last error for an errno, and the table of open file handles.
#pragma once
#include <string>

#include "synchapi.h"
#include "windef.h"

namespace tabrik::win {

// The path as the file system takes it: UTF-8 (characters beyond the Basic
// Multilingual Plane included, whether they come as one wide character or as a
// surrogate pair), every `\` a `/`. Empty for a null path.
std::string nativePath(LPCWSTR path);
// Wide text as UTF-8, separators untouched.
std::string utf8Text(const std::wstring& text);
// The wide form of a UTF-8 name read from the file system.
std::wstring wideName(const std::string& name);
// Sets the last error that Windows gives for the errno value; for ENOENT it tells a
// missing file (ERROR_FILE_NOT_FOUND) from a missing folder on the way to it
// (ERROR_PATH_NOT_FOUND) by looking at the path's parent.
void setLastErrorFromErrno(int error, const std::string& path = std::string());
// True when the file has no write permission bit: the read-only attribute.
bool isReadOnlyMode(unsigned mode);

// Open file handles (CreateFileW): a handle stands for a file descriptor until
// CloseHandle, which asks closeFileHandle first.
HANDLE registerFileHandle(int descriptor);
int fileDescriptorOf(HANDLE handle);  // -1 when the handle is no open file
bool closeFileHandle(HANDLE handle);

}  // namespace tabrik::win
