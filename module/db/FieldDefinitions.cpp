// Reading field definitions from schema tokens (see FieldDefinitions.h).
#include "db/FieldDefinitions.h"

#include <afxdao.h>

#include <cwctype>

namespace tabrik::arx::db {
namespace {

struct TypeKeyword {
  const wchar_t* keyword;
  short type;
};

constexpr TypeKeyword kTypeKeywords[] = {
    {L"BOOL", dbBoolean}, {L"BYTE", dbByte},   {L"INT", dbInteger},
    {L"LONG", dbLong},    {L"REAL", dbDouble}, {L"CURRENCY", dbCurrency},
    {L"DATE", dbDate},    {L"MEMO", dbMemo},   {L"TEXT", dbText},
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

const VARIANT* FieldDefinitionReader::peek() const {
  return m_position < m_tokens.size() ? &m_tokens[m_position] : nullptr;
}

const VARIANT* FieldDefinitionReader::take() {
  const VARIANT* token = peek();
  if (token != nullptr) ++m_position;
  return token;
}

bool FieldDefinitionReader::fail() {
  m_malformed = true;
  return false;
}

bool FieldDefinitionReader::next(FieldDefinition& definition) {
  if (m_malformed) return false;
  definition = FieldDefinition();
  while (peek() != nullptr && isMarkerToken(*peek(), kListEndToken)) ++m_position;
  const VARIANT* token = take();
  if (token == nullptr) return false;
  if (!isMarkerToken(*token, kListStartToken)) return fail();

  token = take();
  if (token != nullptr && isMarkerToken(*token, kListStartToken)) token = take();
  if (token == nullptr || !isString(*token)) return fail();
  definition.name = textOf(*token);

  token = take();
  if (token == nullptr || !isString(*token)) return fail();
  definition.type = fieldTypeOfKeyword(textOf(*token));
  if (definition.type == 0) return fail();
  if (definition.type == dbText) {
    token = take();
    if (token == nullptr || token->vt != VT_I4) return fail();
    definition.size = token->lVal;
  }
  definition.allowZeroLength = definition.type == dbText || definition.type == dbMemo;

  token = take();
  if (token == nullptr || isAnyMarkerToken(*token)) return fail();
  definition.required = !isNil(*token);

  token = take();
  if (token == nullptr || isAnyMarkerToken(*token)) return fail();
  if (token->vt == VT_BSTR) {
    definition.hasDefault = true;
    definition.defaultValue = textOf(*token);
  }

  token = take();
  if (token == nullptr) return fail();
  if (isMarkerToken(*token, kListEndToken)) return true;  // the list ends: no index
  if (!isString(*token)) return fail();
  const std::wstring index = textOf(*token);
  if (index == L"I") {
    definition.type = dbLong;
    definition.size = 0;
    definition.allowZeroLength = false;
    definition.autoIncrement = true;
  }
  if (!index.empty()) {
    definition.index = index == L"D" ? IndexOrder::kDescending : IndexOrder::kAscending;
  }
  // The flags, up to the field definition's closing; they are read after an empty index
  // item too, so that the closing is where the next field definition expects it.
  bool* flags[] = {&definition.unique, &definition.primary};
  for (bool* flag : flags) {
    token = peek();
    if (token == nullptr || isMarkerToken(*token, kListEndToken)) break;
    ++m_position;
    *flag = !isNil(*token);
  }
  if (definition.index == IndexOrder::kNone) {
    definition.unique = definition.primary = false;
  }
  return true;
}

}  // namespace tabrik::arx::db
