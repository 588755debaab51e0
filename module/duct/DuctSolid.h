// A duct solid under construction: made through the duct solid component, owned here
// until it is appended to model space, discarded (never appended) when the fitting
// fails. Without the component loaded no solid can be made and every duct function
// returns nil.
#pragma once
#include <nv_hvacSolid.h>

#include <dbid.h>

namespace tabrik::arx::duct {

class DuctSolid {
 public:
  DuctSolid() : m_solid(nv_hvacSolid::create()) {}
  ~DuctSolid() { delete m_solid; }
  DuctSolid(const DuctSolid&) = delete;
  DuctSolid& operator=(const DuctSolid&) = delete;

  // False when the component is not loaded.
  bool made() const { return m_solid != nullptr; }
  nv_hvacSolid* operator->() const { return m_solid; }
  nv_hvacSolid* get() const { return m_solid; }

  // Appends the solid to the current drawing's model space and closes it; the drawing
  // owns it from then on. False when the append failed (the solid is then gone).
  bool append(AcDbObjectId& id);

 private:
  nv_hvacSolid* m_solid;
};

}  // namespace tabrik::arx::duct
