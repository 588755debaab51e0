// The toolkit's pure rules: which entry names and link targets stay inside an
// extraction folder, how header text is encoded, how the error report escapes text,
// and the support configuration's scrambling and server parsing.
#include <gtest/gtest.h>

#include <string>

#include "support/SupportConfiguration.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/SmtpMail.h"
#include "toolkit/ZipArchive.h"

namespace tabrik::toolkit {
namespace {

TEST(ToolkitRules, EntryNames) {
  struct Case {
    const char* name;
    bool safe;
  } cases[] = {
      {"readme.txt", true},
      {"a/b/c.txt", true},
      {"a\\b\\c.txt", true},
      {"./a.txt", true},
      {"folder/", true},
      {"a..b/c..txt", true},  // dots inside a name are no parent segment
      {"", false},
      {"./", false},
      {"../a.txt", false},
      {"a/../../b.txt", false},
      {"a/..", false},
      {"..\\a.txt", false},
      {"a\\..\\..\\b", false},
      {"/etc/passwd", false},
      {"\\Windows\\x", false},
      {"C:\\x.txt", false},
      {"C:x.txt", false},
      {"a/b:stream", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(isSafeEntryName(c.name), c.safe);
  }
}

TEST(ToolkitRules, LinkTargets) {
  struct Case {
    const char* entry;
    const char* target;
    bool safe;
  } cases[] = {
      {"link", "file.txt", true},
      {"docs/link", "../file.txt", true},
      {"docs/link", "..", true},  // the folder itself
      {"a/b/link", "../../c/d", true},
      {"link", "..", false},
      {"link", "../outside", false},
      {"docs/link", "../../x", false},
      {"docs/link", "sub/../../../x", false},
      {"link", "/etc", false},
      {"link", "C:\\Windows", false},
      {"link", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.entry) + " -> " + c.target);
    EXPECT_EQ(isSafeLinkTarget(c.entry, c.target), c.safe);
  }
}

TEST(ToolkitRules, HeaderText) {
  struct Case {
    const char* text;
    const char* encoded;
  } cases[] = {
      {"NV Bug: plain words", "NV Bug: plain words"},
      {"two\r\nlines", "two  lines"},  // no header injection
      {"=?looks encoded", "=?UTF-8?B?PT9sb29rcyBlbmNvZGVk?="},
      {"caf\xC3\xA9", "=?UTF-8?B?Y2Fmw6k=?="},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(encodeHeaderText(c.text), c.encoded);
  }
  // A long text is cut into words of at most 45 bytes, never inside a character: 30
  // two-byte letters make words of 22 letters (44 bytes) and 8.
  std::string letters;
  for (int i = 0; i < 30; ++i) {
    letters += "\xC3\xA9";
  }
  const std::string encoded = encodeHeaderText(letters);
  ASSERT_EQ(encoded.find(' '), encoded.rfind(' '));
  const std::size_t wordFrame = std::string("=?UTF-8?B?").size() + std::string("?=").size();
  EXPECT_EQ(encoded.substr(0, encoded.find(' ')).size(), wordFrame + 60);
}

TEST(ToolkitRules, ErrorReportEscapesText) {
  ErrorReport report;
  report.add("send", "550 <no> & \"never\"\x01");
  EXPECT_EQ(report.toXml("mail"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ErrorReport source=\"mail\">\n"
            "  <Error operation=\"send\">550 &lt;no&gt; &amp; &quot;never&quot;</Error>\n"
            "</ErrorReport>\n");
}

TEST(ToolkitRules, ScrambledValues) {
  for (const std::string plain : {"", "smtp.example.com", "p\xC3\xA4ss w0rd!"}) {
    SCOPED_TRACE(plain);
    const std::string scrambled = arx::scramble(plain);
    EXPECT_EQ(scrambled.size(), plain.size() * 2);
    EXPECT_EQ(arx::unscramble(scrambled), plain);
    if (!plain.empty()) {
      EXPECT_EQ(scrambled.find(plain), std::string::npos);
    }
  }
  EXPECT_EQ(arx::unscramble("zz"), "");
}

TEST(ToolkitRules, ServerAndPort) {
  struct Case {
    const char* text;
    const char* host;
    long port;
  } cases[] = {
      {"mail.example.com", "mail.example.com", 587},
      {"127.0.0.1:2525", "127.0.0.1", 2525},
      {"mail:0", "mail", 587},
      {"mail:99999", "mail", 587},
      {"mail:abc", "mail", 587},
      {"[::1]:25", "[::1]", 25},
      {"[::1]", "[::1]", 587},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string host;
    long port = 587;
    arx::splitServer(c.text, host, port);
    EXPECT_EQ(host, c.host);
    EXPECT_EQ(port, c.port);
  }
}

}  // namespace
}  // namespace tabrik::toolkit
