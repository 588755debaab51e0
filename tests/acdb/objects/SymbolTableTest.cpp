// Symbol tables and records, dictionaries, groups and extended data.
#include <gtest/gtest.h>

#include "acutads.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbgroup.h"
#include "dbsymtb.h"

namespace {

AcDbObjectId addLayer(AcDbDatabase& db, const ACHAR* name, Acad::ErrorStatus expected = Acad::eOk) {
  AcDbLayerTable* table = nullptr;
  EXPECT_EQ(db.getLayerTable(table, AcDb::kForWrite), Acad::eOk);
  auto* layer = new AcDbLayerTableRecord;
  AcDbObjectId id;
  Acad::ErrorStatus status = layer->setName(name);
  if (status == Acad::eOk) status = table->add(id, layer);
  EXPECT_EQ(status, expected);
  if (status == Acad::eOk)
    layer->close();
  else
    delete layer;
  table->close();
  return id;
}

TEST(SymbolTables, NamesAreUniqueWithoutRegardToCase) {
  AcDbDatabase db;
  struct Case {
    const ACHAR* name;
    Acad::ErrorStatus expected;
  } cases[] = {
      {L"DUCT", Acad::eOk},
      {L"duct", Acad::eDuplicateRecordName},
      {L"", Acad::eInvalidSymbolTableName},
      {L"A<B", Acad::eInvalidSymbolTableName},
      {L"Duct-2 Supply", Acad::eOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.expected));
    addLayer(db, c.name, c.expected);
  }
  AcDbLayerTable* table = nullptr;
  db.getLayerTable(table);
  AcDbObjectId id;
  EXPECT_EQ(table->getAt(L"dUcT", id), Acad::eOk);
  AcDbLayerTableIterator* it = nullptr;
  table->newIterator(it);
  std::vector<std::wstring> names;
  for (; !it->done(); it->step()) {
    AcDbLayerTableRecord* layer = nullptr;
    ASSERT_EQ(it->getRecord(layer), Acad::eOk);
    names.push_back(layer->name());
    layer->close();
  }
  delete it;
  table->close();
  EXPECT_EQ(names, (std::vector<std::wstring>{L"0", L"DUCT", L"Duct-2 Supply"}));
}

TEST(SymbolTables, RenamingToAnotherRecordsNameIsRefused) {
  AcDbDatabase db;
  AcDbObjectId duct = addLayer(db, L"DUCT");
  AcDbLayerTableRecord* layer = nullptr;
  ASSERT_EQ(acdbOpenObject(layer, duct, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(layer->setName(L"0"), Acad::eDuplicateRecordName);
  EXPECT_EQ(layer->setName(L"duct"), Acad::eOk);  // its own name in another case
  layer->close();
}

TEST(SymbolTables, LayerPropertiesAndLinetypeComments) {
  AcDbDatabase db;
  AcDbObjectId id = addLayer(db, L"HIDDEN-LINES");
  AcDbLayerTableRecord* layer = nullptr;
  ASSERT_EQ(acdbOpenObject(layer, id, AcDb::kForWrite), Acad::eOk);
  layer->setIsFrozen(true);
  layer->setIsLocked(true);
  layer->setIsOff(true);
  layer->setIsPlottable(false);
  layer->setPlotStyleName(L"Screened");
  EXPECT_TRUE(layer->isFrozen());
  EXPECT_TRUE(layer->isLocked());
  layer->setIsFrozen(false);
  EXPECT_FALSE(layer->isFrozen());
  EXPECT_TRUE(layer->isLocked());  // the flags are separate bits
  ACHAR* style = layer->plotStyleName();
  EXPECT_STREQ(style, L"Screened");
  delete[] style;
  layer->close();
  AcDbLinetypeTableRecord* continuous = nullptr;
  ASSERT_EQ(acdbOpenObject(continuous, db.continuousLinetype(), AcDb::kForRead), Acad::eOk);
  const ACHAR* comments = nullptr;
  continuous->comments(comments);
  EXPECT_STREQ(comments, L"Solid line");
  continuous->close();
}

TEST(Dictionaries, EntriesInKeyOrderAndReplacementErasesTheOld) {
  AcDbDatabase db;
  AcDbDictionary* root = nullptr;
  ASSERT_EQ(db.getNamedObjectsDictionary(root, AcDb::kForWrite), Acad::eOk);
  AcDbObjectId b, a, a2;
  auto* first = new AcDbDictionary;
  root->setAt(L"b_entry", first, b);
  first->close();
  auto* second = new AcDbDictionary;
  root->setAt(L"A_ENTRY", second, a);
  second->close();
  auto* third = new AcDbDictionary;
  root->setAt(L"a_entry", third, a2);  // same key, other case: replaces
  third->close();
  EXPECT_TRUE(a.isErased());
  std::vector<std::wstring> keys;
  AcDbDictionaryIterator* it = root->newIterator();
  for (; !it->done(); it->next()) keys.push_back(it->name());
  delete it;
  EXPECT_EQ(keys, (std::vector<std::wstring>{L"A_ENTRY", L"ACAD_GROUP", L"b_entry"}));
  auto* refused = new AcDbDictionary;
  EXPECT_EQ(root->setAt(L"bad*key", refused, b), Acad::eInvalidKey);
  delete refused;  // still the caller's: it never entered the drawing
  root->close();
}

TEST(Groups, MembersInOrderWithReactorsAndNames) {
  AcDbDatabase db;
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
  AcDbObjectId l1, l2;
  auto* line1 = new AcDbLine({0, 0, 0}, {1, 1, 0});
  auto* line2 = new AcDbLine({0, 0, 0}, {2, 1, 0});
  space->appendAcDbEntity(l1, line1);
  space->appendAcDbEntity(l2, line2);
  line1->close();
  line2->close();
  space->close();
  AcDbDictionary* groups = nullptr;
  ASSERT_EQ(db.getGroupDictionary(groups, AcDb::kForWrite), Acad::eOk);
  auto* group = new AcDbGroup(L"Line pair", /*selectable=*/false);
  AcDbObjectId gid;
  ASSERT_EQ(groups->setAt(L"NV_PAIR", group, gid), Acad::eOk);
  groups->close();
  EXPECT_EQ(group->append(l2), Acad::eOk);
  EXPECT_EQ(group->append(l1), Acad::eOk);
  EXPECT_EQ(group->append(l1), Acad::eAlreadyInGroup);
  EXPECT_EQ(group->append(db.layerTableId()), Acad::eNotAnEntity);
  AcDbObjectIdArray ids;
  group->allEntityIds(ids);
  EXPECT_EQ(ids, (AcDbObjectIdArray{l2, l1}));
  ACHAR* name = nullptr;
  group->getName(name);
  EXPECT_STREQ(name, L"NV_PAIR");
  delete[] name;
  EXPECT_FALSE(group->isSelectable());
  group->close();
  AcDbEntity* member = nullptr;
  acdbOpenAcDbEntity(member, l1, AcDb::kForRead);
  EXPECT_TRUE(member->persistentReactors().contains(gid));
  member->close();
}

TEST(ExtendedData, PerApplicationInOrderAndRemovable) {
  AcDbDatabase db;
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
  auto* line = new AcDbLine({0, 0, 0}, {1, 0, 0});
  space->appendAcDbEntity(line);
  space->close();
  // Seven items: the application, then Size 12, Name "Duct A", Area 1.5.
  resbuf items[7] = {};
  short codes[7] = {1001, 1000, 1071, 1000, 1000, 1000, 1040};
  const ACHAR* strings[7] = {L"NORVANE", L"Size", nullptr, L"Name", L"Duct A", L"Area", nullptr};
  for (int i = 0; i < 7; ++i) {
    items[i].restype = codes[i];
    if (strings[i]) items[i].resval.rstring = const_cast<ACHAR*>(strings[i]);
    items[i].rbnext = i < 6 ? &items[i + 1] : nullptr;
  }
  items[2].resval.rlong = 12;
  items[6].resval.rreal = 1.5;
  ASSERT_EQ(line->setXData(items), Acad::eOk);
  resbuf* got = line->xData(L"norvane");
  ASSERT_NE(got, nullptr);
  int count = 0;
  for (resbuf* rb = got; rb; rb = rb->rbnext, ++count) EXPECT_EQ(rb->restype, codes[count]);
  EXPECT_EQ(count, 7);
  EXPECT_EQ(got->rbnext->rbnext->resval.rlong, 12);
  acutRelRb(got);
  // The application became known to the drawing.
  AcDbRegAppTable* apps = nullptr;
  db.getRegAppTable(apps);
  EXPECT_TRUE(apps->has(L"NORVANE"));
  apps->close();
  // An application item alone removes that application's data.
  items[0].rbnext = nullptr;
  ASSERT_EQ(line->setXData(items), Acad::eOk);
  EXPECT_EQ(line->xData(L"NORVANE"), nullptr);
  // Data before any application item is refused and changes nothing.
  EXPECT_EQ(line->setXData(&items[1]), Acad::eBadDxfSequence);
  line->close();
}

}  // namespace
