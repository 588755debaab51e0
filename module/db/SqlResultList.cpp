// Query results as LISP lists (see SqlResultList.h). The chain is built here directly
// rather than through the list builder because a result of many rows nests two list
// levels and is built once per tb_sql; the element shapes are the builder's.
#include "db/SqlResultList.h"

#include <memory>
#include <new>
#include <string>
#include <vector>

#include <acedads.h>
#include <acutads.h>

#include "db/CDBConnection.h"
#include "host/VariantConversion.h"

namespace tabrik::arx::db {
namespace {

struct ChainRelease {
  void operator()(resbuf* chain) const { acutRelRb(chain); }
};
using Chain = std::unique_ptr<resbuf, ChainRelease>;

// Appends after `last` and returns the new last element. The head owns everything
// appended, so an exception part-way leaks nothing.
resbuf* link(resbuf* last, resbuf* element) {
  last->rbnext = element;
  return element;
}

resbuf* marker(int type) {
  resbuf* element = acutNewRb(type);
  if (element == nullptr) {
    throw std::bad_alloc();
  }
  return element;
}

resbuf* text(const wchar_t* value) {
  resbuf* element = marker(RTSTR);
  element->resval.rstring = acutNewString(value);
  if (element->resval.rstring == nullptr) {
    acutRelRb(element);
    throw std::bad_alloc();
  }
  return element;
}

}  // namespace

resbuf* queryResultList(const DBQueryResult& result) {
  if (result.isEmpty()) {
    return nullptr;
  }
  Chain head(marker(RTLB));
  resbuf* last = head.get();
  const std::size_t width = result.columns.size();
  if (width == 1) {
    for (const COleVariant& value : result.values) {
      last = link(last, variantToResbuf(value, StringRule::kTrimTrailingBlanks));
    }
  } else {
    std::vector<StringRule> rules;
    for (const CString& column : result.columns) {
      rules.push_back(stringRuleForField(column.GetString()));
    }
    for (std::size_t at = 0; at < result.values.size(); at += width) {
      last = link(last, marker(RTLB));
      for (std::size_t column = 0; column < width; ++column) {
        last = link(last, marker(RTLB));
        last = link(last, text(result.columns[column].GetString()));
        last = link(last, marker(RTDOTE));
        last = link(last, variantToResbuf(result.values[at + column], rules[column]));
        last = link(last, marker(RTLE));
      }
      last = link(last, marker(RTLE));
    }
  }
  link(last, marker(RTLE));
  return head.release();
}

void retQueryResult(const DBQueryResult& result) {
  Chain list(queryResultList(result));
  if (list == nullptr) {
    acedRetNil();
    return;
  }
  acedRetList(list.get());
}

}  // namespace tabrik::arx::db
