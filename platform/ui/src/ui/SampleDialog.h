// The host's sample dialog (see SampleDialog.cpp).
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "resourcedata.h"

namespace tabrik::ui {

struct SampleResult {
  std::wstring name, notes;
  bool urgent = false;
  std::wstring colour, size, item;
  bool confirmed = false;
  // Every grid row's cells, hidden column included.
  std::vector<std::vector<std::wstring>> rows;
};

// The sample's templates (IDD_SAMPLE 100, IDD_SAMPLE_CONFIRM 101).
HINSTANCE sampleResources();
// Runs the sample over the host's resources stack; nothing when not confirmed with OK.
std::optional<SampleResult> runSampleDialog(const std::wstring& name);

}  // namespace tabrik::ui
