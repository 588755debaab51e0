// Splits DXF text into groups: a code line (blanks allowed around the integer) and a
// value line (taken verbatim but for its line end). LF and CR LF both end lines.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tabrik::dxf {

struct Tag {
  int code;
  std::string_view value;
  int line;  // of the code, from 1
};

// False with a message for text that is not a sequence of groups.
bool scanTags(std::string_view text, std::vector<Tag>& tags, std::string& message);

}  // namespace tabrik::dxf
