#include "standards/LayerRules.h"

#include <algorithm>
#include <cwchar>

#include "standards/StandardsSql.h"

namespace tabrik::arx::standards {

const wchar_t* const kLineweightItems[25] = {
    L"Default", L"0.00 mm", L"0.05 mm", L"0.09 mm", L"0.13 mm", L"0.15 mm", L"0.18 mm",
    L"0.20 mm", L"0.25 mm", L"0.30 mm", L"0.35 mm", L"0.40 mm", L"0.50 mm", L"0.53 mm",
    L"0.60 mm", L"0.70 mm", L"0.80 mm", L"0.90 mm", L"1.00 mm", L"1.06 mm", L"1.20 mm",
    L"1.40 mm", L"1.58 mm", L"2.00 mm", L"2.11 mm"};

const wchar_t* const kInvalidLayerNameMessage =
    L"Invalid characters in layer name.\n\nThe following characters are not valid in layer "
    L"names:\n    < > / \\ ' \" : ; ? * | , = '";

CString lineweightShown(const std::optional<CString>& stored) {
  if (!stored || stored->IsEmpty()) return CString(L"Default");
  const double hundredths = std::wcstod(stored->GetString(), nullptr);
  return sql::formatNumber(hundredths / 100, 2) + L" mm";
}

std::optional<CString> lineweightStored(const CString& shown) {
  if (shown.IsEmpty() || shown == L"Default") return std::nullopt;
  const double millimetres = std::wcstod(shown.GetString(), nullptr);
  CString text;
  text.Format(L"%ld", static_cast<long>(millimetres * 100));
  return text;
}

bool hasInvalidLayerCharacters(const CString& name) {
  return name.FindOneOf(kInvalidLayerCharacters) >= 0;
}

const wchar_t* refuseLayerSystemName(const CString& name, const std::vector<CString>& existing) {
  CString trimmed(name);
  trimmed.Trim();
  if (trimmed.IsEmpty() || trimmed.CompareNoCase(L"GENERAL") == 0) {
    return L"Invalid layer system name.";
  }
  const bool taken = std::any_of(existing.begin(), existing.end(), [&](const CString& other) {
    return other.CompareNoCase(trimmed) == 0;
  });
  return taken ? L"A layer system with that name already exists." : nullptr;
}

long clampColorIndex(long index) { return std::clamp(index, 1L, 255L); }

}  // namespace tabrik::arx::standards
