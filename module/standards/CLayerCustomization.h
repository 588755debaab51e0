// "Layers": the layer systems (with "General", which has no row), the layer keys of
// the selected system mapped to layers, and the layers themselves. Names, order, key
// mappings and layer properties reach the database on OK; new and deleted systems, new
// and deleted layers and imports are written at once.
#pragma once
#include <map>
#include <vector>

#include <acui.h>
#include <gridcontrol.h>

#include "db/CDBConnection.h"
#include "standards/LayerStandards.h"

namespace tabrik::arx::standards {

class CLayerCustomization : public CAcUiDialog {
 public:
  // `checkObjects`: ask the LISP application before deleting a system (the dialog was
  // opened on the current connection's file, without a path).
  CLayerCustomization(CDBConnection* connection, const CString& path, bool checkObjects,
                      CWnd* parent);

  enum SystemColumn { kSystemId, kSystemName, kSystemSort };
  enum KeyColumn { kKeyShown, kKeyId, kKeySort, kKeyLayerId, kKeyLayerName };
  enum LayerColumn {
    kLayerId,
    kLayerName,
    kLayerColor,
    kLayerLinetype,
    kLayerPlot,
    kLayerWeight,
    kLayerStyle
  };

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  void OnMoveUp();
  void OnMoveDown();
  void OnNewSystem();
  void OnEditSystem();
  void OnDeleteSystem();
  void OnImport();
  void OnExport();
  void OnUndoKeys();
  void OnDeleteUnused();
  void OnNewLayer();
  void OnDeleteLayer();
  void OnUndoLayers();
  void OnSystemSelected(NMHDR* header, LRESULT* result);
  void OnSystemEdited(NMHDR* header, LRESULT* result);
  void OnLayerEdited(NMHDR* header, LRESULT* result);
  void OnLayerButton(NMHDR* header, LRESULT* result);

 private:
  void LoadSystems(long select);
  void LoadKeys();
  void LoadLayers();
  long SelectedSystem() const;
  void AddLayerRow(const LayerRow& layer);
  LayerRow LayerRowAt(int row) const;
  std::vector<KeyRow> KeyRows() const;
  int Ask(const CString& text);

  CDBConnection* m_connection;
  CString m_path;
  bool m_checkObjects;
  CGridControl m_systems;
  CGridControl m_keys;
  CGridControl m_layers;
  long m_keysOf = 0;  // the system whose keys are shown; 0 before the first load
  std::map<long, CString> m_layerNames;

  DECLARE_MESSAGE_MAP()
};

}  // namespace tabrik::arx::standards
