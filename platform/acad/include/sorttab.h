// AcDbSortentsTable: the draw order of a block's entities, kept in the block's
// extension dictionary under "ACAD_SORTENTS". Entities not listed draw in the block's
// own order; listed ones draw in the order of their sort handles.
#pragma once
#include <utility>
#include <vector>

#include "dbmain.h"

class AcDbSortentsTable : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbSortentsTable);
  AcDbSortentsTable() = default;
  AcDbObjectId blockId() const { return m_block; }
  Acad::ErrorStatus setBlockId(AcDbObjectId block);
  // The block's entities in draw order.
  Acad::ErrorStatus getFullDrawOrder(AcDbObjectIdArray& ids,
                                     Adesk::UInt8 honorSortentsMask = 0) const;
  Acad::ErrorStatus moveToBottom(const AcDbObjectIdArray& ids);
  Acad::ErrorStatus moveToTop(const AcDbObjectIdArray& ids);
  Acad::ErrorStatus setRelativeDrawOrder(const AcDbObjectIdArray& ids);

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  AcDbObjectId m_block;
  std::vector<AcDbObjectId> m_order;  // entities in draw order, once any was moved
};
