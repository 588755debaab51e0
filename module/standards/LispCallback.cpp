#include "standards/LispCallback.h"

#include <acedads.h>
#include <acutads.h>
#include <adsdef.h>

namespace tabrik::arx::standards {

resbuf* LispArg::build() const {
  resbuf* item = nullptr;
  switch (m_kind) {
    case Kind::Text:
      item = acutNewRb(RTSTR);
      if (item != nullptr) item->resval.rstring = acutNewString(m_text.GetString());
      break;
    case Kind::Integer:
      item = acutNewRb(RTLONG);
      if (item != nullptr) item->resval.rlong = m_integer;
      break;
    case Kind::Nil:
      item = acutNewRb(RTNIL);
      break;
  }
  return item;
}

LispAnswer::~LispAnswer() {
  if (m_chain != nullptr) acutRelRb(m_chain);
}

LispAnswer& LispAnswer::operator=(LispAnswer&& other) noexcept {
  if (this != &other) {
    if (m_chain != nullptr) acutRelRb(m_chain);
    m_chain = other.m_chain;
    other.m_chain = nullptr;
  }
  return *this;
}

bool LispAnswer::IsNil() const { return m_chain == nullptr || m_chain->restype == RTNIL; }

std::optional<CString> LispAnswer::String() const {
  if (m_chain == nullptr || m_chain->restype != RTSTR || m_chain->resval.rstring == nullptr) {
    return std::nullopt;
  }
  return CString(m_chain->resval.rstring);
}

std::optional<long> LispAnswer::Integer() const {
  if (m_chain == nullptr) return std::nullopt;
  if (m_chain->restype == RTSHORT) return m_chain->resval.rint;
  if (m_chain->restype == RTLONG) return m_chain->resval.rlong;
  return std::nullopt;
}

std::vector<CString> LispAnswer::Strings() const {
  std::vector<CString> strings;
  for (const resbuf* item = m_chain; item != nullptr; item = item->rbnext) {
    if (item->restype == RTSTR && item->resval.rstring != nullptr) {
      strings.emplace_back(item->resval.rstring);
    }
  }
  return strings;
}

LispAnswer invokeLisp(const wchar_t* function, std::initializer_list<LispArg> arguments) {
  resbuf* call = LispArg(function).build();
  if (call == nullptr) return LispAnswer();
  resbuf* last = call;
  for (const LispArg& argument : arguments) {
    last->rbnext = argument.build();
    if (last->rbnext == nullptr) {
      acutRelRb(call);
      return LispAnswer();
    }
    last = last->rbnext;
  }
  resbuf* answer = nullptr;
  const int status = acedInvoke(call, &answer);
  acutRelRb(call);
  if (status != RTNORM) {
    if (answer != nullptr) acutRelRb(answer);
    return LispAnswer();
  }
  return LispAnswer(answer);
}

}  // namespace tabrik::arx::standards
