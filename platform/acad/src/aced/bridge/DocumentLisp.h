// The LISP environment of one document: an AutoLISP runtime whose host services are
// the host's (output, host variables, file search, user input) and whose external
// functions are the handlers the document's modules registered.
//
// Evaluations outlive documents: a script may close the drawing whose namespace it
// runs in. A closed document's environment is therefore retired, not destroyed,
// while any evaluation is active in it, and released once the host is idle.
#pragma once
#include <memory>
#include <string>

#include "aced/doc/LispEnvironment.h"
#include "lisp/Runtime.h"

namespace tabrik::acad {

class DocumentLisp : public LispEnvironment,
                     public lisp::HostServices,
                     public lisp::ExternalDispatcher {
 public:
  DocumentLisp();
  ~DocumentLisp() override;

  lisp::Runtime& runtime() { return *m_runtime; }
  // The document this environment belongs to; nullptr once it closed.
  Document* document() const;

  // --- LispEnvironment
  void defineExternal(const std::wstring& name, int code) override;
  void undefineExternal(const std::wstring& name) override;
  int invoke(const resbuf* args, resbuf** result) override;
  int evaluate(const std::wstring& text, resbuf** result) override;
  void execute(const std::wstring& line) override;
  bool getVariable(const std::wstring& name, resbuf* value) override;

  // --- ExternalDispatcher
  lisp::Value callExternal(lisp::Runtime& runtime, const lisp::ExternalCall& call) override;

  // --- HostServices
  bool atLineStart() const override;
  lisp::Value getVariable(lisp::Runtime& runtime, std::string_view name) override;
  lisp::SetVariableStatus setVariable(lisp::Runtime& runtime, std::string_view name,
                                      const lisp::Value& value) override;
  std::optional<std::string> findFile(std::string_view name) override;
  lisp::InputReply requestInput(lisp::Runtime& runtime, const lisp::InputRequest& request) override;
  void alert(lisp::Runtime& runtime, std::string_view message) override;

  // Counts evaluations running in this environment (see the file comment).
  class Busy {
   public:
    explicit Busy(DocumentLisp& lisp) : m_lisp(lisp) { ++m_lisp.m_busy; }
    ~Busy() { --m_lisp.m_busy; }

   private:
    DocumentLisp& m_lisp;
  };
  bool isBusy() const override { return m_busy > 0; }

 protected:
  void writeOutput(std::string_view utf8) override;

 private:
  std::unique_ptr<lisp::Runtime> m_runtime;
  int m_busy = 0;
};

// The environment whose runtime called the external function now running, else
// the current document's; nullptr when there is neither.
DocumentLisp* callingLisp();
// The environment of a document (nullptr for none).
DocumentLisp* lispOf(Document* document);

// The fixed message of an external function that returned RSERR.
inline constexpr const char* kExternalFailedMessage = "ADS request error";

// Makes documents opened from now on get a DocumentLisp with the host's builtins.
void installLispBridge();

}  // namespace tabrik::acad
