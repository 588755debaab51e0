// The host's status-bar progress meter for a long transfer (a download, an archive, a
// mail): shown on the first report of progress, moved in whole percents, removed when
// the guard goes.
#pragma once
#include <string>

#include "toolkit/ZipArchive.h"

namespace tabrik::arx {

class TransferProgress {
 public:
  explicit TransferProgress(std::wstring label) : m_label(std::move(label)) {}
  ~TransferProgress();
  TransferProgress(const TransferProgress&) = delete;
  TransferProgress& operator=(const TransferProgress&) = delete;

  // A callback for the toolkit; valid while this guard lives.
  toolkit::ProgressCallback callback();

 private:
  void report(double fraction);

  std::wstring m_label;
  bool m_shown = false;
  int m_percent = -1;
};

}  // namespace tabrik::arx
