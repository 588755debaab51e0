// The seam behind ShellExecuteW: what the desktop would do with a shell execution is
// the host's business (the headless host records it; an interactive one may open it).
// Without a handler every execution fails with SE_ERR_NOASSOC, as on a desktop with no
// application associated to anything.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace tabrik::win::testing {

struct ShellExecution {
  std::wstring verb;  // as given; empty for the default verb
  std::wstring file;
  std::wstring parameters;
  std::wstring directory;
  int show = 0;
};

// Returns ShellExecuteW's result: above 32 for success, an SE_ERR_ value otherwise.
using ShellHandler = std::function<std::intptr_t(const ShellExecution&)>;

// Installs the handler (an empty one removes it); returns the previous one.
ShellHandler setShellHandler(ShellHandler handler);

}  // namespace tabrik::win::testing

namespace tabrik::win::testing {

// The mount table that PathIsNetworkPathW reads (default /proc/self/mounts); an empty
// path restores the default. For tests that need a network mount.
void setMountTable(const std::string& path);

}  // namespace tabrik::win::testing
