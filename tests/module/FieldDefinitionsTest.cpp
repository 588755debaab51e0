// The flat token encoding of LISP argument lists and the field definitions read
// from it: which token sequences give which fields and indexes, and which are
// malformed (reading stops there, after the field definitions before it).
#include <afxdao.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ResbufChain.h"
#include "db/FieldDefinitions.h"
#include "db/SchemaTokens.h"

using namespace tabrik::arx;
using namespace tabrik::arx::db;
using namespace tabrik::arx::testing;

namespace {

COleVariant LB() { return COleVariant(L"*RTLB*", VT_BSTR); }
COleVariant LE() { return COleVariant(L"*RTLE*", VT_BSTR); }
COleVariant S(const wchar_t* text) { return COleVariant(text, VT_BSTR); }
COleVariant I(int value) { return COleVariant(value, VT_I4); }
COleVariant NIL() { return COleVariant(); }
COleVariant Tee() { return COleVariant(static_cast<short>(-1), VT_BOOL); }

// What one field definition should give, in the order a reader sees the items.
struct Expected {
  const wchar_t* name;
  short type;
  long size;
  bool autoIncrement;
  bool required;
  bool allowZeroLength;
  const wchar_t* defaultValue;  // nullptr: none
  IndexOrder index;
  bool unique;
  bool primary;
};

constexpr IndexOrder kNone = IndexOrder::kNone;
constexpr IndexOrder kAsc = IndexOrder::kAscending;
constexpr IndexOrder kDesc = IndexOrder::kDescending;

void expectDefinition(const FieldDefinition& actual, const Expected& e) {
  EXPECT_EQ(actual.name, e.name);
  EXPECT_EQ(actual.type, e.type);
  EXPECT_EQ(actual.size, e.size);
  EXPECT_EQ(actual.autoIncrement, e.autoIncrement);
  EXPECT_EQ(actual.required, e.required);
  EXPECT_EQ(actual.allowZeroLength, e.allowZeroLength);
  EXPECT_EQ(actual.hasDefault, e.defaultValue != nullptr);
  if (e.defaultValue != nullptr) {
    EXPECT_EQ(actual.defaultValue, e.defaultValue);
  }
  EXPECT_EQ(actual.index, e.index);
  EXPECT_EQ(actual.unique, e.unique);
  EXPECT_EQ(actual.primary, e.primary);
}

}  // namespace

TEST(FieldDefinitions, TypeKeywordsInAnyLetterCase) {
  struct Case {
    const wchar_t* keyword;
    short type;
  };
  const Case cases[] = {
      {L"BOOL", 1},     {L"BYTE", 2},     {L"INT", 3},   {L"LONG", 4},   {L"REAL", 7},
      {L"CURRENCY", 5}, {L"DATE", 8},     {L"TEXT", 10}, {L"MEMO", 12},  {L"text", 10},
      {L"Text", 10},    {L"cUrReNcY", 5}, {L"", 0},      {L"SINGLE", 0}, {L"INTEGER", 0},
      {L"TEXT ", 0},    {L"DOUBLE", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.keyword, c.keyword + std::wcslen(c.keyword)));
    EXPECT_EQ(fieldTypeOfKeyword(c.keyword), c.type);
  }
}

TEST(FieldDefinitions, ReadsSpecificationsUntilTheEndOrAMalformedOne) {
  struct Case {
    const char* name;
    SchemaTokens tokens;
    std::vector<Expected> definitions;
    bool malformed;
  };
  const Case cases[] = {
      {"text of 50 with a unique ascending index",
       {LB(), S(L"Code"), S(L"TEXT"), I(50), NIL(), S(L""), S(L"X"), Tee(), NIL(), LE()},
       {{L"Code", 10, 50, false, false, true, L"", kAsc, true, false}},
       false},
      {"I makes an auto-increment Long whatever the keyword",
       {LB(), S(L"ID"), S(L"text"), I(10), Tee(), NIL(), S(L"I"), Tee(), Tee(), LE()},
       {{L"ID", 4, 0, true, true, false, nullptr, kAsc, true, true}},
       false},
      {"0 as the required flag means required; no index item",
       {LB(), S(L"N"), S(L"long"), I(0), NIL(), LE()},
       {{L"N", 4, 0, false, true, false, nullptr, kNone, false, false}},
       false},
      {"D indexes descending, flags omitted",
       {LB(), S(L"When"), S(L"DATE"), NIL(), S(L"Now()"), S(L"D"), LE()},
       {{L"When", 8, 0, false, false, false, L"Now()", kDesc, false, false}},
       false},
      {"one enclosing list around all field definitions",
       {LB(), LB(), S(L"A"), S(L"BOOL"), NIL(), NIL(), LE(), LB(), S(L"B"), S(L"MEMO"), NIL(),
        S(L"x"), LE(), LE()},
       {{L"A", 1, 0, false, false, false, nullptr, kNone, false, false},
        {L"B", 12, 0, false, false, true, L"x", kNone, false, false}},
       false},
      {"only the unique flag before the closing",
       {LB(), S(L"A"), S(L"INT"), NIL(), NIL(), S(L"X"), Tee(), LE(), LB(), S(L"B"), S(L"BYTE"),
        NIL(), NIL(), LE()},
       {{L"A", 3, 0, false, false, false, nullptr, kAsc, true, false},
        {L"B", 2, 0, false, false, false, nullptr, kNone, false, false}},
       false},
      {"a default that is no string is no default",
       {LB(), S(L"A"), S(L"REAL"), NIL(), I(5), S(L""), LE()},
       {{L"A", 7, 0, false, false, false, nullptr, kNone, false, false}},
       false},
      {"an empty index item indexes nothing, flags or not",
       {LB(), S(L"A"), S(L"CURRENCY"), NIL(), NIL(), S(L""), Tee(), Tee(), LE()},
       {{L"A", 5, 0, false, false, false, nullptr, kNone, false, false}},
       false},
      {"no tokens", {}, {}, false},
      {"unknown keyword after a good field definition",
       {LB(), S(L"A"), S(L"LONG"), NIL(), NIL(), LE(), LB(), S(L"B"), S(L"FLOAT"), NIL(), NIL(),
        LE()},
       {{L"A", 4, 0, false, false, false, nullptr, kNone, false, false}},
       true},
      {"TEXT without its size", {LB(), S(L"A"), S(L"TEXT"), NIL(), NIL(), NIL(), LE()}, {}, true},
      {"TEXT with a real size",
       {LB(), S(L"A"), S(L"TEXT"), COleVariant(50.0), NIL(), NIL(), LE()},
       {},
       true},
      {"default missing", {LB(), S(L"A"), S(L"LONG"), NIL(), LE()}, {}, true},
      {"tokens end inside a field definition", {LB(), S(L"A"), S(L"LONG")}, {}, true},
      {"tokens end where the index item is due",
       {LB(), S(L"A"), S(L"LONG"), NIL(), NIL()},
       {},
       true},
      {"name that is no string", {LB(), I(5), S(L"LONG"), NIL(), NIL(), LE()}, {}, true},
      {"name that is a closing", {LB(), LE(), S(L"LONG"), NIL(), NIL(), LE()}, {}, true},
      {"field definition not in a list", {S(L"A"), S(L"LONG"), NIL(), NIL()}, {}, true},
      {"index item that is no string",
       {LB(), S(L"A"), S(L"LONG"), NIL(), NIL(), Tee(), LE()},
       {},
       true},
      {"an item after the primary flag",
       {LB(), S(L"A"), S(L"LONG"), NIL(), NIL(), S(L"X"), Tee(), Tee(), S(L"extra"), LE()},
       {{L"A", 4, 0, false, false, false, nullptr, kAsc, true, true}},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FieldDefinitionReader reader(c.tokens);
    std::vector<FieldDefinition> read;
    FieldDefinition definition;
    while (reader.next(definition)) read.push_back(definition);
    EXPECT_EQ(reader.malformed(), c.malformed);
    ASSERT_EQ(read.size(), c.definitions.size());
    for (std::size_t i = 0; i < read.size(); ++i) expectDefinition(read[i], c.definitions[i]);
    // A reader that stopped stays stopped.
    EXPECT_FALSE(reader.next(definition));
  }
}

TEST(SchemaTokens, FlattensListsIntoMarkersAndValues) {
  // ("A" (1 . 2.5) nil T)
  Chain chain{Marker(RTLB), Str(L"A"),     Marker(RTLB), Short(1),    Marker(RTDOTE), Real(2.5),
              Marker(RTLE), Marker(RTNIL), Marker(RTT),  Long(70000), Marker(RTLE)};
  SchemaTokens tokens;
  ASSERT_TRUE(flattenArguments(chain.head(), tokens));
  ASSERT_EQ(tokens.size(), 11u);
  const wchar_t* markers[] = {L"*RTLB*", nullptr, L"*RTLB*", nullptr, L"*RTDOTE*", nullptr,
                              L"*RTLE*", nullptr, nullptr,   nullptr, L"*RTLE*"};
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    SCOPED_TRACE(i);
    if (markers[i] != nullptr) {
      ASSERT_EQ(tokens[i].vt, VT_BSTR);
      EXPECT_STREQ(tokens[i].bstrVal, markers[i]);
    }
    EXPECT_EQ(isAnyMarkerToken(tokens[i]), markers[i] != nullptr);
  }
  ASSERT_EQ(tokens[1].vt, VT_BSTR);
  EXPECT_STREQ(tokens[1].bstrVal, L"A");
  ASSERT_EQ(tokens[3].vt, VT_I4);
  EXPECT_EQ(tokens[3].lVal, 1);
  ASSERT_EQ(tokens[5].vt, VT_R8);
  EXPECT_EQ(tokens[5].dblVal, 2.5);
  EXPECT_EQ(tokens[7].vt, VT_EMPTY);
  ASSERT_EQ(tokens[8].vt, VT_BOOL);
  EXPECT_EQ(tokens[8].boolVal, VARIANT_TRUE);
  ASSERT_EQ(tokens[9].vt, VT_I4);
  EXPECT_EQ(tokens[9].lVal, 70000);
}

TEST(SchemaTokens, ElementsWithoutADatabaseValueSpoilTheWholeList) {
  struct Case {
    const char* name;
    Element element;
  };
  const Case cases[] = {
      {"2D point", Point(RTPOINT, 1, 2, 0)},
      {"3D point", Point(RT3DPOINT, 1, 2, 3)},
      {"entity name", Name(1, 2)},
      {"entity data", Point(10, 1, 2, 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Chain chain{Marker(RTLB), Str(L"A"), c.element, Marker(RTLE)};
    SchemaTokens tokens{S(L"left over")};
    EXPECT_FALSE(flattenArguments(chain.head(), tokens));
    EXPECT_TRUE(tokens.empty());
  }
}

TEST(SchemaTokens, NothingFlattensToNoTokens) {
  SchemaTokens tokens{S(L"left over")};
  EXPECT_TRUE(flattenArguments(nullptr, tokens));
  EXPECT_TRUE(tokens.empty());
}
