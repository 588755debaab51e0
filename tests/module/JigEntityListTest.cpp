// The multi jigs' entity list: a jig whose list was never set tells the user (one text
// for all three) and still returns its list; once set, with or without entities, it
// says nothing, and the list draws its entities in order.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "HostTesting.h"
#include "WinUserTesting.h"
#include "aced/doc/DocManager.h"
#include "dbents.h"
#include "jig/MultiMoveJig.h"
#include "jig/MultiRotateJig.h"
#include "jig/entityList.h"
#include "jig/multiBlockJig.h"
#include "tabrik/GiRecorder.h"

using tabrik::arx::draw::entityList;
using tabrik::arx::draw::multiBlockJig;
using tabrik::arx::draw::MultiMoveJig;
using tabrik::arx::draw::MultiRotateJig;
using tabrik::win::testing::MessageBoxRequest;
using tabrik::win::testing::setMessageBoxHandler;

namespace {

class JigEntityListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tabrik::acad::testing::resetHost();
    tabrik::acad::docManager().open(L"Drawing1.dwg");
    setMessageBoxHandler([this](const MessageBoxRequest& box) {
      m_boxes.push_back(box);
      return IDOK;
    });
  }
  void TearDown() override {
    setMessageBoxHandler(nullptr);
    tabrik::acad::testing::resetHost();
  }
  std::vector<MessageBoxRequest> m_boxes;
};

// One jig of each multi kind; set: whether to give it an (empty) list first.
struct MultiJig {
  const char* name;
  std::function<AcDbEntity*(bool set)> shown;
};

TEST_F(JigEntityListTest, AJigWhoseListWasNeverSetTellsTheUser) {
  const MultiJig jigs[] = {
      {"block",
       [](bool set) {
         multiBlockJig jig(/*rotate=*/false);
         if (set) jig.setEntityList({});
         return jig.entity();
       }},
      {"move",
       [](bool set) {
         MultiMoveJig jig(AcGePoint3d(1, 2, 0));
         if (set) jig.setEntityList({});
         return jig.entity();
       }},
      {"rotate",
       [](bool set) {
         MultiRotateJig jig(AcGePoint3d(1, 2, 0));
         if (set) jig.setEntityList({});
         return jig.entity();
       }},
  };
  for (const MultiJig& jig : jigs) {
    for (bool set : {false, true}) {
      SCOPED_TRACE(std::string(jig.name) + (set ? " set" : " never set"));
      m_boxes.clear();
      // The jig returns its list either way (the pointer dies with the jig: only its
      // presence is checked).
      EXPECT_NE(jig.shown(set), nullptr);
      if (set) {
        EXPECT_TRUE(m_boxes.empty());
        continue;
      }
      ASSERT_EQ(m_boxes.size(), 1u);
      EXPECT_EQ(m_boxes[0].caption, L"Norvane Error");
      EXPECT_EQ(m_boxes[0].text,
                L"Error - You must call setEntityList before calling multiBlockJig::drag()");
    }
  }
}

TEST_F(JigEntityListTest, TheListDrawsItsEntitiesInOrderAndFreesOnlyThoseInNoDrawing) {
  entityList list;
  EXPECT_FALSE(list.isListSet());
  list.setList({new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)),
                new AcDbCircle(AcGePoint3d(5, 5, 0), AcGeVector3d::kZAxis, 2.0),
                new AcDbLine(AcGePoint3d(0, 3, 0), AcGePoint3d(0, 4, 0))});
  EXPECT_TRUE(list.isListSet());
  tabrik::acad::GiRecorder recorder;
  list.worldDraw(&recorder);
  const auto& drawn = recorder.primitives();
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0].kind, tabrik::acad::GiPrimitive::kPolyline);
  EXPECT_EQ(drawn[0].points[1], AcGePoint3d(1, 0, 0));
  EXPECT_EQ(drawn[1].kind, tabrik::acad::GiPrimitive::kCircle);
  EXPECT_EQ(drawn[1].radius, 2.0);
  EXPECT_EQ(drawn[2].points[0], AcGePoint3d(0, 3, 0));
  // Freed here; the sanitizers see a leak or a double free.
  list.deleteEntities();
  EXPECT_TRUE(list.list().empty());
  EXPECT_TRUE(list.isListSet());
}

}  // namespace
