// LISP values <-> result buffers, as the host converts them for external functions.
//
// Arguments (and the values acedInvoke hands back), LISP -> resbuf:
//
// | LISP value                         | result buffers                         |
// |------------------------------------|----------------------------------------|
// | integer -32768..32767              | RTSHORT                                |
// | other integer                      | RTLONG                                 |
// | real                               | RTREAL                                 |
// | string                             | RTSTR                                  |
// | nil / T                            | RTNIL / RTT                            |
// | ename / pickset                    | RTENAME / RTPICKS                      |
// | list of exactly 2 or 3 numbers     | RTPOINT / RT3DPOINT (reals)            |
// | other list                         | RTLB, elements, RTLE                   |
// | dotted tail (a . b)                | RTLB a RTDOTE b RTLE                   |
// | other symbols, functions, files    | not transferable: bad argument type    |
//
// Results, resbuf -> LISP: RTSHORT/RTLONG integers, RTREAL/RTANG/RTORINT reals,
// RTSTR strings, RTPOINT (x y), RT3DPOINT (x y z), RTENAME/RTPICKS names, RTT T,
// RTNIL nil; in a list RTLB/RTLE open and close sublists and RTDOTE makes the next
// element the cdr; an element carrying a group code becomes (code . value), a point
// group code (code x y z).
//
// Both directions work without recursion, so nesting depth is bounded by memory only.
#pragma once
#include "acutads.h"
#include "lisp/Value.h"

namespace tabrik::acad {

// The flat chain of an argument list; throws tabrik::lisp::LispError for a value
// that cannot cross to an external function.
resbuf* lispArgumentsToResbuf(const lisp::Value* first, size_t count);
// One value as a chain (a point buffer, an RTLB...RTLE list or one buffer).
resbuf* lispValueToResbuf(const lisp::Value& value);
// One buffer as a value (acedRetVal, host variables).
lisp::Value resbufToLispValue(const resbuf& value);
// A chain as the list acedRetList returns.
lisp::Value resbufListToLisp(const resbuf* chain);
// A chain of values (acedInvoke arguments after the name): one value per element,
// RTLB...RTLE as lists.
std::vector<lisp::Value> resbufToLispArguments(const resbuf* chain);

}  // namespace tabrik::acad
