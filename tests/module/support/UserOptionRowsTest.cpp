// Which rows the user options grid shows for each product and edition, and how values
// are shown and stored.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/UserOptionRows.h"

namespace tabrik::arx {
namespace {

// Each row as "# Section" or "label = subkey\value (yes/no|text)".
std::vector<std::wstring> describe(const std::wstring& product, const std::wstring& variant) {
  std::vector<std::wstring> lines;
  for (const UserOptionRow& row : userOptionRows(product, variant)) {
    lines.push_back(row.isSection() ? L"# " + row.title
                                    : row.title + L" = " + row.subkey + L"\\" + row.valueName +
                                          (row.yesNo ? L" (yes/no)" : L" (text)"));
  }
  return lines;
}

const std::vector<std::wstring> kCommon = {
    L"# User Support Information",
    L"Name = Shared\\Name (text)",
    L"Email = Shared\\Email (text)",
    L"Phone = Shared\\Phone (text)",
    L"Save support emails to the desktop (set to \"Yes\" if sending fails or crashes) = "
    L"Shared\\bSendToDesktop2 (yes/no)",
    L"# Drawing Options",
    L"Zoom to schedule after insertion = Shared\\bZoomToSchedule (yes/no)",
};
const std::wstring kAutoOpen =
    L"Automatically open drawings that need to be updated = Shared\\bAutoUpdateDrawings (yes/no)";

std::vector<std::wstring> joined(std::vector<std::wstring> head,
                                 const std::vector<std::wstring>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

TEST(UserOptionRows, ByProductAndEdition) {
  const std::wstring alert = L"Alert me when updates are available = ";
  struct Case {
    const wchar_t* product;
    const wchar_t* variant;
    std::vector<std::wstring> rows;
  } cases[] = {
      {L"ELEC", L"NOT ELEC",
       joined(kCommon, {kAutoOpen, L"# Electrical", alert + L"Electrical\\bUpdateAlert (yes/no)",
                        L"Warn if distribution equipment is overloaded = "
                        L"Electrical\\bAlertOverloadPanel (yes/no)",
                        L"Recalculate illuminance levels after query = "
                        L"Electrical\\bRecalculatePhotoAfterQuery (yes/no)"})},
      {L"ELEC", kReducedElectricalEdition,
       joined(kCommon, {L"# Electrical", alert + L"Electrical\\bUpdateAlert (yes/no)"})},
      {L"PHOTO", L"NOT ELEC",
       joined(kCommon, {kAutoOpen, L"# Photometrics", alert + L"Electrical\\bUpdateAlert (yes/no)",
                        L"Recalculate illuminance levels after query = "
                        L"Electrical\\bRecalculatePhotoAfterQuery (yes/no)"})},
      {L"HVAC", L"NOT ELEC",
       joined(kCommon, {kAutoOpen, L"# HVAC", alert + L"HVAC\\bUpdateAlert (yes/no)"})},
      {L"PLUMB", kReducedElectricalEdition,
       joined(kCommon, {L"# Plumbing", alert + L"Plumbing\\bUpdateAlert (yes/no)"})},
      {L"CIVIL", L"NOT ELEC", joined(kCommon, {kAutoOpen})},
      {L"elec", L"", joined(kCommon, {kAutoOpen})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::wstring(c.product) + L" / " + c.variant);
    EXPECT_EQ(describe(c.product, c.variant), c.rows);
  }
}

TEST(UserOptionRows, ShownAndStoredValues) {
  struct Case {
    const wchar_t* stored;
    bool yesNo;
    const wchar_t* shown;
    const wchar_t* storedBack;
  } cases[] = {
      {L"0", true, L"No", L"0"},   {L"1", true, L"Yes", L"1"},
      {L"", true, L"Yes", L"1"},   {L"no", true, L"Yes", L"1"},
      {L"00", true, L"Yes", L"1"}, {L"", false, L"", L""},
      {L"0", false, L"0", L"0"},   {L"Zo\u00eb", false, L"Zo\u00eb", L"Zo\u00eb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    EXPECT_EQ(shownValue(c.stored, c.yesNo), c.shown);
    EXPECT_EQ(storedValue(c.shown, c.yesNo), c.storedBack);
  }
  EXPECT_EQ(storedValue(L"No", true), L"0");
  EXPECT_EQ(storedValue(L"yes", true), L"0");  // only the grid's own choice counts
}

}  // namespace
}  // namespace tabrik::arx
