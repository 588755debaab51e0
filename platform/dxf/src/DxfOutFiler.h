// The DXF filer objects write themselves through when a drawing is written: each
// group is appended to the text as two lines, the group code right-aligned in three
// columns and the value. Writing to a file, the text goes out a chunk at a time, so
// the writer never holds more than one chunk of the file.
#pragma once
#include <cstdio>
#include <string>
#include <unordered_set>

#include "dbfiler.h"
#include "dbmain.h"
#include "tabrik/DrawingFiling.h"

namespace tabrik::dxf {

class DxfOutFiler : public AcDbDxfFiler, public acad::FiledObjects {
 public:
  DxfOutFiler(AcDbDatabase* database, std::string& out) : m_database(database), m_out(out) {}

  Acad::ErrorStatus filerStatus() const override { return m_status; }
  AcDb::FilerType filerType() const override { return AcDb::kFileFiler; }
  void setFilerStatus(Acad::ErrorStatus status) override { m_status = status; }
  void resetFilerStatus() override { m_status = Acad::eOk; }
  AcDbDatabase* database() const override { return m_database; }
  bool isReading() const override { return false; }

  Acad::ErrorStatus readResBuf(resbuf*) override { return Acad::eNotApplicable; }
  void pushBackItem() override {}
  bool atSubclassData(const ACHAR*) override { return false; }
  bool atEOF() override { return true; }
  AcDbObjectId idOf(const resbuf&) override { return AcDbObjectId::kNull; }

  using AcDbDxfFiler::writeString;
  Acad::ErrorStatus writeString(int code, const std::wstring& value) override;
  Acad::ErrorStatus writeInt16(int code, Adesk::Int16 value) override;
  Acad::ErrorStatus writeInt32(int code, Adesk::Int32 value) override;
  Acad::ErrorStatus writeInt8(int code, Adesk::Int8 value) override;
  Acad::ErrorStatus writeDouble(int code, double value, int precision = 16) override;
  Acad::ErrorStatus writePoint3d(int code, const AcGePoint3d& value, int precision = 16) override;
  Acad::ErrorStatus writePoint2d(int code, const AcGePoint2d& value, int precision = 16) override;
  Acad::ErrorStatus writeVector3d(int code, const AcGeVector3d& value, int precision = 16) override;
  Acad::ErrorStatus writeObjectId(int code, const AcDbObjectId& id) override;
  Acad::ErrorStatus writeAcDbHandle(int code, const AcDbHandle& handle) override;
  Acad::ErrorStatus writeBinaryChunk(int code, const ads_binary& value) override;

  // A raw ASCII value (names of sections and the like).
  void group(int code, std::string_view value);
  // Sends the text to `file` whenever it passes a chunk (null: keeps it all).
  void streamTo(std::FILE* file) { m_file = file; }
  // Sends what is left to the file; false when the file refused any of the text.
  bool flush();
  // Groups are dropped, not written (a pass that only finds what the file will hold).
  void setDiscarding(bool discarding) { m_discarding = discarding; }
  // The objects the file holds, once known: pointers to any other are written as 0.
  void setFiledObjects(const std::unordered_set<const AcDbObject*>* filed) { m_filed = filed; }
  bool holds(AcDbObjectId id) const override;

 private:
  AcDbDatabase* m_database;
  static constexpr std::size_t kChunk = 1 << 20;
  void code(int code);
  void ended() {
    m_out += '\n';
    if (m_file != nullptr && m_out.size() >= kChunk) flush();
  }

  std::string& m_out;
  std::FILE* m_file = nullptr;
  bool m_discarding = false;
  Acad::ErrorStatus m_status = Acad::eOk;
  const std::unordered_set<const AcDbObject*>* m_filed = nullptr;
};

}  // namespace tabrik::dxf
