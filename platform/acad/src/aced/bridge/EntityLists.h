// Entity data between LISP association lists and group-coded result buffers, as
// entget, entmod, entmake, tblsearch and ssget filters see them.
//
// | LISP element                     | buffers                                     |
// |----------------------------------|---------------------------------------------|
// | (code . text/number/ename)       | one buffer of type `code`, the value in the |
// |                                  | member the code's kind names (ResbufKinds.h)|
// | (code x y [z])                   | a point buffer (z 0 when left out)          |
// | (-3 ("APP" item ...) ...)        | -3, then per application 1001 "APP" and its |
// |                                  | items                                       |
//
// Integers go to real codes as reals; a value of the wrong kind for its code is
// "bad DXF group: <element>". Back to LISP, points of an LWPOLYLINE's vertices (10)
// read as 2D points, as the host shows them.
#pragma once
#include "adsdef.h"
#include "lisp/Value.h"

namespace tabrik::acad {

// The chain of an association list; throws tabrik::lisp::LispError for an element
// that is not a group. The caller releases the chain with acutRelRb.
resbuf* entityListToResbuf(const lisp::Value& list);
// The association list of a chain (-3 and what follows become one (-3 ...) element).
lisp::Value resbufToEntityList(const resbuf* chain);

}  // namespace tabrik::acad
