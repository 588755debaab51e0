// The drawing walk through acdbEntNext and acdbEntLast after the changes that move
// entities in and out of it (new entities in either space, erasing and undeleting,
// undone transactions, sub-entities, block definitions, entities filed in under lower
// handles than the newest), with the walk started before or after each change; and a
// walk of a million entities, which finishes only when every step is cheap.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "HostSession.h"
#include "HostTesting.h"
#include "acedads.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "dbtrans.h"
#include "tabrik/DrawingFiling.h"

using tabrik::acad::testing::OutputCapture;

namespace {

AcDbDatabase* db() { return acdbHostApplicationServices()->workingDatabase(); }

AcDbObjectId idOf(const ads_name name) {
  AcDbObjectId id;
  EXPECT_EQ(acdbGetObjectId(id, name), Acad::eOk);
  return id;
}

// A drawing whose entities carry labels, so that walks read as text.
class Drawing {
 public:
  AcDbObjectId block(const std::wstring& name) {
    auto* record = new AcDbBlockTableRecord;
    record->setName(name.c_str());
    AcDbBlockTable* table = nullptr;
    EXPECT_EQ(db()->getBlockTable(table, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(table->add(id, record), Acad::eOk);
    record->close();
    table->close();
    return id;
  }

  // A line in model space ("M"), paper space ("P") or the given block.
  AcDbObjectId line(const std::string& label, AcDbObjectId space = AcDbObjectId::kNull) {
    return append(label, space.isNull() ? db()->modelSpaceId() : space,
                  new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0)));
  }
  AcDbObjectId paperLine(const std::string& label) { return line(label, db()->paperSpaceId()); }

  // A 2D polyline in model space with `vertices` vertices labelled label.1, label.2 ...
  // and its SEQEND label.end.
  AcDbObjectId polyline(const std::string& label, int vertices) {
    auto* polyline = new AcDb2dPolyline;
    AcDbObjectId id = append(label, db()->modelSpaceId(), polyline, /*keepOpen=*/true);
    for (int i = 1; i <= vertices; ++i) {
      AcDbObjectId vertex;
      EXPECT_EQ(polyline->appendVertex(vertex, new AcDb2dVertex(AcGePoint3d(i, 0, 0))), Acad::eOk);
      m_labels[vertex.stub()] = label + "." + std::to_string(i);
    }
    m_labels[tabrik::acad::sequenceEndId(polyline).stub()] = label + ".end";
    polyline->close();
    return id;
  }

  // One more vertex for a polyline already in the drawing.
  void addVertex(AcDbObjectId polylineId, const std::string& label) {
    AcDb2dPolyline* polyline = nullptr;
    ASSERT_EQ(acdbOpenObject(polyline, polylineId, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId vertex;
    EXPECT_EQ(polyline->appendVertex(vertex, new AcDb2dVertex(AcGePoint3d(9, 9, 0))), Acad::eOk);
    m_labels[vertex.stub()] = label;
    polyline->close();
  }

  // A block reference with one attribute (label.a) and its SEQEND (label.end).
  AcDbObjectId reference(const std::string& label, AcDbObjectId blockId) {
    auto* reference = new AcDbBlockReference(AcGePoint3d(0, 0, 0), blockId);
    AcDbObjectId id = append(label, db()->modelSpaceId(), reference, /*keepOpen=*/true);
    auto* attribute = new AcDbAttribute(AcGePoint3d(0, 0, 0), L"v", L"TAG");
    AcDbObjectId attributeId;
    EXPECT_EQ(reference->appendAttribute(attributeId, attribute), Acad::eOk);
    attribute->close();
    m_labels[attributeId.stub()] = label + ".a";
    m_labels[tabrik::acad::sequenceEndId(reference).stub()] = label + ".end";
    reference->close();
    return id;
  }

  // A line placed under a handle given from outside, as a file reader places it.
  AcDbObjectId filedLine(const std::string& label, std::uint64_t handle) {
    auto* entity = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 2, 0));
    AcDbObjectId id;
    EXPECT_EQ(tabrik::acad::addObjectWithHandle(db(), entity, AcDbHandle(handle), id), Acad::eOk);
    AcDbBlockTableRecord* space = nullptr;
    EXPECT_EQ(acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    tabrik::acad::appendBlockEntity(space, id);
    space->close();
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
    object->setOwnerId(db()->modelSpaceId());
    object->close();
    m_labels[id.stub()] = label;
    return id;
  }

  void erase(AcDbObjectId id) {
    ads_name name;
    ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);
    ASSERT_EQ(acdbEntDel(name), RTNORM);  // a second call undeletes
  }

  // The labels entnext walks through from the start, or from `from`.
  std::string walk(AcDbObjectId from = AcDbObjectId::kNull) const {
    ads_name at = {0, 0};
    if (!from.isNull()) {
      EXPECT_EQ(acdbGetAdsName(at, from), Acad::eOk);
    }
    std::string labels;
    ads_name next;
    int steps = 0;
    while (acdbEntNext(at, next) == RTNORM && ++steps < 1000) {
      labels += (labels.empty() ? "" : " ") + label(idOf(next));
      at[0] = next[0];
      at[1] = next[1];
    }
    return labels;
  }

  std::string last() const {
    ads_name name;
    return acdbEntLast(name) == RTNORM ? label(idOf(name)) : "nil";
  }

  std::string label(AcDbObjectId id) const {
    auto found = m_labels.find(id.stub());
    return found == m_labels.end() ? "?" : found->second;
  }

 private:
  AcDbObjectId append(const std::string& label, AcDbObjectId spaceId, AcDbEntity* entity,
                      bool keepOpen = false) {
    AcDbBlockTableRecord* space = nullptr;
    EXPECT_EQ(acdbOpenObject(space, spaceId, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(space->appendAcDbEntity(id, entity), Acad::eOk);
    if (!keepOpen) entity->close();
    space->close();
    m_labels[id.stub()] = label;
    return id;
  }

  std::map<const AcDbStub*, std::string> m_labels;
};

class EntityWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_session = tabrik::acad::HostSession::startBare();
    ASSERT_NE(m_session, nullptr);
  }
  void TearDown() override {
    OutputCapture quiet;
    m_session.reset();
  }

 private:
  std::unique_ptr<tabrik::acad::HostSession> m_session;
};

// Each case builds a drawing in two halves; the walk is taken once between them (so
// the second half changes a drawing whose order is already known) and once at the
// end, and must then read the same as a fresh drawing built in one go would.
TEST_F(EntityWalkTest, WalkFollowsEveryChangeOfTheDrawing) {
  struct Ids {
    std::map<std::string, AcDbObjectId> byLabel;
    AcDbObjectId block;
  };
  using Step = std::function<void(Drawing&, Ids&)>;
  const struct {
    const char* name;
    Step first;
    Step second;
    const char* walk;
    const char* last;
  } cases[] = {
      {"empty drawing", [](Drawing&, Ids&) {}, [](Drawing&, Ids&) {}, "", "nil"},
      {"lines in the order made",
       [](Drawing& d, Ids&) {
         d.line("a");
         d.line("b");
       },
       [](Drawing& d, Ids&) { d.line("c"); }, "a b c", "c"},
      {"model and paper space merged by age",
       [](Drawing& d, Ids&) {
         d.line("a");
         d.paperLine("p1");
       },
       [](Drawing& d, Ids&) {
         d.line("b");
         d.paperLine("p2");
       },
       "a p1 b p2", "p2"},
      {"erased entities leave the walk and entlast",
       [](Drawing& d, Ids& ids) {
         ids.byLabel["a"] = d.line("a");
         ids.byLabel["b"] = d.line("b");
         ids.byLabel["c"] = d.line("c");
       },
       [](Drawing& d, Ids& ids) {
         d.erase(ids.byLabel["b"]);
         d.erase(ids.byLabel["c"]);
       },
       "a", "a"},
      {"an entity deleted twice is back in its place",
       [](Drawing& d, Ids& ids) {
         ids.byLabel["a"] = d.line("a");
         ids.byLabel["b"] = d.line("b");
         d.line("c");
         d.erase(ids.byLabel["b"]);
       },
       [](Drawing& d, Ids& ids) { d.erase(ids.byLabel["b"]); }, "a b c", "c"},
      {"an undone transaction takes its new entities away",
       [](Drawing& d, Ids&) {
         d.line("a");
         db()->transactionManager()->startTransaction();
         d.line("gone1");
       },
       [](Drawing& d, Ids&) {
         d.line("gone2");
         db()->transactionManager()->abortTransaction();
         d.line("b");
       },
       "a b", "b"},
      {"an undone transaction brings erased entities back",
       [](Drawing& d, Ids& ids) {
         d.line("a");
         ids.byLabel["b"] = d.line("b");
         db()->transactionManager()->startTransaction();
         d.erase(ids.byLabel["b"]);
       },
       [](Drawing&, Ids&) { db()->transactionManager()->abortTransaction(); }, "a b", "b"},
      {"sub-entities follow their owner; entlast names the owner",
       [](Drawing& d, Ids& ids) {
         d.line("a");
         ids.block = d.block(L"B");
         d.polyline("p", 2);
       },
       [](Drawing& d, Ids& ids) { d.reference("r", ids.block); }, "a p p.1 p.2 p.end r r.a r.end",
       "r"},
      {"a vertex added to an older polyline walks before newer entities",
       [](Drawing& d, Ids& ids) {
         ids.byLabel["p"] = d.polyline("p", 1);
         d.line("b");
       },
       [](Drawing& d, Ids& ids) { d.addVertex(ids.byLabel["p"], "p.2"); }, "p p.1 p.2 p.end b",
       "b"},
      {"an erased polyline takes its vertices and SEQEND off the walk",
       [](Drawing& d, Ids& ids) {
         d.line("a");
         ids.byLabel["p"] = d.polyline("p", 1);
       },
       [](Drawing& d, Ids& ids) {
         d.erase(ids.byLabel["p"]);
         d.line("b");
       },
       "a b", "b"},
      {"block definitions are not on the drawing's walk",
       [](Drawing& d, Ids& ids) {
         ids.block = d.block(L"B");
         d.line("a");
         d.line("in1", ids.block);
       },
       [](Drawing& d, Ids& ids) {
         d.line("in2", ids.block);
         d.line("b");
       },
       "a b", "b"},
      {"entities filed under lower handles take their place by handle",
       [](Drawing& d, Ids&) {
         d.filedLine("h900", 0x900);
         d.filedLine("h700", 0x700);
       },
       [](Drawing& d, Ids&) {
         d.filedLine("h800", 0x800);
         d.line("new");
       },
       "h700 h800 h900 new", "new"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AcDbDatabase fresh;
    AcDbDatabase* previous = db();
    acdbHostApplicationServices()->setWorkingDatabase(&fresh);
    Drawing drawing;
    Ids ids;
    c.first(drawing, ids);
    drawing.walk();
    drawing.last();
    c.second(drawing, ids);
    EXPECT_EQ(drawing.walk(), c.walk);
    EXPECT_EQ(drawing.last(), c.last);
    acdbHostApplicationServices()->setWorkingDatabase(previous);
  }
}

// entnext from a given entity: on the drawing's walk from model or paper space and
// from sub-entities (erased ones included), on the block's walk inside a block.
TEST_F(EntityWalkTest, WalkGoesOnFromAnyEntity) {
  Drawing d;
  AcDbObjectId block = d.block(L"B");
  AcDbObjectId in1 = d.line("in1", block);
  AcDbObjectId a = d.line("a");
  AcDbObjectId in2 = d.line("in2", block);
  AcDbObjectId p = d.polyline("p", 2);
  AcDbObjectId paper = d.paperLine("pp");
  AcDbObjectId b = d.line("b");
  d.erase(b);
  AcDbObjectId c = d.line("c");
  d.erase(p);
  const struct {
    const char* name;
    AcDbObjectId from;
    const char* rest;
  } cases[] = {
      {"model space entity", a, "pp c"},  {"erased entity", b, "c"}, {"erased polyline", p, "pp c"},
      {"paper space entity", paper, "c"}, {"last entity", c, ""},    {"block entity", in1, "in2"},
      {"last block entity", in2, ""},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    EXPECT_EQ(d.walk(test.from), test.rest);
  }
  // From the sub-entities of a live polyline.
  AcDbObjectId q = d.polyline("q", 2);
  d.line("z");
  ads_name name, vertex;
  ASSERT_EQ(acdbGetAdsName(name, q), Acad::eOk);
  ASSERT_EQ(acdbEntNext(name, vertex), RTNORM);
  EXPECT_EQ(d.label(idOf(vertex)), "q.1");
  EXPECT_EQ(d.walk(idOf(vertex)), "q.2 q.end z");
  EXPECT_EQ(d.walk(c), "q q.1 q.2 q.end z");
}

// A million entities made through the C++ API, walked through acdbEntNext: the walk
// finishes only if each step costs about the same whatever the drawing's size.
TEST_F(EntityWalkTest, WalksAMillionEntities) {
  constexpr int kCount = 1000000;
  AcDbBlockTableRecord* space = nullptr;
  ASSERT_EQ(acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
  AcDbObjectId first, last;
  for (int i = 0; i < kCount; ++i) {
    auto* line = new AcDbLine(AcGePoint3d(i, 0, 0), AcGePoint3d(i, 1, 0));
    AcDbObjectId id;
    ASSERT_EQ(space->appendAcDbEntity(id, line), Acad::eOk);
    line->close();
    if (i == 0) first = id;
    last = id;
  }
  space->close();
  ads_name at = {0, 0};
  ads_name next;
  int count = 0;
  while (acdbEntNext(at, next) == RTNORM) {
    ++count;
    if (count == 1) {
      EXPECT_EQ(idOf(next), first);
    }
    at[0] = next[0];
    at[1] = next[1];
  }
  EXPECT_EQ(count, kCount);
  EXPECT_EQ(idOf(at), last);
  ads_name newest;
  ASSERT_EQ(acdbEntLast(newest), RTNORM);
  EXPECT_EQ(idOf(newest), last);
}

}  // namespace
