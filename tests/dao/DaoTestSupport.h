// Shared test support: a scratch folder per test and a few table builders written
// with the engine's public DAO API.
#pragma once
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "afxdao.h"

namespace daotest {

// The server the engine's suites run on instead of files, when TABRIK_TEST_PG_ENGINE
// is set: TABRIK_TEST_PG (a libpq connection text) names it, and the PG* variables
// that scripts/pg-server.sh prints let a connect string name only the database.
inline const char* engineServer() {
  const char* on = std::getenv("TABRIK_TEST_PG_ENGINE");
  const char* server = std::getenv("TABRIK_TEST_PG");
  return on && *on && server && *server ? server : nullptr;
}

// Runs SQL on the test server's maintenance connection, outside the engine.
inline void serverAdmin(const std::string& sql) {
  PGconn* c = PQconnectdb(engineServer());
  PQsetNoticeProcessor(
      c, [](void*, const char*) {}, nullptr);
  PQclear(PQexec(c, sql.c_str()));
  PQfinish(c);
}

class ScratchDir {
 public:
  ScratchDir() {
    char tmpl[] = "/tmp/tabrik_dao_XXXXXX";
    const char* made = mkdtemp(tmpl);
    path_ = made ? made : "/tmp";
  }
  ~ScratchDir() {
    std::system(("rm -rf '" + path_ + "'").c_str());
    for (const auto& [file, database] : databases_)
      serverAdmin("DROP DATABASE IF EXISTS " + database + " WITH (FORCE)");
  }
  std::string path() const { return path_; }
  CString file(const char* name) const { return CString((path_ + "/" + name).c_str()); }
  // Where a test keeps a database: a file in the folder, or on the engine's test
  // server a fresh database of its own, named by a connect string.
  CString database(const char* name) {
    if (!engineServer()) return file(name);
    auto it = databases_.find(name);
    if (it == databases_.end()) {
      static int serial = 0;
      std::string db = "tabrik_" + std::to_string(getpid()) + "_" + std::to_string(++serial);
      serverAdmin("CREATE DATABASE " + db);
      it = databases_.emplace(name, db).first;
    }
    return CString(("ODBC;DRIVER={PostgreSQL};DATABASE=" + it->second).c_str());
  }

 private:
  std::string path_;
  std::map<std::string, std::string> databases_;
};

struct FieldDefinition {
  const wchar_t* name;
  short type;
  long size;
  long attributes = 0;
  bool required = false;
  bool allowZeroLength = false;
  const wchar_t* defaultValue = L"";
};

struct IndexDefinition {
  const wchar_t* name;
  std::vector<std::pair<const wchar_t*, bool>> fields;  // name, descending
  bool unique = false;
  bool primary = false;
};

inline void makeTable(CDaoDatabase& db, const wchar_t* name,
                      const std::vector<FieldDefinition>& fields,
                      const std::vector<IndexDefinition>& indexes = {}) {
  CDaoTableDef td(&db);
  td.Create(name);
  for (const auto& f : fields) {
    CDaoFieldInfo info;
    info.m_strName = f.name;
    info.m_nType = f.type;
    info.m_lSize = f.size;
    info.m_lAttributes = f.attributes;
    info.m_bRequired = f.required;
    info.m_bAllowZeroLength = f.allowZeroLength;
    info.m_strDefaultValue = f.defaultValue;
    td.CreateField(info);
  }
  for (const auto& ix : indexes) {
    std::vector<CDaoIndexFieldInfo> fi(ix.fields.size());
    for (size_t i = 0; i < ix.fields.size(); ++i) {
      fi[i].m_strName = ix.fields[i].first;
      fi[i].m_bDescending = ix.fields[i].second;
    }
    CDaoIndexInfo info;
    info.m_strName = ix.name;
    info.m_pFieldInfos = fi.data();
    info.m_nFields = static_cast<short>(fi.size());
    info.m_bUnique = ix.unique;
    info.m_bPrimary = ix.primary;
    td.CreateIndex(info);
    info.m_pFieldInfos = nullptr;
  }
  td.Append();
}

// Runs body and returns the DAO error number it threw (0 when it threw nothing);
// the description lands in *text when given.
template <class Body>
long daoError(Body body, CString* text = nullptr) {
  try {
    body();
  } catch (CDaoException* e) {
    long code = e->m_pErrorInfo ? e->m_pErrorInfo->m_lErrorCode : -e->m_nAfxDaoError;
    if (text && e->m_pErrorInfo) *text = e->m_pErrorInfo->m_strDescription;
    e->Delete();
    return code;
  }
  return 0;
}

inline COleVariant nullValue() {
  COleVariant v;
  v.vt = VT_NULL;
  return v;
}

inline CString text(const COleVariant& v) {
  return v.vt == VT_BSTR ? CString(v.bstrVal) : CString(L"<not text>");
}

// A value as a test reads it: Null, text as is, numbers with `digits` significant
// digits, truth values as Jet's -1/0, currency in units.
inline std::string showValue(const COleVariant& v, int digits = 15) {
  char buf[64];
  auto number = [&](double x) {
    std::snprintf(buf, sizeof buf, "%.*g", digits, x);
    return std::string(buf);
  };
  switch (v.vt) {
    case VT_NULL:
    case VT_EMPTY:
      return "Null";
    case VT_BSTR: {
      CString s(v.bstrVal);
      std::string out;
      for (const wchar_t* p = s.GetString(); *p; ++p) out += static_cast<char>(*p);
      return out;
    }
    case VT_I2:
      return std::to_string(v.iVal);
    case VT_I4:
      return std::to_string(v.lVal);
    case VT_UI1:
      return std::to_string(v.bVal);
    case VT_BOOL:
      return v.boolVal ? "-1" : "0";
    case VT_R4:
      std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(v.fltVal));
      return buf;
    case VT_R8:
      return number(v.dblVal);
    case VT_DATE:
      return number(v.date);
    case VT_CY:
      return number(static_cast<double>(v.cyVal.int64) / 10000.0);
    default:
      return "<vt " + std::to_string(v.vt) + ">";
  }
}

// Every row of a snapshot: fields joined by '|', rows by ';'.
inline std::string snapshotRows(CDaoDatabase& db, const wchar_t* sql, int digits = 15) {
  CDaoRecordset rs(&db);
  rs.Open(dbOpenSnapshot, sql);
  std::string out;
  short fields = rs.GetFieldCount();
  while (!rs.IsEOF()) {
    if (!out.empty()) out += ';';
    for (short i = 0; i < fields; ++i)
      out += (i ? "|" : "") + showValue(rs.GetFieldValue(i), digits);
    rs.MoveNext();
  }
  return out;
}

}  // namespace daotest
