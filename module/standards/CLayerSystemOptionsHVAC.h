// The HVAC options of a layer system: name, solid ducts, label prefix and suffix, the
// hatch of each air system (a grid row each: display, type, pattern, angle in
// degrees, scale), flex duct hatching and the hatch overhang.
#pragma once
#include <vector>

#include <gridcontrol.h>

#include "standards/CLayerSystemOptions.h"

namespace tabrik::arx::standards {

class CLayerSystemOptionsHVAC : public CLayerSystemOptions {
 public:
  CLayerSystemOptionsHVAC(CTblLayerSystem& record, long id, CWnd* parent);

  enum Column { kAirColumn, kOnColumn, kTypeColumn, kPatternColumn, kAngleColumn, kScaleColumn };

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void ShowOptions(const LayerSystemOptions& options) override;
  void ReadOptions(LayerSystemOptions& options) override;
  void OnEndEdit(NMHDR* header, LRESULT* result);

 private:
  // The pattern cell of a row after its type: a combo of the pattern names for
  // "Predefined" (an empty pattern takes the first name), plain text otherwise.
  void ShapePatternCell(int row);

  CGridControl m_grid;
  std::vector<CString> m_patterns;

  DECLARE_MESSAGE_MAP()
};

}  // namespace tabrik::arx::standards
