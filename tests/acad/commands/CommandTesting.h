// A host session for the built-in command tests: runs a command body with the input
// queue loaded, captures what it printed, and describes the drawing's entities in a
// compact text form that expected values are written in by hand.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "HostSession.h"
#include "HostTesting.h"
#include "acedads.h"
#include "dbents.h"
#include "dbpl.h"
#include "dbsymtb.h"

namespace tabrik::acad::command::testing {

// A number as the descriptions show it: four places at most, no trailing zeros.
inline std::string num(double value) {
  double rounded = std::round(value * 1e4) / 1e4 + 0.0;
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", rounded);
  std::string s = text;
  s.erase(s.find_last_not_of('0') + 1);
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

inline std::string pt(const AcGePoint3d& p) { return num(p.x) + "," + num(p.y) + "," + num(p.z); }
inline std::string deg(double radians) { return num(radians * 180.0 / M_PI); }
inline std::string narrow(const wchar_t* text) {
  std::string out;
  for (; text && *text; ++text) out += static_cast<char>(*text);
  return out;
}

inline std::string describe(AcDbEntity* e) {
  if (auto* line = AcDbLine::cast(e))
    return "LINE " + pt(line->startPoint()) + " " + pt(line->endPoint());
  if (auto* arc = AcDbArc::cast(e))
    return "ARC " + pt(arc->center()) + " r" + num(arc->radius()) + " " + deg(arc->startAngle()) +
           ".." + deg(arc->endAngle());
  if (auto* circle = AcDbCircle::cast(e))
    return "CIRCLE " + pt(circle->center()) + " r" + num(circle->radius());
  if (auto* point = AcDbPoint::cast(e)) return "POINT " + pt(point->position());
  if (auto* pl = AcDbPolyline::cast(e)) {
    std::string s = pl->isClosed() ? "PLINE closed" : "PLINE";
    for (unsigned i = 0; i < pl->numVerts(); ++i) {
      AcGePoint2d p;
      double bulge = 0, sw = 0, ew = 0;
      pl->getPointAt(i, p);
      pl->getBulgeAt(i, bulge);
      pl->getWidthsAt(i, sw, ew);
      s += " " + num(p.x) + "," + num(p.y);
      if (bulge != 0) s += " b" + num(bulge);
      if (sw != 0 || ew != 0) s += " w" + num(sw) + "/" + num(ew);
    }
    return s;
  }
  if (auto* def = AcDbAttributeDefinition::cast(e))
    return "ATTDEF " + narrow(def->tagConst()) + " " + pt(def->position());
  if (auto* text = AcDbText::cast(e)) {
    std::string s = "TEXT \"" + narrow(text->textStringConst()) + "\" " + pt(text->position()) +
                    " h" + num(text->height()) + " r" + deg(text->rotation());
    if (!text->isDefaultAlignment())
      s += " j" + std::to_string(text->horizontalMode()) + "/" +
           std::to_string(text->verticalMode()) + " at " + pt(text->alignmentPoint());
    return s;
  }
  if (auto* ref = AcDbBlockReference::cast(e)) {
    AcDbBlockTableRecord* block = nullptr;
    std::string name;
    if (acdbOpenObject(block, ref->blockTableRecord(), AcDb::kForRead) == Acad::eOk) {
      name = narrow(block->name().c_str());
      block->close();
    }
    AcGeScale3d s = ref->scaleFactors();
    std::string out = "INSERT " + name + " " + pt(ref->position()) + " s" + num(s.sx) + "," +
                      num(s.sy) + "," + num(s.sz) + " r" + deg(ref->rotation());
    std::unique_ptr<AcDbObjectIterator> it(ref->attributeIterator());
    for (it->start(); !it->done(); it->step()) {
      AcDbAttribute* attribute = nullptr;
      if (acdbOpenObject(attribute, it->objectId(), AcDb::kForRead) != Acad::eOk) continue;
      out += " " + narrow(attribute->tagConst()) + "=" + narrow(attribute->textStringConst()) +
             "@" + pt(attribute->position());
      attribute->close();
    }
    return out;
  }
  return "?";
}

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_session = HostSession::startBare();
    ASSERT_NE(m_session, nullptr);
  }
  void TearDown() override {
    tabrik::acad::testing::OutputCapture quiet;
    m_session.reset();
  }

  // Runs the body on the tokens; `printed` gets what it wrote.
  int run(int (*body)(), const std::vector<std::string>& tokens) {
    tabrik::acad::testing::OutputCapture output;
    for (const std::string& token : tokens) tabrik::acad::testing::queueInput(token);
    int status = body();
    printed = output.take();
    // What the body left unread would answer the next request.
    while (tabrik::acad::testing::takeInputToken("")) {
    }
    return status;
  }

  static AcDbDatabase* database() { return acdbHostApplicationServices()->workingDatabase(); }

  static AcDbObjectId append(AcDbEntity* entity) {
    AcDbBlockTableRecord* space = nullptr;
    EXPECT_EQ(acdbOpenObject(space, database()->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(space->appendAcDbEntity(id, entity), Acad::eOk);
    entity->close();
    space->close();
    return id;
  }

  // The live entities of model space, described, oldest first.
  static std::vector<std::string> drawn() {
    std::vector<std::string> out;
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, database()->modelSpaceId(), AcDb::kForRead) != Acad::eOk) return out;
    AcDbObjectIdArray ids = space->entityIds();
    space->close();
    for (const AcDbObjectId& id : ids) {
      AcDbEntity* entity = nullptr;
      if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) continue;
      out.push_back(describe(entity));
      entity->close();
    }
    return out;
  }

  static void setReal(const wchar_t* name, double value) {
    resbuf rb{};
    rb.restype = RTREAL;
    rb.resval.rreal = value;
    acedSetVar(name, &rb);
  }
  static void setInt(const wchar_t* name, int value) {
    resbuf rb{};
    rb.restype = RTSHORT;
    rb.resval.rint = static_cast<short>(value);
    acedSetVar(name, &rb);
  }

  std::unique_ptr<HostSession> m_session;
  std::string printed;
};

}  // namespace tabrik::acad::command::testing
