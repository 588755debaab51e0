// The drawing database and the host application services that name the working one.
// (The entity model, object ids and the open protocol grow around this class.)
#pragma once
#include "rxobject.h"

class AcDbDatabase : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbDatabase);

  explicit AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
  ~AcDbDatabase() override;

  AcDbDatabase(const AcDbDatabase&) = delete;
  AcDbDatabase& operator=(const AcDbDatabase&) = delete;
};

class AcDbHostApplicationServices : public AcRxObject {
 public:
  // The database that host calls act on: the active document's, or one a caller made
  // working for a while.
  AcDbDatabase* workingDatabase() const { return m_workingDatabase; }
  void setWorkingDatabase(AcDbDatabase* database) { m_workingDatabase = database; }

 private:
  AcDbDatabase* m_workingDatabase = nullptr;
};

AcDbHostApplicationServices* acdbHostApplicationServices();
