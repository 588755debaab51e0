// Splits DXF text into groups: a code line (blanks allowed around the integer) and a
// value line (taken verbatim but for its line end). LF and CR LF both end lines.
//
// The scanner hands the text out one object at a time: a group 0 and the groups up
// to the next group 0. Reading a file it holds one buffer, which grows only to hold
// the largest single object; values are views into that buffer, tokenized in place.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tabrik::dxf {

struct Tag {
  int code;
  std::string_view value;
  int line;  // of the code, from 1
};

class TagScanner {
 public:
  // Text already in memory (scanned where it lies) ...
  explicit TagScanner(std::string_view text);
  // ... or a file read a buffer at a time (the caller closes it).
  explicit TagScanner(std::FILE* file, std::size_t bufferSize = kBufferSize);
  TagScanner(const TagScanner&) = delete;
  TagScanner& operator=(const TagScanner&) = delete;

  // The next object's groups: its group 0 first (or, for groups before the first
  // group 0, whatever they are). The views stay valid until the next call. False at
  // the end of the text, or on text that is not a sequence of groups (problem() then
  // says which line and why).
  bool next(std::vector<Tag>& tags);
  const std::string& problem() const { return m_problem; }
  // The line of the last group read (for messages about the end of the text).
  int lastLine() const { return m_lastLine; }
  // The largest the buffer grew to.
  std::size_t bufferCapacity() const { return m_buffer.capacity(); }

  static constexpr std::size_t kBufferSize = 1 << 20;

 private:
  struct Span {
    int code;
    std::size_t begin, length;
    int line;
  };
  // The next line: its start and length (line end excluded) in the text; false at the
  // end. A file's buffer is refilled, and what is kept moved to its front, as needed.
  bool line(std::size_t& begin, std::size_t& length);
  bool readGroup(Span& group);
  bool refill();
  std::string_view text() const { return {m_text, m_size}; }

  std::FILE* m_file = nullptr;
  std::string m_buffer;  // a file's text from the current object on
  const char* m_text = nullptr;
  std::size_t m_size = 0;
  std::size_t m_position = 0;
  std::size_t m_keep = 0;  // the text before this is no longer needed
  bool m_atEnd = false;    // nothing more to read into the buffer
  int m_line = 0;
  int m_lastLine = 0;
  std::string m_problem;
  bool m_failed = false;
  bool m_havePending = false;
  Span m_pending{};                // the group 0 that starts the next object
  std::size_t m_pendingStart = 0;  // where its code line starts
  std::size_t m_groupStart = 0;    // where the group being read starts
  std::vector<Span> m_spans;
};

}  // namespace tabrik::dxf
