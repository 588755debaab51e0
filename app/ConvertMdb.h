// Access files into the engine's format: the `convert-mdb` command and the
// host:convert-mdb function, both reporting table by table what came over.
#pragma once
#include <string>
#include <vector>

namespace tabrik::app {

// `tabrik convert-mdb IN OUT`: 0 when converted, 1 (after a message) when not.
int runConvertMdb(const std::vector<std::string>& operands);

// (host:convert-mdb IN OUT): a list of (TABLE RECORDS LEFT-OUT) per table, or nil after
// printing why the file could not be converted.
void addConvertMdbFunction();

}  // namespace tabrik::app
