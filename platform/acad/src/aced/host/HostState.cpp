// The session-wide state of the headless host.
#include "aced/host/HostState.h"

#include <algorithm>
#include <cstdio>

#include "acdb/acut/WideText.h"
#include "acdb/acut/Console.h"

namespace tabrik::acad {

HostState& hostState() {
  // Never destroyed: answers hold result buffers that module code may still see at exit.
  static HostState* state = new HostState();
  return *state;
}

void hostDiagnostic(const std::string& message) {
  flushConsole();
  std::fprintf(stderr, "tabrik: %s\n", message.c_str());
  std::fflush(stderr);
}

void HostState::setAcadPrefix(std::wstring folders) {
  m_acadPrefix = std::move(folders);
  m_folders.clear();
  std::string text = toUtf8(m_acadPrefix);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    std::string folder = text.substr(start, end - start);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!folder.empty()) m_folders.push_back(folder);
    start = end + 1;
  }
}

std::optional<std::string> HostState::takeInput(const std::string& prompt) {
  if (!m_input.empty()) {
    std::string token = std::move(m_input.front());
    m_input.pop_front();
    return token;
  }
  return readTerminal(prompt);
}

bool HostState::takeQueuedCancel() {
  if (m_input.empty() || m_input.front() != "*cancel*") return false;
  m_input.pop_front();
  return true;
}

std::optional<std::string> HostState::readTerminal(const std::string& prompt) {
  if (!m_terminal) return std::nullopt;
  flushConsole();
  return m_terminal(prompt);
}

std::optional<std::wstring> HostState::takeTextAnswer() {
  auto found = std::find_if(m_answers.begin(), m_answers.end(),
                            [](const Answer& a) { return !a.isScript(); });
  if (found == m_answers.end()) return std::nullopt;
  std::wstring text = std::move(found->text);
  m_answers.erase(found);
  return text;
}

ResbufPtr HostState::takeScriptAnswer() {
  auto found = std::find_if(m_answers.begin(), m_answers.end(),
                            [](const Answer& a) { return a.isScript(); });
  if (found == m_answers.end()) return nullptr;
  ResbufPtr script = std::move(found->script);
  m_answers.erase(found);
  return script;
}

std::vector<MessageBoxRecord> HostState::takeMessageBoxes() {
  std::vector<MessageBoxRecord> records;
  records.swap(m_messageBoxes);
  return records;
}

std::vector<ShellRecord> HostState::takeShellLog() {
  std::vector<ShellRecord> records;
  records.swap(m_shellLog);
  return records;
}

std::vector<unsigned> HostState::takeBeeps() {
  std::vector<unsigned> records;
  records.swap(m_beeps);
  return records;
}

std::vector<ResbufPtr> HostState::takeDialogRecords() {
  std::vector<ResbufPtr> records;
  records.swap(m_dialogs);
  return records;
}

void HostState::runIdleHandlers() {
  // A handler may add handlers; those run at the next idle time.
  std::vector<std::function<void()>> handlers = m_idleHandlers;
  for (auto& handler : handlers) handler();
}

void HostState::reset() {
  m_dialogs.clear();
  m_input.clear();
  m_answers.clear();
  m_messageBoxes.clear();
  m_shellLog.clear();
  m_beeps.clear();
  progressMeter.reset();
  errnoValue = 0;
  textScreenRequests = 0;
  pickBox = 0.1;
  variables.clear();
}

}  // namespace tabrik::acad
