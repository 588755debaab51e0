// An Access file read through libmdb: its tables with their fields and indexes, its
// records as DAO variants, its relations, and the rows of its stored queries. The
// reader never writes the file.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "afxdisp.h"
#include "access/AccessFile.h"
#include "afxdao.h"

namespace tabrik::dao::access {

struct SourceField {
  std::wstring name;
  short daoType = 0;  // 0: the engine has no such type; the field is left out
  long size = 0;      // Text: characters
  bool autoNumber = false;
  bool required = false;
  bool allowZeroLength = false;
  std::wstring defaultValue;
  std::wstring note;  // what the conversion changed or left out, for the report
};

struct SourceIndexField {
  std::wstring name;
  bool descending = false;
};

struct SourceIndex {
  std::wstring name;
  bool primary = false;
  bool unique = false;
  bool ignoreNulls = false;
  bool required = false;
  std::vector<SourceIndexField> fields;
};

struct SourceTable {
  std::wstring name;
  std::vector<SourceField> fields;
  std::vector<SourceIndex> indexes;  // the table's own; relations' foreign-key indexes excluded
  unsigned long records = 0;         // as the table's header counts them
};

struct SourceRelation {
  std::wstring name;
  std::wstring table;         // the primary (referenced) table
  std::wstring foreignTable;  // the table whose records refer to it
  long attributes = 0;        // Jet's grbit: the same bits as DAO's RelationAttributeEnum
  std::vector<std::pair<std::wstring, std::wstring>> fields;  // primary, foreign
};

// One row of the file's query catalog: what part of the statement it gives
// (attribute), with its names, expression and flag.
struct QueryPart {
  int attribute = 0;
  std::wstring name1;
  std::wstring name2;
  std::wstring expression;
  bool hasFlag = false;
  long flag = 0;
};

struct SourceQuery {
  std::wstring name;
  std::vector<QueryPart> parts;  // in the catalog's order
};

class MdbSource {
 public:
  // Throws CDaoException*: 3024 when the file is missing, 3343 when it is not an
  // Access file libmdb can read, 3031 when it is protected by a password.
  explicit MdbSource(const std::string& utf8Path);
  ~MdbSource();
  MdbSource(const MdbSource&) = delete;
  MdbSource& operator=(const MdbSource&) = delete;

  AccessFormat format() const { return m_format; }
  std::vector<std::wstring> userTables();
  SourceTable table(const std::wstring& name);
  // Calls onRecord with one variant per field of table(name).fields, in order (VT_NULL
  // for Null, VT_EMPTY for a field whose type the engine lacks). One record is held at
  // a time.
  void forEachRecord(const std::wstring& name,
                     const std::function<void(std::vector<COleVariant>&)>& onRecord);
  std::vector<SourceRelation> relations();
  std::vector<SourceQuery> queries();

  struct Handle;  // implementation: libmdb's open file

 private:
  std::unique_ptr<Handle> m_handle;
  AccessFormat m_format = AccessFormat::None;
};

}  // namespace tabrik::dao::access
