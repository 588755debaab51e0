// The host's document manager: the open documents in opening order, the current one
// (whose context code runs in; the working database follows it) and the active one
// (whose window has the focus).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "aced/doc/Document.h"

namespace tabrik::acad {

class DocManager : public AcApDocManager {
 public:
  AcApDocument* curDocument() const override { return m_current; }
  AcApDocument* mdiActiveDocument() const override { return m_active; }
  AcApDocument* document(const AcDbDatabase* database) const override;
  int documentCount() const override { return static_cast<int>(m_documents.size()); }
  AcApDocumentIterator* newAcApDocumentIterator() override;
  Acad::ErrorStatus lockDocument(AcApDocument* document, AcAp::DocLockMode mode,
                                 const ACHAR* globalCmdName, const ACHAR* localCmdName,
                                 bool prompt) override;
  Acad::ErrorStatus unlockDocument(AcApDocument* document) override;
  Acad::ErrorStatus setCurDocument(AcApDocument* document, AcAp::DocLockMode mode,
                                   bool activate) override;
  Acad::ErrorStatus activateDocument(AcApDocument* document, bool passScript) override;
  Acad::ErrorStatus sendStringToExecute(AcApDocument* document, const ACHAR* text, bool activate,
                                        bool wrapUpInactiveDoc, bool echoString) override;

  // Opens a document over a database (a new one when null), makes it current and
  // active, gives it its LISP environment and tells the loaded modules (kLoadDwgMsg).
  Document* open(std::wstring fileName, std::unique_ptr<AcDbDatabase> database = nullptr);
  // "DrawingN.dwg" with the next unused N.
  std::wstring nextDrawingName() const;
  // Tells the modules (kUnloadDwgMsg) and the editor, then closes; the last opened
  // of the remaining documents becomes active. False for a document not open here.
  bool close(Document* document);
  void closeAll();
  // The open document with that file name (letter case ignored), or nullptr.
  Document* find(const std::wstring& fileName) const;
  Document* current() const { return m_current; }
  Document* active() const { return m_active; }
  const std::vector<std::unique_ptr<Document>>& documents() const { return m_documents; }
  Document* owning(const AcRxObject* document) const;
  // Runs the lines sent to documents, oldest first, each in its document; lines sent
  // while they run wait for the next call. The current document is restored.
  void runPendingLines();

 private:
  void makeCurrent(Document* document);

  std::vector<std::unique_ptr<Document>> m_documents;
  Document* m_current = nullptr;
  Document* m_active = nullptr;
};

// The host's one document manager.
DocManager& docManager();
// Registers the host's runtime classes and publishes the editor; idempotent.
void installHostClasses();

}  // namespace tabrik::acad
