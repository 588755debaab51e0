// Everything of an Access file that the engine can hold, written into a new database:
// tables, fields, records, indexes, relations, stored queries. Runs in the process
// that does the conversion (see AccessConversion.cpp for the child that hosts it).
#pragma once
#include <string>

#include "access/MdbSource.h"
#include "tabrik/AccessConversion.h"

namespace tabrik::dao::access {

// Told of each step as it finishes, so that a report survives a later failure.
class ImportSink {
 public:
  virtual ~ImportSink() = default;
  virtual void tableDone(const AccessTableReport& table) = 0;
  virtual void note(const std::wstring& text) = 0;  // a relation or query left out
  virtual void totals(long relations, long queries) = 0;
};

// Writes the source into a database created at outPath (which must not exist).
// Throws CDaoException* when the database cannot be made or written.
void importAccess(MdbSource& source, const std::wstring& outPath, ImportSink& sink);

}  // namespace tabrik::dao::access
