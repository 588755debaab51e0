// The system variables through acedGetVar/acedSetVar, over the whole table: each
// answers with its documented type and initial value, read-only ones refuse setvar,
// ranges and types are checked, and a refused setting leaves the value as it was.
// The expected values are read from the table's text by this test's own reader, not
// taken from what the host answers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "HostTesting.h"
#include "acdb/acut/WideText.h"
#include "aced/doc/DocManager.h"
#include "acedads.h"
#include "acutads.h"

using tabrik::acad::docManager;

namespace {

struct Row {
  std::string name, type, home, access;
  const char* text;  // null: computed
  double low, high;
};

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

const std::vector<Row>& rows() {
  static const std::vector<Row> table = {
#define SYSVAR(name, type, home, access, text, low, high, dxf) \
  {name, #type, #home, #access, text, low, high},
#include "acdb/objects/SystemVariables.def"
#undef SYSVAR
  };
  return table;
}

// The resbuf a documented initial value stands for, as "RTSHORT 12", "RTSTR abc",
// "RTPOINT 1,2" or "RTREAL 0.5" (reals compared separately).
struct Expected {
  int restype = 0;
  long integer = 0;
  double real = 0;
  std::string text;
  std::vector<double> point;
};

Expected expectedOf(const Row& row) {
  Expected expected;
  std::string text = row.text;
  if (row.type == "Int") {
    expected.integer = std::stol(text);
    expected.restype = expected.integer >= -32768 && expected.integer <= 32767 ? RTSHORT : RTLONG;
  } else if (row.type == "Real") {
    expected.restype = RTREAL;
    expected.real = std::stod(text);
  } else if (row.type == "Str") {
    expected.restype = RTSTR;
    expected.text = text.substr(1, text.size() - 2);
  } else {
    expected.restype = row.type == "Pt2" ? RTPOINT : RT3DPOINT;
    size_t at = 1;
    while (at < text.size() - 1) {
      size_t used = 0;
      expected.point.push_back(std::stod(text.substr(at), &used));
      at += used;
      while (at < text.size() && text[at] == ' ') ++at;
    }
  }
  return expected;
}

int restypeOf(const std::string& type) {
  if (type == "Real") return RTREAL;
  if (type == "Str") return RTSTR;
  if (type == "Pt2") return RTPOINT;
  if (type == "Pt3") return RT3DPOINT;
  return RTSHORT;
}

std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// The variable's value as text, for "unchanged" checks.
std::string current(const std::string& name) {
  resbuf value{};
  if (acedGetVar(wide(name).c_str(), &value) != RTNORM) return "<none>";
  std::string text = std::to_string(value.restype) + ":";
  switch (value.restype) {
    case RTSHORT:
      text += std::to_string(value.resval.rint);
      break;
    case RTLONG:
      text += std::to_string(value.resval.rlong);
      break;
    case RTREAL:
      text += std::to_string(value.resval.rreal);
      break;
    case RTSTR:
      text += tabrik::acad::toUtf8(value.resval.rstring);
      std::free(value.resval.rstring);
      break;
    default:
      for (double c : value.resval.rpoint) text += std::to_string(c) + ",";
  }
  return text;
}

resbuf integer(long value) {
  resbuf rb{};
  if (value >= -32768 && value <= 32767) {
    rb.restype = RTSHORT;
    rb.resval.rint = static_cast<short>(value);
  } else {
    rb.restype = RTLONG;
    rb.resval.rlong = static_cast<int>(value);
  }
  return rb;
}

class SystemVariables : public ::testing::Test {
 protected:
  void SetUp() override {
    tabrik::acad::testing::resetHost();
    docManager().open(L"Drawing1.dwg");
  }
  void TearDown() override { tabrik::acad::testing::resetHost(); }
};

}  // namespace

TEST_F(SystemVariables, EveryVariableAnswersItsDocumentedTypeAndDefault) {
  ASSERT_GT(rows().size(), 500u);
  for (const Row& row : rows()) {
    SCOPED_TRACE(row.name);
    resbuf value{};
    ASSERT_EQ(acedGetVar(wide(row.name).c_str(), &value), RTNORM);
    if (row.text == nullptr) {
      int want = restypeOf(row.type);
      if (want == RTSHORT) {
        EXPECT_TRUE(value.restype == RTSHORT || value.restype == RTLONG);
      } else {
        EXPECT_EQ(value.restype, want);
      }
    } else {
      Expected expected = expectedOf(row);
      EXPECT_EQ(value.restype, expected.restype);
      if (value.restype == RTSHORT) {
        EXPECT_EQ(value.resval.rint, expected.integer);
      } else if (value.restype == RTLONG) {
        EXPECT_EQ(value.resval.rlong, expected.integer);
      } else if (value.restype == RTREAL) {
        EXPECT_DOUBLE_EQ(value.resval.rreal, expected.real);
      } else if (value.restype == RTSTR) {
        EXPECT_EQ(tabrik::acad::toUtf8(value.resval.rstring), expected.text);
      } else {
        for (size_t i = 0; i < expected.point.size(); ++i)
          EXPECT_DOUBLE_EQ(value.resval.rpoint[i], expected.point[i]);
      }
    }
    if (value.restype == RTSTR) std::free(value.resval.rstring);
  }
}

TEST_F(SystemVariables, NamesIgnoreLetterCaseAndUnknownNamesAreRefused) {
  resbuf value{};
  EXPECT_EQ(acedGetVar(L"osmode", &value), RTNORM);
  EXPECT_EQ(value.restype, RTSHORT);
  EXPECT_EQ(acedGetVar(L"NOSUCHVARIABLE", &value), RTERROR);
  resbuf one = integer(1);
  EXPECT_NE(acedSetVar(L"NOSUCHVARIABLE", &one), RTNORM);
}

TEST_F(SystemVariables, ReadOnlyVariablesRefuseEveryValueAndKeepTheirs) {
  int refused = 0;
  for (const Row& row : rows()) {
    if (row.access != "Ro" || row.name == "MILLISECS" || row.name == "CDATE" ||
        row.name == "DATE" || row.name.starts_with("TD"))
      continue;  // clocks move between the two reads
    SCOPED_TRACE(row.name);
    std::string before = current(row.name);
    resbuf given{};
    std::wstring text = L"x";
    if (row.type == "Int") given = integer(1);
    if (row.type == "Real") given.restype = RTREAL, given.resval.rreal = 1.5;
    if (row.type == "Str") given.restype = RTSTR, given.resval.rstring = text.data();
    if (row.type == "Pt2" || row.type == "Pt3")
      given.restype = row.type == "Pt2" ? RTPOINT : RT3DPOINT, given.resval.rpoint[0] = 7;
    EXPECT_NE(acedSetVar(wide(row.name).c_str(), &given), RTNORM);
    EXPECT_EQ(current(row.name), before);
    ++refused;
  }
  EXPECT_GT(refused, 50);
}

TEST_F(SystemVariables, IntegerRangesHoldAtBothEnds) {
  int checked = 0;
  for (const Row& row : rows()) {
    if (row.access != "Rw" || row.type != "Int" || std::isnan(row.low) || std::isnan(row.high))
      continue;
    SCOPED_TRACE(row.name);
    std::string before = current(row.name);
    resbuf below = integer(static_cast<long>(row.low) - 1);
    resbuf above = integer(static_cast<long>(row.high) + 1);
    EXPECT_EQ(acedSetVar(wide(row.name).c_str(), &below), RTREJ);
    EXPECT_EQ(acedSetVar(wide(row.name).c_str(), &above), RTREJ);
    EXPECT_EQ(current(row.name), before);
    resbuf low = integer(static_cast<long>(row.low));
    resbuf high = integer(static_cast<long>(row.high));
    EXPECT_EQ(acedSetVar(wide(row.name).c_str(), &high), RTNORM);
    EXPECT_EQ(acedSetVar(wide(row.name).c_str(), &low), RTNORM);
    resbuf now{};
    ASSERT_EQ(acedGetVar(wide(row.name).c_str(), &now), RTNORM);
    EXPECT_EQ(now.restype == RTSHORT ? now.resval.rint : now.resval.rlong,
              static_cast<long>(row.low));
    ++checked;
  }
  EXPECT_GT(checked, 300);
}

TEST_F(SystemVariables, WrongTypesAreRejectedAndChangeNothing) {
  struct Case {
    const wchar_t* name;
    resbuf value;
  };
  std::wstring text = L"12";
  resbuf str{};
  str.restype = RTSTR;
  str.resval.rstring = text.data();
  resbuf real{};
  real.restype = RTREAL;
  real.resval.rreal = 1.0;
  resbuf point{};
  point.restype = RTPOINT;
  const Case cases[] = {
      {L"OSMODE", str},        {L"OSMODE", real},  {L"ANGBASE", str},
      {L"CLAYER", integer(0)}, {L"LIMMAX", real},  {L"INSBASE", str},
      {L"DIMSCALE", point},    {L"CMDECHO", real}, {L"USERS1", integer(3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(tabrik::acad::toUtf8(c.name));
    std::string before = current(tabrik::acad::toUtf8(c.name));
    EXPECT_EQ(acedSetVar(c.name, &c.value), RTREJ);
    EXPECT_EQ(current(tabrik::acad::toUtf8(c.name)), before);
  }
}

TEST_F(SystemVariables, NamingVariablesTakeOnlyNamesTheDrawingHas) {
  struct Case {
    const wchar_t* name;
    const wchar_t* value;
    int status;
    const char* after;  // the value getvar then answers
  };
  const Case cases[] = {
      {L"CLAYER", L"0", RTNORM, "0"},
      {L"CLAYER", L"NoSuchLayer", RTREJ, "0"},
      {L"CELTYPE", L"continuous", RTNORM, "Continuous"},
      {L"CELTYPE", L"Dashed", RTREJ, "Continuous"},
      {L"TEXTSTYLE", L"standard", RTNORM, "Standard"},
      {L"TEXTSTYLE", L"Fancy", RTREJ, "Standard"},
      {L"DIMSTYLE", L"Nope", RTREJ, "Standard"},
      {L"CTAB", L"layout1", RTNORM, "Layout1"},
      {L"CTAB", L"Sheet9", RTREJ, "Layout1"},
      {L"CECOLOR", L"bylayer", RTNORM, "BYLAYER"},
      {L"CECOLOR", L"256", RTREJ, "BYLAYER"},
      {L"CECOLOR", L"3", RTNORM, "3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(tabrik::acad::toUtf8(c.name) + " " + tabrik::acad::toUtf8(c.value));
    std::wstring text = c.value;
    resbuf given{};
    given.restype = RTSTR;
    given.resval.rstring = text.data();
    EXPECT_EQ(acedSetVar(c.name, &given), c.status);
    EXPECT_EQ(current(tabrik::acad::toUtf8(c.name)), std::to_string(RTSTR) + ":" + c.after);
  }
  // A layout tab and the tile mode follow each other.
  EXPECT_EQ(current("TILEMODE"), std::to_string(RTSHORT) + ":0");
  resbuf model = integer(1);
  ASSERT_EQ(acedSetVar(L"TILEMODE", &model), RTNORM);
  EXPECT_EQ(current("CTAB"), std::to_string(RTSTR) + ":Model");
}

TEST_F(SystemVariables, DrawingVariablesBelongToTheirDrawing) {
  resbuf clockwise = integer(1);
  ASSERT_EQ(acedSetVar(L"ANGDIR", &clockwise), RTNORM);
  resbuf none = integer(0);
  ASSERT_EQ(acedSetVar(L"OSMODE", &none), RTNORM);
  docManager().open(L"Drawing2.dwg");
  EXPECT_EQ(current("ANGDIR"), std::to_string(RTSHORT) + ":0");  // the new drawing's own
  EXPECT_EQ(current("OSMODE"), std::to_string(RTSHORT) + ":0");  // the profile's, shared
}
