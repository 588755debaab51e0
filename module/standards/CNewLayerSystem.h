// "New Layer System": the new system's name and the system whose layer keys it copies
// (every system but "General"; the first selected). OK refuses an empty name, "General"
// in any case and a name already in the list, and stays open then.
#pragma once
#include <vector>

#include <acui.h>

namespace tabrik::arx::standards {

class CNewLayerSystem : public CAcUiDialog {
 public:
  struct Source {
    long id;
    CString name;
  };
  CNewLayerSystem(std::vector<Source> sources, CWnd* parent);

  // After OK: the trimmed name and the source system's id.
  const CString& Name() const { return m_name; }
  long SourceId() const { return m_sourceId; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  std::vector<Source> m_sources;
  CListBox m_list;
  CString m_name;
  long m_sourceId = 0;
};

}  // namespace tabrik::arx::standards
