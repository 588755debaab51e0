// The rules of the layer customization dialog that hold apart from its grids: how a
// stored lineweight shows and how a shown one is stored, which layer names and layer
// system names are refused, and the colour range of the host's picker.
#pragma once
#include <optional>
#include <vector>

#include <afx.h>

namespace tabrik::arx::standards {

// The lineweight combo's items, in order ("Default" first).
extern const wchar_t* const kLineweightItems[25];

// A stored sLineweight n shows as n / 100 with at most two decimals and " mm" (25 ->
// "0.25 mm", 50 -> "0.5 mm", 0 -> "0 mm"); Null or empty shows "Default".
CString lineweightShown(const std::optional<CString>& stored);
// "Default" or an empty cell stores Null; any other text the integer part of its
// leading number times 100, in double arithmetic ("0.35 mm" -> "35").
std::optional<CString> lineweightStored(const CString& shown);

// The characters a layer name may not contain, and the message that says so.
inline constexpr const wchar_t* kInvalidLayerCharacters = L"<>/\\'\":;?*|,=";
extern const wchar_t* const kInvalidLayerNameMessage;
bool hasInvalidLayerCharacters(const CString& name);

// The message that refuses a new layer system name (trimmed first) among the names
// of the existing systems, or nullptr when it is accepted.
const wchar_t* refuseLayerSystemName(const CString& name, const std::vector<CString>& existing);

// The host's colour picker takes an index in 1..255.
long clampColorIndex(long index);

}  // namespace tabrik::arx::standards
