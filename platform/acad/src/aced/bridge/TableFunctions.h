// The LISP functions of symbol tables and dictionaries: tblsearch, tblnext,
// tblobjname, namedobjdict, dictsearch and dictnext, over the ads table calls.
#pragma once

namespace tabrik::lisp {
class Runtime;
}

namespace tabrik::acad {

void installTableFunctions(lisp::Runtime& runtime);

}  // namespace tabrik::acad
