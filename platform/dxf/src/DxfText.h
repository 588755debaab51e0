// Text and numbers as DXF holds them. An AC1015 file is 8-bit in its code page
// (ANSI_1252): characters outside ASCII are written as \U+XXXX, control characters
// with the caret notation (^J for a line feed, "^ " for a caret). Reals are written in
// the shortest form that reads back to the same double, with ".0" on whole numbers.
#pragma once
#include <string>
#include <string_view>

namespace tabrik::dxf {

std::string encodeText(std::wstring_view text);
void appendEncodedText(std::string& out, std::wstring_view text);
// bytes -> wide text: UTF-8 when `utf8`, else Windows-1252; then \U+XXXX and carets.
std::wstring decodeText(std::string_view bytes, bool utf8);
std::string formatReal(double value);
void appendReal(std::string& out, double value);
// False when the text (blanks around it allowed) is not a whole real.
bool parseReal(std::string_view text, double& value);
bool parseInt(std::string_view text, long long& value);

}  // namespace tabrik::dxf
