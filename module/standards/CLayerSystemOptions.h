// The frame the three layer system option dialogs share: the "Layer System:" name and
// the discipline's fields of one tblLayerSystem row, loaded by id when the dialog
// opens and written back to the same row by OK (nothing is validated; an id that
// names no row writes nothing).
#pragma once
#include <acui.h>

#include "standards/LayerSystemOptions.h"
#include "standards/TblLayerSystem.h"

namespace tabrik::arx::standards {

class CLayerSystemOptions : public CAcUiDialog {
 public:
  CLayerSystemOptions(UINT idd, Discipline discipline, CTblLayerSystem& record, long id,
                      CWnd* parent);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  // The discipline's own controls: shown from, and read into, the options.
  virtual void ShowOptions(const LayerSystemOptions& options);
  virtual void ReadOptions(LayerSystemOptions& options);

  CTblLayerSystem& m_record;
  long m_id;
  LayerSystemOptions m_options;

 private:
  Discipline m_discipline;
};

}  // namespace tabrik::arx::standards
