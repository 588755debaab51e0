// CDBConnection's automation-style interface: 57 virtual operations in a fixed slot
// order, as a dual interface lays out its vtable. Every slot returns S_OK; results
// travel through out-parameters: booleans as VARIANT_BOOL (-1 / 0), strings as BSTRs
// that the slot allocates and the caller frees with SysFreeString, records and other
// sequences as a flat array of variants. Most slots are thin wrappers of the plain
// member of the same name (CDBConnection.h); slots 53 to 56 do their work themselves.
// Callers that hold only this interface (the failure report, the standards dialogs'
// helpers) never see a DAO exception either.
#pragma once
#include <vector>

#include <afxdisp.h>
#include <oleauto.h>

class CDBConnection;

// A record as the slots pass it: field name (VT_BSTR), value, field name, value, ...
// in the table's field order, 2 x field-count variants. Lists of names (tables,
// indexes) are arrays of VT_BSTR; query results are the flat sequence the query
// operations produce.
using DBVariantArray = std::vector<COleVariant>;

// The slot table, the primary base of CDBConnection. The declaration order below is
// the vtable order and must not change: slot n is the n-th virtual function, counted
// from 0. The slots are defined in CDBConnectionDispatch.cpp over the connection they
// belong to; only CDBConnection derives from this class.
class CDBConnectionDispatch {
 public:
  virtual HRESULT raw_IsOpen(VARIANT_BOOL* open);                           // 0
  virtual HRESULT raw_GetDatabaseName(BSTR* name);                          // 1
  virtual HRESULT raw_IsIntact(VARIANT_BOOL* intact);                       // 2
  virtual HRESULT raw_CloseNamedTable(BSTR table, VARIANT_BOOL* closed);    // 3
  virtual HRESULT raw_GetRecord(DBVariantArray* record, VARIANT_BOOL* ok);  // 4
  virtual HRESULT raw_HasNoTables(VARIANT_BOOL* none);                      // 5
  virtual HRESULT raw_CloseTable(VARIANT_BOOL* closed);                     // 6
  virtual HRESULT raw_CloseAllTables(VARIANT_BOOL* closed);                 // 7
  virtual HRESULT raw_Close();                                              // 8
  virtual HRESULT raw_CanUpdate(VARIANT_BOOL* updatable);                   // 9
  virtual HRESULT raw_Open(BSTR path, VARIANT_BOOL exclusive, VARIANT_BOOL readOnly,
                           BSTR* name);                                                // 10
  virtual HRESULT raw_TryOpen(BSTR path, VARIANT_BOOL* locked, BSTR* name);            // 11
  virtual HRESULT raw_OpenTable(BSTR table, BSTR index, VARIANT_BOOL* ok);             // 12
  virtual HRESULT raw_HasError(VARIANT_BOOL* failed);                                  // 13
  virtual HRESULT raw_MoveFirst(DBVariantArray* record, VARIANT_BOOL* ok);             // 14
  virtual HRESULT raw_MoveLast(DBVariantArray* record, VARIANT_BOOL* ok);              // 15
  virtual HRESULT raw_Skip(LONG count, DBVariantArray* record, VARIANT_BOOL* ok);      // 16
  virtual HRESULT raw_GetRecordCount(LONG* count, VARIANT_BOOL* ok);                   // 17
  virtual HRESULT raw_DeleteRecord(VARIANT_BOOL* ok);                                  // 18
  virtual HRESULT raw_TableExists(BSTR name, VARIANT_BOOL* exists, VARIANT_BOOL* ok);  // 19
  virtual HRESULT raw_AppendRecord(const DBVariantArray* values, VARIANT_BOOL fill,
                                   DBVariantArray* record,
                                   VARIANT_BOOL* ok);  // 20
  virtual HRESULT raw_ReplaceRecord(const DBVariantArray* values, DBVariantArray* record,
                                    VARIANT_BOOL* ok);                                         // 21
  virtual HRESULT raw_GetStructure(DBVariantArray* structure, VARIANT_BOOL* ok);               // 22
  virtual HRESULT raw_ListIndexes(DBVariantArray* names, VARIANT_BOOL* ok);                    // 23
  virtual HRESULT raw_ModifyTable(BSTR name, const DBVariantArray* tokens, VARIANT_BOOL* ok);  // 24
  virtual HRESULT raw_RenameTable(BSTR oldName, BSTR newName, VARIANT_BOOL* ok);               // 25
  virtual HRESULT raw_GetCurrentIndex(BSTR* name);                                             // 26
  virtual HRESULT raw_GetCurrentTable(BSTR* name);                                             // 27
  virtual HRESULT raw_Seek1(VARIANT key, DBVariantArray* record, VARIANT_BOOL* ok);            // 28
  virtual HRESULT raw_Seek2(VARIANT key1, VARIANT key2, DBVariantArray* record,
                            VARIANT_BOOL* ok);  // 29
  virtual HRESULT raw_Seek3(VARIANT key1, VARIANT key2, VARIANT key3, DBVariantArray* record,
                            VARIANT_BOOL* ok);  // 30
  // keys: up to ten values; those after the tenth are not passed.
  virtual HRESULT raw_SeekArray(const DBVariantArray* keys, DBVariantArray* record,
                                VARIANT_BOOL* ok);                                             // 31
  virtual HRESULT raw_CreateDatabase(BSTR path, VARIANT_BOOL* ok);                             // 32
  virtual HRESULT raw_CreateTable(BSTR name, const DBVariantArray* tokens, VARIANT_BOOL* ok);  // 33
  virtual HRESULT raw_IsReadOnly(VARIANT_BOOL* readOnly);                                      // 34
  virtual HRESULT raw_IsEOF(VARIANT_BOOL* eof);                                                // 35
  virtual HRESULT raw_IsBOF(VARIANT_BOOL* bof);                                                // 36
  virtual HRESULT raw_DeleteTable(BSTR name, VARIANT_BOOL deleteRelations, VARIANT_BOOL* ok);  // 37
  virtual HRESULT raw_ListTables(DBVariantArray* names, VARIANT_BOOL* ok);                     // 38
  virtual HRESULT raw_OpenQuery(BSTR statement, DBVariantArray* result, VARIANT_BOOL* ok);     // 39
  virtual HRESULT raw_ExecuteSQL(BSTR statement, LONG* affected, VARIANT_BOOL* ok);            // 40
  virtual HRESULT raw_ExecuteCommand(BSTR statement, LONG* affected, VARIANT_BOOL* ok);        // 41
  virtual HRESULT raw_RelationExists(BSTR name, VARIANT_BOOL* exists, VARIANT_BOOL* ok);       // 42
  virtual HRESULT raw_DeleteRelation(BSTR table, BSTR foreignTable, VARIANT_BOOL* ok);         // 43
  virtual HRESULT raw_CompactDatabase(BSTR source, BSTR destination, VARIANT_BOOL* ok);        // 44
  virtual HRESULT raw_LinkTable(BSTR localName, BSTR path, BSTR sourceTable, VARIANT_BOOL* linked,
                                VARIANT_BOOL* ok);  // 45
  virtual HRESULT raw_RunQuery(BSTR name, const DBVariantArray* parameters, DBVariantArray* result,
                               VARIANT_BOOL* ok);  // 46
  virtual HRESULT raw_CreateIndex(BSTR table, BSTR field, VARIANT_BOOL unique, VARIANT_BOOL primary,
                                  VARIANT_BOOL* ok);                             // 47
  virtual HRESULT raw_CreateQuery(BSTR name, BSTR statement, VARIANT_BOOL* ok);  // 48
  virtual HRESULT raw_FieldRequired(BSTR table, BSTR field, VARIANT_BOOL* required,
                                    VARIANT_BOOL* ok);  // 49
  virtual HRESULT raw_FieldAttributes(BSTR field, DBVariantArray* attributes,
                                      VARIANT_BOOL* ok);  // 50
  // value: the caller clears it (VariantClear) when done.
  virtual HRESULT raw_GetFieldValueByName(BSTR name, VARIANT* value, VARIANT_BOOL* ok);  // 51
  virtual HRESULT raw_GetInterfaceVersion(LONG* version);                                // 52
  virtual HRESULT raw_GetFieldCount(SHORT* count, VARIANT_BOOL* ok);                     // 53
  virtual HRESULT raw_GetFieldName(LONG position, BSTR* name, VARIANT_BOOL* ok);         // 54
  virtual HRESULT raw_GetFieldValue(LONG position, VARIANT* value, VARIANT_BOOL* ok);    // 55
  virtual HRESULT raw_GetLastError(LONG* code, BSTR* description);                       // 56

  static constexpr int kSlotCount = 57;

 private:
  friend class CDBConnection;
  CDBConnection& self();

  // Not deleted through this interface: the connection's owner deletes the connection.
  CDBConnectionDispatch() = default;
  ~CDBConnectionDispatch() = default;
  CDBConnectionDispatch(const CDBConnectionDispatch&) = default;
  CDBConnectionDispatch& operator=(const CDBConnectionDispatch&) = default;
};
