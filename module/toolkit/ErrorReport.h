// The toolkit's record of what went wrong in one archive or mail object, and the XML
// error report written from it. Operations append; nothing is cleared but by clear().
#pragma once
#include <string>
#include <vector>

namespace tabrik::toolkit {

class ErrorReport {
 public:
  struct Entry {
    std::string operation;  // "open", "extract", "send", ...
    std::string detail;     // the library's message, UTF-8
  };

  void add(std::string operation, std::string detail);
  void clear() { m_entries.clear(); }
  bool empty() const { return m_entries.empty(); }
  const std::vector<Entry>& entries() const { return m_entries; }

  // The report as an XML document:
  //   <?xml version="1.0" encoding="UTF-8"?>
  //   <ErrorReport source="zip|mail">
  //     <Error operation="open">...</Error>   one per entry, oldest first
  //   </ErrorReport>
  std::string toXml(const std::string& source) const;
  // Writes toXml to path (a native path), replacing the file; false when it cannot.
  bool save(const std::string& path, const std::string& source) const;

 private:
  std::vector<Entry> m_entries;
};

// Text with &, <, >, " and ' replaced by their XML entities, and control characters
// other than tab, line feed and carriage return dropped (XML 1.0 cannot hold them).
std::string escapeXml(const std::string& text);

}  // namespace tabrik::toolkit
