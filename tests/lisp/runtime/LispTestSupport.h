// Test harness: a runtime whose output is captured, and a one-call evaluator that
// gives "value" (prin1 form) or "!message" for an error.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "lisp/Runtime.h"

namespace tabrik::lisp::testing {

class CapturingServices : public HostServices {
 public:
  std::string output;

 protected:
  void writeOutput(std::string_view utf8) override { output += utf8; }
};

struct Case {
  const char* source;
  const char* expected;  // prin1 of the last value, or "!" + error message
};

class LispTest : public ::testing::Test {
 protected:
  CapturingServices services;
  Runtime runtime{&services};

  // Evaluates every form of source; errors are not reported (no *error*, no print).
  std::string run(std::string_view source) {
    Outcome outcome = runtime.evaluateString(source, ErrorReport::Silent);
    if (!outcome.ok) return "!" + outcome.error;
    return outcome.value.toPrin1String();
  }

  void runTable(const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c) {
      SCOPED_TRACE(c->source);
      EXPECT_EQ(run(c->source), c->expected);
    }
  }

  template <std::size_t N>
  void runTable(const Case (&cases)[N]) {
    runTable(cases, cases + N);
  }
};

}  // namespace tabrik::lisp::testing
