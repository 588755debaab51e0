// CDaoRecordset: table-type recordsets (index order, Seek, editing through the copy
// buffer, locking) and moving through snapshots (whose rows Snapshot.cpp reads). The
// edit-mode state machine is drawn in afxdao.h; BOF/EOF follow DAO:
//
//   state            MoveFirst/Last   MovePrev, Move<0   Move 0   MoveNext, Move>0
//   BOF only         yes              3021               3021     yes
//   EOF only         yes              yes                3021     3021
//   both (empty)     3021             3021               3021     3021
//   neither          yes              yes                yes      yes
//
// A Move that finds no record sets BOF (backward) or EOF (forward) and leaves no
// current record; any Move that lands sets both false. A deleted record stays
// current (its fields read 3167) until the cursor moves. A forward-only recordset of
// a statement moves only forward (MoveNext, Move > 0); every other move is 3251.
#include <algorithm>
#include <memory>

#include "DaoErrors.h"
#include "DaoStore.h"
#include "FieldValues.h"
#include "QueryParameters.h"
#include "RecordsetState.h"
#include "Snapshot.h"
#include "SchemaInfo.h"
#include "TableCursor.h"
#include "afxdao.h"

using namespace tabrik::dao;

namespace {

const wchar_t kSource[] = L"DAO.Recordset";

[[noreturn]] void fail(long code, std::initializer_list<std::wstring> args = {}) {
  daoThrow(code, args, kSource);
}

bool isTableName(DAODatabase& d, std::wstring& name) {
  std::wstring n = name;
  while (!n.empty() && n.back() == L' ') n.pop_back();
  while (!n.empty() && n.front() == L' ') n.erase(0, 1);
  if (n.size() >= 2 && n.front() == L'[' && n.back() == L']') n = n.substr(1, n.size() - 2);
  if (n.empty() || !d.hasTable(n)) return false;
  name = n;
  return true;
}

bool looksLikeStatement(const std::wstring& s) {
  std::wstring t = upper(s);
  size_t b = t.find_first_not_of(L" \t\r\n(");
  if (b == std::wstring::npos) return false;
  for (const wchar_t* kw : {L"SELECT", L"WITH", L"TRANSFORM", L"PARAMETERS", L"VALUES"})
    if (t.compare(b, std::wcslen(kw), kw) == 0) return true;
  return false;
}

}  // namespace

// --- helpers over the state ---------------------------------------------------------

namespace {

DAORecordset& state(DAORecordset* rs) {
  if (!rs) AfxThrowDaoException(AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  return *rs;
}

DAODatabase& store(CDaoDatabase* db) {
  if (!db || !db->IsOpen()) AfxThrowDaoException(AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  return *db->m_pDAODatabase;
}

// Drops the copy buffer and releases a pessimistic lock.
void endEdit(DAORecordset& r, DAODatabase* d) {
  if (r.lockHeld && d) {
    d->editLocks.erase({upper(r.schema.name), r.rowid});
    r.lockHeld = false;
    try {
      d->endWrite(true);
    } catch (CDaoException* e) {
      e->Delete();  // nothing was written under the lock: losing it loses nothing
    }
  }
  r.lockHeld = false;
  r.editMode = dbEditNone;
  r.buffer.clear();
  r.original.clear();
}

void land(DAORecordset& r, long long rowid, Row row) {
  r.rowid = rowid;
  r.row = std::move(row);
  r.onRecord = true;
  r.deleted = false;
  r.bof = r.eof = false;
}

void requireCurrent(const DAORecordset& r) {
  if (!r.onRecord) fail(3021);
  if (r.deleted) fail(3167);
}

int fieldIndex(const DAORecordset& r, LPCTSTR name) {
  int at = r.schema.findField(name ? name : L"");
  if (at < 0) daoThrow(3265, {}, L"DAO.Fields");
  return at;
}

bool isForwardOnly(const DAORecordset& r) { return r.forwardOnly; }

void checkIndex(const DAORecordset& r, int i) {
  if (i < 0 || i >= static_cast<int>(r.schema.fields.size())) daoThrow(3265, {}, L"DAO.Fields");
}

}  // namespace

// --- open and close ---------------------------------------------------------------------

CDaoRecordset::CDaoRecordset(CDaoDatabase* pDatabase)
    : m_pDatabase(pDatabase), m_pDAORecordset(nullptr) {}

CDaoRecordset::~CDaoRecordset() { Close(); }

void CDaoRecordset::Open(int nOpenType, LPCTSTR lpszSQL, int nOptions) {
  DAODatabase& d = store(m_pDatabase);
  if (IsOpen()) Close();
  auto r = std::make_unique<DAORecordset>();
  r->type = nOpenType == AFX_DAO_USE_DEFAULT_TYPE ? m_nDefaultType : nOpenType;
  if (r->type != dbOpenTable && r->type != dbOpenDynaset && r->type != dbOpenSnapshot &&
      r->type != dbOpenForwardOnly && r->type != dbOpenDynamic)
    fail(3001);
  r->source = lpszSQL ? lpszSQL : L"";
  std::wstring table = r->source;
  bool isTable = isTableName(d, table);
  if (r->type == dbOpenTable && !isTable) fail(3078, {table});
  if (!isTable && !looksLikeStatement(r->source)) fail(3078, {r->source});

  if (isTable && d.schema(table).isLinked()) {
    // Linked tables open as snapshots of the other file's table; never as table type.
    const TableSchema& link = d.schema(table);
    if (r->type == dbOpenTable) fail(3219);
    if (!d.isAttached(link.name)) DAODatabase::checkLink(link.connect, link.sourceTable);
    d.refreshLinkCopies();
    r->readOnly = true;
    openSnapshot(*r, d, "SELECT * FROM " + d.linkedRows(link.name), nullptr);
    if (r->schema.fields.size() == link.fields.size()) r->schema.fields = link.fields;
    r->schema.name = link.name;
  } else if (isTable && (r->type == dbOpenTable || r->type == dbOpenDynaset)) {
    r->tableBased = true;
    r->schema = d.schema(table);
    r->readOnly = d.readOnly || (nOptions & dbReadOnly) || r->schema.isSystem();
    r->cursor = std::make_unique<TableCursor>(d, r->schema, nullptr);
    long long rowid = 0;
    Row row;
    if (r->cursor->first(rowid, row)) land(*r, rowid, std::move(row));
  } else if (!isTable && r->type == dbOpenForwardOnly) {
    r->readOnly = true;
    openForwardOnly(*r, d, toUtf8(r->source), nullptr);
  } else {
    r->readOnly = true;
    openSnapshot(*r, d, isTable ? "SELECT * FROM " + quoteId(table) : toUtf8(r->source), nullptr,
                 /*jetSql=*/!isTable);
    if (isTable) r->schema.name = table;
  }
  m_pDAORecordset = r.release();
  m_pDatabase->registerRecordset(this);
}

void CDaoRecordset::Open(CDaoTableDef* pTableDef, int nOpenType, int nOptions) {
  if (!pTableDef || !pTableDef->IsOpen()) AfxThrowDaoException(AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  Close();  // while m_pDatabase still names the database it is registered with
  m_pDatabase = pTableDef->m_pDatabase;
  CString name = pTableDef->GetName();
  Open(nOpenType, name, nOptions);
}

void CDaoRecordset::Open(CDaoQueryDef* pQueryDef, int nOpenType, int) {
  if (!pQueryDef || !pQueryDef->IsOpen()) AfxThrowDaoException(AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  Close();
  m_pDatabase = pQueryDef->m_pDatabase;
  DAODatabase& d = store(m_pDatabase);
  if (nOpenType == dbOpenTable) fail(3219);
  pQueryDef->GetParameterCount();  // reads the parameters when not yet known
  auto r = std::make_unique<DAORecordset>();
  r->type = nOpenType == dbOpenForwardOnly ? dbOpenForwardOnly : dbOpenSnapshot;
  r->readOnly = true;
  r->source = pQueryDef->GetSQL().GetString();
  if (r->type == dbOpenForwardOnly)
    openForwardOnly(*r, d, toUtf8(r->source), pQueryDef->m_pParameters);
  else
    openSnapshot(*r, d, toUtf8(r->source), pQueryDef->m_pParameters, /*jetSql=*/true);
  m_pDAORecordset = r.release();
  m_pDatabase->registerRecordset(this);
}

void CDaoRecordset::Close() {
  if (!m_pDAORecordset) return;
  DAODatabase* d = m_pDatabase && m_pDatabase->IsOpen() ? m_pDatabase->m_pDAODatabase : nullptr;
  endEdit(*m_pDAORecordset, d);
  delete m_pDAORecordset;
  m_pDAORecordset = nullptr;
  if (m_pDatabase) m_pDatabase->unregisterRecordset(this);
}

void CDaoRecordset::databaseClosing() { Close(); }

BOOL CDaoRecordset::IsOpen() const { return m_pDAORecordset != nullptr; }
BOOL CDaoRecordset::IsBOF() const { return state(m_pDAORecordset).bof; }
BOOL CDaoRecordset::IsEOF() const { return state(m_pDAORecordset).eof; }
BOOL CDaoRecordset::IsDeleted() const { return state(m_pDAORecordset).deleted; }
BOOL CDaoRecordset::CanUpdate() const { return !state(m_pDAORecordset).readOnly; }
BOOL CDaoRecordset::CanAppend() const { return !state(m_pDAORecordset).readOnly; }
BOOL CDaoRecordset::CanBookmark() { return !isForwardOnly(state(m_pDAORecordset)); }
CString CDaoRecordset::GetName() {
  DAORecordset& r = state(m_pDAORecordset);
  return CString(r.tableBased ? r.schema.name : r.source);
}
short CDaoRecordset::GetType() { return static_cast<short>(state(m_pDAORecordset).type); }
short CDaoRecordset::GetEditMode() { return static_cast<short>(state(m_pDAORecordset).editMode); }
CString CDaoRecordset::GetSQL() const { return CString(state(m_pDAORecordset).source); }

CString CDaoRecordset::GetCurrentIndex() {
  DAORecordset& r = state(m_pDAORecordset);
  if (r.index < 0) return CString();
  return CString(r.schema.indexes[static_cast<size_t>(r.index)].name);
}

void CDaoRecordset::SetCurrentIndex(LPCTSTR lpszIndex) {
  DAORecordset& r = state(m_pDAORecordset);
  DAODatabase& d = store(m_pDatabase);
  if (r.type != dbOpenTable) fail(3251);
  std::wstring name = lpszIndex ? lpszIndex : L"";
  int at = r.schema.findIndex(name);
  if (at < 0) daoThrow(3015, {name}, kSource);
  endEdit(r, &d);
  r.index = at;
  r.cursor = std::make_unique<TableCursor>(d, r.schema, &r.schema.indexes[static_cast<size_t>(at)]);
  // Setting the index makes the first record in its order current, as DAO does.
  long long rowid = 0;
  Row row;
  r.onRecord = r.deleted = false;
  if (r.cursor->first(rowid, row))
    land(r, rowid, std::move(row));
  else
    r.bof = r.eof = true;
}

BOOL CDaoRecordset::GetLockingMode() { return state(m_pDAORecordset).pessimistic; }
void CDaoRecordset::SetLockingMode(BOOL bPessimistic) {
  state(m_pDAORecordset).pessimistic = bPessimistic != FALSE;
}

long CDaoRecordset::GetRecordCount() {
  DAORecordset& r = state(m_pDAORecordset);
  if (isForwardOnly(r)) return r.pos + 1;  // the rows read so far, as DAO counts them
  if (!r.tableBased) return static_cast<long>(r.rows.size());
  store(m_pDatabase);
  return static_cast<long>(r.cursor->count());
}

// --- moving -------------------------------------------------------------------------------

namespace {

// One step of a table-based recordset from its position; false at either end.
bool stepTable(DAORecordset& r, bool forward) {
  long long rowid = 0;
  Row row;
  bool found;
  if (r.onRecord)
    found = r.cursor->step(r.row, r.rowid, forward, rowid, row);
  else if (forward ? r.bof : r.eof)
    found = forward ? r.cursor->first(rowid, row) : r.cursor->last(rowid, row);
  else
    found = false;  // defensive: a position with neither a record nor an end
  if (found) {
    land(r, rowid, std::move(row));
    return true;
  }
  r.onRecord = false;
  r.deleted = false;
  if (forward)
    r.eof = true;
  else
    r.bof = true;
  return false;
}

bool stepSnapshot(DAORecordset& r, bool forward) {
  long next = r.onRecord ? r.pos + (forward ? 1 : -1)
                         : (forward ? 0 : static_cast<long>(r.rows.size()) - 1);
  if (next >= 0 && next < static_cast<long>(r.rows.size())) {
    r.pos = next;
    r.row = r.rows[static_cast<size_t>(next)];
    r.onRecord = true;
    r.bof = r.eof = false;
    return true;
  }
  r.onRecord = false;
  if (forward) {
    r.eof = true;
    r.pos = static_cast<long>(r.rows.size());
  } else {
    r.bof = true;
    r.pos = -1;
  }
  return false;
}

bool stepOnce(DAORecordset& r, bool forward) {
  return r.tableBased ? stepTable(r, forward) : stepSnapshot(r, forward);
}

void moveToEnd(DAORecordset& r, bool first) {
  if (!r.tableBased) {
    r.onRecord = false;
    r.bof = first;
    r.eof = !first;
    if (!stepSnapshot(r, first)) r.bof = r.eof = true;
    return;
  }
  long long rowid = 0;
  Row row;
  if (first ? r.cursor->first(rowid, row) : r.cursor->last(rowid, row)) {
    land(r, rowid, std::move(row));
    return;
  }
  r.onRecord = r.deleted = false;
  r.bof = r.eof = true;
}

}  // namespace

void CDaoRecordset::MoveFirst() {
  DAORecordset& r = state(m_pDAORecordset);
  DAODatabase& d = store(m_pDatabase);
  if (isForwardOnly(r)) fail(3251);
  if (r.bof && r.eof) fail(3021);
  endEdit(r, &d);
  moveToEnd(r, /*first=*/true);
}

void CDaoRecordset::MoveLast() {
  DAORecordset& r = state(m_pDAORecordset);
  DAODatabase& d = store(m_pDatabase);
  if (isForwardOnly(r)) fail(3251);
  if (r.bof && r.eof) fail(3021);
  endEdit(r, &d);
  moveToEnd(r, /*first=*/false);
}

void CDaoRecordset::MoveNext() { Move(1); }
void CDaoRecordset::MovePrev() { Move(-1); }

void CDaoRecordset::Move(long lRows) {
  DAORecordset& r = state(m_pDAORecordset);
  DAODatabase& d = store(m_pDatabase);
  if (isForwardOnly(r)) {
    if (lRows <= 0) fail(3251);
    if (r.eof) fail(3021);
    for (long n = lRows; n > 0; --n)
      if (!stepForwardOnly(r)) return;
    return;
  }
  if (r.bof && r.eof) fail(3021);
  if (lRows == 0) {
    if (r.bof || r.eof) fail(3021);
    endEdit(r, &d);
    if (r.onRecord && r.tableBased) {  // Move 0 re-reads the current record
      if (!r.cursor->fetch(r.rowid, r.row)) r.deleted = true;
    }
    if (r.deleted) fail(3167);
    return;
  }
  bool forward = lRows > 0;
  if (forward ? r.eof : r.bof) fail(3021);
  endEdit(r, &d);
  if (!r.tableBased && r.onRecord) {  // a snapshot moves by arithmetic
    long target = r.pos + lRows;
    r.pos = std::clamp(target - (forward ? 1 : -1), -1L, static_cast<long>(r.rows.size()));
    stepSnapshot(r, forward);
    return;
  }
  for (long n = forward ? lRows : -lRows; n > 0; --n)
    if (!stepOnce(r, forward)) return;
}

BOOL CDaoRecordset::Seek(LPCTSTR lpszComparison, COleVariant* pKey1, COleVariant* pKey2,
                         COleVariant* pKey3) {
  COleVariant keys[3];
  WORD n = 0;
  for (COleVariant* k : {pKey1, pKey2, pKey3}) {
    if (!k) break;
    keys[n++] = *k;
  }
  return Seek(lpszComparison, keys, n);
}

BOOL CDaoRecordset::Seek(LPCTSTR lpszComparison, COleVariant* pKeyArray, WORD nKeys) {
  DAORecordset& r = state(m_pDAORecordset);
  DAODatabase& d = store(m_pDatabase);
  if (r.type != dbOpenTable) fail(3251);
  if (r.index < 0) fail(3019);
  std::wstring op = lpszComparison ? lpszComparison : L"";
  if (op != L"=" && op != L">=" && op != L">" && op != L"<=" && op != L"<") fail(3001);
  if (nKeys > 13 || (nKeys > 0 && !pKeyArray)) fail(3001);
  const IndexDef& ix = r.schema.indexes[static_cast<size_t>(r.index)];
  std::vector<Value> keys;
  for (size_t i = 0; i < nKeys && i < ix.fields.size(); ++i) {
    FieldDef f = r.schema.fields[static_cast<size_t>(r.schema.findField(ix.fields[i].name))];
    f.size = 0;  // a key longer than the field simply matches nothing
    try {
      keys.push_back(fromVariant(f, pKeyArray[i]));
    } catch (CDaoException* e) {
      e->Delete();
      fail(3464);
    }
  }
  endEdit(r, &d);
  long long rowid = 0;
  Row row;
  if (r.cursor->seek(op, keys, rowid, row)) {
    land(r, rowid, std::move(row));
    return TRUE;
  }
  // No match: no current record (DAO leaves the position undefined).
  r.onRecord = r.deleted = false;
  r.bof = false;
  r.eof = true;
  return FALSE;
}

// --- editing --------------------------------------------------------------------------------

void CDaoRecordset::AddNew() {
  DAORecordset& r = state(m_pDAORecordset);
  DAODatabase& d = store(m_pDatabase);
  if (r.readOnly) fail(3027);
  endEdit(r, &d);
  r.buffer.assign(r.schema.fields.size(), Value::null());
  for (size_t i = 0; i < r.schema.fields.size(); ++i)
    r.buffer[i] = defaultValue(r.schema.fields[i]);
  r.editMode = dbEditAdd;
}

void CDaoRecordset::Edit() {
  DAORecordset& r = state(m_pDAORecordset);
  DAODatabase& d = store(m_pDatabase);
  if (r.readOnly) fail(3027);
  requireCurrent(r);
  endEdit(r, &d);
  std::pair<std::wstring, long long> key{upper(r.schema.name), r.rowid};
  if (r.pessimistic) {
    if (d.editLocks.count(key)) fail(3188);
    d.beginWrite(3218);
    r.lockHeld = true;
    d.editLocks.insert(key);
    Row fresh;
    bool present = false;
    try {
      d.lockRecord(r.schema.name, r.rowid);
      present = r.cursor->fetch(r.rowid, fresh);
    } catch (...) {
      endEdit(r, &d);
      throw;
    }
    if (!present) {
      endEdit(r, &d);
      r.deleted = true;
      fail(3167);
    }
    r.row = fresh;
  }
  r.buffer = r.row;
  r.original = r.row;
  r.editMode = dbEditInProgress;
}

namespace {

void validate(const DAORecordset& r) {
  const TableSchema& t = r.schema;
  for (size_t i = 0; i < t.fields.size(); ++i) {
    const FieldDef& f = t.fields[i];
    const Value& v = r.buffer[i];
    if (f.isAutoIncrement()) continue;
    if (f.required && v.isNull()) daoThrow(3314, {t.name + L"." + f.name}, kSource);
    if (f.isText() && !f.allowZeroLength && v.kind == Value::Text && v.text.empty())
      daoThrow(3315, {t.name + L"." + f.name}, kSource);
  }
  for (const auto& ix : t.indexes) {
    if (!ix.primary && !ix.required) continue;
    for (const auto& ixf : ix.fields) {
      int at = t.findField(ixf.name);
      if (at >= 0 && !t.fields[static_cast<size_t>(at)].isAutoIncrement() &&
          r.buffer[static_cast<size_t>(at)].isNull())
        daoThrow(3058, {}, kSource);
    }
  }
}

// Runs body so that a failure leaves no trace: inside a savepoint when the write
// transaction holds other work (a pessimistic lock, another recordset's edit), which
// is undone and released before the failure passes on. Without one the caller rolls
// the whole transaction back.
template <class Body>
void atomically(DAODatabase& d, bool useSavepoint, Body body) {
  if (!useSavepoint) {
    body();
    return;
  }
  d.run("SAVEPOINT dao_update");
  try {
    body();
  } catch (...) {
    d.execQuietly("ROLLBACK TO dao_update");
    d.execQuietly("RELEASE dao_update");
    throw;
  }
  d.run("RELEASE dao_update");
}

}  // namespace

void CDaoRecordset::Update() {
  DAORecordset& r = state(m_pDAORecordset);
  DAODatabase& d = store(m_pDatabase);
  if (r.editMode == dbEditNone) fail(3020);
  validate(r);
  const TableSchema& t = r.schema;

  if (r.editMode == dbEditAdd) {
    Row values = r.buffer;
    long long newRowid = 0;
    d.beginWrite(3046);
    bool nested = d.writeDepth > 1;
    try {
      atomically(d, nested, [&] {
        std::string cols, marks;
        for (size_t i = 0; i < t.fields.size(); ++i) {
          if (t.fields[i].isAutoIncrement())
            values[i] = Value::ofInt(d.takeCounter(t, t.fields[i]));
          cols += (i ? ", " : "") + quoteId(t.fields[i].name);
          marks += i ? ", ?" : "?";
        }
        Statement s = d.prepare("INSERT INTO " + quoteId(t.name) + " (" + cols + ") VALUES (" +
                                marks + ")" + d.conn->dialect().returningRowid);
        for (size_t i = 0; i < values.size(); ++i) s.bind(static_cast<int>(i + 1), values[i]);
        newRowid = s.step(3046) ? s.columnInt(0) : d.conn->lastInsertRowid();
      });
    } catch (...) {
      d.endWrite(/*commit=*/nested, 3046);  // nothing of it stays; the edit stays pending
      throw;
    }
    d.endWrite(true, 3046);
    r.hasLastModified = true;
    r.lastModified = newRowid;
    endEdit(r, &d);
    if (r.bof && r.eof) r.bof = false;  // an empty recordset that gained a record
    return;
  }

  // Edit: write the fields that changed.
  bool ownLock = r.lockHeld;
  if (!ownLock) {
    d.beginWrite(3218);
    Row now;
    bool present = false;
    try {
      present = r.cursor->fetch(r.rowid, now);
    } catch (...) {
      d.endWrite(false);
      throw;
    }
    if (!present || !(now == r.original)) {
      d.endWrite(false);
      fail(present ? 3197 : 3167);
    }
  }
  bool nested = ownLock || d.writeDepth > 1;
  try {
    atomically(d, nested, [&] {
      std::string sets;
      std::vector<Value> binds;
      for (size_t i = 0; i < t.fields.size(); ++i) {
        if (t.fields[i].isAutoIncrement() || r.buffer[i] == r.original[i]) continue;
        sets += (sets.empty() ? "" : ", ") + quoteId(t.fields[i].name) + " = ?";
        binds.push_back(r.buffer[i]);
      }
      if (sets.empty()) return;
      Statement s = d.prepare("UPDATE " + quoteId(t.name) + " SET " + sets + " WHERE rowid = ?");
      for (size_t i = 0; i < binds.size(); ++i) s.bind(static_cast<int>(i + 1), binds[i]);
      s.bindInt(static_cast<int>(binds.size() + 1), r.rowid);
      s.step(3218);
    });
  } catch (...) {
    if (!ownLock) d.endWrite(/*commit=*/nested);
    throw;
  }
  if (ownLock) {
    d.editLocks.erase({upper(t.name), r.rowid});
    r.lockHeld = false;
  }
  d.endWrite(true, 3218);
  r.hasLastModified = true;
  r.lastModified = r.rowid;
  endEdit(r, &d);
  Row fresh;
  if (r.cursor->fetch(r.rowid, fresh)) r.row = std::move(fresh);
}

void CDaoRecordset::CancelUpdate() {
  DAORecordset& r = state(m_pDAORecordset);
  if (r.editMode == dbEditNone) fail(3020);
  endEdit(r, m_pDatabase && m_pDatabase->IsOpen() ? m_pDatabase->m_pDAODatabase : nullptr);
}

void CDaoRecordset::Delete() {
  DAORecordset& r = state(m_pDAORecordset);
  DAODatabase& d = store(m_pDatabase);
  if (r.readOnly) fail(3027);
  requireCurrent(r);
  endEdit(r, &d);
  if (d.editLocks.count({upper(r.schema.name), r.rowid})) fail(3188);
  d.beginWrite(3218);
  try {
    Statement s = d.prepare("DELETE FROM " + quoteId(r.schema.name) + " WHERE rowid = ?");
    s.bindInt(1, r.rowid);
    s.step(3218);
  } catch (...) {
    d.endWrite(false);
    throw;
  }
  d.endWrite(true, 3218);
  r.deleted = true;
}

// --- bookmarks ------------------------------------------------------------------------------

COleVariant CDaoRecordset::GetBookmark() {
  DAORecordset& r = state(m_pDAORecordset);
  if (isForwardOnly(r)) fail(3251);
  requireCurrent(r);
  COleVariant v;
  v.vt = VT_I8;
  v.llVal = r.tableBased ? r.rowid : r.pos;
  return v;
}

void CDaoRecordset::SetBookmark(COleVariant varBookmark) {
  DAORecordset& r = state(m_pDAORecordset);
  DAODatabase& d = store(m_pDatabase);
  if (isForwardOnly(r)) fail(3251);
  if (varBookmark.vt != VT_I8) fail(3159);
  endEdit(r, &d);
  if (!r.tableBased) {
    if (varBookmark.llVal < 0 || varBookmark.llVal >= static_cast<long long>(r.rows.size()))
      fail(3159);
    r.pos = static_cast<long>(varBookmark.llVal);
    r.row = r.rows[static_cast<size_t>(r.pos)];
    r.onRecord = true;
    r.bof = r.eof = false;
    return;
  }
  Row row;
  if (!r.cursor->fetch(varBookmark.llVal, row)) fail(3167);
  land(r, varBookmark.llVal, std::move(row));
}

COleVariant CDaoRecordset::GetLastModifiedBookmark() {
  DAORecordset& r = state(m_pDAORecordset);
  if (!r.hasLastModified) fail(3021);
  COleVariant v;
  v.vt = VT_I8;
  v.llVal = r.lastModified;
  return v;
}

// --- fields ---------------------------------------------------------------------------------

void CDaoRecordset::GetFieldValue(LPCTSTR lpszName, COleVariant& varValue) {
  varValue = GetFieldValue(fieldIndex(state(m_pDAORecordset), lpszName));
}

void CDaoRecordset::GetFieldValue(int nIndex, COleVariant& varValue) {
  COleVariant value = GetFieldValue(nIndex);
  varValue.Attach(value);  // speed only: the text is handed over, not copied
}

COleVariant CDaoRecordset::GetFieldValue(LPCTSTR lpszName) {
  return GetFieldValue(fieldIndex(state(m_pDAORecordset), lpszName));
}

COleVariant CDaoRecordset::GetFieldValue(int nIndex) {
  DAORecordset& r = state(m_pDAORecordset);
  checkIndex(r, nIndex);
  const FieldDef& f = r.schema.fields[static_cast<size_t>(nIndex)];
  if (r.editMode != dbEditNone) return toVariant(f, r.buffer[static_cast<size_t>(nIndex)]);
  requireCurrent(r);
  if (r.stream) return forwardOnlyValue(r, nIndex);
  return toVariant(f, r.row[static_cast<size_t>(nIndex)]);
}

void CDaoRecordset::SetFieldValue(LPCTSTR lpszName, const COleVariant& varValue) {
  SetFieldValue(fieldIndex(state(m_pDAORecordset), lpszName), varValue);
}

void CDaoRecordset::SetFieldValue(int nIndex, const COleVariant& varValue) {
  DAORecordset& r = state(m_pDAORecordset);
  checkIndex(r, nIndex);
  if (r.editMode == dbEditNone) fail(3020);
  const FieldDef& f = r.schema.fields[static_cast<size_t>(nIndex)];
  if (f.isAutoIncrement()) daoThrow(3164, {}, L"DAO.Field");
  r.buffer[static_cast<size_t>(nIndex)] = fromVariant(f, varValue);
}

void CDaoRecordset::SetFieldValue(LPCTSTR lpszName, LPCTSTR lpszValue) {
  SetFieldValue(lpszName, COleVariant(lpszValue));
}
void CDaoRecordset::SetFieldValue(int nIndex, LPCTSTR lpszValue) {
  SetFieldValue(nIndex, COleVariant(lpszValue));
}

void CDaoRecordset::SetFieldValueNull(LPCTSTR lpszName) {
  COleVariant n;
  n.vt = VT_NULL;
  SetFieldValue(lpszName, n);
}

void CDaoRecordset::SetFieldValueNull(int nIndex) {
  COleVariant n;
  n.vt = VT_NULL;
  SetFieldValue(nIndex, n);
}

short CDaoRecordset::GetFieldCount() {
  return static_cast<short>(state(m_pDAORecordset).schema.fields.size());
}

void CDaoRecordset::GetFieldInfo(int nIndex, CDaoFieldInfo& info, DWORD dwInfoOptions) {
  DAORecordset& r = state(m_pDAORecordset);
  checkIndex(r, nIndex);
  fillFieldInfo(r.schema.fields[static_cast<size_t>(nIndex)], nIndex, info, dwInfoOptions,
                !r.readOnly);
}

void CDaoRecordset::GetFieldInfo(LPCTSTR lpszName, CDaoFieldInfo& info, DWORD dwInfoOptions) {
  DAORecordset& r = state(m_pDAORecordset);
  int at = fieldIndex(r, lpszName);
  fillFieldInfo(r.schema.fields[static_cast<size_t>(at)], at, info, dwInfoOptions, !r.readOnly);
}

short CDaoRecordset::GetIndexCount() {
  DAORecordset& r = state(m_pDAORecordset);
  return r.type == dbOpenTable ? static_cast<short>(r.schema.indexes.size()) : 0;
}

void CDaoRecordset::GetIndexInfo(int nIndex, CDaoIndexInfo& info, DWORD dwInfoOptions) {
  DAORecordset& r = state(m_pDAORecordset);
  if (r.type != dbOpenTable || nIndex < 0 || nIndex >= static_cast<int>(r.schema.indexes.size()))
    daoThrow(3265, {}, L"DAO.Indexes");
  fillIndexInfo(r.schema.indexes[static_cast<size_t>(nIndex)], info, dwInfoOptions);
}

void CDaoRecordset::GetIndexInfo(LPCTSTR lpszName, CDaoIndexInfo& info, DWORD dwInfoOptions) {
  DAORecordset& r = state(m_pDAORecordset);
  int at = r.type == dbOpenTable ? r.schema.findIndex(lpszName ? lpszName : L"") : -1;
  if (at < 0) daoThrow(3265, {}, L"DAO.Indexes");
  fillIndexInfo(r.schema.indexes[static_cast<size_t>(at)], info, dwInfoOptions);
}
