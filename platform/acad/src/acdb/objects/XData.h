// Extended entity data as an object keeps it: per registered application (in the order
// the applications were first given), its items in order. Items carry the value kinds
// of the 1000-1071 group codes.
#pragma once
#include <string>
#include <variant>
#include <vector>

#include "gept3d.h"

struct resbuf;

struct XDataItem {
  short code;
  std::variant<std::wstring, double, short, int, AcGePoint3d, std::vector<char>> value;
};

struct XDataApp {
  std::wstring name;
  std::vector<XDataItem> items;
};

struct XDataStore {
  std::vector<XDataApp> apps;
};

namespace tabrik::acad {
// A resbuf of the given type allocated as acutRelRb releases it (calloc, strings by
// malloc).
resbuf* newResbuf(int type);
wchar_t* newResbufString(const std::wstring& text);
// The value kind a group code of extended data carries; false for codes that are not
// extended-data codes.
bool isXDataCode(int code);
}  // namespace tabrik::acad
