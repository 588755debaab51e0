// The few file-system helpers the toolkit needs on native (UTF-8, '/'-separated) paths.
// Paths reach the toolkit as the module's narrow text, where '\' and '/' both separate
// folders; nativePath turns them into what this system's calls take.
#pragma once
#include <string>

namespace tabrik::toolkit {

// Every '\' becomes '/'.
std::string nativePath(std::string path);
// The part after the last '/' or '\'; the whole text when there is none.
std::string baseName(const std::string& path);
// The part before the last '/' or '\'; "." when there is none, "/" for a top-level name.
std::string folderOf(const std::string& path);
bool isFolder(const std::string& nativePath);
bool isRegularFile(const std::string& nativePath);
// Creates the folder and any missing parents; true when it exists afterwards.
bool makeFolders(const std::string& nativePath);

}  // namespace tabrik::toolkit

namespace tabrik::toolkit {

// Writes data to the file (replacing it, or at its end with append); false when the
// file cannot be written.
bool writeFile(const std::string& nativePath, const std::string& data, bool append);

}  // namespace tabrik::toolkit
