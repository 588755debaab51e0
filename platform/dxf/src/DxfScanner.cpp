// The DXF group scanner.
#include "DxfScanner.h"

#include "DxfText.h"

namespace tabrik::dxf {

bool scanTags(std::string_view text, std::vector<Tag>& tags, std::string& message) {
  if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
      static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF)
    text.remove_prefix(3);  // a byte-order mark some editors add
  size_t position = 0;
  int line = 0;
  auto nextLine = [&](std::string_view& out) {
    if (position >= text.size()) return false;
    size_t end = text.find('\n', position);
    if (end == std::string_view::npos) end = text.size();
    out = text.substr(position, end - position);
    if (!out.empty() && out.back() == '\r') out.remove_suffix(1);
    position = end + 1;
    ++line;
    return true;
  };
  std::string_view codeLine, valueLine;
  while (nextLine(codeLine)) {
    long long code = 0;
    if (!parseInt(codeLine, code) || code < -5 || code > 1071) {
      // Blank lines after the end are tolerated.
      if (codeLine.find_first_not_of(" \t\r") == std::string_view::npos && position >= text.size())
        break;
      message = "line " + std::to_string(line) + ": a group code was expected";
      return false;
    }
    int codeAt = line;
    if (!nextLine(valueLine)) {
      message = "line " + std::to_string(codeAt) + ": the file ends before the value of group " +
                std::to_string(code);
      return false;
    }
    tags.push_back({static_cast<int>(code), valueLine, codeAt});
  }
  return true;
}

}  // namespace tabrik::dxf
