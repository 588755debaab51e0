// The two shapes most tb_ functions of the current connection share: a yes-or-no
// question about one name, and an operation on two names. Both read their string
// arguments first (wrong types fail the call), answer nil when there is no current
// connection, and run the failure report when the connection's operation fails.
#pragma once

#include "db/CDBConnection.h"

namespace tabrik::arx::db {

using NameQuestion = bool (CDBConnection::*)(const CString& name, bool& answer);
using TwoNameOperation = bool (CDBConnection::*)(const CString& first, const CString& second);

// T when the connection answers yes about the name, nil when no.
int answerNameQuestion(NameQuestion question);
// T when the operation on the two names succeeds.
int runTwoNameOperation(TwoNameOperation operation);

}  // namespace tabrik::arx::db
