// The call of an external function as the ads calls see it: its code, its arguments
// (each acedGetArgs hands out a chain of its own, which the handler releases) and the
// result that the acedRetXxx calls set. Calls nest (a handler may acedInvoke LISP that
// calls another external function), so the frames form a stack; the innermost is the
// one the ads calls act on.
#pragma once
#include "acdb/acut/ResbufChain.h"

namespace tabrik::acad {

class Document;

// The caller's side of a call whose arguments and list result are its own values
// (the LISP bridge). With it, the first acedGetArgs hands out the argument chain
// itself (later ones a chain rebuilt from the values) and acedRetList converts the
// handler's chain at once: no chain is copied either way. Without it, acedGetArgs
// copies `args` and acedRetList keeps a copy of the chain in `result`.
class CallValues {
 public:
  // A new chain of the call's arguments; nullptr for none (or no memory).
  virtual resbuf* rebuildArguments() = 0;
  // Takes the list acedRetList returns; false when it cannot be converted.
  virtual bool takeList(const resbuf* list) = 0;

 protected:
  ~CallValues() = default;
};

struct ExternalCall {
  enum class Result {
    kNil,    // nothing set, or acedRetNil
    kVoid,   // acedRetVoid: a value the command line does not echo
    kValue,  // one buffer: acedRetInt/Real/Str/Point/Name/T/Val
    kList,   // a chain: acedRetList
  };
  int code = 0;
  ResbufPtr args;
  Result kind = Result::kNil;
  ResbufPtr result;  // kValue, and kList when no CallValues took the list
  CallValues* values = nullptr;
};

// Runs the handler of code in document with args (taken over), as the host runs an
// external function: the call is the current frame while the handler runs, and the
// module that registered it is the running module. Returns the handler's status
// (RSRSLT, RSERR...), or RTERROR when no handler is attached to the code. Exceptions
// of the handler pass through, after the frame is gone.
int runExternal(Document& document, int code, resbuf* args, ExternalCall& call);
// The innermost call, or nullptr outside calls.
ExternalCall* currentExternalCall();

}  // namespace tabrik::acad
