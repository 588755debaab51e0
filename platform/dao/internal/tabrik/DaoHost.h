// What the host plugs into the database engine: the check that stops a caller's
// statement that runs long (Escape pressed, a cancel waiting in the input queue). The
// engine itself knows no host; the host installs its check once at start-up.
#pragma once

namespace tabrik::dao {

// True when the user asked to stop what runs now. Called on the engine's thread.
using CancelCheck = bool (*)();

// The engine asks the check once per kCancelPollSteps steps of SQLite's virtual
// machine, and only while a caller's statement runs (Execute, a recordset's or a query
// definition's SQL): a statement shorter than that is never cancelled, so an Escape
// typed ahead for a later prompt is not taken by a quick query. A cancelled statement
// fails with DAO's 3059 and leaves the database as it was before it.
inline constexpr int kCancelPollSteps = 1000000;

// Installs the check; nullptr removes it (statements then run to their end).
void setCancelCheck(CancelCheck check);

}  // namespace tabrik::dao
