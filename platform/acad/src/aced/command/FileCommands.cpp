// SAVE, SAVEAS, QSAVE and SCRIPT: the drawing's file and command scripts, with the
// command-line prompts the host shows when no file dialog is used. Drawings are
// written as DXF through the drawing files of the host (DrawingFiles.h).
#include <filesystem>

#include "acedads.h"
#include "aced/command/CommandEngine.h"
#include "aced/command/CommandSupport.h"
#include "aced/command/CoreCommands.h"
#include "aced/doc/DocManager.h"
#include "aced/host/DrawingFiles.h"
#include "aced/host/HostVariables.h"

namespace tabrik::acad::command {

namespace {

bool exists(const std::wstring& path) {
  std::error_code error;
  return std::filesystem::exists(fileSystemPath(path), error);
}

// Asks for the file name (Enter keeps `current`) and writes the drawing there; an
// existing other file is replaced only when the user agrees.
int saveAs(Document& document, bool askFormat) {
  if (askFormat) {
    std::string format;
    int status =
        getKeyword("\nEnter file format [R14/2000/2004/2007/2010/Standards/DXF/Template] <2010>: ",
                   "R14 2000 2004 2007 2010 Standards DXF Template", format);
    if (status == RTCAN) return status;
  }
  std::wstring current = document.fileName();
  std::string typed;
  int status = getText("\nSave drawing as <" + narrow(current) + ">: ", typed, true);
  if (status != RTNORM) return status;
  std::wstring path = typed.empty() ? current : wide(typed);
  if (!typed.empty() && exists(path) && path != current) {
    std::string answer;
    status =
        getKeyword("\nA drawing with this name already exists.\nDo you want to replace it? <N> ",
                   "Yes No", answer);
    if (status == RTCAN) return status;
    if (answer != "Yes") return RTNORM;
  }
  if (!saveDrawingAs(document, path)) return RTERROR;
  return RTNORM;
}

}  // namespace

int saveCommand() {
  Document* document = docManager().current();
  if (document == nullptr) return RTERROR;
  return saveAs(*document, /*askFormat=*/false);
}

int saveasCommand() {
  Document* document = docManager().current();
  if (document == nullptr) return RTERROR;
  return saveAs(*document, /*askFormat=*/true);
}

// A drawing that has a file is saved there without a question; a new one is named
// first, as SAVEAS names it.
int qsaveCommand() {
  Document* document = docManager().current();
  if (document == nullptr) return RTERROR;
  if (!exists(document->fileName())) return saveAs(*document, /*askFormat=*/false);
  return saveDrawingAs(*document, document->fileName()) ? RTNORM : RTERROR;
}

// The script runs once the command line is free: after the LISP expression that
// started it, or at once on the command line.
int scriptCommand() {
  Document* document = docManager().current();
  std::wstring drawingName = document != nullptr ? document->fileName() : L"Drawing1.dwg";
  std::wstring fallback = std::filesystem::path(drawingName).replace_extension(L".scr").wstring();
  std::string typed;
  int status = getText("\nEnter script file name <" + narrow(fallback) + ">: ", typed, true);
  if (status != RTNORM) return status;
  std::wstring name = typed.empty() ? fallback : wide(typed);
  std::optional<std::wstring> found = findHostFile(name);
  if (!found && std::filesystem::path(name).extension().empty())
    found = findHostFile(name + L".scr");
  if (!found) {
    say("\nCan't find file \"" + narrow(name) + "\".");
    return RTNORM;
  }
  queueScript(fileSystemPath(*found));
  return RTNORM;
}

}  // namespace tabrik::acad::command
