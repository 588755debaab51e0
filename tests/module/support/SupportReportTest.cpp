// The support report's rules: which addresses are refused with which message, the
// subject and body of the mail, the archive names, the dialog's title and count label.
#include <gtest/gtest.h>

#include <string>

#include "support/SupportReport.h"

namespace tabrik::arx {
namespace {

TEST(SupportReport, EmailChecks) {
  struct Case {
    const wchar_t* address;
    const wchar_t* repeat;
    const wchar_t* message;
  } cases[] = {
      {L"", L"", L"An e-mail address is needed."},
      {L"", L"zoe@example.org", L"An e-mail address is needed."},
      {L"zoe@@example.org", L"zoe@@example.org", L"Invalid e-mail address."},
      {L"zoe@exa@mple.org", L"zoe@exa@mple.org", L"Invalid e-mail address."},
      {L"zoe@example", L"zoe@example", L"Invalid e-mail address."},
      {L"zoe.smith@example", L"zoe.smith@example", L"Invalid e-mail address."},
      {L"zoe example.org", L"zoe example.org", L"Invalid e-mail address."},
      {L"zoe smith@example.org", L"zoe smith@example.org", L"Invalid e-mail address."},
      {L"zo\u00eb@example.org", L"zo\u00eb@example.org", L"Invalid e-mail address."},
      {L"zoe+tag@example.org", L"zoe+tag@example.org", L"Invalid e-mail address."},
      {L"help@norvane.com", L"help@norvane.com",
       L"Enter your email address. We will use this email address to reply to you."},
      {L"help@Mail.NORVANE.com", L"help@Mail.NORVANE.com",
       L"Enter your email address. We will use this email address to reply to you."},
      {L"Zoe@Example.org", L"zoe@example.org", L"The e-mail addresses do not match."},
      {L"zoe@example.org", L"", L"The e-mail addresses do not match."},
      {L"zoe_o-brien.2@example.org", L"zoe_o-brien.2@example.org", L""},
      {L"zoe@notnorvane.com", L"zoe@notnorvane.com", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::wstring(c.address) + L" / " + c.repeat);
    EXPECT_EQ(emailProblem(c.address, c.repeat, L"norvane.com"), c.message);
  }
}

TEST(SupportReport, Subjects) {
  const std::wstring longText(150, L'w');
  struct Case {
    int kind;
    std::wstring information;
    std::wstring subject;
  } cases[] = {
      {0, L"", L"NV Project"},
      {1, L"", L"NV Bug"},
      {5, L"", L"NV Email"},
      {-3, L"", L"NV Email"},
      {1, L"The leader loses its symbol. Then it crashes.", L"NV Bug: The leader loses its symbol"},
      {1, L"Why? Nobody knows.", L"NV Bug: Why"},
      {0, L"Stop! Now.", L"NV Project: Stop"},
      {4, L"First line\r\nsecond line.", L"NV Email: First line"},
      {4, L"First line\nsecond line.", L"NV Email: First line"},
      {1, L"\r\nstarts with a break", L"NV Bug: "},
      {1, L"v1.2 fails", L"NV Bug: v1"},
      {1, longText, L"NV Bug: " + longText.substr(0, 100)},
      {1, longText + L".", L"NV Bug: " + longText.substr(0, 100)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.information);
    EXPECT_EQ(reportSubject(c.kind, c.information), c.subject);
  }
}

TEST(SupportReport, Bodies) {
  SupportReport report;
  report.information = L"It broke.\r\nTwice.";
  report.extraText = L"Product 7.1";
  EXPECT_EQ(reportBody(report), L"\nIt broke.\r\nTwice.\n\nProduct 7.1\n");
  report.phone = L"555-0100";
  EXPECT_EQ(reportBody(report), L"555-0100\n\nIt broke.\r\nTwice.\n\nProduct 7.1\n");
  SupportReport empty;
  EXPECT_EQ(reportBody(empty), L"\n\n\n\n");
}

TEST(SupportReport, ArchiveNames) {
  struct Case {
    const wchar_t* name;
    const wchar_t* label;
    const wchar_t* archive;
  } cases[] = {
      {L"Zoe Smith", L"", L"Zoe Smith.zip"},
      {L"  Zoe Smith  ", L"Project 12", L"Zoe Smith Project 12.zip"},
      {L"", L"Project 12", L"NV Attachment Project 12.zip"},
      {L"   ", L"", L"NV Attachment.zip"},
      {L"AC/DC", L"", L"ACDC.zip"},
      {L"a\\b/c?d:e*f\"g<h>i|j", L"x", L"abcdefghij x.zip"},
      {L"/?", L"", L"NV Attachment.zip"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(reportArchiveName(c.name, c.label), c.archive);
  }
  EXPECT_EQ(desktopArchiveName(L"help@example.com", L"NV Attachment x.zip"),
            L"Send to help@example.com--NV Attachment x.zip");
}

TEST(SupportReport, TitlesAndCounts) {
  EXPECT_EQ(submitDialogTitle(0), L"Send Project to Norvane Support");
  EXPECT_EQ(submitDialogTitle(1), L"");
  EXPECT_EQ(submitDialogTitle(4), L"Send Master and Standards Databases to Norvane Support");
  EXPECT_EQ(submitDialogTitle(5), L"Send Standards Databases to Norvane Support");
  EXPECT_EQ(submitDialogTitle(2), L"Send to Norvane Support");
  EXPECT_EQ(attachmentCountText(0), L"");
  EXPECT_EQ(attachmentCountText(1), L"(1 file)");
  EXPECT_EQ(attachmentCountText(12), L"(12 files)");
}

}  // namespace
}  // namespace tabrik::arx
