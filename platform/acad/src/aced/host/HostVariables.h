// Host variables that the host itself keeps, for acedGetVar/acedSetVar and LISP's
// getvar/setvar:
//
// | name       | type    | scope    | notes                                          |
// |------------|---------|----------|------------------------------------------------|
// | ACADPREFIX | RTSTR   | session  | folders separated by ";" (settable, as         |
// |            |         |          | --search-path)                                 |
// | ERRNO      | RTSHORT | session  | status of the last failed ads call             |
// | DIMSCALE   | RTREAL  | drawing  | overall dimension (leader) scale, > 0          |
// | PICKBOX    | RTREAL  | session  | pick tolerance in drawing units, >= 0          |
// | ORTHOMODE  | RTSHORT | session  | 0 or 1: jigs governed by ortho keep the cursor |
// |            |         |          | on the axes through their base point           |
// | DWGNAME    | RTSTR   | drawing  | read-only: the file name without its folder    |
// | DWGPREFIX  | RTSTR   | drawing  | read-only: the folder with a trailing separator|
// | CDATE      | RTREAL  | session  | read-only: YYYYMMDD.HHMMSSmsec                 |
//
// Other names go to the current document's LISP environment (LUNITS, LUPREC, ...).
#pragma once
#include <optional>
#include <string>

#include "adsdef.h"

namespace tabrik::acad {

// False for a name no one knows.
bool getHostVariable(const std::wstring& name, resbuf* value);
// RTNORM, RTERROR for an unknown or read-only name, RTREJ for a value of the wrong
// type or range.
int setHostVariable(const std::wstring& name, const resbuf& value);
// The file name found the way acedFindFile searches: the name itself when it has a
// folder or exists as given, else the current drawing's folder, then the ACADPREFIX
// folders. The name part keeps the separators it was given.
std::optional<std::wstring> findHostFile(const std::wstring& name);
// A path with '\' turned into '/' for the file system.
std::string fileSystemPath(const std::wstring& path);

}  // namespace tabrik::acad
