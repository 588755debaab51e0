// What the bodies of the built-in commands share: asking through the ads input calls
// with the command line's prompts, the drawing they act on, name lists.
#pragma once
#include <string>
#include <vector>

#include "dbid.h"

class AcDbDatabase;

namespace tabrik::acad::command {

// Text on the command line (UTF-8).
void say(const std::string& text);
// acedInitGet(bits, keywords) then acedGetKword: RTNORM with the keyword's global
// name, RTNONE for Enter, RTCAN.
int getKeyword(const std::string& prompt, const std::string& keywords, std::string& keyword,
               int bits = 0);
// acedGetString: RTNORM with the text, RTCAN. Enter gives RTNORM and "".
int getText(const std::string& prompt, std::string& text, bool allowSpaces = false);
// The drawing the command acts on.
AcDbDatabase* drawing();
std::string upperCase(std::string text);
std::wstring wide(const std::string& text);
std::string narrow(const std::wstring& text);
// A list of names separated by commas, blanks around each dropped, empty ones too.
std::vector<std::string> nameList(const std::string& text);
// Wild-card match as the host matches names: * any run, ? one character, # a digit,
// letter case ignored.
bool matchesName(const std::string& pattern, const std::string& name);
// A colour typed as a number 1..255 or as one of the seven named ones; 0 when none.
int colorIndexOf(const std::string& text);
// "1 (red)" for the named colours, "8" for the others.
std::string colorText(int index);
// The record of the named symbol table (kLayer ... as AcDbSymbolTable's ids), the
// null id when absent.
AcDbObjectId layerId(const std::string& name);
AcDbObjectId linetypeId(const std::string& name);
AcDbObjectId textStyleId(const std::string& name);
std::string recordName(AcDbObjectId id);

}  // namespace tabrik::acad::command
