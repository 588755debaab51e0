// The flat token encoding by which LISP argument lists that carry structure reach the
// database layer: every list opening, closing and dot becomes one of the marker
// strings below and every other element becomes its database value. Table and field
// definitions (tb_create_table, tb_modify_table) and stored-query parameters travel
// this way.
#pragma once
#include <vector>

#include <afxdisp.h>

#include "host/ArgReaders.h"

// One value per LISP element, markers included.
using SchemaTokens = std::vector<COleVariant>;

namespace tabrik::arx::db {

inline constexpr const wchar_t* kListStartToken = L"*RTLB*";
inline constexpr const wchar_t* kListEndToken = L"*RTLE*";
inline constexpr const wchar_t* kDotToken = L"*RTDOTE*";

// Flattens the elements from the cursor to the end of the arguments. False, with the
// tokens emptied, when an element has no database value (points, entity names, ...).
bool flattenArguments(ArgCursor cursor, SchemaTokens& tokens);

// The token is the marker (a string equal to it).
bool isMarkerToken(const VARIANT& token, const wchar_t* marker);
// The token is one of the three markers.
bool isAnyMarkerToken(const VARIANT& token);

}  // namespace tabrik::arx::db
