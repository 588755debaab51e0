// The scenario runner of `tabrik test`.
#include "ScenarioRunner.h"

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>

#include "HostTesting.h"
#include "lisp/LispError.h"
#include "lisp/Reader.h"

namespace tabrik::app {

namespace {

struct Expectations {
  std::optional<std::string> value;
  std::vector<std::string> output;
  bool checksOutput = false;
  std::optional<std::string> error;  // "" matches any error
  bool any() const { return value || checksOutput || error; }
};

std::string rightTrimmed(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.pop_back();
  return text;
}

// The expectation comments in the text between one form and the next.
Expectations parseExpectations(std::string_view gap) {
  Expectations expected;
  std::istringstream lines{std::string(gap)};
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    std::string_view text = std::string_view(line).substr(start);
    if (text.starts_with(";;")) continue;
    if (text.starts_with(";=>")) {
      expected.value = rightTrimmed(std::string(text.substr(3)));
    } else if (text.starts_with(";/")) {
      expected.checksOutput = true;
      expected.output.emplace_back(text.substr(2));
    } else if (text.starts_with(";!")) {
      expected.error = rightTrimmed(std::string(text.substr(2)));
    }
  }
  return expected;
}

std::vector<std::string> outputLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t newline = text.find('\n', start);
    if (newline == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, newline - start));
    start = newline + 1;
  }
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n      ;/" + line;
  return text;
}

// The form as written, shortened to its first line.
std::string excerpt(std::string_view source) {
  std::string text(source.substr(0, source.find('\n')));
  if (text.size() < source.size()) text += " ...";
  return text.size() > 100 ? text.substr(0, 100) + " ..." : text;
}

class FileRun {
 public:
  FileRun(const std::string& path, std::string text) : m_path(path), m_text(std::move(text)) {}

  // Returns the number of failed forms.
  int run(acad::HostSession& session) {
    lisp::Reader reader(m_text);
    std::optional<lisp::Reader::Form> form = next(reader);
    while (form) {
      std::optional<lisp::Reader::Form> following = next(reader);
      size_t gapEnd = following ? following->begin : m_text.size();
      if (m_readError && !following) gapEnd = m_text.size();
      Expectations expected =
          parseExpectations(std::string_view(m_text).substr(form->end, gapEnd - form->end));
      check(session, *form, expected);
      form = std::move(following);
    }
    if (m_readError) fail(m_readErrorLine, "(reading the file)", "; error: " + *m_readError);
    return m_failures;
  }

  int forms() const { return m_forms; }

 private:
  std::optional<lisp::Reader::Form> next(lisp::Reader& reader) {
    if (m_readError) return std::nullopt;
    try {
      return reader.next();
    } catch (const lisp::LispError& error) {
      m_readError = error.message();
      m_readErrorLine = lineOf(reader.position());
      return std::nullopt;
    }
  }

  int lineOf(size_t offset) const {
    int line = 1;
    for (size_t i = 0; i < offset && i < m_text.size(); ++i) line += m_text[i] == '\n';
    return line;
  }

  void fail(int line, const std::string& form, const std::string& detail) {
    ++m_failures;
    std::printf("%s:%d: FAILED %s\n%s\n", m_path.c_str(), line, form.c_str(), detail.c_str());
  }

  void check(acad::HostSession& session, const lisp::Reader::Form& form,
             const Expectations& expected) {
    ++m_forms;
    std::string output;
    lisp::Outcome outcome;
    {
      acad::testing::OutputCapture capture;
      outcome = session.evaluateForm(form.value);
      output = capture.take();
    }
    if (!outcome.ok) {
      // The host's report of the error is checked by ";!", not as output.
      std::string report = "; error: " + outcome.error + "\n";
      if (output.size() >= report.size() &&
          output.compare(output.size() - report.size(), report.size(), report) == 0) {
        output.erase(output.size() - report.size());
      }
    }
    std::string where = excerpt(std::string_view(m_text).substr(form.begin, form.end - form.begin));
    std::string problems;
    if (outcome.ok && expected.error) {
      problems += "  expected error: " + *expected.error +
                  "\n  actual value:   " + outcome.value.toPrin1String() + "\n";
    }
    if (!outcome.ok &&
        (!expected.error || (!expected.error->empty() && *expected.error != outcome.error))) {
      problems += "  expected " +
                  (expected.error ? "error: " + *expected.error : std::string("no error")) +
                  "\n  actual error:   " + outcome.error + "\n";
    }
    if (outcome.ok && expected.value && *expected.value != outcome.value.toPrin1String()) {
      problems += "  expected value: " + *expected.value +
                  "\n  actual value:   " + outcome.value.toPrin1String() + "\n";
    }
    if (expected.checksOutput && outputLines(output) != expected.output) {
      problems += "  expected output:" + joined(expected.output) +
                  "\n  actual output:" + joined(outputLines(output)) + "\n";
    }
    if (!problems.empty()) {
      problems.pop_back();
      fail(form.line, where, problems);
    }
  }

  std::string m_path;
  std::string m_text;
  std::optional<std::string> m_readError;
  int m_readErrorLine = 0;
  int m_failures = 0;
  int m_forms = 0;
};

}  // namespace

int runScenarioFiles(const acad::SessionOptions& options, const std::vector<std::string>& files) {
  int status = 0;
  for (const std::string& path : files) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "tabrik: cannot read %s\n", path.c_str());
      status = 2;
      continue;
    }
    std::ostringstream text;
    text << in.rdbuf();
    acad::HostSession session(options);
    if (session.start() != acad::HostSession::Status::kOk) {
      std::fprintf(stderr, "tabrik: %s: the host did not start\n", path.c_str());
      status = 2;
      continue;
    }
    FileRun run(path, text.str());
    int failures = run.run(session);
    session.end();
    std::printf("%s %s (%d forms, %d failed)\n", failures ? "FAIL" : "PASS", path.c_str(),
                run.forms(), failures);
    std::fflush(stdout);
    if (failures && status == 0) status = 1;
  }
  return status;
}

}  // namespace tabrik::app
