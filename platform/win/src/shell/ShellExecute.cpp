// ShellExecuteW over the host's shell handler (see ShellTesting.h).
#include <utility>

#include "ShellTesting.h"
#include "shellapi.h"

namespace tabrik::win::testing {
namespace {

ShellHandler& handler() {
  static ShellHandler instance;
  return instance;
}

}  // namespace

ShellHandler setShellHandler(ShellHandler next) {
  return std::exchange(handler(), std::move(next));
}

}  // namespace tabrik::win::testing

HINSTANCE ShellExecuteW(HWND, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters,
                        LPCWSTR lpDirectory, int nShowCmd) {
  using tabrik::win::testing::ShellExecution;
  const auto& handler = tabrik::win::testing::handler();
  if (lpFile == nullptr) {
    return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(SE_ERR_FNF));
  }
  if (!handler) {
    return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(SE_ERR_NOASSOC));
  }
  ShellExecution execution;
  execution.verb = lpOperation != nullptr ? lpOperation : L"";
  execution.file = lpFile;
  execution.parameters = lpParameters != nullptr ? lpParameters : L"";
  execution.directory = lpDirectory != nullptr ? lpDirectory : L"";
  execution.show = nShowCmd;
  return reinterpret_cast<HINSTANCE>(handler(execution));
}
