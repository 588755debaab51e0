// The Jet 4.0 (DAO 3.6) message table. Jet separates sentences with two spaces; the
// texts below keep that.
#include "DaoErrors.h"

#include <map>

#include "afxdao.h"

namespace tabrik::dao {

namespace {

const std::map<long, const wchar_t*>& messages() {
  static const std::map<long, const wchar_t*> kMessages = {
      {11, L"Division by zero"},  // VBA's, from an expression Jet evaluates
      {3000, L"Reserved error (|); there is no message for this error."},
      {3001, L"Invalid argument."},
      {3009,
       L"You tried to lock table '|' while opening it, but the table cannot be locked because it "
       L"is currently in use.  Wait a moment, and then try the operation again."},
      {3010, L"Table '|' already exists."},
      {3011,
       L"The Microsoft Jet database engine could not find the object '|'.  Make sure the object "
       L"exists and that you spell its name and the path name correctly."},
      {3012, L"Object '|' already exists."},
      {3015,
       L"'|' is not an index in this table.  Look in the Indexes collection of the TableDef object "
       L"to determine the valid index names."},
      {3019, L"Operation invalid without a current index."},
      {3020, L"Update or CancelUpdate without AddNew or Edit."},
      {3021, L"No current record."},
      {3022,
       L"The changes you requested to the table were not successful because they would create "
       L"duplicate values in the index, primary key, or relationship.  Change the data in the "
       L"field or fields that contain duplicate data, remove the index, or redefine the index to "
       L"permit duplicate entries and try again."},
      {3024, L"Could not find file '|'."},
      {3026, L"Not enough space on disk."},
      {3027, L"Cannot update.  Database or object is read-only."},
      {3043, L"Disk or network error."},
      {3035, L"System resource exceeded."},
      {3034,
       L"You tried to commit or roll back a transaction without first beginning a transaction."},
      {3044,
       L"'|' is not a valid path.  Make sure that the path name is spelled correctly and that you "
       L"are connected to the server on which the file resides."},
      {3045, L"Could not use '|'; file already in use."},
      {3046, L"Could not save; currently locked by another user."},
      {3049,
       L"Cannot open database '|'.  It may not be a database that your application recognizes, or "
       L"the file may be corrupt."},
      {3051,
       L"The Microsoft Jet database engine cannot open the file '|'.  It is already opened "
       L"exclusively by another user, or you need permission to view its data."},
      {3058, L"Index or primary key cannot contain a Null value."},
      {3059, L"Operation canceled by user."},
      {3061, L"Too few parameters. Expected |."},
      {3065, L"Cannot execute a select query."},
      {3067, L"Query input must contain at least one table or query."},
      {3075, L"|1 in query expression '|2'."},
      {3079,
       L"The specified field '|' could refer to more than one table listed in the FROM clause of "
       L"your SQL statement."},
      {3085, L"Undefined function '|' in expression."},
      {3078,
       L"The Microsoft Jet database engine cannot find the input table or query '|'.  Make sure it "
       L"exists and that its name is spelled correctly."},
      {3096, L"Cannot have aggregate function in WHERE clause (|)."},
      {3125,
       L"'|' is not a valid name.  Make sure that it does not include invalid characters or "
       L"punctuation and that it is not too long."},
      {3127,
       L"The INSERT INTO statement contains the following unknown field name: '|'.  Make sure you "
       L"have typed the name correctly, and try the operation again."},
      {3129,
       L"Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."},
      {3131, L"Syntax error in FROM clause."},
      {3134, L"Syntax error in INSERT INTO statement."},
      {3141,
       L"The SELECT statement includes a reserved word or an argument name that is misspelled or "
       L"missing, or the punctuation is incorrect."},
      {3142, L"Characters found after end of SQL statement."},
      {3144, L"Syntax error in UPDATE statement."},
      {3146, L"ODBC--call failed."},
      {3151, L"ODBC--connection to '|' failed."},
      {3159, L"Not a valid bookmark."},
      {3290, L"Syntax error in CREATE TABLE statement."},
      {3291, L"Syntax error in CREATE INDEX statement."},
      {3293, L"Syntax error in ALTER TABLE statement."},
      {3295, L"Syntax error in DROP TABLE or DROP INDEX."},
      {3376, L"Table '|' does not exist."},
      {3164, L"Field cannot be updated."},
      {3163,
       L"The field is too small to accept the amount of data you attempted to add.  Try inserting "
       L"or pasting less data."},
      {3167, L"Record is deleted."},
      {3188, L"Could not update; currently locked by another session on this machine."},
      {3191, L"Cannot define field more than once."},
      {3173, L"No unique index found for the referenced field of the primary table."},
      {3197,
       L"The Microsoft Jet database engine stopped the process because you and another user are "
       L"attempting to change the same data at the same time."},
      {3200,
       L"The record cannot be deleted or changed because table '|' includes related records."},
      {3201,
       L"You cannot add or change a record because a related record is required in table '|'."},
      {3204, L"Database already exists."},
      {3218, L"Could not update; currently locked."},
      {3219, L"Invalid operation."},
      {3251, L"Operation is not supported for this type of object."},
      {3259, L"Invalid field data type."},
      {3264, L"No field defined--cannot append TableDef or Index."},
      {3265, L"Item not found in this collection."},
      {3277, L"Cannot have more than 10 fields in an index."},
      {3280, L"Cannot delete a field that is part of an index or is needed by the system."},
      {3281,
       L"Cannot delete this index or table.  It is either the current index or is used in a "
       L"relationship."},
      {3283, L"Primary key already exists."},
      {3284, L"Index already exists."},
      {3303, L"Cannot delete this field.  It is part of one or more relationships."},
      {3306,
       L"You have written a subquery that can return more than one field without using the EXISTS "
       L"reserved word in the main query's FROM clause.  Revise the SELECT statement of the "
       L"subquery to request only one field."},
      {3314,
       L"The field '|' cannot contain a Null value because the Required property for this field is "
       L"set to True.  Enter a value in this field."},
      {3315, L"Field '|' cannot be a zero-length string."},
      {3343, L"Unrecognized database format '|'."},
      {3356,
       L"You attempted to open a database that is already opened exclusively by user '|2' on "
       L"machine '|1'.  Try again when the database is available."},
      {3420, L"Object invalid or no longer set."},
      {3421, L"Data type conversion error."},
      {3464, L"Data type mismatch in criteria expression."},
  };
  return kMessages;
}

}  // namespace

std::wstring errorText(long code, std::initializer_list<std::wstring> args) {
  auto it = messages().find(code);
  if (it == messages().end()) return errorText(3000, {std::to_wstring(code)});
  std::wstring out;
  const std::wstring* argv = args.begin();
  size_t argc = args.size();
  for (const wchar_t* p = it->second; *p; ++p) {
    if (*p != L'|') {
      out.push_back(*p);
      continue;
    }
    size_t which = 0;
    if (p[1] >= L'1' && p[1] <= L'9') which = static_cast<size_t>(*++p - L'1');
    if (which < argc) out += argv[which];
  }
  return out;
}

void daoThrow(long code, std::initializer_list<std::wstring> args, const wchar_t* source) {
  daoThrowText(code, errorText(code, args), source);
}

void daoThrowText(long code, const std::wstring& description, const wchar_t* source) {
  auto* e = new CDaoException();
  e->m_scode = static_cast<SCODE>(0x800A0000u | static_cast<unsigned>(code));
  e->m_pErrorInfo = new CDaoErrorInfo();
  e->m_pErrorInfo->m_lErrorCode = code;
  e->m_pErrorInfo->m_strDescription = CString(description.c_str());
  e->m_pErrorInfo->m_strSource = source;
  e->m_pErrorInfo->m_strHelpFile = L"jeterr40.chm";
  e->m_pErrorInfo->m_lHelpContext = 5000000 + code;
  throw e;
}

}  // namespace tabrik::dao

// --- CDaoException -------------------------------------------------------------------

CDaoException::CDaoException()
    : m_scode(S_OK), m_nAfxDaoError(NO_AFX_DAO_ERROR), m_pErrorInfo(nullptr) {}

CDaoException::~CDaoException() { delete m_pErrorInfo; }

BOOL CDaoException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext)
    *pnHelpContext = m_pErrorInfo ? static_cast<UINT>(m_pErrorInfo->m_lHelpContext) : 0;
  if (m_pErrorInfo) return CopyMessage(m_pErrorInfo->m_strDescription, lpszError, nMaxError);
  if (m_nAfxDaoError == AFX_DAO_ERROR_ENGINE_INITIALIZATION)
    return CopyMessage(L"The DAO database engine could not be initialized.", lpszError, nMaxError);
  if (m_nAfxDaoError == AFX_DAO_ERROR_OBJECT_NOT_OPEN)
    return CopyMessage(L"The DAO object is not open.", lpszError, nMaxError);
  return CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
}

short CDaoException::GetErrorCount() { return m_pErrorInfo ? 1 : 0; }

void CDaoException::GetErrorInfo(int) {}

void AfxThrowDaoException(int nAfxDaoError, SCODE scode) {
  auto* e = new CDaoException();
  e->m_nAfxDaoError = nAfxDaoError;
  e->m_scode = scode;
  throw e;
}
