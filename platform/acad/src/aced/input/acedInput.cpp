// The ads input calls: each request takes the next tokens of the input queue, with
// the control bits and keywords of the last acedInitGet (used by one request only).
#include <cwchar>

#include "acedads.h"
#include "acdb/acut/WideText.h"
#include "aced/input/UserInput.h"

using namespace tabrik::acad;

namespace {

InputAnswer request(InputWant want, const ACHAR* prompt, const ads_real* base = nullptr,
                    bool allowSpaces = false) {
  InputQuery query;
  query.want = want;
  query.prompt = prompt ? toUtf8(prompt) : std::string();
  if (base != nullptr) query.base = std::array<double, 3>{base[X], base[Y], base[Z]};
  query.allowSpaces = allowSpaces;
  takePendingInitGet(query.initgetBits, query.keywords);
  return requestUserInput(query);
}

int copyText(const std::string& text, ACHAR* result, size_t size) {
  if (result == nullptr || size == 0) return RTERROR;
  std::wstring wide = fromUtf8(text);
  if (wide.size() + 1 > size) {
    std::wmemcpy(result, wide.c_str(), size - 1);
    result[size - 1] = L'\0';
    return RTINPUTTRUNCATED;
  }
  std::wmemcpy(result, wide.c_str(), wide.size() + 1);
  return RTNORM;
}

int pointRequest(InputWant want, const ads_point base, const ACHAR* prompt, ads_point result) {
  InputAnswer answer = request(want, prompt, base);
  if (answer.status == RTNORM && result != nullptr) {
    for (int i = 0; i < 3; ++i) result[i] = answer.point[i];
  }
  return answer.status;
}

int realRequest(InputWant want, const ads_point base, const ACHAR* prompt, ads_real* result) {
  InputAnswer answer = request(want, prompt, base);
  if (answer.status == RTNORM && result != nullptr) *result = answer.real;
  return answer.status;
}

}  // namespace

int acedInitGet(int flags, const ACHAR* keywords) {
  setPendingInitGet(flags, keywords ? toUtf8(keywords) : std::string());
  return RTNORM;
}

int acedGetPoint(const ads_point base, const ACHAR* prompt, ads_point result) {
  return pointRequest(InputWant::kPoint, base, prompt, result);
}

int acedGetCorner(const ads_point base, const ACHAR* prompt, ads_point result) {
  return pointRequest(InputWant::kCorner, base, prompt, result);
}

int acedGetDist(const ads_point base, const ACHAR* prompt, ads_real* result) {
  return realRequest(InputWant::kDistance, base, prompt, result);
}

int acedGetAngle(const ads_point base, const ACHAR* prompt, ads_real* result) {
  return realRequest(InputWant::kAngle, base, prompt, result);
}

int acedGetOrient(const ads_point base, const ACHAR* prompt, ads_real* result) {
  return realRequest(InputWant::kOrientation, base, prompt, result);
}

int acedGetReal(const ACHAR* prompt, ads_real* result) {
  return realRequest(InputWant::kReal, nullptr, prompt, result);
}

int acedGetInt(const ACHAR* prompt, int* result) {
  InputAnswer answer = request(InputWant::kInteger, prompt);
  if (answer.status == RTNORM && result != nullptr) *result = answer.integer;
  return answer.status;
}

int acedGetString(int allowSpaces, const ACHAR* prompt, ACHAR* result, size_t size) {
  InputAnswer answer = request(InputWant::kString, prompt, nullptr, allowSpaces != 0);
  if (answer.status != RTNORM) return answer.status;
  return copyText(answer.text, result, size);
}

int acedGetKword(const ACHAR* prompt, ACHAR* result, size_t size) {
  InputAnswer answer = request(InputWant::kKeyword, prompt);
  if (answer.status == RTKWORD) return copyText(answer.text, result, size);
  return answer.status;
}

int acedGetInput(ACHAR* result, size_t size) { return copyText(lastKeywordInput(), result, size); }
