// Looking records up by name stays true through every way a name or a table changes:
// renames, erasing, records of the same name (erased ones), undo of renames and of
// additions, and names read back through the record's own filing. Each lookup is held
// against a scan of the table in its order, the definition of what getAt answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <string>
#include <vector>

#include "dbdict.h"
#include "dbsymtb.h"
#include "dbtrans.h"

namespace {

AcDbObjectId addLayer(AcDbDatabase& db, const ACHAR* name) {
  AcDbLayerTable* table = nullptr;
  EXPECT_EQ(db.getLayerTable(table, AcDb::kForWrite), Acad::eOk);
  auto* layer = new AcDbLayerTableRecord;
  AcDbObjectId id;
  EXPECT_EQ(layer->setName(name), Acad::eOk);
  EXPECT_EQ(table->add(id, layer), Acad::eOk);
  layer->close();
  table->close();
  return id;
}

Acad::ErrorStatus rename(AcDbObjectId id, const ACHAR* name) {
  AcDbLayerTableRecord* layer = nullptr;
  EXPECT_EQ(acdbOpenObject(layer, id, AcDb::kForWrite), Acad::eOk);
  Acad::ErrorStatus status = layer->setName(name);
  layer->close();
  return status;
}

void erase(AcDbObjectId id) {
  AcDbObject* object = nullptr;
  ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
  object->erase();
  object->close();
}

// What getAt must answer: the first record in table order with the name (any case),
// erased ones only when asked for.
AcDbObjectId scan(const AcDbSymbolTable* table, const ACHAR* name, bool getErased) {
  for (const AcDbObjectId& id : table->recordIds()) {
    AcDbSymbolTableRecord* record = nullptr;
    if (acdbOpenObject(record, id, AcDb::kForRead, /*openErased=*/true) != Acad::eOk) continue;
    bool match = wcscasecmp(record->name().c_str(), name) == 0 && (getErased || !id.isErased());
    record->close();
    if (match) return id;
  }
  return AcDbObjectId();
}

void expectLookupsMatchTheScan(AcDbDatabase& db, const char* after) {
  SCOPED_TRACE(after);
  AcDbLayerTable* table = nullptr;
  ASSERT_EQ(db.getLayerTable(table), Acad::eOk);
  for (const ACHAR* name : {L"0", L"walls", L"WALLS", L"Doors", L"doors", L"Ducts", L"Supply",
                            L"supply", L"Return", L"Gone", L"Renamed", L"renamed"}) {
    for (bool getErased : {false, true}) {
      AcDbObjectId found;
      Acad::ErrorStatus status = table->getAt(name, found, getErased);
      AcDbObjectId expected = scan(table, name, getErased);
      EXPECT_EQ(found, expected) << std::wstring(name).size() << " erased " << getErased;
      EXPECT_EQ(status, expected.isNull() ? Acad::eKeyNotFound : Acad::eOk);
      EXPECT_EQ(table->has(name), !scan(table, name, false).isNull());
    }
  }
  table->close();
}

TEST(SymbolTableIndex, LookupsFollowEveryChange) {
  AcDbDatabase db;
  AcDbObjectId walls = addLayer(db, L"Walls");
  AcDbObjectId doors = addLayer(db, L"Doors");
  AcDbObjectId ducts = addLayer(db, L"Ducts");
  AcDbTransactionManager* tm = db.transactionManager();
  AcDbObjectId supply;

  struct Step {
    const char* what;
    std::function<void()> run;
  } steps[] = {
      {"adding", [] {}},
      {"a rename", [&] { EXPECT_EQ(rename(doors, L"Renamed"), Acad::eOk); }},
      {"a rename onto a name in another case",
       [&] { EXPECT_EQ(rename(ducts, L"WALLS"), Acad::eDuplicateRecordName); }},
      {"a rename of only the case", [&] { EXPECT_EQ(rename(walls, L"WALLS"), Acad::eOk); }},
      {"erasing", [&] { erase(ducts); }},
      {"a new record of an erased one's name", [&] { addLayer(db, L"ducts"); }},
      {"renaming an erased record's namesake",
       [&] { EXPECT_EQ(rename(walls, L"Supply"), Acad::eOk); }},
      {"an undone rename",
       [&] {
         tm->startTransaction();
         AcDbObject* object = nullptr;
         ASSERT_EQ(tm->getObject(object, walls, AcDb::kForWrite), Acad::eOk);
         EXPECT_EQ(AcDbLayerTableRecord::cast(object)->setName(L"Return"), Acad::eOk);
         ASSERT_EQ(tm->abortTransaction(), Acad::eOk);
       }},
      {"an undone addition",
       [&] {
         tm->startTransaction();
         supply = addLayer(db, L"Gone");
         ASSERT_EQ(tm->abortTransaction(), Acad::eOk);
       }},
      {"the same name added after the undo", [&] { addLayer(db, L"Gone"); }},
      {"renames kept by a transaction",
       [&] {
         tm->startTransaction();
         AcDbObject* object = nullptr;
         ASSERT_EQ(tm->getObject(object, doors, AcDb::kForWrite), Acad::eOk);
         EXPECT_EQ(AcDbLayerTableRecord::cast(object)->setName(L"Doors"), Acad::eOk);
         ASSERT_EQ(tm->endTransaction(), Acad::eOk);
       }},
  };
  for (const Step& step : steps) {
    step.run();
    expectLookupsMatchTheScan(db, step.what);
  }
  // The table's order is the order of adding, whatever was renamed or erased.
  AcDbLayerTable* table = nullptr;
  ASSERT_EQ(db.getLayerTable(table), Acad::eOk);
  std::vector<std::wstring> names;
  AcDbLayerTableIterator* it = nullptr;
  table->newIterator(it, true, /*skipDeleted=*/false);
  for (; !it->done(); it->step(true, false)) {
    AcDbLayerTableRecord* record = nullptr;
    ASSERT_EQ(it->getRecord(record, AcDb::kForRead, true), Acad::eOk);
    names.push_back(record->name());
    record->close();
  }
  delete it;
  table->close();
  EXPECT_EQ(names,
            (std::vector<std::wstring>{L"0", L"Supply", L"Doors", L"Ducts", L"ducts", L"Gone"}));
}

}  // namespace

namespace {

// A dictionary's entries stay sorted by key without regard to case, however they are
// added, and every key is found in any case; removed and renamed keys follow.
TEST(DictionaryIndex, KeysAreFoundInAnyCaseWhateverTheOrderOfAdding) {
  AcDbDatabase db;
  AcDbDictionary* root = nullptr;
  ASSERT_EQ(acdbOpenObject(root, db.namedObjectsDictionaryId(), AcDb::kForWrite), Acad::eOk);
  auto* dictionary = new AcDbDictionary;
  AcDbObjectId dictionaryId;
  ASSERT_EQ(root->setAt(L"TABRIK_TEST", dictionary, dictionaryId), Acad::eOk);
  root->close();
  std::vector<std::wstring> keys;
  for (int i = 0; i < 500; ++i) keys.push_back(L"Key-" + std::to_wstring((i * 7919) % 500));
  std::vector<AcDbObjectId> ids;
  for (const std::wstring& key : keys) {
    AcDbObjectId id;
    auto* entry = new AcDbDictionary;
    ASSERT_EQ(dictionary->setAt(key.c_str(), entry, id), Acad::eOk);
    entry->close();
    ids.push_back(id);
  }
  auto upper = [](std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
  };
  struct Change {
    const char* what;
    std::function<void()> run;
    std::vector<std::wstring> gone;
  } changes[] = {
      {"adding", [] {}, {}},
      {"removing", [&] { EXPECT_EQ(dictionary->remove(L"KEY-17"), Acad::eOk); }, {L"Key-17"}},
      {"renaming",
       [&] { EXPECT_EQ(dictionary->setName(L"key-18", L"Renamed"), Acad::eOk); },
       {L"Key-17", L"Key-18"}},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    change.run();
    for (size_t i = 0; i < keys.size(); ++i) {
      bool gone = std::find(change.gone.begin(), change.gone.end(), keys[i]) != change.gone.end();
      AcDbObjectId found;
      EXPECT_EQ(dictionary->getAt(upper(keys[i]).c_str(), found),
                gone ? Acad::eKeyNotFound : Acad::eOk);
      EXPECT_EQ(found, gone ? AcDbObjectId() : ids[i]);
    }
  }
  AcDbObjectId renamed;
  EXPECT_EQ(dictionary->getAt(L"RENAMED", renamed), Acad::eOk);
  EXPECT_EQ(dictionary->numEntries(), keys.size() - 1);
  std::vector<std::wstring> order;
  for (const auto& entry : dictionary->entries()) order.push_back(entry.key);
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end(), [](const auto& a, const auto& b) {
    return wcscasecmp(a.c_str(), b.c_str()) < 0;
  }));
  dictionary->close();
}

}  // namespace
