// The memory DWG filer (copy, clone and undo filing) and the string shorthands every
// DWG filer shares.
#include "acdb/objects/MemoryDwgFiler.h"

#include <cstring>
#include <cwchar>

Acad::ErrorStatus AcDbDwgFiler::readString(ACHAR** value) {
  std::wstring text;
  Acad::ErrorStatus status = readString(text);
  *value = nullptr;
  if (status != Acad::eOk) return status;
  *value = new ACHAR[text.size() + 1];
  std::wmemcpy(*value, text.c_str(), text.size() + 1);
  return Acad::eOk;
}

namespace tabrik::acad {

Acad::ErrorStatus MemoryDwgFiler::readBytes(void* buffer, unsigned length) {
  std::vector<char> bytes;
  Acad::ErrorStatus status = get(bytes);
  if (status != Acad::eOk) return status;
  if (bytes.size() != length) return m_status = Acad::eFilerError;
  if (length > 0) std::memcpy(buffer, bytes.data(), length);
  return Acad::eOk;
}

Acad::ErrorStatus MemoryDwgFiler::writeBytes(const void* buffer, unsigned length) {
  const char* begin = static_cast<const char*>(buffer);
  return put(std::vector<char>(begin, begin + length));
}

Acad::ErrorStatus MemoryDwgFiler::readId(AcDbObjectId* id, IdKind kind) {
  IdItem item;
  Acad::ErrorStatus status = get(item);
  if (status != Acad::eOk) return status;
  if (item.kind != kind) return m_status = Acad::eFilerError;
  *id = translate(item.id, kind);
  if (!item.id.isNull() && id->isNull()) return Acad::eUnknownHandle;
  return Acad::eOk;
}

}  // namespace tabrik::acad
