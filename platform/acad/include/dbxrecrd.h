// AcDbXrecord: an object holding a program's data as a chain of group-coded values
// (any DXF group codes but 5, 100, 102, 105 and 1001 onwards), usually an entry of a
// dictionary. The chain is kept in the order given; pointers (330-369 and the like)
// are kept as object ids.
#pragma once
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "dbmain.h"

class AcDbXrecord : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbXrecord);
  AcDbXrecord();
  ~AcDbXrecord() override;

  // A copy of the data for the caller to release with acutRelRb (null when empty).
  Acad::ErrorStatus rbChain(resbuf** chain, AcDbDatabase* auxDb = nullptr) const;
  // Replaces the data with the chain's groups; eInvalidInput (nothing changed) for a
  // code an xrecord cannot hold.
  Acad::ErrorStatus setFromRbChain(const resbuf& chain, AcDbDatabase* auxDb = nullptr);
  bool isXlateReferences() const { return m_translateReferences; }
  void setXlateReferences(bool translate);
  AcDb::DuplicateRecordCloning mergeStyle() const { return m_mergeStyle; }
  void setMergeStyle(AcDb::DuplicateRecordCloning style);

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

  struct Item {
    short code;
    std::variant<std::wstring, double, std::int32_t, std::int64_t, AcGePoint3d, AcDbObjectId,
                 std::vector<char>>
        value;
  };

 private:
  std::vector<Item> m_items;
  bool m_translateReferences = true;
  AcDb::DuplicateRecordCloning m_mergeStyle = AcDb::kDrcIgnore;
};
