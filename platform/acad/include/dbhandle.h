// AcDbHandle: the 64-bit number that names an object within its drawing for good
// (written to files, shown in hex by the host). 0 means no object.
#pragma once
#include <cstdint>
#include <string>

#include "adsdef.h"

class AcDbHandle {
 public:
  AcDbHandle() = default;
  AcDbHandle(std::uint64_t value) : m_value(value) {}  // NOLINT: the SDK converts implicitly
  // Parses upper- or lower-case hex; anything else gives the null handle.
  explicit AcDbHandle(const ACHAR* hex);

  bool isNull() const { return m_value == 0; }
  void setNull() { m_value = 0; }
  std::uint64_t value() const { return m_value; }
  // Upper-case hex without leading zeros; "0" for the null handle.
  bool getIntoAsciiBuffer(ACHAR* buffer, size_t size = 17) const;
  std::wstring asString() const;
  AcDbHandle& operator++() {
    ++m_value;
    return *this;
  }
  AcDbHandle operator+(const AcDbHandle& other) const { return m_value + other.m_value; }
  bool operator==(const AcDbHandle& other) const { return m_value == other.m_value; }
  bool operator!=(const AcDbHandle& other) const { return m_value != other.m_value; }
  bool operator<(const AcDbHandle& other) const { return m_value < other.m_value; }
  bool operator>(const AcDbHandle& other) const { return m_value > other.m_value; }

 private:
  std::uint64_t m_value = 0;
};
