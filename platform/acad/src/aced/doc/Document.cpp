// An open drawing and its table of external functions.
#include "aced/doc/Document.h"

#include <cwctype>
#include <vector>

#include "adscodes.h"
#include "dbmain.h"

namespace tabrik::acad {

namespace {
LispEnvironmentFactory g_factory = nullptr;

std::wstring titleOf(const std::wstring& fileName) {
  size_t slash = fileName.find_last_of(L"/\\");
  return slash == std::wstring::npos ? fileName : fileName.substr(slash + 1);
}
}  // namespace

void setLispEnvironmentFactory(LispEnvironmentFactory factory) { g_factory = factory; }
LispEnvironmentFactory lispEnvironmentFactory() { return g_factory; }

namespace {
std::vector<std::unique_ptr<LispEnvironment>>& retired() {
  static auto* environments = new std::vector<std::unique_ptr<LispEnvironment>>();
  return *environments;
}
}  // namespace

void retireLispEnvironment(std::unique_ptr<LispEnvironment> environment) {
  if (environment && environment->isBusy()) retired().push_back(std::move(environment));
}

void releaseRetiredLispEnvironments() {
  std::erase_if(retired(), [](const auto& environment) { return !environment->isBusy(); });
}

std::wstring upperCase(const std::wstring& text) {
  std::wstring upper(text);
  for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  return upper;
}

bool equalsIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return upperCase(a) == upperCase(b);
}

Document::Document(std::wstring fileName, std::unique_ptr<AcDbDatabase> database)
    : m_fileName(std::move(fileName)),
      m_title(titleOf(m_fileName)),
      m_database(std::move(database)) {}

// The LISP environment goes first: its values may hold names of this drawing.
Document::~Document() { retireLispEnvironment(std::move(m_lisp)); }

AcAp::DocLockMode Document::lockMode(bool) const {
  return m_lockCount > 0 ? AcAp::kWrite : AcAp::kNone;
}

void Document::setFileName(std::wstring fileName) {
  m_fileName = std::move(fileName);
  m_title = titleOf(m_fileName);
}

bool Document::unlock() {
  if (m_lockCount == 0) return false;
  --m_lockCount;
  return true;
}

int Document::defun(const std::wstring& name, int code, const LoadedModule* owner) {
  if (name.empty() || code < 0 || code > 32767) return RTERROR;
  for (wchar_t c : name) {
    if (std::iswspace(c) || c == L'(' || c == L')' || c == L'\'' || c == L'"' || c == L';')
      return RTERROR;
  }
  std::wstring upper = upperCase(name);
  m_names[upper] = Registration{code, owner};
  if (m_lisp) m_lisp->defineExternal(upper, code);
  return RTNORM;
}

int Document::undef(const std::wstring& name, int code) {
  auto found = m_names.find(upperCase(name));
  if (found == m_names.end() || found->second.code != code) return RTERROR;
  std::wstring upper = found->first;
  m_names.erase(found);
  if (m_lisp) m_lisp->undefineExternal(upper);
  return RTNORM;
}

int Document::regFunc(ExternalHandler handler, int code, const LoadedModule* owner) {
  if (code < 0 || code > 32767) return RTERROR;
  if (handler == nullptr) {
    m_handlers.erase(code);
    return RTNORM;
  }
  m_handlers[code] = Handler{handler, owner};
  return RTNORM;
}

ExternalHandler Document::handler(int code) const {
  auto found = m_handlers.find(code);
  return found == m_handlers.end() ? nullptr : found->second.function;
}

const LoadedModule* Document::handlerOwner(int code) const {
  auto found = m_handlers.find(code);
  return found == m_handlers.end() ? nullptr : found->second.owner;
}

int Document::codeOf(const std::wstring& name) const {
  auto found = m_names.find(upperCase(name));
  return found == m_names.end() ? -1 : found->second.code;
}

std::vector<std::wstring> Document::externalNames() const {
  std::vector<std::wstring> names;
  names.reserve(m_names.size());
  for (const auto& [name, registration] : m_names) names.push_back(name);
  return names;
}

void Document::forgetModule(const LoadedModule* owner) {
  for (auto it = m_names.begin(); it != m_names.end();) {
    if (it->second.owner != owner) {
      ++it;
      continue;
    }
    if (m_lisp) m_lisp->undefineExternal(it->first);
    it = m_names.erase(it);
  }
  std::erase_if(m_handlers, [owner](const auto& entry) { return entry.second.owner == owner; });
}

}  // namespace tabrik::acad
