// The IFC compressed GUID against public vectors and the boundaries, and the key text
// form of keys and signatures.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/CompressedGuid.h"
#include "host/KeyText.h"

using tabrik::arx::compressGuid;
using tabrik::arx::keyText;
using tabrik::arx::parseKeyText;

namespace {

// The GUID of its canonical text "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx".
GUID parseGuid(const char* text) {
  GUID guid{};
  unsigned int d1 = 0, d2 = 0, d3 = 0;
  unsigned int b[8] = {};
  std::sscanf(text, "%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x", &d1, &d2, &d3, &b[0], &b[1], &b[2],
              &b[3], &b[4], &b[5], &b[6], &b[7]);
  guid.Data1 = d1;
  guid.Data2 = static_cast<WORD>(d2);
  guid.Data3 = static_cast<WORD>(d3);
  for (int i = 0; i < 8; ++i) guid.Data4[i] = static_cast<BYTE>(b[i]);
  return guid;
}

}  // namespace

TEST(CompressedGuid, MatchesThePublicVectorsAndTheBoundaries) {
  struct Case {
    const char* guid;
    const wchar_t* compressed;
  };
  const Case cases[] = {
      {"3085A8E4-61FD-4776-9FF1-1B24A646CA4F", L"0mXQZaOVr7Tf$n6oIcHifF"},
      {"12197C0B-DFA7-4C19-B3E6-D1A9A59663AB", L"0I6NmBtwTC6RFcqQcbbcEh"},
      {"163EFED7-1B9A-4E8C-B69A-6497F95C232A", L"0MFlxN6vfEZBQQP9VvN2Cg"},
      {"182CA57E-0C83-48CC-A47A-8514F066DEB2", L"0OBAL_38D8pAHwXHJmPjwo"},
      {"9BB6C3B7-A412-41A9-9851-4BCCB0ED0526", L"2RjiEtf191gPXHIyomxGKc"},
      {"E862FFB0-6793-4340-AD5E-62D18A70F9E3", L"3eOl_mPvD3GArUOj6ASFdZ"},
      {"C88129C7-3F45-46E8-AFFF-EAC60FEDE0BE", L"38WId7FqL6wA$$wiOFxU2_"},
      {"66BDA932-AC14-40B8-BA02-630349561ABF", L"1clQaoh1H0kBe2OmD9LXg$"},
      {"00C279B5-E1E6-476E-B087-A9777B77253E", L"00mdcruUP7Rh27gNTxToK_"},
      {"2FFE4C67-12C2-488E-82DB-996638F29770", L"0l$and4i98ZeBRcMOuyfTm"},
      {"FD811263-2B8C-4DA1-991D-A58FD9FA6791", L"3zWH9ZAunDePaTfO$P_cUH"},
      {"B29D2E4D-9209-4EF1-AA55-9DF70BF727FE", L"2odIvDaWbEyQfLdVSBzoV_"},
      {"01CF62C8-E9BC-BF88-0000-000000000005", L"01psB8wRo$Y00000000005"},
      {"00000000-0000-0000-0000-000000000000", L"0000000000000000000000"},
      {"FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF", L"3$$$$$$$$$$$$$$$$$$$$$"},
      {"00000000-0000-0000-0000-000000000001", L"0000000000000000000001"},
      {"01234567-89AB-CDEF-0123-456789ABCDEF", L"018qLdYQlDxm4ZHMU9gytl"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.guid);
    EXPECT_EQ(compressGuid(parseGuid(c.guid)), c.compressed);
  }
}

TEST(KeyText, WritesTheCountThenEachByte) {
  EXPECT_EQ(keyText({1, 2, 255}), L"3,1,2,255");
  EXPECT_EQ(keyText({}), L"0");
  EXPECT_EQ(keyText({0}), L"1,0");
}

TEST(KeyText, ReadsWhatTheCountSaysAndRefusesWhatIsNotAKey) {
  struct Case {
    const wchar_t* text;
    bool valid;
    std::vector<unsigned char> bytes;
  };
  const std::vector<Case> cases = {
      {L"3,1,2,255", true, {1, 2, 255}},
      {L"2,1,2,99", true, {1, 2}},  // bytes beyond the count are not read
      {L"0", true, {}},
      {L" 2, 7 ,8", true, {7, 8}},
      {L"3,1,2", false, {}},    // fewer bytes than the count
      {L"2,1,256", false, {}},  // not a byte
      {L"2,1,-1", false, {}},
      {L"2,1,x", false, {}},
      {L"2,1,", false, {}},
      {L"", false, {}},
      {L"x,1", false, {}},
      {L"99999999999999999999,1", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(c.text)));
    auto parsed = parseKeyText(c.text);
    ASSERT_EQ(parsed.has_value(), c.valid);
    if (c.valid) {
      EXPECT_EQ(*parsed, c.bytes);
    }
  }
}
