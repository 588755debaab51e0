// The common call wrapper and the result-code reporter (see CallWrapper.h).
#include "host/CallWrapper.h"

#include <afx.h>

#include <acdocman.h>
#include <acedads.h>
#include <acutads.h>
#include <dbmain.h>

namespace tabrik::arx {
namespace {

// The reporter's texts are narrow constants; the host's command line takes wide text.
void printNarrow(const char* text) {
  std::wstring wide(text, text + std::char_traits<char>::length(text));
  acutPrintf(L"%ls", wide.c_str());
}

// Holds the write lock of the working database's document for the lifetime of the
// guard. The lock is released only when it was granted, so that a refused lock never
// releases a lock somebody else holds (defensive: the host grants a write lock on the
// working document to the code running in it).
class DocumentWriteLock {
 public:
  DocumentWriteLock() {
    AcApDocManager* manager = acDocManager;
    m_document = manager->document(acdbHostApplicationServices()->workingDatabase());
    m_locked = m_document != nullptr &&
               manager->lockDocument(m_document, AcAp::kWrite, /*globalCmdName=*/nullptr,
                                     /*localCmdName=*/nullptr, /*prompt=*/true) == Acad::eOk;
  }
  ~DocumentWriteLock() {
    if (m_locked) {
      acDocManager->unlockDocument(m_document);
    }
  }
  DocumentWriteLock(const DocumentWriteLock&) = delete;
  DocumentWriteLock& operator=(const DocumentWriteLock&) = delete;

 private:
  AcApDocument* m_document = nullptr;
  bool m_locked = false;
};

}  // namespace

int reportResult(int resultCode) {
  switch (resultCode) {
    case kTooFewArguments:
      printNarrow("\nToo few arguments passed.\n");
      return RSERR;
    case kWrongType:
      printNarrow("\nWrong type of arguments passed.\n");
      return RSERR;
    case kBadData:
      printNarrow("\nBad data passed .\n");
      return RSERR;
    case kAlreadyReported:
      acedTextScr();
      return RSERR;
    default:
      return RSRSLT;
  }
}

int callWrapper(LispBody body) {
  try {
    // The lock guard lives inside the try block: unwinding releases the document
    // before a handler below announces the exception.
    DocumentWriteLock lock;
    return reportResult(body());
  } catch (CException*) {
    acutPrintf(L"\nGeneral Exception");
    throw;
  } catch (...) {
    acutPrintf(L"\nError");
    throw;
  }
}

}  // namespace tabrik::arx
