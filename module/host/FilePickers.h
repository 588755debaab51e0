// What CFileDialog makes of its arguments before it shows the picker.
#pragma once
#include <string>

namespace tabrik::arx {

// "dwg;dxf" -> "DWG Files (*.dwg)|*.dwg|DXF Files (*.dxf)|*.dxf|" (empty extensions
// skipped); "*" or "" -> "All Files (*.*)|*.*||".
std::wstring fileDialogFilter(const std::wstring& extensions);

// A save picker's initial path: a path that does not end in a separator proposes its
// last component as the file name, in the rest of the path (separator included).
struct SaveProposal {
  std::wstring folder;
  std::wstring fileName;
};
SaveProposal saveProposal(const std::wstring& initialPath);

}  // namespace tabrik::arx
