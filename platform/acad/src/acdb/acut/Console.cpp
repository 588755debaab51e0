// Standard output of the host and its captures.
#include "acdb/acut/Console.h"

#include <cstdio>

#include "acdb/acut/WideText.h"

namespace tabrik::acad {

namespace {
ConsoleCapture* g_capture = nullptr;
bool g_atLineStart = true;
}  // namespace

void writeConsole(std::string_view utf8) {
  if (utf8.empty()) return;
  g_atLineStart = utf8.back() == '\n';
  if (g_capture != nullptr) {
    g_capture->m_text.append(utf8);
    return;
  }
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

void writeConsole(std::wstring_view text) { writeConsole(toUtf8(text)); }

void flushConsole() { std::fflush(stdout); }

bool consoleAtLineStart() { return g_atLineStart; }

ConsoleCapture::ConsoleCapture() : m_outer(g_capture) { g_capture = this; }

ConsoleCapture::~ConsoleCapture() { g_capture = m_outer; }

std::string ConsoleCapture::take() {
  std::string text;
  text.swap(m_text);
  return text;
}

}  // namespace tabrik::acad
