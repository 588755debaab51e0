// The DXF group scanner.
#include "DxfScanner.h"

#include <cstring>

#include "DxfText.h"

namespace tabrik::dxf {

namespace {

bool startsWithByteOrderMark(std::string_view text) {
  return text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
         static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF;
}

}  // namespace

TagScanner::TagScanner(std::string_view text)
    : m_text(text.data()), m_size(text.size()), m_atEnd(true) {
  if (startsWithByteOrderMark(text)) m_position = 3;  // a mark some editors add
}

TagScanner::TagScanner(std::FILE* file, std::size_t bufferSize) : m_file(file) {
  m_buffer.resize(bufferSize < 64 ? 64 : bufferSize);
  m_text = m_buffer.data();
  if (m_file == nullptr) m_atEnd = true;
  while (m_size < 3 && refill()) {
  }
  if (startsWithByteOrderMark(text())) m_position = 3;
}

// Moves the text still needed (from m_keep on) to the front of the buffer, growing it
// when that text fills it, and reads more after it.
bool TagScanner::refill() {
  if (m_atEnd) return false;
  std::size_t shift = m_keep;
  if (shift > 0) {
    std::memmove(m_buffer.data(), m_buffer.data() + shift, m_size - shift);
    m_size -= shift;
    m_position -= shift;
    m_keep = 0;
    for (Span& span : m_spans) span.begin -= shift;
    if (m_havePending) {
      m_pending.begin -= shift;
      m_pendingStart -= shift;
    }
    m_groupStart -= shift;
  }
  if (m_size == m_buffer.size()) m_buffer.resize(m_buffer.size() * 2);
  m_text = m_buffer.data();
  std::size_t read = std::fread(m_buffer.data() + m_size, 1, m_buffer.size() - m_size, m_file);
  if (read == 0) {
    m_atEnd = true;
    return false;
  }
  m_size += read;
  return true;
}

bool TagScanner::line(std::size_t& begin, std::size_t& length) {
  for (;;) {
    if (m_position < m_size) {
      const char* start = m_text + m_position;
      const auto* end = static_cast<const char*>(std::memchr(start, '\n', m_size - m_position));
      if (end != nullptr || m_atEnd) {
        begin = m_position;
        length = end != nullptr ? static_cast<std::size_t>(end - start) : m_size - m_position;
        m_position += length + (end != nullptr ? 1 : 0);
        if (length > 0 && m_text[begin + length - 1] == '\r') --length;
        ++m_line;
        return true;
      }
    } else if (m_atEnd) {
      return false;
    }
    refill();
  }
}

bool TagScanner::readGroup(Span& group) {
  std::size_t begin = 0, length = 0;
  if (!line(begin, length)) return false;
  std::string_view codeLine(m_text + begin, length);
  long long code = 0;
  if (!parseInt(codeLine, code) || code < -5 || code > 1071) {
    // Blank lines after the end are tolerated.
    if (codeLine.find_first_not_of(" \t\r") == std::string_view::npos) {
      while (m_position >= m_size && refill()) {
      }
      if (m_position >= m_size) return false;
    }
    m_problem = "line " + std::to_string(m_line) + ": a group code was expected";
    m_failed = true;
    return false;
  }
  int codeAt = m_line;
  if (!line(begin, length)) {
    m_problem = "line " + std::to_string(codeAt) + ": the file ends before the value of group " +
                std::to_string(code);
    m_failed = true;
    return false;
  }
  group = {static_cast<int>(code), begin, length, codeAt};
  return true;
}

bool TagScanner::next(std::vector<Tag>& tags) {
  tags.clear();
  m_spans.clear();
  if (m_failed) return false;
  // The object returned last is no longer needed: only the pending group 0 is kept.
  m_keep = m_havePending ? m_pendingStart : m_position;
  m_groupStart = m_position;
  Span first{};
  if (m_havePending) {
    first = m_pending;
    m_havePending = false;
  } else if (!readGroup(first)) {
    return false;
  }
  m_spans.push_back(first);
  for (;;) {
    m_groupStart = m_position;
    Span group{};
    if (!readGroup(group)) {
      if (m_failed) return false;
      break;
    }
    if (group.code == 0) {
      m_pending = group;
      m_pendingStart = m_groupStart;
      m_havePending = true;
      break;
    }
    m_spans.push_back(group);
  }
  tags.reserve(m_spans.size());
  for (const Span& span : m_spans)
    tags.push_back({span.code, std::string_view(m_text + span.begin, span.length), span.line});
  m_lastLine = m_spans.back().line;
  return true;
}

}  // namespace tabrik::dxf
