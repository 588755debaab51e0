// Selection filters over entity data, as acedSSGet applies them: each (code . value)
// test asks the entity's groups of that code (see EntityData.h), with -4 groups for
// relational tests and logical grouping, and -3 for extended data.
//
// | filter                         | matches when                                     |
// |--------------------------------|--------------------------------------------------|
// | (code . text)                  | a group's text matches the wildcard pattern,     |
// |                                | letter case ignored                              |
// | (code . number/point/name)     | a group holds an equal value                     |
// | (-4 . "op") (code . value)     | a group compares so: = != /= <> < <= > >= * (any)|
// |                                | & (any bit of value) &= (all bits); a point      |
// |                                | takes one operator per axis, "op,op,op"          |
// | (-4 . "<AND") ... (-4 . "AND>")| every test inside holds (likewise OR, XOR of     |
// |                                | two tests, NOT of one)                           |
// | (-3 ("APP") ...)               | the entity has extended data of each application |
//
// A group the entity leaves out because it holds its default (62 colour BYLAYER 256,
// 6 linetype BYLAYER, 39 thickness 0, 48 linetype scale 1, 60 visible 0, 67 model
// space 0, 210 extrusion Z) tests as that default.
#pragma once
#include <string>
#include <string_view>

#include "adsdef.h"
#include "dbid.h"

namespace tabrik::acad {

// Wildcard matching of the host's patterns (as wcmatch), letter case ignored:
// "," separates alternatives, a leading "~" negates, "*" any run, "?" any
// character, "#" a digit, "@" a letter, "." a character that is neither, "[...]" and
// "[~...]" classes with ranges, "`" takes the next character literally.
bool wildcardMatch(std::wstring_view text, std::wstring_view pattern);

// False, with the reason, for a filter whose -4 groups do not nest or name no
// operator, or whose relational test has nothing to test.
bool filterIsWellFormed(const resbuf* filter, std::string& reason);
// True when the entity passes the filter (every top-level test holds); a null filter
// passes everything, an erased or unknown entity nothing.
bool entityPassesFilter(AcDbObjectId id, const resbuf* filter);

}  // namespace tabrik::acad
