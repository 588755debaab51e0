// The support functions hand text to the archive and mail toolkit as narrow text in
// the system code page, and read its messages back the same way.
#pragma once
#include <string>

namespace tabrik::arx {

std::string narrowText(const std::wstring& text);
std::wstring wideText(const std::string& text);

}  // namespace tabrik::arx
