// The test hooks of platform/acad/testing/HostTesting.h.
#include "HostTesting.h"

#include "aced/doc/DocManager.h"
#include "acdb/acut/Console.h"
#include "aced/host/HostState.h"
#include "aced/module/Modules.h"

namespace tabrik::acad::testing {

struct OutputCapture::Impl {
  ConsoleCapture capture;
};

OutputCapture::OutputCapture() : m_impl(std::make_unique<Impl>()) {}
OutputCapture::~OutputCapture() = default;
std::string OutputCapture::take() { return m_impl->capture.take(); }

}  // namespace tabrik::acad::testing

namespace tabrik::acad::testing {

int lockCount(const AcApDocument* document) {
  Document* open = docManager().owning(document);
  return open ? open->lockCount() : 0;
}

void queueInput(const std::string& token) { hostState().queueInput(token); }

void queueAnswer(const std::wstring& answer) { hostState().queueAnswer(Answer{answer, nullptr}); }

std::vector<MessageBoxShown> takeMessageBoxes() {
  std::vector<MessageBoxShown> shown;
  for (MessageBoxRecord& record : hostState().takeMessageBoxes()) {
    shown.push_back({std::move(record.caption), std::move(record.text), record.style});
  }
  return shown;
}

void resetHost() {
  docManager().closeAll();
  unloadAllModules();
  hostState().reset();
}

}  // namespace tabrik::acad::testing

namespace tabrik::acad::testing {

std::optional<std::string> takeInputToken(const std::string& prompt) {
  return hostState().takeInput(prompt);
}

std::optional<std::wstring> takeTextAnswer() { return hostState().takeTextAnswer(); }

resbuf* takeDialogScript() { return hostState().takeScriptAnswer().release(); }

void recordDialog(resbuf* record) { hostState().recordDialog(ResbufPtr(record)); }

void recordShellExecution(const std::wstring& verb, const std::wstring& file, int show) {
  hostState().recordShell(ShellRecord{verb, file, show});
}

bool isInteractive() { return hostState().isInteractive(); }

std::optional<std::string> readTerminal(const std::string& prompt) {
  return hostState().readTerminal(prompt);
}

}  // namespace tabrik::acad::testing
