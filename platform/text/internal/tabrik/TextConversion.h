// The one conversion between the platform's wide text (wchar_t holds a code point,
// 32 bits here) and the UTF-8 of files, terminals, SQLite and file names. None of these
// functions throws (short of running out of memory) or fails: whatever a script hands
// over becomes some text or some path.
#pragma once
#include <string>
#include <string_view>

namespace tabrik::text {

// Wide text as UTF-8. A high surrogate followed by a low one (text that came from
// UTF-16) becomes the code point they encode; a lone surrogate, or a value past
// U+10FFFF, becomes U+FFFD.
std::string toUtf8(std::wstring_view text);

// UTF-8 as wide text. Malformed bytes (overlong forms, encoded surrogates, truncated
// sequences) are taken one by one as Latin-1 characters, so that text in a Windows
// code page still arrives readable and nothing is dropped.
std::wstring fromUtf8(std::string_view text);

// A path as programs write it (Windows `\` or `/` separators, any characters) in the
// form the file system and SQLite take: `/` separators, UTF-8 as toUtf8 makes it.
std::string nativePath(std::wstring_view path);

// The folder part of a native path: "." for a bare name, "/" for a name at the root.
std::string parentFolder(const std::string& nativePath);

}  // namespace tabrik::text
