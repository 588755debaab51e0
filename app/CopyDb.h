// Copying a database between back ends: the `copy-db` command and the host:copy-db
// function, both reporting table by table what came over.
#pragma once
#include <string>
#include <vector>

namespace tabrik::app {

// `tabrik copy-db SOURCE TARGET`: 0 when copied, 1 (after a message) when not, 2 for a
// wrong command line. A line per table on standard error as the copy goes.
int runCopyDb(const std::vector<std::string>& operands);

// (host:copy-db SOURCE TARGET): a list of (TABLE RECORDS) per table (RECORDS nil for a
// link), or nil after printing why the copy failed.
void addCopyDbFunction();

}  // namespace tabrik::app
