// Flattening LISP argument lists into schema tokens (see SchemaTokens.h).
#include "db/SchemaTokens.h"

#include <cwchar>

#include <adscodes.h>

#include "host/VariantConversion.h"

namespace tabrik::arx::db {

bool flattenArguments(ArgCursor cursor, SchemaTokens& tokens) {
  tokens.clear();
  for (; cursor != nullptr; cursor = cursor->rbnext) {
    switch (cursor->restype) {
      case RTLB:
        tokens.emplace_back(kListStartToken, VT_BSTR);
        continue;
      case RTLE:
        tokens.emplace_back(kListEndToken, VT_BSTR);
        continue;
      case RTDOTE:
        tokens.emplace_back(kDotToken, VT_BSTR);
        continue;
      default:
        break;
    }
    COleVariant value;
    if (!resbufToVariant(cursor, value)) {
      tokens.clear();
      return false;
    }
    tokens.push_back(std::move(value));
  }
  return true;
}

bool isMarkerToken(const VARIANT& token, const wchar_t* marker) {
  return token.vt == VT_BSTR && token.bstrVal != nullptr && std::wcscmp(token.bstrVal, marker) == 0;
}

bool isAnyMarkerToken(const VARIANT& token) {
  return isMarkerToken(token, kListStartToken) || isMarkerToken(token, kListEndToken) ||
         isMarkerToken(token, kDotToken);
}

}  // namespace tabrik::arx::db
