// What a document's LISP environment does for the ads calls: the LISP bridge
// implements it over the AutoLISP runtime. Documents work without one (unit tests of
// the ads tables); the host installs the bridge's factory at start-up.
#pragma once
#include <memory>
#include <string>

struct resbuf;

namespace tabrik::acad {

class Document;

class LispEnvironment {
 public:
  virtual ~LispEnvironment() = default;
  // acedDefun / acedUndef: the name (upper case) becomes / stops being an external
  // function of this document.
  virtual void defineExternal(const std::wstring& name, int code) = 0;
  virtual void undefineExternal(const std::wstring& name) = 0;
  // acedInvoke in this document: args starts with the RTSTR name.
  virtual int invoke(const resbuf* args, resbuf** result) = 0;
  // acedEvaluateLisp: evaluates the text; *result the value as resbufs.
  virtual int evaluate(const std::wstring& text, resbuf** result) = 0;
  // A line sent with sendStringToExecute, as the command line takes it.
  virtual void execute(const std::wstring& line) = 0;
  // A host variable that only the runtime knows (LUNITS, LUPREC, ...); false when
  // it knows none of that name.
  virtual bool getVariable(const std::wstring& name, resbuf* value) = 0;
  // True while an evaluation runs in the environment.
  virtual bool isBusy() const { return false; }
};

using LispEnvironmentFactory = std::unique_ptr<LispEnvironment> (*)(Document& document);
// Documents opened afterwards get an environment from the factory (nullptr: none).
void setLispEnvironmentFactory(LispEnvironmentFactory factory);
LispEnvironmentFactory lispEnvironmentFactory();
// Takes the environment of a closing document: destroyed now when idle, else kept
// until the evaluations running in it have returned.
void retireLispEnvironment(std::unique_ptr<LispEnvironment> environment);
// Destroys the retired environments that are idle again.
void releaseRetiredLispEnvironments();

}  // namespace tabrik::acad
