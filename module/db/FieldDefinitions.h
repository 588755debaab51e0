// The field definitions of tb_create_table and tb_modify_table, read from schema
// tokens (SchemaTokens.h). Each field definition is a list
//
//   (name type [size] required default [index [unique [primary]]])
//
//   item      token                   meaning
//   name      string                  the field's name
//   type      string, any letter case BOOL 1, BYTE 2, INT 3, LONG 4, CURRENCY 5, REAL 7
//                                     (Double), DATE 8, TEXT 10, MEMO 12 (DAO types)
//   size      integer, after TEXT     the most characters the field holds
//   required  any value               nil: not required; anything else (0 too): required
//   default   any value               a string is the default value; others: none
//   index     string, or the list end "I": auto-increment Long Integer, indexed ascending;
//                                     "D": indexed descending; "" or the end: no index;
//                                     any other string: indexed ascending
//   unique    any value, optional     nil: not unique; anything else: unique
//   primary   any value, optional     nil: not the primary key; anything else: primary
//
// Closings before a field definition are skipped and the name may follow a second
// opening, so one enclosing list around all field definitions reads as well as the
// field definitions given one by one.
#pragma once
#include <string>

#include "db/SchemaTokens.h"

namespace tabrik::arx::db {

enum class IndexOrder { kNone, kAscending, kDescending };

struct FieldDefinition {
  std::wstring name;
  short type = 0;  // DAO field type
  long size = 0;   // Text fields only; 0 for every other type
  bool autoIncrement = false;
  bool required = false;
  bool allowZeroLength = false;  // Text and Memo
  bool hasDefault = false;
  std::wstring defaultValue;
  IndexOrder index = IndexOrder::kNone;
  bool unique = false;
  bool primary = false;
};

// Reads field definitions one at a time, so that the caller creates each field before
// the next is read: a malformed field definition leaves the fields before it made.
class FieldDefinitionReader {
 public:
  explicit FieldDefinitionReader(const SchemaTokens& tokens) : m_tokens(tokens) {}

  // The next field definition. False at the end of the tokens, and at a malformed
  // field definition (a token missing where an item is due, or one of the wrong kind).
  bool next(FieldDefinition& definition);
  // Reading stopped at a malformed field definition.
  bool malformed() const { return m_malformed; }

 private:
  const VARIANT* take();
  const VARIANT* peek() const;
  bool fail();

  const SchemaTokens& m_tokens;
  std::size_t m_position = 0;
  bool m_malformed = false;
};

// The DAO type of a type keyword (compared after upper-casing); 0 when none.
short fieldTypeOfKeyword(const std::wstring& keyword);

}  // namespace tabrik::arx::db
