// The electrical options of a layer system: its name and whether conduits and cable
// trays are drawn solid. The two product editions that draw no conduits hide the
// check box (its value is saved unchanged).
#pragma once
#include "standards/CLayerSystemOptions.h"

namespace tabrik::arx::standards {

class CLayerSystemOptionsElec : public CLayerSystemOptions {
 public:
  CLayerSystemOptionsElec(const CString& product, CTblLayerSystem& record, long id, CWnd* parent);

  // Whether the product edition draws no conduits ("ELEC-LT" or "LIGHTING", in any case).
  static bool DrawsNoConduits(const CString& product);

 protected:
  BOOL OnInitDialog() override;

 private:
  CString m_product;
};

}  // namespace tabrik::arx::standards
