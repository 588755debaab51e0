// Documents and the document manager: every open drawing is a document with a file
// name, a drawing database and a lock; the manager knows the current and the active
// one and queues expressions for documents.
//
// Document locks around a call (one document):
//   unlocked --lockDocument(kWrite)--> locked(count 1) --lockDocument--> count n+1
//   locked(count n) --unlockDocument--> count n-1 (unlocked at 0)
// unlockDocument of an unlocked document returns eNotApplicable and changes nothing.
#pragma once
#include "acadstrc.h"
#include "dbmain.h"
#include "rxobject.h"

struct HINSTANCE__;
typedef struct HINSTANCE__* HINSTANCE;

namespace AcAp {
enum DocLockMode {
  kNone = 0x00,
  kAutoWrite = 0x01,
  kNotLocked = 0x02,
  kWrite = 0x04,
  kProtectedAutoWrite = 0x14,
  kRead = 0x20,
  kXWrite = 0x40,
};
}  // namespace AcAp

class AcApDocument : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcApDocument);

  virtual const ACHAR* fileName() const = 0;
  virtual const ACHAR* docTitle() const = 0;
  virtual AcDbDatabase* database() const = 0;
  virtual AcAp::DocLockMode lockMode(bool includeMyLocks = false) const = 0;
  // False while a command is active in the document.
  virtual bool isQuiescent() const = 0;
};

class AcApDocumentIterator {
 public:
  virtual ~AcApDocumentIterator() = default;
  virtual bool done() const = 0;
  virtual void step() = 0;
  virtual AcApDocument* document() = 0;
};

class AcApDocManager : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcApDocManager);

  // The document whose context the current code runs in.
  virtual AcApDocument* curDocument() const = 0;
  // The document whose window is active.
  virtual AcApDocument* mdiActiveDocument() const = 0;
  // The document owning a database; nullptr for a database with no document.
  virtual AcApDocument* document(const AcDbDatabase* database) const = 0;
  virtual int documentCount() const = 0;
  // The caller deletes the iterator.
  virtual AcApDocumentIterator* newAcApDocumentIterator() = 0;

  virtual Acad::ErrorStatus lockDocument(AcApDocument* document,
                                         AcAp::DocLockMode mode = AcAp::kWrite,
                                         const ACHAR* globalCmdName = nullptr,
                                         const ACHAR* localCmdName = nullptr,
                                         bool prompt = true) = 0;
  virtual Acad::ErrorStatus unlockDocument(AcApDocument* document) = 0;
  virtual Acad::ErrorStatus setCurDocument(AcApDocument* document,
                                           AcAp::DocLockMode mode = AcAp::kNone,
                                           bool activate = false) = 0;
  virtual Acad::ErrorStatus activateDocument(AcApDocument* document, bool passScript = false) = 0;
  // Queues text on a document's command line; it runs when the host is next idle in
  // that document (host:idle in the headless host).
  virtual Acad::ErrorStatus sendStringToExecute(AcApDocument* document, const ACHAR* text,
                                                bool activate = true,
                                                bool wrapUpInactiveDoc = false,
                                                bool echoString = true) = 0;

  // Makes a module's resources the current ones (dialog templates, strings) until the
  // matching pop; pushes nest.
  virtual void pushResourceHandle(HINSTANCE hNewResourceFile);
  virtual void popResourceHandle();
};

AcApDocManager* acDocManagerPtr();
#define acDocManager acDocManagerPtr()
// The document of the working database (the SDK's shorthand).
AcApDocument* curDoc();
