// OpenedEntity<T>: an entity named by LISP (an ads name), opened as a T through the
// host's typed open and closed when the guard goes. Empty when the name names no T that
// can be opened in that mode: another class, an erased entity, no entity at all, or one
// open elsewhere. The drawing functions that act on an entity they are given use it.
#pragma once
#include <adsdef.h>
#include <dbmain.h>

namespace tabrik::arx::draw {

template <typename T>
class OpenedEntity {
 public:
  OpenedEntity(const ads_name name, AcDb::OpenMode mode) {
    AcDbObjectId id;
    if (acdbGetObjectId(id, name) != Acad::eOk) return;
    T* object = nullptr;
    if (acdbOpenObject(object, id, mode) == Acad::eOk) m_object = object;
  }
  ~OpenedEntity() {
    if (m_object != nullptr) m_object->close();
  }
  OpenedEntity(const OpenedEntity&) = delete;
  OpenedEntity& operator=(const OpenedEntity&) = delete;

  explicit operator bool() const { return m_object != nullptr; }
  T* operator->() const { return m_object; }
  T& operator*() const { return *m_object; }

 private:
  T* m_object = nullptr;
};

}  // namespace tabrik::arx::draw
