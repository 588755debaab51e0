// Drawing files of the host.
#include "host/DrawingFiles.h"

#include "ads/WideText.h"
#include "doc/DocManager.h"
#include "host/HostState.h"

namespace tabrik::acad {

// The drawing database does not read DXF yet: opening a file fails cleanly.
Document* openDrawingFile(const std::wstring& path) {
  hostDiagnostic("cannot open drawing " + toUtf8(path) + ": this host build cannot read DXF files yet");
  return nullptr;
}

// The drawing database does not write DXF yet: saving fails cleanly.
bool saveDrawingAs(Document& document, const std::wstring& path) {
  hostDiagnostic("cannot save drawing as " + toUtf8(path) + ": this host build cannot write DXF files yet");
  return false;
}

}  // namespace tabrik::acad
