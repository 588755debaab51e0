// DAO's error numbers and Jet 4.0's description texts, and the throw that MFC code
// expects (CDaoException* carrying both).
#pragma once
#include <initializer_list>
#include <string>

namespace tabrik::dao {

// The Jet text for an error number with its placeholders filled: a single "|" takes
// the first argument, "|1", "|2", "|3" take the argument of that number.
std::wstring errorText(long code, std::initializer_list<std::wstring> args = {});

[[noreturn]] void daoThrow(long code, std::initializer_list<std::wstring> args = {},
                           const wchar_t* source = L"DAO.Database");
// The same error number with a text of the engine's own in place of Jet's (a refusal
// that Jet never had to explain, such as writing to an Access file read through a copy).
[[noreturn]] void daoThrowText(long code, const std::wstring& description,
                               const wchar_t* source = L"DAO.Database");

}  // namespace tabrik::dao
