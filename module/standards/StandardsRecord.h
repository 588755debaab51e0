// The record cursor over one standards table: a member per column (with a null state
// for the nullable ones), a changed flag per column, and a mode, new or edit. It works
// through a connection's table cursor (CDBConnection), never around it, so a failure
// leaves its DAO error in the connection like every other operation there.
//
// Invariants: values() holds one variant per column of the table's column list, in its order;
// a null column holds VT_NULL and is written back as an empty value (VT_EMPTY), which
// the engine stores as Null. Text read from the table loses its trailing blanks (an
// empty text is stored as one blank). Only the columns marked changed are written by
// Save, so a column that a table lacks fails only a save that sets it.
#pragma once
#include <optional>
#include <span>
#include <vector>

#include "db/CDBConnection.h"

namespace tabrik::arx::standards {

enum class ColumnKind { Long, Integer, Boolean, Text, Double };

struct ColumnLayout {
  const wchar_t* name;
  ColumnKind kind;
};

class CStandardsRecord {
 public:
  enum class Mode { New, Edit };

  CStandardsRecord(const CStandardsRecord&) = delete;
  CStandardsRecord& operator=(const CStandardsRecord&) = delete;
  virtual ~CStandardsRecord() = default;

  CDBConnection* Connection() const { return m_connection; }
  const wchar_t* TableName() const { return m_table; }

  // Opens the table with its key index, seeks `key` and loads the record; false when
  // absent (or when the table or index is missing: the connection keeps that error).
  bool FindByKey(long key);
  // Opens the table with the named index, which the navigation operations then use.
  bool SetIndex(const CString& index);
  // Move the cursor and load the record; false at an end or on an empty table.
  bool MoveFirst();
  bool MoveNext();
  bool MoveLast();
  bool IsEOF();
  bool IsBOF();

  // Clears every member to null, marks every column unchanged, mode new.
  void New();
  // Mode edit on the record loaded now; remembers its key for Save and Delete.
  void Edit();
  // Writes the changed columns: appends in mode new (the new record, with its key, is
  // loaded afterwards and the mode becomes edit), replaces the record found by the
  // remembered key in mode edit. False when the write fails or the key is gone.
  bool Save();
  // Finds the record by the key of the loaded record and deletes it.
  bool Delete();

  Mode GetMode() const { return m_mode; }
  // The key of the loaded record; 0 when none is loaded.
  long Key() const;

  // --- columns by position in the column list -----------------------------------------
  bool IsNull(int column) const;
  bool IsChanged(int column) const { return m_changed.at(static_cast<std::size_t>(column)); }
  // Typed reads; a null column reads as 0, false or the empty text.
  long GetLong(int column) const;
  bool GetBool(int column) const;
  double GetDouble(int column) const;
  CString GetText(int column) const;
  std::optional<long> GetOptionalLong(int column) const;
  std::optional<double> GetOptionalDouble(int column) const;
  // Stores the value and marks the column changed.
  void SetLong(int column, long value);
  void SetBool(int column, bool value);
  void SetDouble(int column, double value);
  void SetText(int column, const CString& value);
  void SetNull(int column);

 protected:
  // `columns` outlives the record (the subclasses pass static tables); column 0 is the key.
  CStandardsRecord(CDBConnection* connection, const wchar_t* table, const wchar_t* keyIndex,
                   std::span<const ColumnLayout> columns);

  // Opens the table with `index` and seeks one value; loads the record found.
  bool seekOn(const wchar_t* index, const COleVariant& value);

 private:
  bool openTable(const CString& index);
  // Fills the members from a record as read, by column name; columns the table lacks
  // stay null.
  void load(const DBRecord& record);
  void store(int column, const COleVariant& value);
  std::size_t slot(int column) const;

  CDBConnection* m_connection;
  const wchar_t* m_table;
  const wchar_t* m_keyIndex;
  std::span<const ColumnLayout> m_columns;
  std::vector<COleVariant> m_values;
  std::vector<bool> m_changed;
  Mode m_mode = Mode::New;
  std::optional<long> m_editKey;
};

}  // namespace tabrik::arx::standards
