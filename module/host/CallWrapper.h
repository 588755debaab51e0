// The single path of a LISP call into a function body: the common call wrapper (the
// working drawing's document locked for the whole body), and the reporter that turns
// the body's result code into a command-line message and the host's status.
#pragma once

namespace tabrik::arx {

// What a function body returns to the wrapper.
enum ResultCode : int {
  kResultOk = 0,         // the body set its LISP result (nil when it set none)
  kTooFewArguments = 1,  // "\nToo few arguments passed.\n"
  kWrongType = 2,        // "\nWrong type of arguments passed.\n"
  kBadData = 3,          // "\nBad data passed .\n"
  kAlreadyReported = 4,  // the body told the user; the host shows its text window
};

// A function body: fetches its own arguments, sets its result through the host's return
// calls, releases the arguments and returns a ResultCode.
using LispBody = int (*)();

// Prints the message of a result code and returns RSRSLT or RSERR. Codes other than
// 1 to 4 count as success.
int reportResult(int resultCode);

// Locks the document of the host's working database for writing, runs the body,
// reports its result and unlocks. An exception escaping the body is announced
// ("\nGeneral Exception" for MFC exceptions, "\nError" for anything else) after the
// document is unlocked, and continues into the host unchanged.
//
// Document lock around one call:
//   unlocked --lockDocument(kWrite)--> locked --body returns--> reported --> unlocked
//                                      locked --body throws---> unlocked --> announced, rethrown
int callWrapper(LispBody body);

}  // namespace tabrik::arx
