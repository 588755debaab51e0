// Drawing variables through a HEADER section: every variable the table gives a
// group code is written under its $ name and reads back as it was set.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "DxfFile.h"
#include "dbmain.h"
#include "tabrik/SystemVariables.h"

using namespace tabrik::acad;

namespace {

// A value of the variable's type that differs from its default and stays in range.
VariableValue changed(const SystemVariable& entry) {
  VariableValue value = drawingVariable(nullptr, entry);
  switch (entry.type) {
    case VariableType::Int:
      value.integer =
          value.integer != static_cast<long>(entry.low) && !std::isnan(entry.low)
              ? static_cast<long>(entry.low)
              : (std::isnan(entry.high) ? value.integer + 1 : static_cast<long>(entry.high));
      break;
    case VariableType::Real:
      value.real = std::isnan(entry.high) ? value.real + 1.25 : (entry.low + entry.high) / 3;
      break;
    case VariableType::Str:
      value.text = L"Changed " + std::wstring(entry.name, entry.name + std::strlen(entry.name));
      break;
    case VariableType::Pt2:
    case VariableType::Pt3:
      value.point[0] = 1.5;
      value.point[1] = -2.25;
      if (entry.type == VariableType::Pt3) value.point[2] = 3.125;
      break;
  }
  return value;
}

bool carried(const SystemVariable& entry) {
  return entry.home == VariableHome::Drawing && entry.dxfCode != 0 && !isHeaderMember(entry.name) &&
         std::string_view(entry.name) != "DIMSTYLE";
}

}  // namespace

TEST(HeaderVariables, EveryCarriedVariableRoundTrips) {
  AcDbDatabase db;
  int count = 0;
  for (const SystemVariable& entry : systemVariables()) {
    if (!carried(entry)) continue;
    setDrawingVariable(&db, entry, changed(entry));
    ++count;
  }
  ASSERT_GT(count, 150);
  std::string text;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&db, text), Acad::eOk);
  AcDbDatabase read(/*buildDefaultDrawing=*/false);
  std::wstring message;
  ASSERT_EQ(tabrik::dxf::readDrawing(&read, text, &message), Acad::eOk);
  for (const SystemVariable& entry : systemVariables()) {
    if (!carried(entry)) continue;
    SCOPED_TRACE(entry.name);
    EXPECT_NE(text.find(std::string("\n$") + entry.name + "\n"), std::string::npos);
    VariableValue want = changed(entry), got = drawingVariable(&read, entry);
    EXPECT_EQ(got.type, want.type);
    EXPECT_EQ(got.integer, want.integer);
    EXPECT_DOUBLE_EQ(got.real, want.real);
    EXPECT_EQ(got.text, want.text);
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(got.point[i], want.point[i]);
  }
}

TEST(HeaderVariables, ANewDrawingWritesItsDefaultsAndAForeignValueOfTheWrongKindIsLeftOut) {
  AcDbDatabase db;
  std::string text;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&db, text), Acad::eOk);
  // Group code and value as a DXF reader sees them.
  EXPECT_NE(text.find("$ANGDIR\n 70\n0\n"), std::string::npos);
  EXPECT_NE(text.find("$LIMMAX\n 10\n12.0\n 20\n9.0\n"), std::string::npos);
  // ANGBASE as text, and LUPREC changed.
  const std::string angbase = "$ANGBASE\n 50\n0.0\n";
  size_t at = text.find(angbase);
  ASSERT_NE(at, std::string::npos);
  std::string broken = text;
  broken.replace(at, angbase.size(), "$ANGBASE\n  1\nnorth\n");
  const std::string luprec = "$LUPREC\n 70\n4\n";
  at = broken.find(luprec);
  ASSERT_NE(at, std::string::npos);
  broken.replace(at, luprec.size(), "$LUPREC\n 70\n3\n");
  AcDbDatabase read(/*buildDefaultDrawing=*/false);
  std::wstring message;
  ASSERT_EQ(tabrik::dxf::readDrawing(&read, broken, &message), Acad::eOk);
  EXPECT_EQ(drawingVariable(&read, *findSystemVariable("ANGBASE")).real, 0.0);
  EXPECT_EQ(drawingVariable(&read, *findSystemVariable("LUPREC")).integer, 3);
}
