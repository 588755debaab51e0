// The text form in which keys and signatures travel to and from LISP: the byte count
// in decimal, then each byte in decimal, all separated by commas ("3,1,2,255").
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace tabrik::arx {

std::wstring keyText(const std::vector<unsigned char>& bytes);
// The bytes of a key text; nothing when the count or a byte is not a decimal number
// in range, or when fewer bytes follow than the count says. Bytes beyond the count
// are ignored, as the count decides how many are read.
std::optional<std::vector<unsigned char>> parseKeyText(const std::wstring& text);

}  // namespace tabrik::arx
