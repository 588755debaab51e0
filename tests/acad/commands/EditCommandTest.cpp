// -INSERT and the editing commands driven through the input queue: block references
// with their attributes, and what MOVE, COPY, ROTATE, SCALE, MIRROR, ERASE and
// EXPLODE leave of a small drawing, worked out by hand.
#include <cstdio>
#include <filesystem>

#include "CommandTesting.h"
#include "aced/command/CoreCommands.h"

namespace cmd = tabrik::acad::command;
using cmd::testing::CommandTest;

namespace {

class EditCommandTest : public CommandTest {
 protected:
  // Block "B": a line from its origin to (1,0), a variable attribute T1 (prompt
  // "Value", default "X") at (0,1), a preset one T2 ("P") and a constant one T3.
  static void defineBlock() {
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(database()->getBlockTable(table, AcDb::kForWrite), Acad::eOk);
    auto* block = new AcDbBlockTableRecord();
    block->setName(L"B");
    AcDbObjectId blockId;
    ASSERT_EQ(table->add(blockId, block), Acad::eOk);
    table->close();
    AcDbEntity* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    auto* variable = new AcDbAttributeDefinition(AcGePoint3d(0, 1, 0), L"X", L"T1", L"Value");
    auto* preset = new AcDbAttributeDefinition(AcGePoint3d(0, 2, 0), L"P", L"T2", L"Preset");
    preset->setPreset(true);
    auto* constant = new AcDbAttributeDefinition(AcGePoint3d(0, 3, 0), L"C", L"T3", L"Constant");
    constant->setConstant(true);
    for (AcDbEntity* entity :
         {line, static_cast<AcDbEntity*>(variable), static_cast<AcDbEntity*>(preset),
          static_cast<AcDbEntity*>(constant)}) {
      ASSERT_EQ(block->appendAcDbEntity(entity), Acad::eOk);
      entity->close();
    }
    block->close();
  }
};

struct EditCase {
  const char* name;
  int (*body)();
  std::vector<std::string> tokens;
  int status;
  std::vector<std::string> drawn;
  const char* shows;  // a part of the output, or nullptr
};

}  // namespace

TEST_F(EditCommandTest, InsertPromptsAndAttributes) {
  defineBlock();
  EXPECT_EQ(run(cmd::insertCommand, {"B", "5,5", "2", "", "90", "hello"}), RTNORM);
  EXPECT_EQ(printed,
            "\nEnter block name or [?]: "
            "\nSpecify insertion point or [Basepoint/Scale/X/Y/Z/Rotate]: "
            "\nEnter X scale factor, specify opposite corner, or [Corner/XYZ] <1>: "
            "\nEnter Y scale factor <use X scale factor>: "
            "\nSpecify rotation angle <0>: "
            "\nEnter attribute values\nValue <X>: ");
  // T1 at (0,1) in the block: scaled by 2 and turned a quarter, (-2,0) from (5,5).
  EXPECT_EQ(drawn(),
            (std::vector<std::string>{"INSERT B 5,5,0 s2,2,2 r90 T1=hello@3,5,0 T2=P@1,5,0"}));
  // The name is the next default; ATTREQ 0 takes the defaults without asking.
  setInt(L"ATTREQ", 0);
  EXPECT_EQ(run(cmd::insertCommand, {"", "s", "3", "0,0", ""}), RTNORM);
  EXPECT_EQ(printed,
            "\nEnter block name or [?] <B>: "
            "\nSpecify insertion point or [Basepoint/Scale/X/Y/Z/Rotate]: "
            "\nSpecify scale factor for XYZ axes <1>: "
            "\nSpecify insertion point or [Basepoint/Scale/X/Y/Z/Rotate]: "
            "\nSpecify rotation angle <0>: ");
  EXPECT_EQ(drawn().back(), "INSERT B 0,0,0 s3,3,3 r0 T1=X@0,3,0 T2=P@0,6,0");
  // ATTDIA 1 asks for a dialog, which takes the defaults here too.
  setInt(L"ATTREQ", 1);
  setInt(L"ATTDIA", 1);
  EXPECT_EQ(run(cmd::insertCommand, {"", "9,9", "", "", ""}), RTNORM);
  EXPECT_EQ(printed.find("Enter attribute values"), std::string::npos) << printed;
  EXPECT_EQ(drawn().back(), "INSERT B 9,9,0 s1,1,1 r0 T1=X@9,10,0 T2=P@9,11,0");
  setInt(L"ATTDIA", 0);
}

TEST_F(EditCommandTest, InsertScalesAndFailures) {
  defineBlock();
  setInt(L"ATTREQ", 0);
  const EditCase cases[] = {
      {"a corner gives X and Y",
       cmd::insertCommand,
       {"B", "1,1", "3,5", ""},
       RTNORM,
       {"INSERT B 1,1,0 s2,4,2 r0 T1=X@1,5,0 T2=P@1,9,0"},
       nullptr},
      {"XYZ apart",
       cmd::insertCommand,
       {"B", "0,0", "xyz", "2", "3", "4", ""},
       RTNORM,
       {"INSERT B 0,0,0 s2,3,4 r0 T1=X@0,3,0 T2=P@0,6,0"},
       "\nSpecify X scale factor or [Corner] <1>: "},
      {"escape at the rotation adds nothing",
       cmd::insertCommand,
       {"B", "0,0", "", "", "*cancel*"},
       RTCAN,
       {},
       nullptr},
      {"no such block or file",
       cmd::insertCommand,
       {"NOSUCHBLOCK"},
       RTERROR,
       {},
       "\n\"NOSUCHBLOCK\": Can't find file in search path.\n"},
      {"a name the host refuses",
       cmd::insertCommand,
       {"a<b=c"},
       RTERROR,
       {},
       "\nInvalid block name.\n"},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> before = drawn();
    EXPECT_EQ(run(c.body, c.tokens), c.status);
    std::vector<std::string> after = drawn();
    std::vector<std::string> added(after.begin() + static_cast<long>(before.size()), after.end());
    EXPECT_EQ(added, c.drawn);
    if (c.shows != nullptr) {
      EXPECT_NE(printed.find(c.shows), std::string::npos) << printed;
    }
  }
  setInt(L"ATTREQ", 1);
}

TEST_F(EditCommandTest, InsertDefinesABlockFromADrawingFile) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("tabrik-insert-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  // The host's own drawing file (this test binary has no DXF writer).
  const std::filesystem::path file = dir / "Part.dwg";
  {
    AcDbDatabase part;
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, part.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    auto* circle = new AcDbCircle(AcGePoint3d(1, 0, 0), AcGeVector3d::kZAxis, 0.5);
    space->appendAcDbEntity(circle);
    circle->close();
    space->close();
    ASSERT_EQ(part.saveAs(file.wstring().c_str()), Acad::eOk);
  }
  const std::string named = "W=" + file.string();
  EXPECT_EQ(run(cmd::insertCommand, {named, "10,0", "", "", ""}), RTNORM);
  ASSERT_EQ(drawn(), (std::vector<std::string>{"INSERT W 10,0,0 s1,1,1 r0"}));
  // The reference explodes into the file's circle, placed.
  EXPECT_EQ(run(cmd::explodeCommand, {"ALL", ""}), RTNORM);
  EXPECT_EQ(drawn(), (std::vector<std::string>{"CIRCLE 11,0,0 r0.5"}));

  // A block of the name exists: kept on No, its contents replaced on Yes.
  defineBlock();
  setInt(L"ATTREQ", 0);
  const std::string redefined = "B=" + file.string();
  EXPECT_EQ(run(cmd::insertCommand, {redefined, "", "0,0", "", "", ""}), RTNORM);
  EXPECT_NE(printed.find("\nBlock \"B\" already exists. Redefine it? [Yes/No] <N>: "),
            std::string::npos)
      << printed;
  EXPECT_EQ(run(cmd::insertCommand, {redefined, "y", "0,10", "", "", ""}), RTNORM);
  // Again: the passing definition of the first time is out of the way.
  EXPECT_EQ(run(cmd::insertCommand, {redefined, "y", "0,20", "", "", ""}), RTNORM);
  EXPECT_EQ(run(cmd::explodeCommand, {"ALL", ""}), RTNORM);
  // Both references show the file's circle now; the old line and attributes are gone.
  EXPECT_EQ(drawn(), (std::vector<std::string>{"CIRCLE 11,0,0 r0.5", "CIRCLE 1,0,0 r0.5",
                                               "CIRCLE 1,10,0 r0.5", "CIRCLE 1,20,0 r0.5"}));
  setInt(L"ATTREQ", 1);
  std::filesystem::remove_all(dir);
}

TEST_F(EditCommandTest, EditsOfASmallDrawing) {
  const char* select = "\nSelect objects: ";
  const EditCase cases[] = {
      {"erase one picked",
       cmd::eraseCommand,
       {"5,0", ""},
       RTNORM,
       {"CIRCLE 20,0,0 r1", "PLINE closed 0,10 4,10 4,12 0,12", "TEXT \"T\" 1,1,0 h1 r0"},
       select},
      {"erase nothing",
       cmd::eraseCommand,
       {""},
       RTNORM,
       {"LINE 0,0,0 10,0,0", "CIRCLE 20,0,0 r1", "PLINE closed 0,10 4,10 4,12 0,12",
        "TEXT \"T\" 1,1,0 h1 r0"},
       nullptr},
      {"move by two points",
       cmd::moveCommand,
       {"5,0", "21,0", "", "0,0", "3,4"},
       RTNORM,
       {"LINE 3,4,0 13,4,0", "CIRCLE 23,4,0 r1", "PLINE closed 0,10 4,10 4,12 0,12",
        "TEXT \"T\" 1,1,0 h1 r0"},
       "\nSpecify base point or [Displacement] <Displacement>: "
       "\nSpecify second point or <use first point as displacement>: "},
      {"move by a displacement",
       cmd::moveCommand,
       {"ALL", "", "", "1,2"},
       RTNORM,
       {"LINE 1,2,0 11,2,0", "CIRCLE 21,2,0 r1", "PLINE closed 1,12 5,12 5,14 1,14",
        "TEXT \"T\" 2,3,0 h1 r0"},
       "\nSpecify displacement <"},
      {"move with the base point as displacement",
       cmd::moveCommand,
       {"21,0", "", "2,0", ""},
       RTNORM,
       {"LINE 0,0,0 10,0,0", "CIRCLE 22,0,0 r1", "PLINE closed 0,10 4,10 4,12 0,12",
        "TEXT \"T\" 1,1,0 h1 r0"},
       nullptr},
      {"escape at the second point moves nothing",
       cmd::moveCommand,
       {"5,0", "", "0,0", "*cancel*"},
       RTCAN,
       {"LINE 0,0,0 10,0,0", "CIRCLE 20,0,0 r1", "PLINE closed 0,10 4,10 4,12 0,12",
        "TEXT \"T\" 1,1,0 h1 r0"},
       nullptr},
      {"copy several times, undo one",
       cmd::copyCommand,
       {"21,0", "", "0,0", "0,5", "0,10", "u", "0,-5", ""},
       RTNORM,
       {"LINE 0,0,0 10,0,0", "CIRCLE 20,0,0 r1", "PLINE closed 0,10 4,10 4,12 0,12",
        "TEXT \"T\" 1,1,0 h1 r0", "CIRCLE 20,5,0 r1", "CIRCLE 20,-5,0 r1"},
       "\nCurrent settings:  Copy mode = Multiple"
       "\nSpecify base point or [Displacement/mOde] <Displacement>: "
       "\nSpecify second point or <use first point as displacement>: "
       "\nSpecify second point or [Exit/Undo] <Exit>: "},
      {"rotate a quarter",
       cmd::rotateCommand,
       {"5,0", "", "0,0", "90"},
       RTNORM,
       {"LINE 0,0,0 0,10,0", "CIRCLE 20,0,0 r1", "PLINE closed 0,10 4,10 4,12 0,12",
        "TEXT \"T\" 1,1,0 h1 r0"},
       "\nCurrent positive angle in UCS:  ANGDIR=counterclockwise  ANGBASE=0"
       "\nSelect objects: "},
      {"rotate by reference",
       cmd::rotateCommand,
       {"5,0", "", "0,0", "r", "90", "45"},
       RTNORM,
       {"LINE 0,0,0 7.0711,-7.0711,0", "CIRCLE 20,0,0 r1", "PLINE closed 0,10 4,10 4,12 0,12",
        "TEXT \"T\" 1,1,0 h1 r0"},
       "\nSpecify the reference angle <0>: \nSpecify the new angle or [Points] <0>: "},
      {"rotate a copy of text",
       cmd::rotateCommand,
       {"1.2,1.2", "", "0,0", "c", "180"},
       RTNORM,
       {"LINE 0,0,0 10,0,0", "CIRCLE 20,0,0 r1", "PLINE closed 0,10 4,10 4,12 0,12",
        "TEXT \"T\" 1,1,0 h1 r0", "TEXT \"T\" -1,-1,0 h1 r180"},
       "\nRotating a copy of the selected objects."},
      {"scale",
       cmd::scaleCommand,
       {"0,11", "", "0,10", "0.5"},
       RTNORM,
       {"LINE 0,0,0 10,0,0", "CIRCLE 20,0,0 r1", "PLINE closed 0,10 2,10 2,11 0,11",
        "TEXT \"T\" 1,1,0 h1 r0"},
       "\nSpecify scale factor or [Copy/Reference] <"},
      {"scale by reference",
       cmd::scaleCommand,
       {"21,0", "", "20,0", "r", "2", "6"},
       RTNORM,
       {"LINE 0,0,0 10,0,0", "CIRCLE 20,0,0 r3", "PLINE closed 0,10 4,10 4,12 0,12",
        "TEXT \"T\" 1,1,0 h1 r0"},
       "\nSpecify reference length <1.0000>: \nSpecify new length or [Points] <1.0000>: "},
      {"mirror keeping the source",
       cmd::mirrorCommand,
       {"5,0", "", "0,5", "10,5", ""},
       RTNORM,
       {"LINE 0,0,0 10,0,0", "CIRCLE 20,0,0 r1", "PLINE closed 0,10 4,10 4,12 0,12",
        "TEXT \"T\" 1,1,0 h1 r0", "LINE 0,10,0 10,10,0"},
       "\nSpecify first point of mirror line: \nSpecify second point of mirror line: "
       "\nErase source objects? [Yes/No] <N>: "},
      {"mirror erasing the source",
       cmd::mirrorCommand,
       {"21,0", "", "0,0", "0,1", "y"},
       RTNORM,
       {"LINE 0,0,0 10,0,0", "PLINE closed 0,10 4,10 4,12 0,12", "TEXT \"T\" 1,1,0 h1 r0",
        "CIRCLE -20,0,0 r1"},
       nullptr},
      {"mirrored text keeps reading forwards",
       cmd::mirrorCommand,
       {"1.2,1.2", "", "0,0", "0,1", ""},
       RTNORM,
       {"LINE 0,0,0 10,0,0", "CIRCLE 20,0,0 r1", "PLINE closed 0,10 4,10 4,12 0,12",
        "TEXT \"T\" 1,1,0 h1 r0", "TEXT \"T\" -1,1,0 h1 r0"},
       nullptr},
      {"explode a polyline, refuse a line",
       cmd::explodeCommand,
       {"2,10", "5,0", ""},
       RTNORM,
       {"LINE 0,0,0 10,0,0", "CIRCLE 20,0,0 r1", "TEXT \"T\" 1,1,0 h1 r0", "LINE 0,10,0 4,10,0",
        "LINE 4,10,0 4,12,0", "LINE 4,12,0 0,12,0", "LINE 0,12,0 0,10,0"},
       "\n1 was not able to be exploded.\n"},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
    append(new AcDbCircle(AcGePoint3d(20, 0, 0), AcGeVector3d::kZAxis, 1.0));
    auto* outline = new AcDbPolyline(4);
    outline->addVertexAt(0, AcGePoint2d(0, 10));
    outline->addVertexAt(1, AcGePoint2d(4, 10));
    outline->addVertexAt(2, AcGePoint2d(4, 12));
    outline->addVertexAt(3, AcGePoint2d(0, 12));
    outline->setClosed(true);
    append(outline);
    append(new AcDbText(AcGePoint3d(1, 1, 0), L"T", AcDbObjectId::kNull, 1.0, 0.0));
    EXPECT_EQ(run(c.body, c.tokens), c.status);
    EXPECT_EQ(drawn(), c.drawn);
    if (c.shows != nullptr) {
      EXPECT_NE(printed.find(c.shows), std::string::npos) << printed;
    }
  }
}

TEST_F(EditCommandTest, ExplodeABlockReference) {
  defineBlock();
  setInt(L"ATTREQ", 0);
  EXPECT_EQ(run(cmd::insertCommand, {"B", "5,5", "2", "", "0"}), RTNORM);
  EXPECT_EQ(run(cmd::explodeCommand, {"L", ""}), RTNORM);
  // The line placed, the constant attribute's definition too, and the variable
  // definitions back in place of the attributes.
  std::vector<std::string> pieces = drawn();
  std::sort(pieces.begin(), pieces.end());
  EXPECT_EQ(pieces, (std::vector<std::string>{"ATTDEF T1 5,7,0", "ATTDEF T2 5,9,0",
                                              "ATTDEF T3 5,11,0", "LINE 5,5,0 7,5,0"}));
  setInt(L"ATTREQ", 1);
}

TEST_F(EditCommandTest, MirrorABlockReference) {
  defineBlock();
  setInt(L"ATTREQ", 0);
  EXPECT_EQ(run(cmd::insertCommand, {"B", "5,5", "2", "", "0"}), RTNORM);
  // About the Y axis: the reference turns into a negative X scale at (-5,5); its
  // attributes keep reading forwards at their mirrored anchors.
  EXPECT_EQ(run(cmd::mirrorCommand, {"L", "", "0,0", "0,1", "y"}), RTNORM);
  EXPECT_EQ(drawn(),
            (std::vector<std::string>{"INSERT B -5,5,0 s-2,2,2 r0 T1=X@-5,7,0 T2=P@-5,9,0"}));
  // Its pieces are the mirror images of the original's: the line (5,5)-(7,5).
  EXPECT_EQ(run(cmd::explodeCommand, {"L", ""}), RTNORM);
  std::vector<std::string> pieces = drawn();
  std::sort(pieces.begin(), pieces.end());
  EXPECT_EQ(pieces, (std::vector<std::string>{"ATTDEF T1 -5,7,0", "ATTDEF T2 -5,9,0",
                                              "ATTDEF T3 -5,11,0", "LINE -5,5,0 -7,5,0"}));
  setInt(L"ATTREQ", 1);
}
