// The document manager: opening, closing, current and active documents, locks and the
// lines sent to documents.
#include "aced/doc/DocManager.h"

#include <algorithm>
#include <vector>

#include "aced.h"
#include "aced/command/CommandEngine.h"
#include "aced/doc/HostEditor.h"
#include "aced/host/HostVariables.h"
#include "aced/module/Modules.h"
#include "afxstat_.h"
#include "rxboiler.h"
#include "tabrik/DrawingFiling.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcApDocument, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcApDocManager, AcRxObject)

namespace tabrik::acad {

namespace {

class DocumentIterator : public AcApDocumentIterator {
 public:
  explicit DocumentIterator(std::vector<Document*> documents) : m_documents(std::move(documents)) {}
  bool done() const override { return m_index >= m_documents.size(); }
  void step() override { ++m_index; }
  AcApDocument* document() override { return done() ? nullptr : m_documents[m_index]; }

 private:
  std::vector<Document*> m_documents;
  size_t m_index = 0;
};

}  // namespace

void installHostClasses() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  AcApDocument::rxInit();
  AcApDocManager::rxInit();
  installHostEditor();
  installFileFinder(&findHostFile);
}

DocManager& docManager() {
  // Never destroyed: modules and static objects may ask for it during process exit.
  static DocManager* manager = [] {
    installHostClasses();
    return new DocManager();
  }();
  return *manager;
}

Document* DocManager::owning(const AcRxObject* document) const {
  for (const auto& open : m_documents) {
    if (open.get() == document) return open.get();
  }
  return nullptr;
}

AcApDocument* DocManager::document(const AcDbDatabase* database) const {
  if (database == nullptr) return nullptr;
  for (const auto& open : m_documents) {
    if (open->database() == database) return open.get();
  }
  return nullptr;
}

AcApDocumentIterator* DocManager::newAcApDocumentIterator() {
  std::vector<Document*> documents;
  for (const auto& open : m_documents) documents.push_back(open.get());
  return new DocumentIterator(std::move(documents));
}

Acad::ErrorStatus DocManager::lockDocument(AcApDocument* document, AcAp::DocLockMode, const ACHAR*,
                                           const ACHAR*, bool) {
  Document* open = owning(document);
  if (open == nullptr) return Acad::eInvalidInput;
  open->lock();
  return Acad::eOk;
}

Acad::ErrorStatus DocManager::unlockDocument(AcApDocument* document) {
  Document* open = owning(document);
  if (open == nullptr) return Acad::eInvalidInput;
  return open->unlock() ? Acad::eOk : Acad::eNotApplicable;
}

void DocManager::makeCurrent(Document* document) {
  m_current = document;
  acdbHostApplicationServices()->setWorkingDatabase(document ? document->database() : nullptr);
}

Acad::ErrorStatus DocManager::setCurDocument(AcApDocument* document, AcAp::DocLockMode,
                                             bool activate) {
  Document* open = owning(document);
  if (open == nullptr) return Acad::eInvalidInput;
  makeCurrent(open);
  if (activate) m_active = open;
  return Acad::eOk;
}

Acad::ErrorStatus DocManager::activateDocument(AcApDocument* document, bool) {
  Document* open = owning(document);
  if (open == nullptr) return Acad::eInvalidInput;
  m_active = open;
  makeCurrent(open);
  return Acad::eOk;
}

Acad::ErrorStatus DocManager::sendStringToExecute(AcApDocument* document, const ACHAR* text,
                                                  bool activate, bool, bool) {
  Document* open = owning(document);
  if (open == nullptr || text == nullptr) return Acad::eInvalidInput;
  open->pendingLines().push_back(text);
  if (activate) m_active = open;
  return Acad::eOk;
}

Document* DocManager::open(std::wstring fileName, std::unique_ptr<AcDbDatabase> database) {
  if (!database) database = std::make_unique<AcDbDatabase>(/*buildDefaultDrawing=*/true);
  auto document = std::make_unique<Document>(std::move(fileName), std::move(database));
  Document* opened = document.get();
  m_documents.push_back(std::move(document));
  if (LispEnvironmentFactory factory = lispEnvironmentFactory()) opened->setLisp(factory(*opened));
  m_active = opened;
  makeCurrent(opened);
  notifyModulesDocumentOpened(*opened);
  return opened;
}

std::wstring DocManager::nextDrawingName() const {
  for (int n = 1;; ++n) {
    std::wstring name = L"Drawing" + std::to_wstring(n) + L".dwg";
    if (find(name) == nullptr) return name;
  }
}

bool DocManager::close(Document* document) {
  Document* open = owning(document);
  if (open == nullptr) return false;
  Document* previous = m_current;
  makeCurrent(open);
  command::drawingClosing(open->database());
  hostEditor().fireBeginClose(open->database());
  notifyModulesDocumentClosing(*open);
  auto found = std::find_if(m_documents.begin(), m_documents.end(),
                            [open](const auto& d) { return d.get() == open; });
  std::unique_ptr<Document> closing = std::move(*found);
  m_documents.erase(found);
  if (m_active == open) m_active = m_documents.empty() ? nullptr : m_documents.back().get();
  makeCurrent(previous != open && owning(previous) ? previous : m_active);
  closing.reset();
  return true;
}

void DocManager::closeAll() {
  while (!m_documents.empty()) close(m_documents.back().get());
}

Document* DocManager::find(const std::wstring& fileName) const {
  for (const auto& open : m_documents) {
    if (equalsIgnoringCase(open->fileName(), fileName)) return open.get();
  }
  return nullptr;
}

void DocManager::runPendingLines() {
  struct Line {
    Document* document;
    std::wstring text;
  };
  std::vector<Line> lines;
  for (const auto& open : m_documents) {
    while (!open->pendingLines().empty()) {
      lines.push_back({open.get(), std::move(open->pendingLines().front())});
      open->pendingLines().pop_front();
    }
  }
  Document* previous = m_current;
  for (Line& line : lines) {
    // A line may close documents; skip lines whose document went away.
    if (owning(line.document) == nullptr) continue;
    makeCurrent(line.document);
    if (LispEnvironment* lisp = line.document->lisp()) lisp->execute(line.text);
  }
  makeCurrent(owning(previous) ? previous : m_active);
}

}  // namespace tabrik::acad

AcApDocManager* acDocManagerPtr() { return &tabrik::acad::docManager(); }

AcApDocument* curDoc() { return tabrik::acad::docManager().curDocument(); }

// The resource stack: each push remembers the handle it replaced.
namespace {
std::vector<HINSTANCE>& resourceStack() {
  static std::vector<HINSTANCE> stack;
  return stack;
}
}  // namespace

void AcApDocManager::pushResourceHandle(HINSTANCE hNewResourceFile) {
  resourceStack().push_back(AfxGetResourceHandle());
  AfxSetResourceHandle(hNewResourceFile);
}

void AcApDocManager::popResourceHandle() {
  // An unmatched pop leaves the current resources alone.
  if (resourceStack().empty()) return;
  AfxSetResourceHandle(resourceStack().back());
  resourceStack().pop_back();
}
