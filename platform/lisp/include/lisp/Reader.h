// The AutoLISP reader: source text to values, one top-level form at a time.
// It keeps its own stack, so nesting depth is limited only by memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "lisp/Value.h"

namespace tabrik::lisp {

class Reader {
 public:
  // The text must outlive the reader.
  explicit Reader(std::string_view text) : m_text(text) {}

  struct Form {
    Value value;
    std::size_t begin = 0;  // byte offset of the form's first character
    std::size_t end = 0;    // byte offset just past the form
    int line = 1;           // 1-based line of begin
  };

  // The next top-level form, or nothing at the end of the text (comments and
  // white space skipped). Throws LispError with the reader's messages
  // (malformed list / string, extra right paren, extra cdrs, misplaced dot);
  // after an error the reader stays at the end of the text.
  std::optional<Form> next();

  // Where the next read starts (after the last form returned).
  std::size_t position() const noexcept { return m_pos; }
  std::string_view text() const noexcept { return m_text; }

 private:
  std::string_view m_text;
  std::size_t m_pos = 0;
  int m_line = 1;
};

// Reads the first form of text, as (read text) does: nil for empty text.
Value readFirst(std::string_view text);

}  // namespace tabrik::lisp
