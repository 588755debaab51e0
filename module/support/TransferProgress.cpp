// The progress meter of a long transfer (see TransferProgress.h).
#include "support/TransferProgress.h"

#include <acedads.h>

namespace tabrik::arx {

TransferProgress::~TransferProgress() {
  if (m_shown) {
    acedRestoreStatusBar();
  }
}

toolkit::ProgressCallback TransferProgress::callback() {
  return [this](double fraction) { report(fraction); };
}

void TransferProgress::report(double fraction) {
  if (!(fraction >= 0.0)) {  // also a NaN
    return;
  }
  const int percent = fraction >= 1.0 ? 100 : static_cast<int>(fraction * 100.0);
  if (!m_shown) {
    acedSetStatusBarProgressMeter(m_label.c_str(), 0, 100);
    m_shown = true;
  }
  if (percent != m_percent) {
    m_percent = percent;
    acedSetStatusBarProgressMeterPos(percent);
  }
}

}  // namespace tabrik::arx
