// The host editor and its reactors: modules attach an AcEditorReactor to the editor
// (the "AcEditor" entry of the system registry) to hear about commands and saves.
#pragma once
#include "dbmain.h"
#include "rxdict.h"

class AcEditorReactor : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcEditorReactor);
  ~AcEditorReactor() override = default;

  virtual void beginSave(AcDbDatabase* database, const ACHAR* intendedName) {}
  // After a database was written; actualName is the file it was written to.
  virtual void saveComplete(AcDbDatabase* database, const ACHAR* actualName) {}
  virtual void abortSave(AcDbDatabase* database) {}
  virtual void commandWillStart(const ACHAR* commandName) {}
  virtual void commandEnded(const ACHAR* commandName) {}
  virtual void lispWillStart(const ACHAR* firstLine) {}
  virtual void lispEnded() {}
  virtual void beginClose(AcDbDatabase* database) {}
};

class AcEditor : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcEditor);

  virtual void addReactor(AcEditorReactor* reactor) = 0;
  virtual void removeReactor(AcEditorReactor* reactor) = 0;
};

#define acedEditor AcEditor::cast(acrxSysRegistry()->at(ACRX_T("AcEditor")))
