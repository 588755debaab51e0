// MFC's DAO classes: workspaces, databases, table and query definitions, relations,
// recordsets, DAO errors and the engine's start and stop. The engine behind them
// keeps each database in one SQLite file; what DAO knows and SQLite does not (field
// types and sizes, required and zero-length rules, defaults, index names,
// auto-number counters, relations, stored queries, links) lives in the file's
// "MSys..." catalog tables, described in the engine's DaoStore.h. Statements given to
// Execute, to a snapshot and to a query definition are Jet SQL (ANSI-89 as DAO runs
// it: * ? # wildcards, #dates#, &, \, Mod, TOP, PARAMETERS, VBA functions, Jet DDL);
// the engine translates them to SQLite's dialect, whose own constructs mostly pass.
//
// Jet's rules hold: text compares, seeks, sorts and is unique without regard to case
// or trailing blanks; Yes/No is -1/0; dates are OLE dates; auto-numbers are never
// reused; every Update commits on its own; errors carry DAO's numbers and texts.
#pragma once
#include "afx.h"
#include "afxdisp.h"

// --- constants (dbdaoint.h, afxdao.h) ------------------------------------------------

// RecordsetTypeEnum
#define dbOpenTable 1
#define dbOpenDynaset 2
#define dbOpenSnapshot 4
#define dbOpenForwardOnly 8
#define dbOpenDynamic 16
// RecordsetOptionEnum
#define dbDenyWrite 0x1
#define dbDenyRead 0x2
#define dbReadOnly 0x4
#define dbAppendOnly 0x8
#define dbInconsistent 0x10
#define dbConsistent 0x20
#define dbSQLPassThrough 0x40
#define dbFailOnError 0x80
#define dbForwardOnly 0x100
#define dbSeeChanges 0x200
// EditModeEnum
#define dbEditNone 0
#define dbEditInProgress 1
#define dbEditAdd 2
// DataTypeEnum
#define dbBoolean 1
#define dbByte 2
#define dbInteger 3
#define dbLong 4
#define dbCurrency 5
#define dbSingle 6
#define dbDouble 7
#define dbDate 8
#define dbBinary 9
#define dbText 10
#define dbLongBinary 11
#define dbMemo 12
#define dbGUID 15
// FieldAttributeEnum
#define dbFixedField 0x1
#define dbVariableField 0x2
#define dbAutoIncrField 0x10
#define dbUpdatableField 0x20
#define dbSystemField 0x2000
#define dbDescending 0x1  // in an index's fields
// TableDefAttributeEnum
#define dbAttachExclusive 0x10000
#define dbAttachSavePWD 0x20000
#define dbSystemObject 0x80000002
#define dbAttachedTable 0x40000000
#define dbAttachedODBC 0x20000000
#define dbHiddenObject 0x1
// CollatingOrderEnum and locales
#define dbSortGeneral 0x409
#define dbSortNeutral 0x400
#define dbLangGeneral _T(";LANGID=0x0409;CP=1252;COUNTRY=0")
// DatabaseTypeEnum
#define dbVersion10 1
#define dbEncrypt 2
#define dbDecrypt 4
#define dbVersion11 8
#define dbVersion20 16
#define dbVersion30 32
#define dbVersion40 64

#define AFX_DAO_USE_DEFAULT_TYPE (-1)
#define AFX_DAO_PRIMARY_INFO 0x00000001
#define AFX_DAO_SECONDARY_INFO 0x00000002
#define AFX_DAO_ALL_INFO 0x00000004
#define AFX_DAO_TRUE (-1L)
#define AFX_DAO_FALSE 0L
#define AFX_DAO_TEXT_DEFAULT_SIZE 255

// CDaoException::m_nAfxDaoError
#define NO_AFX_DAO_ERROR 0
#define AFX_DAO_ERROR_MIN 2000
#define AFX_DAO_ERROR_ENGINE_INITIALIZATION 2000
#define AFX_DAO_ERROR_DFX_BIND 2001
#define AFX_DAO_ERROR_OBJECT_NOT_OPEN 2002
#define AFX_DAO_ERROR_MAX 2002

// CDaoDatabase::m_nStatus bits. A database made without a workspace uses DAO's
// default workspace implicitly (AFX_DAO_IMPLICIT_WS). AfxDaoTerm marks every database
// still open as closed implicitly (AFX_DAO_IMPLICIT_CLOSE): such an object is no
// longer usable, and code that checks "status is 0 or 1" sees it as lost.
#define AFX_DAO_IMPLICIT_WS 0x01
#define AFX_DAO_IMPLICIT_CLOSE 0x40

// --- errors ------------------------------------------------------------------------------

class CDaoErrorInfo {
 public:
  long m_lErrorCode = 0;     // the Jet error number, e.g. 3021
  CString m_strSource;       // "DAO.Recordset", "DAO.Database", ...
  CString m_strDescription;  // Jet 4.0's text with its arguments filled in
  CString m_strHelpFile;     // "jeterr40.chm"
  long m_lHelpContext = 0;   // 5000000 + the error number
};

// Thrown by pointer (`catch (CDaoException* e) { ...; e->Delete(); }`).
// m_scode is 0x800A0000 | the Jet number; m_nAfxDaoError is one of MFC's own codes
// (2000 = the engine could not start) with no error information.
class CDaoException : public CException {
 public:
  CDaoException();
  ~CDaoException() override;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
  short GetErrorCount();
  void GetErrorInfo(int nIndex);

  SCODE m_scode;
  int m_nAfxDaoError;
  CDaoErrorInfo* m_pErrorInfo;
};

[[noreturn]] void AfxThrowDaoException(int nAfxDaoError = NO_AFX_DAO_ERROR, SCODE scode = S_OK);

// Starts the engine (recordsets and databases start it on first use too); throws
// CDaoException* with m_nAfxDaoError = AFX_DAO_ERROR_ENGINE_INITIALIZATION when it
// cannot start. Setting the environment variable TABRIK_DAO_INIT_FAIL to a non-empty
// value other than "0" makes starting fail, as on a machine without the drivers.
void AfxDaoInit();
// Databases on local disks use write-ahead logging; on network file systems (NFS,
// SMB/CIFS, 9P, AFS, Coda, NCP) the rollback journal, which works across machines.
// TABRIK_DAO_JOURNAL=rollback or =wal forces one of the two (for tests).
//
// Stops the engine: every database still open is closed and marked
// AFX_DAO_IMPLICIT_CLOSE.
void AfxDaoTerm();

// --- information structures --------------------------------------------------------------

struct CDaoFieldInfo {
  CString m_strName;
  short m_nType = 0;
  long m_lSize = 0;
  long m_lAttributes = 0;
  short m_nOrdinalPosition = 0;
  BOOL m_bRequired = FALSE;
  BOOL m_bAllowZeroLength = FALSE;
  long m_lCollatingOrder = 0;
  CString m_strForeignName;
  CString m_strSourceField;
  CString m_strSourceTable;
  CString m_strValidationRule;
  CString m_strValidationText;
  CString m_strDefaultValue;
};

struct CDaoIndexFieldInfo {
  CString m_strName;
  BOOL m_bDescending = FALSE;
};

// m_pFieldInfos points at m_nFields entries. The caller owns what it passes to
// CreateIndex; what GetIndexInfo fills in is owned (and freed) by the info object.
struct CDaoIndexInfo {
  CDaoIndexInfo() = default;
  CDaoIndexInfo(const CDaoIndexInfo&) = delete;
  CDaoIndexInfo& operator=(const CDaoIndexInfo&) = delete;
  ~CDaoIndexInfo();

  CString m_strName;
  CDaoIndexFieldInfo* m_pFieldInfos = nullptr;
  short m_nFields = 0;
  BOOL m_bPrimary = FALSE;
  BOOL m_bUnique = FALSE;
  BOOL m_bClustered = FALSE;
  BOOL m_bIgnoreNulls = FALSE;
  BOOL m_bRequired = FALSE;
  BOOL m_bForeign = FALSE;
  long m_lDistinctCount = 0;
  BOOL m_bCleanupFieldInfo = FALSE;  // TRUE when GetIndexInfo allocated m_pFieldInfos
};

struct CDaoTableDefInfo {
  CString m_strName;
  BOOL m_bUpdatable = FALSE;
  long m_lAttributes = 0;
  COleDateTime m_dateCreated;
  COleDateTime m_dateLastUpdated;
  CString m_strSrcTableName;
  CString m_strConnect;
  CString m_strValidationRule;
  CString m_strValidationText;
  long m_lRecordCount = 0;
};

struct CDaoRelationFieldInfo {
  CString m_strName;         // field of the primary table
  CString m_strForeignName;  // matching field of the foreign table
};

// m_pFieldInfos points at m_nFields entries; ownership as in CDaoIndexInfo.
struct CDaoRelationInfo {
  CDaoRelationInfo() = default;
  CDaoRelationInfo(const CDaoRelationInfo&) = delete;
  CDaoRelationInfo& operator=(const CDaoRelationInfo&) = delete;
  ~CDaoRelationInfo();

  CString m_strName;
  CString m_strTable;         // the primary table
  CString m_strForeignTable;  // the table whose records refer to it
  long m_lAttributes = 0;     // dbRelation... bits
  CDaoRelationFieldInfo* m_pFieldInfos = nullptr;
  short m_nFields = 0;
  BOOL m_bCleanupFieldInfo = FALSE;
};

// RelationAttributeEnum
#define dbRelationUnique 0x1
#define dbRelationDontEnforce 0x2
#define dbRelationInherited 0x4
#define dbRelationUpdateCascade 0x100
#define dbRelationDeleteCascade 0x1000
#define dbRelationLeft 0x1000000
#define dbRelationRight 0x2000000

struct CDaoQueryDefInfo {
  CString m_strName;
  short m_nType = 0;  // dbQSelect 0, dbQAction 240 ...
  COleDateTime m_dateCreated;
  COleDateTime m_dateLastUpdated;
  BOOL m_bUpdatable = FALSE;
  BOOL m_bReturnsRecords = FALSE;
  CString m_strSQL;
  CString m_strConnect;
  short m_nODBCTimeout = 60;
};

struct CDaoParameterInfo {
  CString m_strName;
  short m_nType = 0;
  COleVariant m_varValue;
};

// QueryDefTypeEnum (the kinds this engine tells apart)
#define dbQSelect 0
#define dbQAction 240

// --- engine objects -------------------------------------------------------------------

struct DAODatabase;   // the engine's open database (one SQLite connection)
struct DAORecordset;  // the engine's cursor state
class CDaoTableDef;
class CDaoQueryDef;

// A DAO session. Transactions begun on a workspace span every database opened with
// it (databases made without one are in DAO's default workspace and commit each
// Update on its own). Compaction works on closed files.
class CDaoWorkspace : public CObject {
 public:
  CDaoWorkspace();
  ~CDaoWorkspace() override;
  CDaoWorkspace(const CDaoWorkspace&) = delete;
  CDaoWorkspace& operator=(const CDaoWorkspace&) = delete;

  virtual void Open(LPCTSTR lpszName = NULL);
  virtual void Create(LPCTSTR lpszName, LPCTSTR lpszUserName, LPCTSTR lpszPassword);
  virtual void Close();  // rolls back a transaction still pending and closes its databases
  BOOL IsOpen() const { return m_bOpen; }
  CString GetName() { return m_strName; }

  // BeginTrans nests; CommitTrans and Rollback end the innermost level. Rollback or
  // CommitTrans without BeginTrans: 3034.
  void BeginTrans();
  void CommitTrans();
  void Rollback();

  // Copies the closed database lpszSrcName into the new file lpszDestName, compacted,
  // leaving the source as it was. 3024/3044 for a missing source or folder, 3204 when
  // the destination exists, 3343 when the source is no database, 3356 when someone
  // has it open for writing.
  static void PASCAL CompactDatabase(LPCTSTR lpszSrcName, LPCTSTR lpszDestName,
                                     LPCTSTR lpszLocale = dbLangGeneral, int nOptions = 0);
  // Checks a closed database and rebuilds its indexes; 3049 when it stays damaged.
  static void PASCAL RepairDatabase(LPCTSTR lpszName);

  // Implementation: the databases opened with this workspace.
  void registerDatabase(class CDaoDatabase* db);
  void unregisterDatabase(class CDaoDatabase* db);

 private:
  CList<class CDaoDatabase*, class CDaoDatabase*> m_databases;
  CString m_strName;
  BOOL m_bOpen;
  int m_nTransactions;
};

class CDaoDatabase : public CObject {
 public:
  explicit CDaoDatabase(CDaoWorkspace* pWorkspace = NULL);
  ~CDaoDatabase() override;
  CDaoDatabase(const CDaoDatabase&) = delete;
  CDaoDatabase& operator=(const CDaoDatabase&) = delete;

  // Opens the database file at lpszName ('\' and '/' both separate folders).
  // Errors: 3024 file missing, 3044 folder missing, 3051 the file has no write
  // permission (read-write requested) or another process holds it exclusively,
  // 3045 exclusive use requested while others have it open, 3343 not a database,
  // 3049 damaged.
  virtual void Open(LPCTSTR lpszName, BOOL bExclusive = FALSE, BOOL bReadOnly = FALSE,
                    LPCTSTR lpszConnect = _T(""));
  // Creates a new, empty database file and leaves it open. 3204 if the file exists.
  virtual void Create(LPCTSTR lpszName, LPCTSTR lpszLocale = dbLangGeneral, int dwOptions = 0);
  virtual void Close();

  BOOL IsOpen() const;
  BOOL CanUpdate();
  BOOL CanTransact();
  CString GetName();  // the path as it was given to Open or Create
  CString GetConnect();
  CString GetVersion();  // "4.0"
  long GetRecordsAffected();

  // Runs one SQL statement that returns no records (the engine's dialect is SQLite's
  // until the Jet SQL translator takes its place).
  void Execute(LPCTSTR lpszSQL, int nOptions = dbFailOnError);

  short GetTableDefCount();
  void GetTableDefInfo(int nIndex, CDaoTableDefInfo& info,
                       DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
  void GetTableDefInfo(LPCTSTR lpszName, CDaoTableDefInfo& info,
                       DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
  void DeleteTableDef(LPCTSTR lpszName);

  // Relations between tables. Unless dbRelationDontEnforce is set, a record of the
  // foreign table must match one of the primary table (3201 names the primary table),
  // and a primary record with related records cannot be deleted or have its key
  // changed (3200 names the foreign table) unless the relation cascades. The primary
  // fields need a unique index (3173); the foreign table gets an index named after the
  // relation. Deleting a table deletes its relations.
  void CreateRelation(LPCTSTR lpszName, LPCTSTR lpszTable, LPCTSTR lpszForeignTable,
                      long lAttributes, LPCTSTR lpszField, LPCTSTR lpszForeignField);
  void CreateRelation(CDaoRelationInfo& relinfo);
  void DeleteRelation(LPCTSTR lpszName);
  short GetRelationCount();
  void GetRelationInfo(int nIndex, CDaoRelationInfo& relinfo,
                       DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
  void GetRelationInfo(LPCTSTR lpszName, CDaoRelationInfo& relinfo,
                       DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);

  short GetQueryDefCount();
  void GetQueryDefInfo(int nIndex, CDaoQueryDefInfo& info,
                       DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
  void GetQueryDefInfo(LPCTSTR lpszName, CDaoQueryDefInfo& info,
                       DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
  void DeleteQueryDef(LPCTSTR lpszName);

  CDaoWorkspace* m_pWorkspace;
  DAODatabase* m_pDAODatabase;
  BOOL m_bOpen;
  BYTE m_nStatus;  // AFX_DAO_IMPLICIT_WS, AFX_DAO_IMPLICIT_CLOSE

  // Implementation: objects opened on this database, closed with it.
  void registerRecordset(class CDaoRecordset* rs);
  void unregisterRecordset(class CDaoRecordset* rs);

 private:
  void openStore(LPCTSTR lpszName, bool exclusive, bool readOnly, bool create);
  CList<class CDaoRecordset*, class CDaoRecordset*> m_recordsets;
};

class CDaoTableDef : public CObject {
 public:
  explicit CDaoTableDef(CDaoDatabase* pDatabase);
  ~CDaoTableDef() override;
  CDaoTableDef(const CDaoTableDef&) = delete;
  CDaoTableDef& operator=(const CDaoTableDef&) = delete;

  // Open: an existing table (3265 if none). Create + CreateField... + Append: a new
  // one (3010 if the name exists, 3125 for an invalid name). Fields and indexes made
  // on an open or appended definition are added to the table at once.
  virtual void Open(LPCTSTR lpszName);
  virtual void Create(LPCTSTR lpszName, long lAttributes = 0, LPCTSTR lpszSrcTable = NULL,
                      LPCTSTR lpszConnect = NULL);
  virtual void Append();
  virtual void Close();
  BOOL IsOpen() const { return m_bOpen || m_bNew; }

  void CreateField(LPCTSTR lpszName, short nType, long lSize, long lAttributes = 0);
  void CreateField(CDaoFieldInfo& fieldinfo);
  void CreateIndex(CDaoIndexInfo& indexinfo);
  void DeleteIndex(LPCTSTR lpszName);

  CString GetName();
  void SetName(LPCTSTR lpszName);  // renames the table
  long GetAttributes();
  BOOL CanUpdate();
  long GetRecordCount();
  short GetFieldCount();
  void GetFieldInfo(int nIndex, CDaoFieldInfo& info, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
  void GetFieldInfo(LPCTSTR lpszName, CDaoFieldInfo& info,
                    DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
  short GetIndexCount();
  void GetIndexInfo(int nIndex, CDaoIndexInfo& info, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
  void GetIndexInfo(LPCTSTR lpszName, CDaoIndexInfo& info,
                    DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);

  CDaoDatabase* m_pDatabase;

  struct Pending;  // implementation: fields and indexes of a definition not yet appended

 private:
  Pending* m_pending;
  CString m_strName;
  BOOL m_bOpen;
  BOOL m_bNew;
};

// A recordset over one table (table type: index order, Seek) or over the result of a
// query (snapshot: read-only, in memory).
//
// Edit modes (GetEditMode):
//
//        AddNew                 Edit
//   None ------> Add      None ------> InProgress
//   Add/InProgress --Update (success)--> None      (one committed transaction)
//   Add/InProgress --Update (fails)----> unchanged (fix the values and retry)
//   Add/InProgress --CancelUpdate, Move*, Seek, SetBookmark, AddNew, Edit, Close--> None
//                                                  (the copy buffer is dropped)
//
// In None, field values read the current record; in Add/InProgress they read and
// write the copy buffer. With pessimistic locking (SetLockingMode(TRUE)) Edit takes
// the database's write lock and holds it until the edit ends, so another process's
// writes meet DAO's conflict errors meanwhile; readers are never blocked.
// A query: a statement with a name (stored in the database by Append) or without one
// (temporary). The statement is in the engine's SQL dialect (SQLite's, until the Jet
// SQL translator takes its place); its parameters are the statement's named
// parameters (:name, @name, $name), set by name without the prefix.
class CDaoQueryDef : public CObject {
 public:
  explicit CDaoQueryDef(CDaoDatabase* pDatabase);
  ~CDaoQueryDef() override;
  CDaoQueryDef(const CDaoQueryDef&) = delete;
  CDaoQueryDef& operator=(const CDaoQueryDef&) = delete;

  virtual void Create(LPCTSTR lpszName = NULL, LPCTSTR lpszSQL = NULL);
  virtual void Open(LPCTSTR lpszName = NULL);  // a stored query; 3265 when none
  virtual void Append();  // stores a new named query; 3012 if the name is taken
  virtual void Close();
  BOOL IsOpen() const { return m_bOpen; }

  CString GetName() { return m_strName; }
  CString GetSQL() { return m_strSQL; }
  void SetSQL(LPCTSTR lpszSQL);  // a stored query keeps the new text at once
  short GetType();
  BOOL GetReturnsRecords();
  BOOL CanUpdate();

  // Runs an action query. 3065 for a SELECT, 3061 when parameters have no value.
  virtual void Execute(int nOptions = dbFailOnError);
  long GetRecordsAffected() { return m_lRecordsAffected; }

  short GetParameterCount();
  void GetParameterInfo(int nIndex, CDaoParameterInfo& info,
                        DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
  COleVariant GetParamValue(LPCTSTR lpszName);
  COleVariant GetParamValue(int nIndex);
  void SetParamValue(LPCTSTR lpszName, const COleVariant& varValue);  // 3265 for an unknown name
  void SetParamValue(int nIndex, const COleVariant& varValue);

  CDaoDatabase* m_pDatabase;

  // Implementation: the statement with its parameter values, for recordsets.
  struct Parameters;
  Parameters* m_pParameters;

 private:
  void readParameters();
  CString m_strName;
  CString m_strSQL;
  BOOL m_bOpen;
  BOOL m_bNew;
  long m_lRecordsAffected;
};

class CDaoRecordset : public CObject {
 public:
  explicit CDaoRecordset(CDaoDatabase* pDatabase = NULL);
  ~CDaoRecordset() override;
  CDaoRecordset(const CDaoRecordset&) = delete;
  CDaoRecordset& operator=(const CDaoRecordset&) = delete;

  // lpszSQL is a table name or a SELECT statement. A local table opens as table type
  // (dbOpenTable: index order, Seek) or, for dbOpenDynaset, in stored order without
  // Seek, both updatable; a statement, a linked table or dbOpenSnapshot gives a
  // read-only snapshot. A table that does not exist is 3078; a linked table refuses
  // table type (3219).
  virtual void Open(int nOpenType = AFX_DAO_USE_DEFAULT_TYPE, LPCTSTR lpszSQL = NULL,
                    int nOptions = 0);
  virtual void Open(CDaoTableDef* pTableDef, int nOpenType = dbOpenTable, int nOptions = 0);
  // A query's rows as a snapshot (whatever type is asked for), with its parameters.
  virtual void Open(CDaoQueryDef* pQueryDef, int nOpenType = dbOpenDynaset, int nOptions = 0);
  virtual void Close();

  BOOL IsOpen() const;
  BOOL IsBOF() const;
  BOOL IsEOF() const;
  BOOL IsDeleted() const;
  BOOL CanUpdate() const;
  BOOL CanAppend() const;
  BOOL CanBookmark();
  BOOL CanScroll() { return TRUE; }
  CString GetName();
  short GetType();
  short GetEditMode();
  CString GetSQL() const;

  CString GetCurrentIndex();
  // 3015 when the table has no index of that name; 3251 on a snapshot.
  void SetCurrentIndex(LPCTSTR lpszIndex);
  BOOL GetLockingMode();
  void SetLockingMode(BOOL bPessimistic);

  // Table type: the exact number of records. Snapshot: the rows of the result.
  long GetRecordCount();

  void MoveNext();
  void MovePrev();
  void MoveFirst();
  void MoveLast();
  virtual void Move(long lRows);

  // Comparison "=", ">=", ">", "<=" or "<" on the current index, with one key value
  // per index field (missing trailing keys are Null). TRUE and the record current
  // when found; FALSE and no current record otherwise. 3019 without a current index,
  // 3251 on a snapshot.
  BOOL Seek(LPCTSTR lpszComparison, COleVariant* pKey1, COleVariant* pKey2 = NULL,
            COleVariant* pKey3 = NULL);
  BOOL Seek(LPCTSTR lpszComparison, COleVariant* pKeyArray, WORD nKeys);

  virtual void AddNew();
  virtual void Edit();
  virtual void Update();
  virtual void CancelUpdate();
  virtual void Delete();

  COleVariant GetBookmark();
  void SetBookmark(COleVariant varBookmark);
  COleVariant GetLastModifiedBookmark();

  void GetFieldValue(LPCTSTR lpszName, COleVariant& varValue);
  void GetFieldValue(int nIndex, COleVariant& varValue);
  virtual COleVariant GetFieldValue(LPCTSTR lpszName);
  virtual COleVariant GetFieldValue(int nIndex);
  void SetFieldValue(LPCTSTR lpszName, const COleVariant& varValue);
  void SetFieldValue(int nIndex, const COleVariant& varValue);
  void SetFieldValue(LPCTSTR lpszName, LPCTSTR lpszValue);
  void SetFieldValue(int nIndex, LPCTSTR lpszValue);
  void SetFieldValueNull(LPCTSTR lpszName);
  void SetFieldValueNull(int nIndex);

  short GetFieldCount();
  void GetFieldInfo(int nIndex, CDaoFieldInfo& info, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
  void GetFieldInfo(LPCTSTR lpszName, CDaoFieldInfo& info,
                    DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
  short GetIndexCount();
  void GetIndexInfo(int nIndex, CDaoIndexInfo& info, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
  void GetIndexInfo(LPCTSTR lpszName, CDaoIndexInfo& info,
                    DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);

  CDaoDatabase* m_pDatabase;
  int m_nDefaultType = dbOpenDynaset;

  // Implementation: called when the database closes under the recordset.
  void databaseClosing();

 private:
  DAORecordset* m_pDAORecordset;
};
