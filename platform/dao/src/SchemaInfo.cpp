// Filling CDaoFieldInfo and CDaoIndexInfo; object name rules.
#include "SchemaInfo.h"

#include "DaoErrors.h"

namespace tabrik::dao {

void fillFieldInfo(const FieldDef& f, int ordinal, CDaoFieldInfo& info, DWORD options,
                   bool updatable) {
  info.m_strName = f.name.c_str();
  info.m_nType = f.type;
  info.m_lSize = f.size;
  info.m_lAttributes = f.attributes | (updatable && !f.isAutoIncrement() ? dbUpdatableField : 0);
  info.m_nOrdinalPosition = static_cast<short>(ordinal);
  info.m_bRequired = f.required;
  info.m_bAllowZeroLength = f.allowZeroLength;
  info.m_lCollatingOrder = f.collatingOrder;
  info.m_strForeignName.Empty();
  info.m_strSourceField = f.name.c_str();
  info.m_strSourceTable.Empty();
  if (options & AFX_DAO_ALL_INFO) {
    info.m_strValidationRule = f.validationRule.c_str();
    info.m_strValidationText = f.validationText.c_str();
    info.m_strDefaultValue = f.defaultValue.c_str();
  } else {
    info.m_strValidationRule.Empty();
    info.m_strValidationText.Empty();
    info.m_strDefaultValue.Empty();
  }
}

void fillIndexInfo(const IndexDef& ix, CDaoIndexInfo& info, DWORD options) {
  if (info.m_bCleanupFieldInfo) delete[] info.m_pFieldInfos;
  info.m_strName = ix.name.c_str();
  info.m_nFields = static_cast<short>(ix.fields.size());
  info.m_pFieldInfos = new CDaoIndexFieldInfo[ix.fields.size() ? ix.fields.size() : 1];
  info.m_bCleanupFieldInfo = TRUE;
  for (size_t i = 0; i < ix.fields.size(); ++i) {
    info.m_pFieldInfos[i].m_strName = ix.fields[i].name.c_str();
    info.m_pFieldInfos[i].m_bDescending = ix.fields[i].descending;
  }
  info.m_bPrimary = ix.primary;
  info.m_bUnique = ix.unique || ix.primary;
  info.m_bClustered = ix.clustered;
  info.m_bIgnoreNulls = ix.ignoreNulls;
  info.m_bRequired = ix.required || ix.primary;
  info.m_bForeign = ix.foreign;
  info.m_lDistinctCount = 0;
  (void)options;
}

void checkName(const std::wstring& name) {
  bool ok = !name.empty() && name.size() <= 64 && name.front() != L' ';
  for (wchar_t c : name)
    if (c < 0x20 || c == L'.' || c == L'!' || c == L'`' || c == L'[' || c == L']') ok = false;
  if (!ok) daoThrow(3125, {name});
}

}  // namespace tabrik::dao

CDaoIndexInfo::~CDaoIndexInfo() {
  if (m_bCleanupFieldInfo) delete[] m_pFieldInfos;
}
