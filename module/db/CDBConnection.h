// CDBConnection: one Access database opened through DAO, with its open table cursors
// (the first cursor is the current table), and the last DAO error of its operations.
// Every operation clears the error flag first; a DAO exception is caught inside the
// operation, its number and description are kept and the operation reports failure.
// No DAO exception leaves this class. What LISP sees of a failure is the failure
// report's business (FailureReport.h).
#pragma once
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include <afxdao.h>

#include "db/CDBConnectionDispatch.h"

// One field of a record: its name and its value.
struct DBField {
  CString name;
  COleVariant value;
};
// A record in the table's field order (ordinal position 0 first). The writing
// operations take the same shape; only the pairs given are written.
using DBRecord = std::vector<DBField>;

// The rows of a query, first row first. Its flat form is the sequence LISP's lists
// are made from: for a one-column result each row's value; otherwise, per row, the
// marker "*NewRecord*" followed by each column's name and value.
struct DBQueryResult {
  std::vector<CString> columns;
  std::vector<COleVariant> values;  // row by row, columns.size() per row

  bool isEmpty() const { return values.empty(); }
  std::size_t rowCount() const { return columns.empty() ? 0 : values.size() / columns.size(); }
  // The flat form; empty for no rows.
  std::vector<COleVariant> flatten() const;
};

// The most key values a seek passes.
constexpr int kMaxSeekKeys = 10;

// The automation-style slot table (CDBConnectionDispatch.h) comes first in the
// vtable; the plain members below are what the LISP functions and dialogs call.
class CDBConnection : public CDBConnectionDispatch {
 public:
  CDBConnection() = default;
  virtual ~CDBConnection();
  CDBConnection(const CDBConnection&) = delete;
  CDBConnection& operator=(const CDBConnection&) = delete;

  // --- the database -----------------------------------------------------------------
  // The database object is usable: its status word is 0 or 1 (at most the implicit
  // workspace bit, which a database opened on its own workspace never has). DAO sets other bits
  // when it closes databases behind the module's back (AfxDaoTerm); such a connection is lost and
  // the document switch drops it.
  virtual bool IsIntact() const;
  // Intact, and the database is open.
  virtual bool IsOpen() const;
  // Closes every table cursor, then the database when it is intact and open; DAO
  // errors while closing are swallowed.
  virtual void Close();
  // The name DAO reports for the open database; empty when not open.
  CString GetDatabaseName();
  // Open and updatable.
  bool CanUpdate();
  // Not open, or open and not updatable.
  bool IsReadOnly();
  // Opens the file (closing a database open before). Returns the name DAO reports;
  // a file locked by another process or without write access (3051) is opened
  // read-only instead; kRepairMarker for any other DAO failure (the file may be
  // damaged); the empty string when even the read-only retry fails. A connect string
  // names a server database: no file to repair, so its failures give the empty string.
  CString Open(const CString& path, bool exclusive, bool readOnly);
  // Opens read-write; `locked` is set instead of failing when the file is locked (3051).
  CString TryOpen(const CString& path, bool& locked);
  // Creates a new, empty database file with the general sort order; the connection's
  // own database is untouched.
  bool CreateDatabase(const CString& path);
  // Whether a table of exactly this name (case-sensitive) exists; false when the
  // connection is not open (no error stored) or DAO fails.
  bool TableExists(const CString& name, bool& exists);

  // --- table cursors -----------------------------------------------------------------
  // Makes the table current, opening a cursor on it when none is open, and makes the
  // index (when not empty) its current index.
  bool OpenTable(const CString& table, const CString& index);
  // Closes the current table; the next cursor becomes current. False when none.
  bool CloseTable();
  // Closes the cursor of the named table, current or not. False when none is open.
  bool CloseNamedTable(const CString& table);
  bool CloseAllTables();
  bool HasNoTables() const { return m_cursors.empty(); }
  // Empty when there is no current table.
  CString GetCurrentTable();
  CString GetCurrentIndex();
  bool IsEOF();
  bool IsBOF();

  // --- navigation: each produces the record it lands on -------------------------------
  bool MoveFirst(DBRecord& record);
  bool MoveLast(DBRecord& record);
  bool Skip(long count, DBRecord& record);
  bool Seek1(const COleVariant& key, DBRecord& record);
  bool Seek2(const COleVariant& key1, const COleVariant& key2, DBRecord& record);
  bool Seek3(const COleVariant& key1, const COleVariant& key2, const COleVariant& key3,
             DBRecord& record);
  // keys holds kMaxSeekKeys slots, of which the first `count` are passed.
  bool SeekArray(const COleVariant* keys, int count, DBRecord& record);
  bool GetRecordCount(long& count);

  // --- records --------------------------------------------------------------------------
  // False without an error when there is no current table or no current record.
  bool GetRecord(DBRecord& record);
  // Appends `values` (filling required text fields first when `fill` is set) and
  // produces the new record, which becomes the current record.
  bool AppendRecord(const DBRecord& values, bool fill, DBRecord& record);
  // Writes `values` into the current record and produces it.
  bool ReplaceRecord(const DBRecord& values, DBRecord& record);
  bool DeleteRecord();
  bool GetFieldValueByName(const CString& name, COleVariant& value);
  bool GetFieldCount(short& count);
  bool GetFieldName(int position, CString& name);
  bool GetFieldValue(int position, COleVariant& value);

  // --- tables, fields and indexes (SchemaOperations.cpp) ------------------------------
  // Creates the table with the fields and indexes of the field definitions in `tokens`
  // (FieldDefinitions.h), closing a cursor open on that name first. The table is
  // appended with the fields read so far even when a field definition is malformed,
  // which fails without an error stored.
  bool CreateTable(const CString& name, const std::vector<COleVariant>& tokens);
  // Adds the fields and indexes of the field definitions to an existing table.
  bool ModifyTable(const CString& name, const std::vector<COleVariant>& tokens);
  // One pair per field of the current table showing its kind: 0 for Yes/No, Byte,
  // Integer and Long, 0.0 for Single and Double, "" for Date/Time, Text and Memo, an
  // empty value for every other type. False without an error when there is no table.
  bool GetStructure(DBRecord& structure);
  // The index names of the current table in DAO's order; false (no error stored)
  // when there is no current table or it has no index.
  bool ListIndexes(std::vector<CString>& names);
  // Whether an index of the current table is unique, and its fields in index order.
  // False when there is no current table or no such index.
  bool GetIndexDefinition(const CString& index, bool& unique, std::vector<CString>& fields);
  // An ascending index named after the field, on that field alone. A cursor open on
  // the table is closed first.
  bool CreateIndex(const CString& table, const CString& field, bool unique, bool primary);
  // Makes the table current as OpenTable does, then reads the field's required flag
  // (not read for an empty field name: `required` stays false).
  bool FieldRequired(const CString& table, const CString& field, bool& required);
  // All that DAO knows of a field of the current table.
  bool FieldAttributes(const CString& field, CDaoFieldInfo& info);
  // Deletes the table, and first the relations it takes part in when asked to.
  bool DeleteTable(const CString& name, bool deleteRelations);
  bool RenameTable(const CString& oldName, const CString& newName);
  // The tables whose names do not begin with "MS" (the system's), in DAO's order.
  // False when the connection is not open.
  bool ListTables(std::vector<CString>& names);

  // --- SQL statements and stored queries (SqlOperations.cpp) ---------------------------
  // What reads a query's rows: called once with a forward-only recordset on the first
  // row (at its end when there is none), which it moves through itself, so that rows
  // go where they are wanted straight from the statement. A DAO exception it lets
  // through fails the operation as DAO's own do.
  using RowReader = std::function<void(CDaoRecordset& rows)>;
  // Runs a SELECT through a temporary query definition and hands its rows to the
  // reader. False when the connection is not open (no error stored) or DAO fails.
  bool OpenQuery(const CString& statement, const RowReader& reader);
  // As above, every row kept in `result`.
  bool OpenQuery(const CString& statement, DBQueryResult& result);
  // Runs an action statement (DML or Jet DDL) with DAO's fail-on-error option and
  // gives DAO's count of records affected. True without running anything when the
  // connection is not open; false without an error when the database is read-only.
  bool ExecuteCommand(const CString& statement, long& recordsAffected);
  // The standards dialogs' name for ExecuteCommand.
  bool ExecuteSQL(const CString& statement, long& recordsAffected) {
    return ExecuteCommand(statement, recordsAffected);
  }
  // Runs the stored query `name` with its parameters set from `tokens`, read in pairs
  // (a parameter name, which must be text, then its value), and hands its rows to the
  // reader.
  bool RunQuery(const CString& name, const std::vector<COleVariant>& tokens,
                const RowReader& reader);
  bool RunQuery(const CString& name, const std::vector<COleVariant>& tokens, DBQueryResult& result);
  // Gives the stored query `name` the statement: replaces the text of an existing
  // query, else creates one. The first failure stays recorded when creating succeeds.
  bool CreateQuery(const CString& name, const CString& statement);

  // --- relations, linked tables, compaction (RelationOperations.cpp) -----------------
  // "No" when the connection is not open or DAO does not know the name (3265).
  bool RelationExists(const CString& name, bool& exists);
  // Deletes every relation from `table` to `foreignTable` (exact names); none is fine.
  bool DeleteRelation(const CString& table, const CString& foreignTable);
  bool GetRelationCount(short& count);
  // DAO's full information on one relation, by name or by position from 0.
  bool GetRelationInfo(const CString& name, CDaoRelationInfo& info);
  bool GetRelationInfo(int position, CDaoRelationInfo& info);
  // Attaches the table `sourceTable` of the database file `path` under `localName`.
  bool LinkTable(const CString& localName, const CString& path, const CString& sourceTable,
                 bool& linked);
  // Compacts the closed file `source` into the new file `destination` through DAO's
  // workspace; the connection's own database is untouched.
  bool CompactDatabase(const CString& source, const CString& destination);

  // --- transactions ----------------------------------------------------------------------
  // DAO's workspace transaction over the connection's database: every write between
  // BeginTrans and CommitTrans lands together, Rollback undoes them all. Levels nest;
  // CommitTrans and Rollback end the innermost. A read-only database takes part in none
  // (there is nothing to undo). Rollback keeps the error of the operation that made it
  // necessary unless it fails itself.
  bool BeginTrans();
  bool CommitTrans();
  bool Rollback();

  // --- errors -------------------------------------------------------------------------------
  bool HasError() const { return m_hasError; }
  void GetLastError(long& code, CString& description) const;
  // The version of this interface the standards dialogs check.
  static long GetInterfaceVersion() { return 2; }

  // What Open returns when DAO could not open a file that exists.
  static constexpr const wchar_t* kRepairMarker = L"*REPAIR*";

  // Whether a database name is an ODBC connect string ("ODBC;...", any case) rather
  // than a path: such a name reaches DAO as given, never looked for as a file.
  static bool IsConnectString(const std::wstring& name);

  // DAO's write-conflict errors, which the writing operations retry.
  static bool isConflictError(long code);

 protected:
  // The database's own workspace, which holds its transactions; declared first so that
  // it outlives the database registered with it.
  CDaoWorkspace m_workspace;
  CDaoDatabase m_database{&m_workspace};
  // The wait between two attempts of a write that met another process's lock, after
  // `attemptsMade` attempts: a random 10 to 499 ms. It blocks the host's main thread.
  virtual void waitAfterConflict(int attemptsMade);

 private:
  // Slots 53 to 56 work on the cursor and the error themselves.
  friend class CDBConnectionDispatch;
  // The current table: open, and the first cursor.
  CDaoRecordset* currentTable();
  void clearError() { m_hasError = false; }
  // Keeps the error of `e` and deletes it.
  void storeError(CDaoException* e);
  // Inside a catch (...): keeps what an exception that is not DAO's says (MFC's message, a
  // standard exception's text) under Jet's general error number, so the failure it caused
  // reaches tb_lastError and the failure report like any other.
  void storeUnexpectedError();
  // Runs one DAO call; a DAO error is kept (as storeError does) and reported as false.
  template <typename Call>
  bool guarded(Call&& call) {
    try {
      call();
      return true;
    } catch (CDaoException* e) {
      storeError(e);
      return false;
    }
  }
  bool moveToEnd(bool last, DBRecord& record);
  void readRecord(CDaoRecordset& cursor, DBRecord& record);
  // Speed only: the field names of one cursor, read from DAO once; dropped whenever a
  // cursor goes, so that a new cursor at the same address reads its own.
  void forgetFieldNames() { m_fieldNamesOf = nullptr; }
  // Writes the pairs into the record being added or edited.
  void writeValues(CDaoRecordset& cursor, const DBRecord& values);
  void fillRequiredText(CDaoRecordset& cursor);
  bool seekKeys(COleVariant* keys, WORD count, DBRecord& record);
  // Runs one write attempt up to 20 times while DAO reports a conflict, with
  // waitAfterConflict between attempts. A non-conflict error, or the conflict of the
  // last attempt, is stored when `storeOther` is set.
  template <typename Attempt>
  bool retryWrites(Attempt attempt, bool storeOther);

  // Owned; the first is the current table. A table is open at most once.
  std::list<std::unique_ptr<CDaoRecordset>> m_cursors;
  long m_lastErrorCode = 0;
  CString m_lastErrorDescription;
  bool m_hasError = false;
  const CDaoRecordset* m_fieldNamesOf = nullptr;
  std::vector<CString> m_fieldNames;
};
