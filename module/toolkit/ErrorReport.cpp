// The toolkit's error record and its XML form (see ErrorReport.h).
#include "toolkit/ErrorReport.h"

#include <cstdio>

namespace tabrik::toolkit {

void ErrorReport::add(std::string operation, std::string detail) {
  m_entries.push_back({std::move(operation), std::move(detail)});
}

std::string escapeXml(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          break;
        }
        out += c;
    }
  }
  return out;
}

std::string ErrorReport::toXml(const std::string& source) const {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ErrorReport source=\"" +
                    escapeXml(source) + "\">\n";
  for (const Entry& entry : m_entries) {
    xml += "  <Error operation=\"" + escapeXml(entry.operation) + "\">" + escapeXml(entry.detail) +
           "</Error>\n";
  }
  xml += "</ErrorReport>\n";
  return xml;
}

bool ErrorReport::save(const std::string& path, const std::string& source) const {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    return false;
  }
  const std::string xml = toXml(source);
  const bool written = std::fwrite(xml.data(), 1, xml.size(), file) == xml.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace tabrik::toolkit
