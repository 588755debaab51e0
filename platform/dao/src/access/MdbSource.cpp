#include "access/MdbSource.h"

#include <mdbtools.h>

#include <cstring>
#include <map>

#include "DaoErrors.h"
#include "tabrik/TextConversion.h"

namespace tabrik::dao::access {

namespace {

using tabrik::text::fromUtf8;
using tabrik::text::toUtf8;

// The low 13 bits of a row's offset on its page; the top bits flag deleted and
// lookup rows.
constexpr int kRowOffsetMask = 0x1fff;
// libmdb's index type for the indexes Jet keeps for relations (not the user's own).
constexpr unsigned char kForeignKeyIndex = 2;
constexpr unsigned char kPrimaryKeyIndex = 1;

struct GFreeString {
  char* text;
  ~GFreeString() { g_free(text); }
};

std::wstring takeText(char* text) {
  GFreeString owned{text};
  return text ? fromUtf8(text) : std::wstring();
}

std::wstring columnProperty(const MdbColumn* col, const char* key) {
  const char* value = mdb_col_get_prop(col, key);
  return value ? fromUtf8(value) : std::wstring();
}

bool truthy(const std::wstring& value) {
  return value == L"yes" || value == L"Yes" || value == L"True" || value == L"true" ||
         value == L"1" || value == L"-1";
}

// The engine type a column becomes, and what the report says when it had to change.
SourceField describeColumn(const MdbColumn* col, AccessFormat format) {
  SourceField f;
  f.name = fromUtf8(col->name);
  f.autoNumber = col->is_long_auto != 0;
  f.required = truthy(columnProperty(col, "Required"));
  f.allowZeroLength = truthy(columnProperty(col, "AllowZeroLength"));
  f.defaultValue = columnProperty(col, "DefaultValue");
  switch (col->col_type) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_DATETIME:
    case MDB_MEMO:
      f.daoType = static_cast<short>(col->col_type);  // DAO's numbers are Jet's
      break;
    case MDB_TEXT:
      f.daoType = dbText;
      // Jet 4 and ACE store text as UTF-16: the column's size is in bytes.
      f.size = format == AccessFormat::Jet3 ? col->col_size : col->col_size / 2;
      if (f.size < 1 || f.size > 255) f.size = 255;
      break;
    case MDB_REPID:
      f.daoType = dbText;
      f.size = 38;
      f.note = L"Replication ID kept as its text {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
      break;
    case MDB_NUMERIC:
      f.daoType = dbDouble;
      f.note = L"Decimal kept as Double";
      break;
    case MDB_OLE:
      f.note = L"OLE object field left out";
      break;
    case MDB_BINARY:
      f.note = L"Binary field left out";
      break;
    case MDB_COMPLEX:
      f.note = L"attachment or multi-valued field left out";
      break;
    default:
      f.note = L"field of unknown type left out";
      break;
  }
  return f;
}

template <typename T>
T readFixed(const MdbHandle* mdb, int start) {
  // Jet files are little-endian, as the machines this runs on.
  T value;
  std::memcpy(&value, mdb->pg_buf + start, sizeof value);
  return value;
}

COleVariant nullVariant() {
  COleVariant v;
  v.vt = VT_NULL;
  return v;
}

// One field of the row libmdb has just cracked, as the variant DAO would read.
COleVariant fieldValue(MdbHandle* mdb, const MdbColumn* col, const MdbField& field) {
  if (col->col_type == MDB_BOOL) {
    // A Yes/No field lives in the row's null mask: the bit set is Yes.
    return COleVariant(static_cast<short>(field.is_null ? 0 : -1), VT_BOOL);
  }
  if (field.is_null) return nullVariant();
  const int start = field.start;
  switch (col->col_type) {
    case MDB_BYTE:
      return COleVariant(static_cast<BYTE>(mdb->pg_buf[start]));
    case MDB_INT:
      return COleVariant(static_cast<short>(readFixed<std::int16_t>(mdb, start)));
    case MDB_LONGINT:
      return COleVariant(static_cast<int>(readFixed<std::int32_t>(mdb, start)));
    case MDB_MONEY: {
      CY cy;
      cy.int64 = readFixed<std::int64_t>(mdb, start);
      return COleVariant(COleCurrency(cy));
    }
    case MDB_FLOAT:
      return COleVariant(readFixed<float>(mdb, start));
    case MDB_DOUBLE:
      return COleVariant(readFixed<double>(mdb, start));
    case MDB_DATETIME:
      // The stored OLE date itself: exact for every year from 100 to 9999, which
      // libmdb's own formatting is not before 1900.
      return COleVariant(COleDateTime(readFixed<double>(mdb, start)));
    case MDB_TEXT:
    case MDB_MEMO:
      return COleVariant(
          takeText(mdb_col_to_string(mdb, mdb->pg_buf, start, col->col_type, field.siz)).c_str());
    case MDB_REPID:
      return COleVariant(takeText(mdb_uuid_to_string(mdb->pg_buf, start)).c_str());
    case MDB_NUMERIC: {
      const std::wstring text =
          takeText(mdb_numeric_to_string(mdb, start, col->col_scale, col->col_prec));
      return COleVariant(std::wcstod(text.c_str(), nullptr));
    }
    default:
      return COleVariant();  // left out: VT_EMPTY
  }
}

struct TableDefCloser {
  void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};
using TableDefPtr = std::unique_ptr<MdbTableDef, TableDefCloser>;

}  // namespace

namespace {

// A catalog table's records as name -> variant maps (catalogs are small).
using CatalogRecord = std::map<std::string, COleVariant>;

std::wstring textOf(const CatalogRecord& r, const char* column) {
  auto it = r.find(column);
  if (it == r.end() || it->second.vt != VT_BSTR || !it->second.bstrVal) return {};
  return it->second.bstrVal;
}

bool numberOf(const CatalogRecord& r, const char* column, long& out) {
  auto it = r.find(column);
  if (it == r.end()) return false;
  switch (it->second.vt) {
    case VT_UI1:
      out = it->second.bVal;
      return true;
    case VT_I2:
      out = it->second.iVal;
      return true;
    case VT_I4:
      out = it->second.lVal;
      return true;
    default:
      return false;
  }
}

}  // namespace

struct MdbSource::Handle {
  MdbHandle* mdb = nullptr;
  ~Handle() {
    if (mdb) mdb_close(mdb);
  }

  // The table of that name: forms, reports and queries may share a table's name.
  MdbCatalogEntry* tableEntry(const char* name) {
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
      auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
      if ((entry->object_type == MDB_TABLE || entry->object_type == MDB_SYSTEM_TABLE) &&
          std::strcmp(entry->object_name, name) == 0)
        return entry;
    }
    return nullptr;
  }

  TableDefPtr open(const std::wstring& name, bool withIndexes) {
    MdbCatalogEntry* entry = tableEntry(toUtf8(name).c_str());
    if (!entry) daoThrow(3078, {name});
    TableDefPtr table(mdb_read_table(entry));
    if (!table) daoThrow(3343, {name});
    if (!mdb_read_columns(table.get())) daoThrow(3343, {name});
    if (withIndexes) mdb_read_indices(table.get());
    return table;
  }

  // Every live record of an open table, one at a time, as variants of its columns.
  void walk(MdbTableDef* table, const std::function<void(std::vector<COleVariant>&)>& onRecord) {
    mdb_rewind_table(table);
    std::vector<MdbField> fields(MDB_MAX_COLS);
    std::vector<COleVariant> values(table->num_cols);
    while (mdb_fetch_row(table)) {
      int start = 0;
      size_t length = 0;
      if (mdb_find_row(mdb, static_cast<int>(table->cur_row) - 1, &start, &length) != 0) continue;
      start &= kRowOffsetMask;
      const int cracked = mdb_crack_row(table, start, length, fields.data());
      for (unsigned i = 0; i < table->num_cols; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        values[i] = static_cast<int>(i) < cracked ? fieldValue(mdb, col, fields[i]) : nullVariant();
      }
      onRecord(values);
    }
  }

  // A catalog table's records (catalogs are small); none when the file lacks it.
  std::vector<CatalogRecord> catalog(const char* tableName) {
    std::vector<CatalogRecord> records;
    MdbCatalogEntry* entry = tableEntry(tableName);
    if (!entry) return records;  // a file without relations or queries
    TableDefPtr table(mdb_read_table(entry));
    if (!table || !mdb_read_columns(table.get())) return records;
    std::vector<std::string> columns;
    for (unsigned i = 0; i < table->num_cols; ++i)
      columns.emplace_back(static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i))->name);
    walk(table.get(), [&](std::vector<COleVariant>& values) {
      CatalogRecord r;
      for (size_t i = 0; i < columns.size(); ++i) r[columns[i]] = values[i];
      records.push_back(std::move(r));
    });
    return records;
  }
};

MdbSource::MdbSource(const std::string& utf8Path) : m_handle(std::make_unique<Handle>()) {
  m_format = accessFormatOf(utf8Path);
  if (stampOf(utf8Path).size < 0) daoThrow(3024, {fromUtf8(utf8Path.c_str())});
  if (m_format == AccessFormat::None) daoThrow(3343, {fromUtf8(utf8Path.c_str())});
  m_handle->mdb = mdb_open(utf8Path.c_str(), MDB_NOFLAGS);
  if (!m_handle->mdb || !mdb_read_catalog(m_handle->mdb, MDB_ANY))
    daoThrow(3343, {fromUtf8(utf8Path.c_str())});
}

MdbSource::~MdbSource() = default;

std::vector<std::wstring> MdbSource::userTables() {
  std::vector<std::wstring> names;
  MdbHandle* mdb = m_handle->mdb;
  for (unsigned i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
      names.push_back(fromUtf8(entry->object_name));
  }
  return names;
}

SourceTable MdbSource::table(const std::wstring& name) {
  TableDefPtr table = m_handle->open(name, /*withIndexes=*/true);
  SourceTable out;
  out.name = name;
  out.records = table->num_rows;
  for (unsigned i = 0; i < table->num_cols; ++i) {
    auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
    out.fields.push_back(describeColumn(col, m_format));
  }
  for (unsigned i = 0; table->indices && i < table->num_idxs; ++i) {
    auto* idx = static_cast<MdbIndex*>(g_ptr_array_index(table->indices, i));
    if (idx->index_type == kForeignKeyIndex) continue;
    SourceIndex index;
    index.name = fromUtf8(idx->name);
    index.primary = idx->index_type == kPrimaryKeyIndex;
    index.unique = (idx->flags & MDB_IDX_UNIQUE) != 0 || index.primary;
    index.ignoreNulls = (idx->flags & MDB_IDX_IGNORENULLS) != 0;
    index.required = (idx->flags & MDB_IDX_REQUIRED) != 0;
    bool usable = true;
    for (unsigned k = 0; k < idx->num_keys && k < MDB_MAX_IDX_COLS; ++k) {
      const int column = idx->key_col_num[k] - 1;
      if (column < 0 || column >= static_cast<int>(table->num_cols)) {
        usable = false;
        break;
      }
      auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, column));
      index.fields.push_back({fromUtf8(col->name), idx->key_col_order[k] != MDB_ASC});
    }
    if (usable && !index.fields.empty()) out.indexes.push_back(std::move(index));
  }
  return out;
}

void MdbSource::forEachRecord(const std::wstring& name,
                              const std::function<void(std::vector<COleVariant>&)>& onRecord) {
  TableDefPtr table = m_handle->open(name, /*withIndexes=*/false);
  m_handle->walk(table.get(), onRecord);
}

std::vector<SourceRelation> MdbSource::relations() {
  std::vector<SourceRelation> out;
  for (const CatalogRecord& r : m_handle->catalog("MSysRelationships")) {
    const std::wstring name = textOf(r, "szRelationship");
    SourceRelation* relation = nullptr;
    for (auto& existing : out)
      if (existing.name == name) relation = &existing;
    if (!relation) {
      out.emplace_back();
      relation = &out.back();
      relation->name = name;
      relation->table = textOf(r, "szReferencedObject");
      relation->foreignTable = textOf(r, "szObject");
      numberOf(r, "grbit", relation->attributes);
    }
    long position = 0;
    numberOf(r, "icolumn", position);
    if (position < 0 || position > 32) continue;
    if (relation->fields.size() <= static_cast<size_t>(position))
      relation->fields.resize(static_cast<size_t>(position) + 1);
    relation->fields[static_cast<size_t>(position)] = {textOf(r, "szReferencedColumn"),
                                                       textOf(r, "szColumn")};
  }
  return out;
}

std::vector<SourceQuery> MdbSource::queries() {
  constexpr long kQueryObject = 5;
  std::map<long, std::wstring> names;
  std::vector<long> order;
  for (const CatalogRecord& r : m_handle->catalog("MSysObjects")) {
    long type = 0, id = 0;
    if (!numberOf(r, "Type", type) || type != kQueryObject || !numberOf(r, "Id", id)) continue;
    names[id] = textOf(r, "Name");
    order.push_back(id);
  }
  std::map<long, std::vector<QueryPart>> parts;
  for (const CatalogRecord& r : m_handle->catalog("MSysQueries")) {
    long id = 0, attribute = 0;
    if (!numberOf(r, "ObjectId", id) || !numberOf(r, "Attribute", attribute)) continue;
    QueryPart part;
    part.attribute = static_cast<int>(attribute);
    part.name1 = textOf(r, "Name1");
    part.name2 = textOf(r, "Name2");
    part.expression = textOf(r, "Expression");
    part.hasFlag = numberOf(r, "Flag", part.flag);
    parts[id].push_back(std::move(part));
  }
  std::vector<SourceQuery> out;
  for (long id : order) {
    // Queries Access keeps for forms and reports ("~sq_...") are not the user's.
    if (names[id].rfind(L"~", 0) == 0) continue;
    out.push_back({names[id], std::move(parts[id])});
  }
  return out;
}

}  // namespace tabrik::dao::access
