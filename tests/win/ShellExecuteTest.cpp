// ShellExecuteW hands every execution to the host's handler and returns its result;
// with no handler nothing is associated with anything.
#include <ShellTesting.h>
#include <gtest/gtest.h>
#include <shellapi.h>

using tabrik::win::testing::setShellHandler;
using tabrik::win::testing::ShellExecution;

namespace {

std::intptr_t asResult(HINSTANCE result) { return reinterpret_cast<std::intptr_t>(result); }

}  // namespace

TEST(ShellExecute, TheHandlerSeesEveryArgumentAndDecidesTheResult) {
  std::vector<ShellExecution> seen;
  auto previous = setShellHandler([&](const ShellExecution& e) -> std::intptr_t {
    seen.push_back(e);
    return e.file == L"missing.txt" ? SE_ERR_FNF : 42;
  });
  EXPECT_EQ(asResult(ShellExecuteW(nullptr, L"OPEN", L"https://example.test/fix.exe", nullptr,
                                   nullptr, SW_SHOWNOACTIVATE)),
            42);
  EXPECT_EQ(asResult(ShellExecuteW(nullptr, nullptr, L"missing.txt", L"-x", L"C:\\dir", SW_SHOW)),
            SE_ERR_FNF);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].verb, L"OPEN");
  EXPECT_EQ(seen[0].file, L"https://example.test/fix.exe");
  EXPECT_EQ(seen[0].show, SW_SHOWNOACTIVATE);
  EXPECT_EQ(seen[1].verb, L"");
  EXPECT_EQ(seen[1].parameters, L"-x");
  EXPECT_EQ(seen[1].directory, L"C:\\dir");
  setShellHandler(previous);
}

TEST(ShellExecute, WithoutHandlerOrFileItFails) {
  auto previous = setShellHandler(nullptr);
  EXPECT_EQ(asResult(ShellExecuteW(nullptr, L"open", L"a.txt", nullptr, nullptr, SW_SHOW)),
            SE_ERR_NOASSOC);
  setShellHandler([](const ShellExecution&) -> std::intptr_t { return 42; });
  EXPECT_EQ(asResult(ShellExecuteW(nullptr, L"open", nullptr, nullptr, nullptr, SW_SHOW)),
            SE_ERR_FNF);
  setShellHandler(previous);
}
