// The DXF filer objects read themselves through: it walks the groups of one object
// (from after its "0 TYPE" to the next group 0 or its extended data) and hands them
// out typed as resbufs, joining the coordinates of points.
#pragma once
#include <string>
#include <vector>

#include "DxfScanner.h"
#include "dbfiler.h"

namespace tabrik::dxf {

class DxfInFiler : public AcDbDxfFiler {
 public:
  DxfInFiler(AcDbDatabase* database, const std::vector<Tag>& tags, size_t begin, size_t end,
             bool utf8);

  Acad::ErrorStatus filerStatus() const override { return m_status; }
  AcDb::FilerType filerType() const override { return AcDb::kFileFiler; }
  void setFilerStatus(Acad::ErrorStatus status) override { m_status = status; }
  void resetFilerStatus() override { m_status = Acad::eOk; }
  AcDbDatabase* database() const override { return m_database; }
  bool isReading() const override { return true; }

  Acad::ErrorStatus readResBuf(resbuf* item) override;
  void pushBackItem() override;
  bool atSubclassData(const ACHAR* subclassName) override;
  bool atEOF() override { return m_position >= m_end; }
  AcDbObjectId idOf(const resbuf& item) override;

  Acad::ErrorStatus writeString(int, const std::wstring&) override { return Acad::eNotApplicable; }
  Acad::ErrorStatus writeInt16(int, Adesk::Int16) override { return Acad::eNotApplicable; }
  Acad::ErrorStatus writeInt32(int, Adesk::Int32) override { return Acad::eNotApplicable; }
  Acad::ErrorStatus writeInt8(int, Adesk::Int8) override { return Acad::eNotApplicable; }
  Acad::ErrorStatus writeDouble(int, double, int) override { return Acad::eNotApplicable; }
  Acad::ErrorStatus writePoint3d(int, const AcGePoint3d&, int) override {
    return Acad::eNotApplicable;
  }
  Acad::ErrorStatus writePoint2d(int, const AcGePoint2d&, int) override {
    return Acad::eNotApplicable;
  }
  Acad::ErrorStatus writeVector3d(int, const AcGeVector3d&, int) override {
    return Acad::eNotApplicable;
  }
  Acad::ErrorStatus writeObjectId(int, const AcDbObjectId&) override {
    return Acad::eNotApplicable;
  }
  Acad::ErrorStatus writeAcDbHandle(int, const AcDbHandle&) override {
    return Acad::eNotApplicable;
  }
  Acad::ErrorStatus writeBinaryChunk(int, const ads_binary&) override {
    return Acad::eNotApplicable;
  }

  // Where the object's extended data starts (its first 1001), or its end.
  size_t xdataStart() const { return m_xdata; }
  // The line and reason of the first malformed group, if any.
  const std::string& problem() const { return m_problem; }

  // One group as a resbuf value (the string owned by `text`); false when the value
  // does not fit the code's type.
  static bool typedValue(const std::vector<Tag>& tags, size_t& index, size_t end, bool utf8,
                         resbuf& item, std::wstring& text, std::string& problem);

 private:
  AcDbDatabase* m_database;
  const std::vector<Tag>& m_tags;
  size_t m_position, m_end, m_xdata;
  size_t m_last;  // index of the group last read (for push-back)
  bool m_utf8;
  Acad::ErrorStatus m_status = Acad::eOk;
  std::wstring m_text;
  std::string m_problem;
};

}  // namespace tabrik::dxf
