// The rows of the user options grid: section titles and settings, each setting a
// string value under "Software\Norvane Software\<subkey>" of the current user, shown
// by product and edition, plain text or yes/no. A yes/no value is stored as the digit
// 1 or 0 and shown as "Yes" or "No".
#pragma once
#include <string>
#include <vector>

namespace tabrik::arx {

// The variant that LISP passes for the reduced edition of the electrical product; it
// hides the settings that edition lacks. Every other variant shows them.
inline constexpr const wchar_t* kReducedElectricalEdition = L"ELEC LITE";

struct UserOptionRow {
  std::wstring title;      // a section's title, or a setting's label
  std::wstring subkey;     // empty for a section row
  std::wstring valueName;  // empty for a section row
  bool yesNo = false;
  bool isSection() const { return subkey.empty(); }
};

// The rows for a product ("ELEC", "PHOTO", "HVAC", "PLUMB"; any other shows the two
// common sections only) and a variant, in the order the grid shows them.
std::vector<UserOptionRow> userOptionRows(const std::wstring& product, const std::wstring& variant);

// A stored value as the value cell shows it: for yes/no, "No" for the digit 0 and
// "Yes" for anything else (a missing value too); text unchanged.
std::wstring shownValue(const std::wstring& stored, bool yesNo);
// A value cell as it is stored: for yes/no, "1" for "Yes" and "0" otherwise.
std::wstring storedValue(const std::wstring& shown, bool yesNo);

}  // namespace tabrik::arx
