// The 22-character compressed form of a GUID used by IFC global identifiers: the 128
// bits as one big-endian number (the GUID's canonical text order) written in base 64
// with the alphabet 0-9 A-Z a-z _ $, two digits for the top 8 bits and four for each
// following 24 bits. The first character is therefore one of 0 to 3.
#pragma once
#include <string>

#include <objbase.h>

namespace tabrik::arx {

std::wstring compressGuid(const GUID& guid);

}  // namespace tabrik::arx
