// Query results as LISP lists (see SqlResultList.h). The chain is built here directly
// rather than through the list builder because a result of many rows nests two list
// levels and is built once per tb_sql; the element shapes are the builder's.
#include "db/SqlResultList.h"

#include <cassert>
#include <new>

#include <acedads.h>
#include <acutads.h>

#include "db/CDBConnection.h"

namespace tabrik::arx::db {
namespace {

resbuf* marker(int type) {
  resbuf* element = acutNewRb(type);
  if (element == nullptr) {
    throw std::bad_alloc();
  }
  return element;
}

resbuf* text(const std::wstring& value) {
  resbuf* element = marker(RTSTR);
  element->resval.rstring = acutNewString(value.c_str());
  if (element->resval.rstring == nullptr) {
    acutRelRb(element);
    throw std::bad_alloc();
  }
  return element;
}

}  // namespace

QueryListWriter::QueryListWriter(const std::vector<CString>& columns) {
  m_names.reserve(columns.size());
  m_rules.reserve(columns.size());
  for (const CString& column : columns) {
    m_names.emplace_back(column.GetString());
    // One column loses trailing blanks whatever its name.
    m_rules.push_back(columns.size() == 1 ? StringRule::kTrimTrailingBlanks
                                          : stringRuleForField(m_names.back()));
  }
}

QueryListWriter::~QueryListWriter() {
  if (m_head != nullptr) {
    acutRelRb(m_head);
  }
}

void QueryListWriter::append(resbuf* element) {
  if (m_head == nullptr) {
    m_head = element;
  } else {
    m_last->rbnext = element;
  }
  m_last = element;
}

void QueryListWriter::add(const VARIANT& value) {
  assert(!m_names.empty() && "a query result has at least one column");
  if (m_head == nullptr) {
    append(marker(RTLB));
  }
  const std::size_t column = m_column;
  m_column = (m_column + 1) % m_names.size();
  if (m_names.size() == 1) {
    append(variantToResbuf(value, m_rules[0]));
    return;
  }
  if (column == 0) {
    append(marker(RTLB));
  }
  append(marker(RTLB));
  append(text(m_names[column]));
  append(marker(RTDOTE));
  append(variantToResbuf(value, m_rules[column]));
  append(marker(RTLE));
  if (m_column == 0) {
    append(marker(RTLE));
  }
}

resbuf* QueryListWriter::finish() {
  assert(m_column == 0 && "the last row is complete");
  if (m_head == nullptr) {
    return nullptr;
  }
  append(marker(RTLE));
  resbuf* list = m_head;
  m_head = nullptr;
  m_last = nullptr;
  return list;
}

resbuf* queryResultList(const DBQueryResult& result) {
  if (result.isEmpty()) {
    return nullptr;
  }
  QueryListWriter writer(result.columns);
  for (const COleVariant& value : result.values) {
    writer.add(value);
  }
  return writer.finish();
}

resbuf* queryResultList(CDaoRecordset& rows) {
  if (rows.IsEOF()) {
    return nullptr;
  }
  const short fields = rows.GetFieldCount();
  std::vector<CString> columns;
  columns.reserve(static_cast<std::size_t>(fields));
  for (short i = 0; i < fields; ++i) {
    CDaoFieldInfo info;
    rows.GetFieldInfo(i, info);
    columns.push_back(info.m_strName);
  }
  QueryListWriter writer(columns);
  COleVariant value;  // one variant for every field: no row is held
  for (; !rows.IsEOF(); rows.MoveNext()) {
    for (short i = 0; i < fields; ++i) {
      rows.GetFieldValue(i, value);
      writer.add(value);
    }
  }
  return writer.finish();
}

void ListRelease::operator()(resbuf* list) const { acutRelRb(list); }

void retQueryList(ListPtr list) {
  if (list == nullptr) {
    acedRetNil();
    return;
  }
  acedRetList(list.get());
}

}  // namespace tabrik::arx::db
