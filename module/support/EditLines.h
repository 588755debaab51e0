// Text as the module's small dialogs hand it between LISP and their edit boxes: LISP
// separates lines with a line feed, a multi-line edit box with a carriage return and a
// line feed; the typed-word confirmation compares in capitals.
#pragma once
#include <string>

namespace tabrik::arx {

// Every line feed becomes a carriage return and a line feed.
std::wstring toEditLines(const std::wstring& text);
// Every carriage return and line feed pair becomes a line feed; other carriage
// returns stay.
std::wstring fromEditLines(const std::wstring& text);
// The text in capitals.
std::wstring capitals(const std::wstring& text);

}  // namespace tabrik::arx
