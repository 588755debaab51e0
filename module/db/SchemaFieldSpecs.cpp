// Reading field specifications from schema tokens (see SchemaFieldSpecs.h).
#include "db/SchemaFieldSpecs.h"

#include <afxdao.h>

#include <cwctype>

namespace tabrik::arx::db {
namespace {

struct TypeKeyword {
  const wchar_t* keyword;
  short type;
};

constexpr TypeKeyword kTypeKeywords[] = {
    {L"BOOL", dbBoolean},      {L"BYTE", dbByte}, {L"INT", dbInteger}, {L"LONG", dbLong},
    {L"REAL", dbDouble},       {L"CURRENCY", dbCurrency}, {L"DATE", dbDate}, {L"MEMO", dbMemo},
    {L"TEXT", dbText},
};

bool isString(const VARIANT& token) { return token.vt == VT_BSTR && !isAnyMarkerToken(token); }

std::wstring textOf(const VARIANT& token) { return token.bstrVal != nullptr ? token.bstrVal : L""; }

// LISP's nil travels as an empty value.
bool isNil(const VARIANT& token) { return token.vt == VT_EMPTY; }

}  // namespace

short fieldTypeOfKeyword(const std::wstring& keyword) {
  std::wstring upper = keyword;
  for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  for (const TypeKeyword& entry : kTypeKeywords) {
    if (upper == entry.keyword) return entry.type;
  }
  return 0;
}

const VARIANT* FieldSpecReader::peek() const {
  return m_position < m_tokens.size() ? &m_tokens[m_position] : nullptr;
}

const VARIANT* FieldSpecReader::take() {
  const VARIANT* token = peek();
  if (token != nullptr) ++m_position;
  return token;
}

bool FieldSpecReader::fail() {
  m_malformed = true;
  return false;
}

bool FieldSpecReader::next(FieldSpec& spec) {
  if (m_malformed) return false;
  spec = FieldSpec();
  while (peek() != nullptr && isMarkerToken(*peek(), kListEndToken)) ++m_position;
  const VARIANT* token = take();
  if (token == nullptr) return false;
  if (!isMarkerToken(*token, kListStartToken)) return fail();

  token = take();
  if (token != nullptr && isMarkerToken(*token, kListStartToken)) token = take();
  if (token == nullptr || !isString(*token)) return fail();
  spec.name = textOf(*token);

  token = take();
  if (token == nullptr || !isString(*token)) return fail();
  spec.type = fieldTypeOfKeyword(textOf(*token));
  if (spec.type == 0) return fail();
  if (spec.type == dbText) {
    token = take();
    if (token == nullptr || token->vt != VT_I4) return fail();
    spec.size = token->lVal;
  }
  spec.allowZeroLength = spec.type == dbText || spec.type == dbMemo;

  token = take();
  if (token == nullptr || isAnyMarkerToken(*token)) return fail();
  spec.required = !isNil(*token);

  token = take();
  if (token == nullptr || isAnyMarkerToken(*token)) return fail();
  if (token->vt == VT_BSTR) {
    spec.hasDefault = true;
    spec.defaultValue = textOf(*token);
  }

  token = take();
  if (token == nullptr) return fail();
  if (isMarkerToken(*token, kListEndToken)) return true;  // the list ends: no index
  if (!isString(*token)) return fail();
  const std::wstring index = textOf(*token);
  if (index == L"I") {
    spec.type = dbLong;
    spec.size = 0;
    spec.allowZeroLength = false;
    spec.autoIncrement = true;
  }
  if (!index.empty()) {
    spec.index = index == L"D" ? IndexOrder::kDescending : IndexOrder::kAscending;
  }
  // The flags, up to the specification's closing; they are read after an empty index
  // item too, so that the closing is where the next specification expects it.
  bool* flags[] = {&spec.unique, &spec.primary};
  for (bool* flag : flags) {
    token = peek();
    if (token == nullptr || isMarkerToken(*token, kListEndToken)) break;
    ++m_position;
    *flag = !isNil(*token);
  }
  if (spec.index == IndexOrder::kNone) {
    spec.unique = spec.primary = false;
  }
  return true;
}

}  // namespace tabrik::arx::db
