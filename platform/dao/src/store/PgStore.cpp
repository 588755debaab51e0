#include "store/PgStore.h"

#include <poll.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DaoErrors.h"
#include "DaoStore.h"

namespace tabrik::dao::storage {

namespace {

// Type oids of the server's built-in types (pg_type.dat; fixed across versions).
constexpr unsigned kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
                   kFloat8 = 701, kNumeric = 1700;

void dropNotice(void*, const char*) {}

// Commits of every server connection of this process: a reader on another connection
// sees them at once, before the server's notification of them arrives.
std::atomic<long long> processCommits{0};

std::string state(const PGresult* r) {
  const char* s = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
  return s ? s : "";
}

std::string primaryMessage(const PGresult* r) {
  const char* m = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  return m ? m : "";
}

// The first name the server quoted in a message ('relation "x" does not exist').
std::wstring quotedName(const std::string& msg) {
  size_t open = msg.find('"');
  if (open == std::string::npos) return L"";
  size_t close = msg.find('"', open + 1);
  if (close == std::string::npos) return L"";
  std::string n = msg.substr(open + 1, close - open - 1);
  return fromUtf8(n.c_str(), static_cast<int>(n.size()));
}

// Whether a statement is CREATE [UNIQUE] INDEX.
bool createsIndex(const std::string& sql) {
  std::string words;
  for (char c : sql) {
    if (words.size() > 20) break;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (!words.empty() && words.back() != ' ') words += ' ';
    } else {
      words += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return words.rfind("CREATE INDEX", 0) == 0 || words.rfind("CREATE UNIQUE INDEX", 0) == 0;
}

bool integralText(const char* t) {
  if (*t == '-' || *t == '+') ++t;
  if (!*t) return false;
  for (; *t; ++t)
    if (*t < '0' || *t > '9') return false;
  return true;
}

std::string realText(double v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

double parseReal(const char* t) {
  if (std::strcmp(t, "NaN") == 0) return std::nan("");
  if (std::strcmp(t, "Infinity") == 0) return HUGE_VAL;
  if (std::strcmp(t, "-Infinity") == 0) return -HUGE_VAL;
  return std::strtod(t, nullptr);
}

}  // namespace

std::string numberedParameters(const std::string& sql, int& count) {
  std::string out;
  out.reserve(sql.size() + 8);
  count = 0;
  char quote = 0;
  for (size_t i = 0; i < sql.size(); ++i) {
    char c = sql[i];
    if (quote) {
      out += c;
      if (c == quote) quote = 0;  // a doubled quote reopens on the next character
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      out += c;
      continue;
    }
    if (c != '?') {
      out += c;
      continue;
    }
    size_t j = i + 1;
    while (j < sql.size() && sql[j] >= '0' && sql[j] <= '9') ++j;
    // As SQLite numbers them: "?NNN" is NNN, a bare "?" one more than the largest yet.
    int n = j > i + 1 ? std::atoi(sql.substr(i + 1, j - i - 1).c_str()) : count + 1;
    if (n > count) count = n;
    out += '$' + std::to_string(n);
    i = j - 1;
  }
  return out;
}

// --- cursor ---------------------------------------------------------------------------------

PgCursor::PgCursor(PgConnection& conn, std::string sql, int parameters)
    : m_conn(conn), m_sql(std::move(sql)), m_values(static_cast<size_t>(parameters)) {
  describe();
}

PgCursor::~PgCursor() {
  if (m_result) PQclear(m_result);
  // The server forgets the statement with the session; one of a live session is
  // deallocated so that a long session does not pile them up.
  if (!m_name.empty() && m_generation == m_conn.m_generation && m_conn.m_conn &&
      PQstatus(m_conn.m_conn) == CONNECTION_OK && !m_conn.inTransaction())
    PQclear(PQexec(m_conn.m_conn, ("DEALLOCATE " + m_name).c_str()));
}

void PgCursor::describe() {
  m_conn.ensureConnected();
  std::string name = m_conn.nextName();
  PQclear(
      m_conn.check(PQprepare(m_conn.m_conn, name.c_str(), m_sql.c_str(), 0, nullptr), 3218, m_sql));
  PGresult* d = m_conn.check(PQdescribePrepared(m_conn.m_conn, name.c_str()), 3218, m_sql);
  m_name = name;
  m_generation = m_conn.m_generation;
  int fields = PQnfields(d);
  m_names.clear();
  m_types.clear();
  m_sources.clear();
  m_origins.reset();
  for (int i = 0; i < fields; ++i) {
    m_names.emplace_back(PQfname(d, i));
    m_types.push_back(PQftype(d, i));
    m_sources.emplace_back(PQftable(d, i), PQftablecol(d, i));
  }
  if (PQnparams(d) > static_cast<int>(m_values.size()))
    m_values.resize(static_cast<size_t>(PQnparams(d)));
  PQclear(d);
}

std::optional<std::string>* PgCursor::slot(int i) {
  if (i < 1 || i > static_cast<int>(m_values.size())) return nullptr;  // as SQLite: ignored
  return &m_values[static_cast<size_t>(i - 1)];
}

void PgCursor::bind(int i, const Value& v) {
  switch (v.kind) {
    case Value::Null:
      if (auto* s = slot(i)) s->reset();
      break;
    case Value::Int:
      bindInt(i, v.i);
      break;
    case Value::Real:
      bindReal(i, v.r);
      break;
    case Value::Text:
      bindText(i, v.text);
      break;
  }
}

void PgCursor::bindInt(int i, long long v) {
  if (auto* s = slot(i)) *s = std::to_string(v);
}

void PgCursor::bindReal(int i, double v) {
  if (auto* s = slot(i)) *s = realText(v);
}

void PgCursor::bindText(int i, const std::wstring& v) {
  // The server's text holds no NUL character: the text ends at the first, as a C
  // string would.
  if (auto* s = slot(i)) *s = toUtf8(v.substr(0, v.find(L'\0')));
}

bool PgCursor::step(long busyCode) {
  if (m_result) return ++m_row < PQntuples(m_result);
  m_conn.ensureConnected();
  if (m_generation != m_conn.m_generation) describe();  // reconnected since
  std::vector<const char*> values(m_values.size());
  for (size_t k = 0; k < m_values.size(); ++k)
    values[k] = m_values[k] ? m_values[k]->c_str() : nullptr;
  PGresult* r = m_conn.m_interrupt
                    ? m_conn.runInterruptibly(m_name, values)
                    : PQexecPrepared(m_conn.m_conn, m_name.c_str(), static_cast<int>(values.size()),
                                     values.data(), nullptr, nullptr, 0);
  m_result = m_conn.check(r, busyCode, m_sql);
  const char* tuples = PQcmdTuples(m_result);
  if (tuples && *tuples) m_conn.m_changes = std::atoll(tuples);
  m_row = 0;
  return PQntuples(m_result) > 0;
}

const char* PgCursor::cell(int i) const {
  if (!m_result || m_row < 0 || m_row >= PQntuples(m_result) || i < 0 || i >= PQnfields(m_result) ||
      PQgetisnull(m_result, m_row, i))
    return nullptr;
  return PQgetvalue(m_result, m_row, i);
}

bool PgCursor::columnIsNull(int i) const { return cell(i) == nullptr; }

Value PgCursor::column(int i) const {
  const char* t = cell(i);
  if (!t) return Value::null();
  switch (m_types[static_cast<size_t>(i)]) {
    case kBool:
      return Value::ofInt(*t == 't' ? -1 : 0);
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
      return Value::ofInt(std::atoll(t));
    case kNumeric:
      if (integralText(t) && std::strlen(t) < 19) return Value::ofInt(std::atoll(t));
      return Value::ofReal(parseReal(t));
    case kFloat4:
    case kFloat8:
      return Value::ofReal(parseReal(t));
    default:
      return Value::ofText(fromUtf8(t, PQgetlength(m_result, m_row, i)));
  }
}

long long PgCursor::columnInt(int i) const {
  const char* t = cell(i);
  if (!t) return 0;
  if (*t == 't') return 1;  // as SQLite reads a truth value: 1
  if (integralText(t)) return std::atoll(t);
  return static_cast<long long>(parseReal(t));
}

double PgCursor::columnReal(int i) const {
  const char* t = cell(i);
  return t ? parseReal(t) : 0.0;
}

std::wstring PgCursor::columnText(int i) const {
  const char* t = cell(i);
  return t ? fromUtf8(t, PQgetlength(m_result, m_row, i)) : std::wstring();
}

std::string PgCursor::columnName(int i) const {
  return i >= 0 && i < columnCount() ? m_names[static_cast<size_t>(i)] : std::string();
}

std::optional<ColumnOrigin> PgCursor::columnOrigin(int i) const {
  if (i < 0 || i >= columnCount()) return std::nullopt;
  if (!m_origins) {
    m_origins.emplace(m_sources.size());
    std::string tables;
    for (const auto& [table, column] : m_sources)
      if (table != InvalidOid && column > 0)
        tables += (tables.empty() ? "" : ", ") + std::to_string(table);
    if (tables.empty()) return std::nullopt;
    // The table oids are the server's own numbers: nothing of a caller's is in this text.
    std::string sql =
        "SELECT a.attrelid::bigint, a.attnum, c.relname, a.attname FROM pg_attribute a "
        "JOIN pg_class c ON c.oid = a.attrelid WHERE a.attnum > 0 AND a.attrelid IN (" +
        tables + ")";
    m_conn.ensureConnected();
    PGresult* r = m_conn.check(PQexec(m_conn.m_conn, sql.c_str()), 3218, sql);
    for (int row = 0; row < PQntuples(r); ++row) {
      unsigned table = static_cast<unsigned>(std::strtoul(PQgetvalue(r, row, 0), nullptr, 10));
      int column = std::atoi(PQgetvalue(r, row, 1));
      for (std::size_t k = 0; k < m_sources.size(); ++k)
        if (m_sources[k] == std::make_pair(table, column))
          (*m_origins)[k] = ColumnOrigin{PQgetvalue(r, row, 2), PQgetvalue(r, row, 3)};
    }
    PQclear(r);
  }
  return (*m_origins)[static_cast<std::size_t>(i)];
}

void PgCursor::reset() {
  if (m_result) PQclear(m_result);
  m_result = nullptr;
  m_row = -1;
  for (auto& v : m_values) v.reset();
}

// --- connection -----------------------------------------------------------------------------

PgConnection::PgConnection(const std::string& conninfo, std::wstring display)
    : m_display(std::move(display)) {
  m_conn = PQconnectdb(conninfo.c_str());
  if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
    if (m_conn) PQfinish(m_conn);
    m_conn = nullptr;
    daoThrow(3151, {m_display});
  }
  configureSession();
}

PgConnection::~PgConnection() {
  if (m_conn) PQfinish(m_conn);
}

void PgConnection::configureSession() {
  PQsetNoticeProcessor(m_conn, dropNotice, nullptr);
  std::string setup = "SET client_encoding = 'UTF8'; SET lock_timeout = '" +
                      std::to_string(kLockWaitMs) + "ms'; LISTEN " + kChangeChannel;
  PGresult* r = PQexec(m_conn, setup.c_str());
  ExecStatusType status = PQresultStatus(r);
  PQclear(r);
  if (status != PGRES_COMMAND_OK) daoThrow(3151, {m_display});
}

void PgConnection::ensureConnected() {
  if (m_conn && PQstatus(m_conn) == CONNECTION_OK && !m_openModeLost) return;
  if (!m_conn) daoThrow(3043);
  if (PQstatus(m_conn) != CONNECTION_OK) {
    PQreset(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK) daoThrow(3043);
    ++m_generation;
    configureSession();
    // The server let go of the old session's locks with it.
    m_openModeLost = m_openMode != OpenMode::None;
  }
  if (m_openModeLost) {
    if (!tryOpenMode()) daoThrow(3043);
    m_openModeLost = false;
  }
}

namespace {
// The session lock that holds a database's open mode: the two-number form, whose keys
// never meet the one-number keys of the write locks.
constexpr const char* kOpenModeKey = "(7401, 1)";
}  // namespace

bool PgConnection::tryOpenMode() {
  const char* fn =
      m_openMode == OpenMode::Exclusive ? "pg_try_advisory_lock" : "pg_try_advisory_lock_shared";
  std::string sql = std::string("SELECT ") + fn + kOpenModeKey;
  PGresult* r = check(PQexec(m_conn, sql.c_str()), 3051, sql);
  bool granted = PQntuples(r) == 1 && PQgetvalue(r, 0, 0)[0] == 't';
  PQclear(r);
  return granted;
}

bool PgConnection::holdOpenMode(bool exclusive) {
  ensureConnected();
  m_openMode = exclusive ? OpenMode::Exclusive : OpenMode::Shared;
  if (tryOpenMode()) return true;
  m_openMode = OpenMode::None;
  return false;
}

bool PgConnection::inTransaction() {
  if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) return false;
  PGTransactionStatusType t = PQtransactionStatus(m_conn);
  return t == PQTRANS_INTRANS || t == PQTRANS_INERROR || t == PQTRANS_ACTIVE;
}

PGresult* PgConnection::check(PGresult* r, long busyCode, const std::string& sql) {
  ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
  // Notifications read along with a result are counted now, so that a session that
  // never asks for them does not pile them up.
  drainNotifications();
  if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK || status == PGRES_EMPTY_QUERY) {
    m_lastState.clear();
    return r;
  }
  try {
    fail(r, busyCode, sql);
  } catch (...) {
    PQclear(r);
    throw;
  }
}

void PgConnection::fail(const PGresult* r, long busyCode, const std::string& sql) {
  m_lastState = state(r);
  m_syntaxOffset = -1;
  if (m_lastState == "42601") {
    // The server counts characters from 1; the engine's offsets are bytes from 0.
    const char* at = r ? PQresultErrorField(r, PG_DIAG_STATEMENT_POSITION) : nullptr;
    long chars = at ? std::strtol(at, nullptr, 10) : 0;
    std::size_t b = 0;
    for (long c = 1; c < chars && b < sql.size(); ++c) {
      ++b;
      while (b < sql.size() && (static_cast<unsigned char>(sql[b]) & 0xC0) == 0x80) ++b;
    }
    m_syntaxOffset = chars > 0 ? static_cast<int>(b) : static_cast<int>(sql.size());
  }
  std::string msg = primaryMessage(r);
  const std::string& s = m_lastState;
  // The connection itself: gone, or the server shutting down.
  if (PQstatus(m_conn) != CONNECTION_OK || s.rfind("08", 0) == 0 || s == "57P01" || s == "57P02" ||
      s == "57P03")
    daoThrow(3043);
  if (s == "55P03" || s == "40001" || s == "40P01") daoThrow(busyCode);  // a lock, a conflict
  if (s == "23505") daoThrow(3022);
  if (s == "23502") daoThrow(3058);
  if (s == "P0001" && msg.rfind("DAO ", 0) == 0) {
    // The engine's own triggers: "DAO <number> <argument>".
    long code = std::strtol(msg.c_str() + 4, nullptr, 10);
    size_t blank = msg.find(' ', 4);
    daoThrow(code, {blank == std::string::npos ? L"" : fromUtf8(msg.c_str() + blank + 1)});
  }
  if (s == "25006" || s == "42501") daoThrow(3027);
  if (s == "53100") daoThrow(3026);
  if (s == "53200") AfxThrowMemoryException();
  if (s == "57014") daoThrow(3059);
  if (s == "22001") daoThrow(3163);
  if (s == "22012") daoThrow(11);
  if (s == "42P01") daoThrow(3078, {quotedName(msg)});
  if (s == "42703") daoThrow(3061, {L"1"});
  if (s == "42883") daoThrow(3085, {quotedName(msg)});
  if (s == "42702") daoThrow(3079, {quotedName(msg)});
  if (s == "42701") daoThrow(3191);
  if (s == "42P07") {
    // The server says "relation ... already exists" for a table and an index alike.
    if (createsIndex(sql)) daoThrow(3284);
    daoThrow(3010, {quotedName(msg)});
  }
  if (s == "42601") daoThrow(3129);
  if (s == "21000") daoThrow(3306);
  if (s == "42803") daoThrow(3096, {quotedName(msg)});
  daoThrow(3146);
}

const Dialect& PgConnection::dialect() const {
  static const Dialect kDialect{"BIGINT",
                                "DOUBLE PRECISION",
                                "TEXT",
                                " COLLATE jettext",
                                " COLLATE jettext",
                                "rowid BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, ",
                                " RETURNING rowid",
                                false,
                                " NULLS FIRST",
                                " DESC NULLS LAST",
                                false,
                                false,
                                "NUMERIC"};
  return kDialect;
}

std::unique_ptr<Cursor> PgConnection::prepare(const std::string& sql) {
  int parameters = 0;
  std::string numbered = numberedParameters(sql, parameters);
  return std::make_unique<PgCursor>(*this, std::move(numbered), parameters);
}

void PgConnection::exec(const std::string& sql, long busyCode) {
  ensureConnected();
  PGresult* r = check(PQexec(m_conn, sql.c_str()), busyCode, sql);
  const char* tuples = PQcmdTuples(r);
  if (tuples && *tuples) m_changes = std::atoll(tuples);
  PQclear(r);
}

void PgConnection::setInterruptCheck(std::function<bool()> check) {
  m_interrupt = std::move(check);
}

PGresult* PgConnection::runInterruptibly(const std::string& statement,
                                         const std::vector<const char*>& values) {
  if (!PQsendQueryPrepared(m_conn, statement.c_str(), static_cast<int>(values.size()),
                           values.data(), nullptr, nullptr, 0))
    return nullptr;  // check() reads the connection's state
  // A statement that ends within the first wait is never asked about, so an Escape
  // typed ahead for a later prompt is not taken by a quick query.
  int wait = kFirstInterruptPollMs;
  bool cancelled = false;
  while (PQisBusy(m_conn)) {
    pollfd socket{PQsocket(m_conn), POLLIN, 0};
    int ready = poll(&socket, 1, wait);
    wait = kInterruptPollMs;
    if (ready < 0 && errno != EINTR) break;
    if (ready > 0 && !PQconsumeInput(m_conn)) break;  // the connection is gone
    if (ready == 0 && !cancelled && m_interrupt()) {
      // The server stops the statement and answers with 57014 (3059), its
      // transaction rolled back to before it.
      if (PGcancel* cancel = PQgetCancel(m_conn)) {
        char error[256];
        PQcancel(cancel, error, sizeof error);
        PQfreeCancel(cancel);
      }
      cancelled = true;
    }
  }
  // The statement's result, then the end of the results; the first failure wins.
  PGresult* result = nullptr;
  while (PGresult* next = PQgetResult(m_conn)) {
    if (result == nullptr || PQresultStatus(next) == PGRES_FATAL_ERROR) {
      if (result) PQclear(result);
      result = next;
    } else {
      PQclear(next);
    }
  }
  return result;
}

void PgConnection::beginWrite(long busyCode) {
  // The notification goes out with the commit, and never with a rollback.
  exec(std::string("BEGIN; NOTIFY ") + kChangeChannel, busyCode);
}

void PgConnection::commit(long busyCode) {
  exec("COMMIT", busyCode);
  ++processCommits;
}

void PgConnection::drainNotifications() {
  if (!m_conn) return;
  while (PGnotify* n = PQnotifies(m_conn)) {
    ++m_signals;
    PQfreemem(n);
  }
}

long long PgConnection::commitsSignalled() {
  // Inside a transaction the server holds notifications back until it ends, while each
  // statement still sees what others committed: nothing counts as current there.
  if (!m_conn || PQstatus(m_conn) != CONNECTION_OK || inTransaction()) return -1;
  if (PQconsumeInput(m_conn) == 0) return -1;  // the connection failed: the next call finds out
  drainNotifications();
  // Each counter only grows, so the sum moves whenever one of them does.
  return m_signals + processCommits.load() + static_cast<long long>(m_generation);
}

void PgConnection::rollbackQuietly() {
  if (m_conn && PQstatus(m_conn) == CONNECTION_OK) PQclear(PQexec(m_conn, "ROLLBACK"));
}

}  // namespace tabrik::dao::storage
