// What R2000 readers follow from layers and block records: each LAYER's 390 names an
// ACDBPLACEHOLDER entry of ACAD_PLOTSTYLENAME, and each layout block's BLOCK_RECORD 340
// names the LAYOUT whose AcDbLayout part points back at it (other blocks write 0).
// Checked on the written text with a tag scanner of the test's own.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <vector>

#include "DxfFile.h"
#include "SampleDrawing.h"

namespace {

struct Tag {
  int code;
  std::string value;
};
struct Object {
  std::string type;
  std::vector<Tag> tags;
  std::vector<std::string> all(int code) const {
    std::vector<std::string> values;
    for (const Tag& t : tags)
      if (t.code == code) values.push_back(t.value);
    return values;
  }
  std::string first(int code) const {
    auto values = all(code);
    return values.empty() ? "" : values.front();
  }
};

std::string trim(std::string s) {
  while (!s.empty() && (s.front() == ' ')) s.erase(s.begin());
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.pop_back();
  return s;
}

// Every object with a handle, by handle; and the objects in file order.
struct Drawing {
  std::map<std::string, Object> byHandle;
  std::vector<Object> objects;
};

Drawing scan(const std::string& text) {
  std::istringstream in(text);
  std::string code, value;
  Drawing d;
  while (std::getline(in, code) && std::getline(in, value)) {
    int c = std::stoi(code);
    value = trim(value);
    if (c == 0) {
      d.objects.push_back({value, {}});
      continue;
    }
    if (!d.objects.empty()) d.objects.back().tags.push_back({c, value});
  }
  for (const Object& o : d.objects) {
    std::string handle = o.type == "DIMSTYLE" ? o.first(105) : o.first(5);
    if (!handle.empty()) d.byHandle[handle] = o;
  }
  return d;
}

// The block record an AcDbLayout part points to.
std::string layoutBlock(const Object& layout) {
  bool inLayout = false;
  for (const Tag& t : layout.tags) {
    if (t.code == 100) inLayout = t.value == "AcDbLayout";
    if (inLayout && t.code == 330) return t.value;
  }
  return "";
}

std::string sampleText() {
  std::ifstream in(std::string(TABRIK_DXF_TEST_DIR) +
                   "/../../platform/dxf/fuzz/corpus/sample-r2000.dxf");
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(DxfLayout, LayersAndLayoutBlocksPointWhereReadersLook) {
  registerSampleClasses();
  struct Case {
    const char* name;
    bool foreign;
  };
  for (const Case& c : {Case{"host drawing", false}, Case{"foreign sample", true}}) {
    SCOPED_TRACE(c.name);
    AcDbDatabase db(/*buildDefaultDrawing=*/!c.foreign);
    if (c.foreign)
      ASSERT_EQ(tabrik::dxf::readDrawing(&db, sampleText()), Acad::eOk);
    else
      buildSampleDrawing(db);
    std::string text;
    ASSERT_EQ(tabrik::dxf::writeDrawing(&db, text), Acad::eOk);
    Drawing d = scan(text);

    int layers = 0;
    for (const Object& o : d.objects) {
      if (o.type != "LAYER") continue;
      ++layers;
      SCOPED_TRACE(o.first(2));
      auto placeholder = d.byHandle.find(o.first(390));
      ASSERT_NE(placeholder, d.byHandle.end());
      EXPECT_EQ(placeholder->second.type, "ACDBPLACEHOLDER");
      auto names = d.byHandle.find(placeholder->second.first(330));
      ASSERT_NE(names, d.byHandle.end());
      EXPECT_EQ(names->second.type, "ACDBDICTIONARYWDFLT");
      auto keys = names->second.all(3), values = names->second.all(350);
      ASSERT_EQ(keys.size(), values.size());
      bool named = false;
      for (size_t i = 0; i < keys.size(); ++i)
        named = named || (keys[i] == "Normal" && values[i] == o.first(390));
      EXPECT_TRUE(named);
    }
    EXPECT_GE(layers, 1);

    std::map<std::string, std::string> layoutOf;  // block record name -> LAYOUT handle
    for (const Object& o : d.objects)
      if (o.type == "BLOCK_RECORD") layoutOf[o.first(2)] = o.first(340);
    for (const char* space : {"*Model_Space", "*Paper_Space"}) {
      SCOPED_TRACE(space);
      auto layout = d.byHandle.find(layoutOf[space]);
      ASSERT_NE(layout, d.byHandle.end());
      EXPECT_EQ(layout->second.type, "LAYOUT");
      EXPECT_EQ(d.byHandle[layoutBlock(layout->second)].first(2), space);
    }
    EXPECT_EQ(layoutOf["TAG"], "0");
  }
}

}  // namespace
