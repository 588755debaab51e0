// Jet DDL through CDaoTableDef and CDaoDatabase (rules in JetDdl.h).
#include "JetDdl.h"

#include <cstdlib>
#include <optional>
#include <vector>

#include "../DaoErrors.h"
#include "../DaoStore.h"
#include "../Relations.h"
#include "JetTokenizer.h"
#include "JetTranslator.h"
#include "afxdao.h"

namespace tabrik::dao::jetsql {

namespace {

using Tokens = std::vector<Token>;

// The DDL statement's own syntax error ("Syntax error in CREATE TABLE statement." and
// its siblings are 3290-3293 in Jet 4).
[[noreturn]] void ddlSyntax(long code) { daoThrow(code, {}, L"DAO.Database"); }

class Reader {
 public:
  Reader(const Tokens& toks, long errorCode) : m_toks(toks), m_error(errorCode) {}
  bool atEnd() const { return m_at >= m_toks.size() || m_toks[m_at].isOp(";"); }
  const Token& peek() const {
    if (atEnd()) ddlSyntax(m_error);
    return m_toks[m_at];
  }
  bool accept(const char* word) {
    if (atEnd()) return false;
    const Token& t = m_toks[m_at];
    if (t.isWord(word) || t.isOp(word)) {
      ++m_at;
      return true;
    }
    return false;
  }
  void expect(const char* word) {
    if (!accept(word)) ddlSyntax(m_error);
  }
  std::wstring name() {
    const Token& t = peek();
    if (t.kind != Token::Word && t.kind != Token::Name) ddlSyntax(m_error);
    ++m_at;
    return fromUtf8(t.text.c_str());
  }
  long number() {
    const Token& t = peek();
    if (t.kind != Token::Number) ddlSyntax(m_error);
    ++m_at;
    double v = std::strtod(t.text.c_str(), nullptr);
    return v > 1e9 ? 1000000000L : static_cast<long>(v);
  }
  // ( name [ASC|DESC] , ... )
  std::vector<std::pair<std::wstring, bool>> nameList() {
    std::vector<std::pair<std::wstring, bool>> out;
    expect("(");
    do {
      std::wstring n = name();
      bool desc = accept("DESC");
      if (!desc) accept("ASC");
      out.emplace_back(n, desc);
    } while (accept(","));
    expect(")");
    return out;
  }
  void finish() {
    if (!atEnd()) ddlSyntax(m_error);
    if (m_at < m_toks.size() && m_at + 1 < m_toks.size()) daoThrow(3142);
  }
  long error() const { return m_error; }

 private:
  const Tokens& m_toks;
  std::size_t m_at = 0;
  long m_error;
};

struct JetType {
  const char* name;
  short type;
  long size;
  long attributes;
};

const JetType kTypes[] = {
    {"TEXT", dbText, 255, dbVariableField},
    {"CHAR", dbText, 255, dbFixedField},
    {"CHARACTER", dbText, 255, dbFixedField},
    {"VARCHAR", dbText, 255, dbVariableField},
    {"ALPHANUMERIC", dbText, 255, dbVariableField},
    {"STRING", dbText, 255, dbVariableField},
    {"NVARCHAR", dbText, 255, dbVariableField},
    {"MEMO", dbMemo, 0, dbVariableField},
    {"LONGTEXT", dbMemo, 0, dbVariableField},
    {"LONGCHAR", dbMemo, 0, dbVariableField},
    {"NOTE", dbMemo, 0, dbVariableField},
    {"NTEXT", dbMemo, 0, dbVariableField},
    {"BYTE", dbByte, 1, dbFixedField},
    {"TINYINT", dbByte, 1, dbFixedField},
    {"INTEGER1", dbByte, 1, dbFixedField},
    {"SHORT", dbInteger, 2, dbFixedField},
    {"SMALLINT", dbInteger, 2, dbFixedField},
    {"INTEGER2", dbInteger, 2, dbFixedField},
    {"INTEGER", dbLong, 4, dbFixedField},
    {"INT", dbLong, 4, dbFixedField},
    {"LONG", dbLong, 4, dbFixedField},
    {"INTEGER4", dbLong, 4, dbFixedField},
    {"SINGLE", dbSingle, 4, dbFixedField},
    {"REAL", dbSingle, 4, dbFixedField},
    {"FLOAT4", dbSingle, 4, dbFixedField},
    {"DOUBLE", dbDouble, 8, dbFixedField},
    {"FLOAT", dbDouble, 8, dbFixedField},
    {"FLOAT8", dbDouble, 8, dbFixedField},
    {"NUMBER", dbDouble, 8, dbFixedField},
    {"NUMERIC", dbDouble, 8, dbFixedField},
    {"CURRENCY", dbCurrency, 8, dbFixedField},
    {"MONEY", dbCurrency, 8, dbFixedField},
    {"DATETIME", dbDate, 8, dbFixedField},
    {"DATE", dbDate, 8, dbFixedField},
    {"TIME", dbDate, 8, dbFixedField},
    {"TIMESTAMP", dbDate, 8, dbFixedField},
    {"YESNO", dbBoolean, 1, dbFixedField},
    {"BIT", dbBoolean, 1, dbFixedField},
    {"LOGICAL", dbBoolean, 1, dbFixedField},
    {"BOOLEAN", dbBoolean, 1, dbFixedField},
    {"COUNTER", dbLong, 4, dbFixedField | dbAutoIncrField},
    {"AUTOINCREMENT", dbLong, 4, dbFixedField | dbAutoIncrField},
};

struct Constraint {
  std::wstring name;
  enum Kind { Primary, Unique, Foreign } kind = Primary;
  std::vector<std::pair<std::wstring, bool>> fields;
  std::wstring refTable;
  std::vector<std::wstring> refFields;
};

// CONSTRAINT name? PRIMARY KEY (…) | UNIQUE (…) | FOREIGN KEY (…) REFERENCES t [(…)];
// for a column constraint the field list is the column itself.
bool readConstraint(Reader& r, Constraint& c, const std::wstring* column) {
  if (r.accept("CONSTRAINT")) c.name = r.name();
  if (r.accept("PRIMARY")) {
    r.expect("KEY");
    c.kind = Constraint::Primary;
  } else if (r.accept("UNIQUE")) {
    c.kind = Constraint::Unique;
  } else if (r.accept("FOREIGN")) {
    r.expect("KEY");
    c.kind = Constraint::Foreign;
  } else if (column && r.accept("REFERENCES")) {
    c.kind = Constraint::Foreign;
    c.fields = {{*column, false}};
    c.refTable = r.name();
    if (!r.atEnd() && r.peek().isOp("("))
      for (auto& f : r.nameList()) c.refFields.push_back(f.first);
    return true;
  } else {
    if (!c.name.empty()) ddlSyntax(r.error());
    return false;
  }
  if (column)
    c.fields = {{*column, false}};
  else
    c.fields = r.nameList();
  if (c.kind == Constraint::Foreign) {
    if (column)
      r.expect("REFERENCES");
    else
      r.expect("REFERENCES");
    c.refTable = r.name();
    if (!r.atEnd() && r.peek().isOp("("))
      for (auto& f : r.nameList()) c.refFields.push_back(f.first);
  }
  return true;
}

CDaoFieldInfo readColumn(Reader& r, std::vector<Constraint>& constraints) {
  CDaoFieldInfo f;
  std::wstring name = r.name();
  f.m_strName = name.c_str();
  const Token& typeTok = r.peek();
  const JetType* type = nullptr;
  for (const JetType& t : kTypes)
    if (typeTok.isWord(t.name)) type = &t;
  if (!type) daoThrow(3259);  // Invalid field data type.
  r.name();
  f.m_nType = type->type;
  f.m_lSize = type->size;
  f.m_lAttributes = type->attributes;
  f.m_bAllowZeroLength = FALSE;
  if (!r.atEnd() && r.peek().isOp("(")) {  // TEXT(n), or COUNTER(seed, increment)
    r.expect("(");
    long n = r.number();
    if (r.accept(",")) r.number();
    r.expect(")");
    if (type->type == dbText) {
      if (n < 1 || n > 255) daoThrow(3259);
      f.m_lSize = n;
    }
  }
  for (;;) {
    if (r.accept("NOT")) {
      r.expect("NULL");
      f.m_bRequired = TRUE;
      continue;
    }
    if (r.accept("NULL")) continue;
    Constraint c;
    if (!readConstraint(r, c, &name)) break;
    constraints.push_back(std::move(c));
  }
  return f;
}

void addIndex(CDaoTableDef& td, const std::wstring& table, const Constraint& c) {
  std::vector<CDaoIndexFieldInfo> fields(c.fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i].m_strName = c.fields[i].first.c_str();
    fields[i].m_bDescending = c.fields[i].second;
  }
  CDaoIndexInfo info;
  std::wstring name = !c.name.empty()                 ? c.name
                      : c.kind == Constraint::Primary ? L"PrimaryKey"
                                                      : c.fields[0].first;
  info.m_strName = name.c_str();
  info.m_pFieldInfos = fields.data();
  info.m_nFields = static_cast<short>(fields.size());
  info.m_bPrimary = c.kind == Constraint::Primary;
  info.m_bUnique = TRUE;
  info.m_bRequired = c.kind == Constraint::Primary;
  td.CreateIndex(info);
  info.m_pFieldInfos = nullptr;
  (void)table;
}

void addRelation(CDaoDatabase& db, const std::wstring& table, const Constraint& c) {
  std::vector<CDaoRelationFieldInfo> fields(c.fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i].m_strForeignName = c.fields[i].first.c_str();
    fields[i].m_strName = (i < c.refFields.size() ? c.refFields[i] : c.fields[i].first).c_str();
  }
  CDaoRelationInfo info;
  std::wstring name =
      !c.name.empty() ? c.name : c.refTable + table;  // Access names it primary + foreign
  info.m_strName = name.c_str();
  info.m_strTable = c.refTable.c_str();
  info.m_strForeignTable = table.c_str();
  info.m_lAttributes = 0;  // enforced, as Jet DDL makes it
  info.m_pFieldInfos = fields.data();
  info.m_nFields = static_cast<short>(fields.size());
  db.CreateRelation(info);
  info.m_pFieldInfos = nullptr;
}

bool tableExists(CDaoDatabase& db, const std::wstring& name) {
  CDaoTableDefInfo info;
  try {
    db.GetTableDefInfo(name.c_str(), info);
  } catch (CDaoException* e) {
    e->Delete();
    return false;
  }
  return true;
}

void createTable(CDaoDatabase& db, Reader& r) {
  std::wstring table = r.name();
  if (tableExists(db, table)) daoThrow(3010, {table});
  std::vector<CDaoFieldInfo> columns;
  std::vector<Constraint> constraints;
  r.expect("(");
  do {
    Constraint c;
    if (readConstraint(r, c, nullptr))
      constraints.push_back(std::move(c));
    else
      columns.push_back(readColumn(r, constraints));
  } while (r.accept(","));
  r.expect(")");
  r.finish();
  if (columns.empty()) ddlSyntax(r.error());
  CDaoTableDef td(&db);
  td.Create(table.c_str());
  for (auto& f : columns) td.CreateField(f);
  for (const auto& c : constraints)
    if (c.kind != Constraint::Foreign) addIndex(td, table, c);
  td.Append();
  for (const auto& c : constraints)
    if (c.kind == Constraint::Foreign) addRelation(db, table, c);
}

void createIndex(CDaoDatabase& db, Reader& r, bool unique) {
  Constraint c;
  c.kind = unique ? Constraint::Unique : Constraint::Primary;
  c.name = r.name();
  r.expect("ON");
  std::wstring table = r.name();
  c.fields = r.nameList();
  bool primary = false, ignoreNulls = false, disallowNull = false;
  if (r.accept("WITH")) {
    do {
      if (r.accept("PRIMARY"))
        primary = true;
      else if (r.accept("DISALLOW"))
        r.expect("NULL"), disallowNull = true;
      else if (r.accept("IGNORE"))
        r.expect("NULL"), ignoreNulls = true;
      else
        ddlSyntax(r.error());
    } while (!r.atEnd());
  }
  r.finish();
  if (!tableExists(db, table)) daoThrow(3376, {table});
  std::vector<CDaoIndexFieldInfo> fields(c.fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i].m_strName = c.fields[i].first.c_str();
    fields[i].m_bDescending = c.fields[i].second;
  }
  CDaoIndexInfo info;
  info.m_strName = c.name.c_str();
  info.m_pFieldInfos = fields.data();
  info.m_nFields = static_cast<short>(fields.size());
  info.m_bPrimary = primary;
  info.m_bUnique = unique || primary;
  info.m_bRequired = primary || disallowNull;
  info.m_bIgnoreNulls = ignoreNulls;
  CDaoTableDef td(&db);
  td.Open(table.c_str());
  td.CreateIndex(info);
  info.m_pFieldInfos = nullptr;
}

// ALTER TABLE ... DROP COLUMN: a field that an index or a relation uses stays (3280,
// 3303), as does a table's last field. The catalog's ordinals close up behind it.
void dropColumn(CDaoDatabase& db, const std::wstring& table, const std::wstring& field) {
  DAODatabase& d = *db.m_pDAODatabase;
  TableSchema t = d.schema(table);
  int at = t.findField(field);
  if (at < 0) daoThrow(3265, {}, L"DAO.Fields");
  const FieldDef dropped = t.fields[static_cast<std::size_t>(at)];
  const std::wstring key = upper(dropped.name);
  for (const IndexDef& ix : t.indexes)
    for (const IndexField& f : ix.fields)
      if (upper(f.name) == key) daoThrow(3280);
  for (const RelationDef& rel : loadRelations(d))
    for (const auto& pair : rel.fields)
      if ((upper(rel.table) == upper(t.name) && upper(pair.first) == key) ||
          (upper(rel.foreign) == upper(t.name) && upper(pair.second) == key))
        daoThrow(3303);
  if (t.fields.size() == 1) daoThrow(3280);
  t.fields.erase(t.fields.begin() + at);
  d.beginWrite(3211);
  try {
    d.installCounterTriggers(t);  // the dropped field's trigger goes, the others stay
    d.exec("ALTER TABLE " + quoteId(t.name) + " DROP COLUMN " + quoteId(dropped.name), 3211);
    const char* const catalog[] = {
        "DELETE FROM MSysColumns WHERE TableName = ? AND Name = ?",
        "DELETE FROM MSysCounters WHERE TableName = ? AND ColumnName = ?",
    };
    for (const char* sql : catalog) {
      Statement s = d.prepare(sql);
      s.bindText(1, t.name);
      s.bindText(2, dropped.name);
      s.step(3211);
    }
    Statement s = d.prepare(
        "UPDATE MSysColumns SET Ordinal = Ordinal - 1 WHERE TableName = ? AND Ordinal > ?");
    s.bindText(1, t.name);
    s.bindInt(2, at);
    s.step(3211);
  } catch (...) {
    d.endWrite(false);
    d.schemaChanged();
    throw;
  }
  d.endWrite(true, 3211);
  d.schemaChanged();
}

void alterTable(CDaoDatabase& db, Reader& r) {
  r.expect("TABLE");
  std::wstring table = r.name();
  if (!tableExists(db, table)) daoThrow(3376, {table});
  CDaoTableDef td(&db);
  td.Open(table.c_str());
  if (r.accept("ADD")) {
    Constraint c;
    if (readConstraint(r, c, nullptr)) {
      r.finish();
      if (c.kind == Constraint::Foreign)
        addRelation(db, td.GetName().GetString(), c);
      else
        addIndex(td, table, c);
      return;
    }
    r.accept("COLUMN");
    std::vector<Constraint> constraints;
    CDaoFieldInfo f = readColumn(r, constraints);
    r.finish();
    td.CreateField(f);
    for (const auto& k : constraints) {
      if (k.kind == Constraint::Foreign)
        addRelation(db, td.GetName().GetString(), k);
      else
        addIndex(td, table, k);
    }
    return;
  }
  r.expect("DROP");
  if (r.accept("CONSTRAINT")) {
    std::wstring name = r.name();
    r.finish();
    // A foreign key is a relation whose index on this table bears its name: the
    // relation goes, and its index with it.
    for (const RelationDef& rel : loadRelations(*db.m_pDAODatabase))
      if (upper(rel.name) == upper(name) && upper(rel.foreign) == upper(td.GetName().GetString())) {
        db.DeleteRelation(rel.name.c_str());
        return;
      }
    CDaoIndexInfo info;
    try {
      td.GetIndexInfo(name.c_str(), info);
    } catch (CDaoException* e) {
      e->Delete();
      db.DeleteRelation(name.c_str());
      return;
    }
    td.DeleteIndex(name.c_str());
    return;
  }
  r.expect("COLUMN");
  std::wstring field = r.name();
  r.finish();
  dropColumn(db, table, field);
}

// The select of a make-table query, compiled as a caller's statement on either back
// end, failing with Jet's syntax error for it.
Statement prepareSelect(DAODatabase& d, const Translation& t) {
  DAODatabase::CallerSql caller(d);
  if (!d.db) {
    try {
      return Statement(d.conn->prepare(t.sql));
    } catch (CDaoException* e) {
      mapServerSyntaxError(e, t, d.conn->syntaxErrorOffset());
      throw;
    }
  }
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(d.db, t.sql.c_str(), static_cast<int>(t.sql.size()), &raw, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(raw);
    throwIfSyntaxError(d.db, t);
    throwSqlite(d.db, rc, 3218, d.name);
  }
  return adoptSqlite(d.db, raw);
}

// The new table's fields: a column that is a table's field as it stands takes that
// field's type and size (an auto-number becomes a plain Long); any other the kind of
// its first value, Text while there is none.
std::vector<CDaoFieldInfo> makeTableFields(DAODatabase& d, const Translation& t) {
  Statement rows = prepareSelect(d, t);
  const int columns = rows.columnCount();
  if (columns == 0) daoThrow(3129);
  bool hasRow = false;
  {
    DAODatabase::CallerSql caller(d);
    try {
      hasRow = rows.step();
    } catch (CDaoException* e) {
      if (!d.db) mapServerSyntaxError(e, t, d.conn->syntaxErrorOffset());
      throw;
    }
  }
  std::vector<CDaoFieldInfo> fields(static_cast<std::size_t>(columns));
  for (int c = 0; c < columns; ++c) {
    CDaoFieldInfo& f = fields[static_cast<std::size_t>(c)];
    f.m_strName = fromUtf8(rows.cursor().columnName(c).c_str()).c_str();
    f.m_bAllowZeroLength = TRUE;
    std::optional<storage::ColumnOrigin> origin = rows.cursor().columnOrigin(c);
    if (origin && d.hasTable(fromUtf8(origin->table.c_str()))) {
      const TableSchema& source = d.schema(fromUtf8(origin->table.c_str()));
      int at = source.findField(fromUtf8(origin->column.c_str()));
      if (at >= 0) {
        const FieldDef& def = source.fields[static_cast<std::size_t>(at)];
        f.m_nType = def.type;
        f.m_lSize = def.size;
        continue;
      }
    }
    Value::Kind kind = hasRow ? rows.column(c).kind : Value::Null;
    f.m_nType = kind == Value::Int ? dbLong : kind == Value::Real ? dbDouble : dbText;
    f.m_lSize = f.m_nType == dbText ? 255 : 0;
  }
  return fields;
}

// SELECT fields INTO table FROM ...: a make-table query. The table (fields as
// makeTableFields gives them) and its rows appear together or not at all.
void makeTable(CDaoDatabase& db, const std::string& jet, const Tokens& toks, std::size_t into,
               long* recordsAffected) {
  if (into + 1 >= toks.size() ||
      (toks[into + 1].kind != Token::Word && toks[into + 1].kind != Token::Name))
    daoThrow(3141);
  const std::wstring table = fromUtf8(toks[into + 1].text.c_str());
  std::size_t resume = into + 2 < toks.size() ? toks[into + 2].pos : jet.size();
  const std::string select = jet.substr(0, toks[into].pos) + " " + jet.substr(resume);
  if (tableExists(db, table)) daoThrow(3010, {table});
  DAODatabase& d = *db.m_pDAODatabase;
  std::shared_ptr<const Translation> t = d.translateJet(select);
  if (t->kind != Translation::Select) daoThrow(3129);
  // A server numbers its parameters; a make-table query has nobody to give them.
  if (!t->parameters.empty())
    daoThrow(3061, {std::to_wstring(t->parameters.size())}, L"DAO.Database");
  std::vector<CDaoFieldInfo> fields = makeTableFields(d, *t);
  std::string insert = "INSERT INTO " + quoteId(table) + " (";
  for (std::size_t c = 0; c < fields.size(); ++c)
    insert += (c ? ", " : "") + quoteId(fields[c].m_strName.GetString());
  insert += ") " + t->sql;
  d.beginWrite(3211);
  try {
    CDaoTableDef td(&db);
    td.Create(table.c_str());
    for (auto& f : fields) td.CreateField(f);
    td.Append();
    DAODatabase::CallerSql rowsOfCaller(d);
    d.exec(insert, 3218);
    if (recordsAffected) *recordsAffected = static_cast<long>(d.conn->changes());
  } catch (...) {
    d.syncWriteDepth();
    d.endWrite(false);
    d.schemaChanged();
    throw;
  }
  d.endWrite(true, 3211);
  d.schemaChanged();
}

}  // namespace

bool executeDdl(CDaoDatabase& db, const std::string& jet, long* recordsAffected) {
  Tokens toks = tokenize(jet);
  if (toks.empty()) return false;
  const Token& first = toks[0];
  if (recordsAffected) *recordsAffected = 0;
  if (first.isWord("SELECT")) {
    // A make-table query has INTO before its FROM, outside parentheses.
    int depth = 0;
    for (std::size_t i = 1; i < toks.size(); ++i) {
      if (toks[i].isOp("(")) ++depth;
      if (toks[i].isOp(")")) --depth;
      if (depth != 0) continue;
      if (toks[i].isWord("FROM")) return false;
      if (toks[i].isWord("INTO")) {
        makeTable(db, jet, toks, i, recordsAffected);
        return true;
      }
    }
    return false;
  }
  if (!first.isWord("CREATE") && !first.isWord("ALTER") && !first.isWord("DROP")) return false;
  Tokens rest(toks.begin() + 1, toks.end());
  if (first.isWord("CREATE")) {
    Reader r(rest, 3290);
    if (r.accept("TABLE"))
      createTable(db, r);
    else {
      bool unique = r.accept("UNIQUE");
      r.expect("INDEX");
      Reader ri(rest, 3291);
      ri.accept("UNIQUE");
      ri.expect("INDEX");
      createIndex(db, ri, unique);
    }
    return true;
  }
  if (first.isWord("ALTER")) {
    Reader r(rest, 3293);
    alterTable(db, r);
    return true;
  }
  Reader r(rest, 3295);
  if (r.accept("TABLE")) {
    std::wstring table = r.name();
    r.finish();
    if (!tableExists(db, table)) daoThrow(3376, {table});
    db.DeleteTableDef(table.c_str());
    return true;
  }
  r.expect("INDEX");
  std::wstring index = r.name();
  r.expect("ON");
  std::wstring table = r.name();
  r.finish();
  if (!tableExists(db, table)) daoThrow(3376, {table});
  CDaoTableDef td(&db);
  td.Open(table.c_str());
  td.DeleteIndex(index.c_str());
  return true;
}

}  // namespace tabrik::dao::jetsql
