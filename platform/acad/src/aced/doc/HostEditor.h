// The host editor ("AcEditor" in the system registry) and the notifications it sends
// to the reactors that modules attach.
#pragma once
#include <vector>

#include "aced.h"

namespace tabrik::acad {

class HostEditor : public AcEditor {
 public:
  void addReactor(AcEditorReactor* reactor) override;
  void removeReactor(AcEditorReactor* reactor) override;

  void fireBeginSave(AcDbDatabase* database, const ACHAR* intendedName);
  void fireSaveComplete(AcDbDatabase* database, const ACHAR* actualName);
  void fireAbortSave(AcDbDatabase* database);
  void fireBeginClose(AcDbDatabase* database);
  void fireLispWillStart(const ACHAR* firstLine);
  void fireLispEnded();
  size_t reactorCount() const { return m_reactors.size(); }

 private:
  // Reactors may remove themselves while notified: every notification walks a copy.
  std::vector<AcEditorReactor*> m_reactors;
};

// Creates the editor and enters it in the system registry (once).
void installHostEditor();
HostEditor& hostEditor();

}  // namespace tabrik::acad
