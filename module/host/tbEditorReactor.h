// tbEditorReactor: the module's editor reactor. It listens for completed saves so that
// a drawing saved under a new name stops using the database connection it had under
// its old name. One instance is attached to the host editor while the module is loaded.
#pragma once
#include <aced.h>

class tbEditorReactor : public AcEditorReactor {
 public:
  void saveComplete(AcDbDatabase* database, const ACHAR* actualName) override;
};
