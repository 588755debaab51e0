// The host editor and its reactor notifications.
#include "aced/doc/HostEditor.h"

#include <algorithm>

#include "rxboiler.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcEditorReactor, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcEditor, AcRxObject)

namespace tabrik::acad {

namespace {
HostEditor* g_editor = nullptr;

bool isAttached(const std::vector<AcEditorReactor*>& reactors, AcEditorReactor* reactor) {
  return std::find(reactors.begin(), reactors.end(), reactor) != reactors.end();
}
}  // namespace

void installHostEditor() {
  if (g_editor != nullptr) return;
  AcEditorReactor::rxInit();
  AcEditor::rxInit();
  // Lives as long as the process: modules reach it through the registry at any time.
  g_editor = new HostEditor();
  acrxSysRegistry()->atPut(ACRX_T("AcEditor"), g_editor);
}

HostEditor& hostEditor() {
  installHostEditor();
  return *g_editor;
}

void HostEditor::addReactor(AcEditorReactor* reactor) {
  if (reactor != nullptr && !isAttached(m_reactors, reactor)) m_reactors.push_back(reactor);
}

void HostEditor::removeReactor(AcEditorReactor* reactor) { std::erase(m_reactors, reactor); }

// Calls f on every reactor still attached when its turn comes.
template <typename Notify>
static void notifyAll(const std::vector<AcEditorReactor*>& reactors, Notify notify) {
  std::vector<AcEditorReactor*> snapshot = reactors;
  for (AcEditorReactor* reactor : snapshot) {
    if (isAttached(reactors, reactor)) notify(reactor);
  }
}

void HostEditor::fireBeginSave(AcDbDatabase* database, const ACHAR* intendedName) {
  notifyAll(m_reactors, [&](AcEditorReactor* r) { r->beginSave(database, intendedName); });
}
void HostEditor::fireSaveComplete(AcDbDatabase* database, const ACHAR* actualName) {
  notifyAll(m_reactors, [&](AcEditorReactor* r) { r->saveComplete(database, actualName); });
}
void HostEditor::fireAbortSave(AcDbDatabase* database) {
  notifyAll(m_reactors, [&](AcEditorReactor* r) { r->abortSave(database); });
}
void HostEditor::fireBeginClose(AcDbDatabase* database) {
  notifyAll(m_reactors, [&](AcEditorReactor* r) { r->beginClose(database); });
}
void HostEditor::fireLispWillStart(const ACHAR* firstLine) {
  notifyAll(m_reactors, [&](AcEditorReactor* r) { r->lispWillStart(firstLine); });
}
void HostEditor::fireLispEnded() {
  notifyAll(m_reactors, [&](AcEditorReactor* r) { r->lispEnded(); });
}

}  // namespace tabrik::acad
