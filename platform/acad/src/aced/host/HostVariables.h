// The host's system variables for acedGetVar/acedSetVar and LISP's getvar/setvar,
// over the table of tabrik/SystemVariables.h. Where a value lives follows the table:
// drawing variables in the current document's database (CLAYER, DIMSCALE, ... in its
// members, the rest in its variable store), session and profile ones in HostState.
// The host computes CDATE, DATE, MILLISECS, DWGNAME, DWGPREFIX, the TD* times and the
// session folders. Two differ from the reference on purpose: ACADPREFIX is writable
// (the search path, as --search-path) and PICKBOX is the pick tolerance in drawing
// units (a real, >= 0, 0.1 by default).
#pragma once
#include <optional>
#include <string>

#include "adsdef.h"

namespace tabrik::acad {

// False for a name no one knows.
bool getHostVariable(const std::wstring& name, resbuf* value);
// RTNORM, RTERROR for an unknown or read-only name, RTREJ for a value of the wrong
// type or range, or a name (CLAYER, CELTYPE, TEXTSTYLE, DIMSTYLE, CTAB, CECOLOR) the
// drawing does not have; a refused setting changes nothing.
int setHostVariable(const std::wstring& name, const resbuf& value);
// The file name found the way acedFindFile searches: the name itself when it has a
// folder or exists as given, else the current drawing's folder, then the ACADPREFIX
// folders. The name part keeps the separators it was given.
std::optional<std::wstring> findHostFile(const std::wstring& name);
// A path with '\' turned into '/' for the file system.
std::string fileSystemPath(const std::wstring& path);

}  // namespace tabrik::acad
