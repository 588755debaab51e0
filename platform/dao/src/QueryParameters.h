// The parameters of a query definition: the statement's named parameters in order,
// with the values set for them. Shared by CDaoQueryDef and the recordsets opened on
// one.
#pragma once
#include <string>
#include <vector>

#include "DaoStore.h"
#include "FieldValues.h"
#include "jetsql/JetTranslator.h"

struct CDaoQueryDef::Parameters {
  std::vector<std::wstring> names;  // without the :, @ or $ prefix; position i binds as i + 1
  std::vector<COleVariant> values;
  std::vector<bool> given;

  int missing() const {
    int n = 0;
    for (bool g : given) n += g ? 0 : 1;
    return n;
  }
  void bindAll(tabrik::dao::Statement& stmt) const {
    for (size_t i = 0; i < names.size(); ++i)
      if (given[i]) stmt.bind(static_cast<int>(i + 1), tabrik::dao::plainValue(values[i]));
  }
  // A server's statement numbers its parameters: numbered[k] is the name (as the
  // translator spells it, ":name") that binds as k + 1. A Currency value goes as the
  // server stores it, the amount x 10000, so that it lands in a Currency field exact
  // (BIGINT takes no fraction) and compares with one as stored.
  void bindNumbered(tabrik::dao::Statement& stmt, const std::vector<std::string>& numbered) const {
    size_t unnamed = 0;  // a bare ? is the next parameter without a name
    for (size_t k = 0; k < numbered.size(); ++k) {
      std::wstring name =
          tabrik::dao::fromUtf8(tabrik::dao::jetsql::parameterName(numbered[k].c_str()).c_str());
      size_t seen = 0;
      for (size_t i = 0; i < names.size(); ++i) {
        bool match = name.empty() ? names[i].empty() && seen++ == unnamed
                                  : tabrik::dao::upper(names[i]) == tabrik::dao::upper(name);
        if (!match) continue;
        if (given[i] && values[i].vt == VT_CY)
          stmt.bindInt(static_cast<int>(k + 1), values[i].cyVal.int64);
        else if (given[i])
          stmt.bind(static_cast<int>(k + 1), tabrik::dao::plainValue(values[i]));
        break;
      }
      if (name.empty()) ++unnamed;
    }
  }
};
