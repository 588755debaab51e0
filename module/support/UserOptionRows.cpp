// The user options grid's rows (see UserOptionRows.h).
#include "support/UserOptionRows.h"

namespace tabrik::arx {
namespace {

enum class Shown { kAlways, kFullEdition };

struct Setting {
  const wchar_t* label;
  const wchar_t* subkey;
  const wchar_t* valueName;
  bool yesNo;
  Shown shown;
};

struct Section {
  const wchar_t* title;
  const wchar_t* product;  // nullptr: every product
  std::vector<Setting> settings;
};

const std::vector<Section>& sections() {
  static const std::vector<Section> table = {
      {L"User Support Information",
       nullptr,
       {{L"Name", L"Shared", L"Name", false, Shown::kAlways},
        {L"Email", L"Shared", L"Email", false, Shown::kAlways},
        {L"Phone", L"Shared", L"Phone", false, Shown::kAlways},
        {L"Save support emails to the desktop (set to \"Yes\" if sending fails or crashes)",
         L"Shared", L"bSendToDesktop2", true, Shown::kAlways}}},
      {L"Drawing Options",
       nullptr,
       {{L"Zoom to schedule after insertion", L"Shared", L"bZoomToSchedule", true, Shown::kAlways},
        {L"Automatically open drawings that need to be updated", L"Shared", L"bAutoUpdateDrawings",
         true, Shown::kFullEdition}}},
      {L"Electrical",
       L"ELEC",
       {{L"Alert me when updates are available", L"Electrical", L"bUpdateAlert", true,
         Shown::kAlways},
        {L"Warn if distribution equipment is overloaded", L"Electrical", L"bAlertOverloadPanel",
         true, Shown::kFullEdition},
        {L"Recalculate illuminance levels after query", L"Electrical",
         L"bRecalculatePhotoAfterQuery", true, Shown::kFullEdition}}},
      // The photometrics product keeps its settings with the electrical ones.
      {L"Photometrics",
       L"PHOTO",
       {{L"Alert me when updates are available", L"Electrical", L"bUpdateAlert", true,
         Shown::kAlways},
        {L"Recalculate illuminance levels after query", L"Electrical",
         L"bRecalculatePhotoAfterQuery", true, Shown::kAlways}}},
      {L"HVAC",
       L"HVAC",
       {{L"Alert me when updates are available", L"HVAC", L"bUpdateAlert", true, Shown::kAlways}}},
      {L"Plumbing",
       L"PLUMB",
       {{L"Alert me when updates are available", L"Plumbing", L"bUpdateAlert", true,
         Shown::kAlways}}},
  };
  return table;
}

}  // namespace

std::vector<UserOptionRow> userOptionRows(const std::wstring& product,
                                          const std::wstring& variant) {
  const bool reduced = variant == kReducedElectricalEdition;
  std::vector<UserOptionRow> rows;
  for (const Section& section : sections()) {
    if (section.product != nullptr && product != section.product) {
      continue;
    }
    rows.push_back({section.title, L"", L"", false});
    for (const Setting& setting : section.settings) {
      if (setting.shown == Shown::kFullEdition && reduced) {
        continue;
      }
      rows.push_back({setting.label, setting.subkey, setting.valueName, setting.yesNo});
    }
  }
  return rows;
}

std::wstring shownValue(const std::wstring& stored, bool yesNo) {
  if (!yesNo) {
    return stored;
  }
  return stored == L"0" ? L"No" : L"Yes";
}

std::wstring storedValue(const std::wstring& shown, bool yesNo) {
  if (!yesNo) {
    return shown;
  }
  return shown == L"Yes" ? L"1" : L"0";
}

}  // namespace tabrik::arx
