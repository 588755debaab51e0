// Copies and ownership of result-buffer chains inside the host. Buffers are always
// allocated by acutNewRb and strings with malloc, so that acutRelRb can release any
// chain, whether the host or a module built it.
#pragma once
#include <memory>

#include "acutads.h"

namespace tabrik::acad {

struct ResbufDeleter {
  void operator()(resbuf* chain) const { acutRelRb(chain); }
};
// Owns a whole chain.
using ResbufPtr = std::unique_ptr<resbuf, ResbufDeleter>;

// A malloc'ed copy of a wide string (nullptr stays nullptr).
ACHAR* duplicateString(const ACHAR* text);
// A deep copy of one buffer (rbnext left null); nullptr when memory runs out.
resbuf* copyResbuf(const resbuf* source);
// A deep copy of a whole chain.
resbuf* copyResbufChain(const resbuf* source);

}  // namespace tabrik::acad
