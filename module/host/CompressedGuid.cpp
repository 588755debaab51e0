// The IFC compressed form of a GUID.
#include "host/CompressedGuid.h"

#include <cstdint>

namespace tabrik::arx {
namespace {

constexpr wchar_t kDigits[] = L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";

void appendDigits(std::wstring& out, std::uint32_t number, int count) {
  std::wstring digits(static_cast<size_t>(count), L'0');
  for (int i = count - 1; i >= 0; --i) {
    digits[static_cast<size_t>(i)] = kDigits[number % 64];
    number /= 64;
  }
  out += digits;
}

std::uint32_t threeBytes(const BYTE* bytes) {
  return (std::uint32_t(bytes[0]) << 16) | (std::uint32_t(bytes[1]) << 8) | bytes[2];
}

}  // namespace

std::wstring compressGuid(const GUID& guid) {
  std::wstring out;
  appendDigits(out, guid.Data1 >> 24, 2);
  appendDigits(out, guid.Data1 & 0xFFFFFFU, 4);
  appendDigits(out, (std::uint32_t(guid.Data2) << 8) | (guid.Data3 >> 8), 4);
  appendDigits(out,
               (std::uint32_t(guid.Data3 & 0xFF) << 16) | (std::uint32_t(guid.Data4[0]) << 8) |
                   guid.Data4[1],
               4);
  appendDigits(out, threeBytes(guid.Data4 + 2), 4);
  appendDigits(out, threeBytes(guid.Data4 + 5), 4);
  return out;
}

}  // namespace tabrik::arx
