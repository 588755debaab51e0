#include "standards/LayerSystemOptions.h"

#include <cwchar>

#include "standards/StandardsSql.h"

namespace tabrik::arx::standards {

double numberFromText(const CString& text) { return std::wcstod(text.GetString(), nullptr); }

bool loadLayerSystemOptions(CTblLayerSystem& record, long id, LayerSystemOptions& options) {
  if (!record.FindByKey(id)) return false;
  using R = CTblLayerSystem;
  options.description = record.GetText(R::kDescription);
  options.solid = record.GetBool(R::kSolid);
  options.prefix = record.GetText(R::kPrefix);
  options.suffix = record.GetText(R::kSuffix);
  for (int air = 0; air < 4; ++air) {
    HatchOptions& hatch = options.hatch[static_cast<std::size_t>(air)];
    hatch.on = record.GetBool(R::HatchColumn(air, R::kHatchOn));
    hatch.type = record.GetText(R::HatchColumn(air, R::kHatchType));
    hatch.pattern = record.GetText(R::HatchColumn(air, R::kHatchPattern));
    hatch.angle =
        sql::formatNumber(record.GetDouble(R::HatchColumn(air, R::kHatchAngle)) * 180 / kPi, 2);
    hatch.scale = sql::formatNumber(record.GetDouble(R::HatchColumn(air, R::kHatchScale)), 2);
  }
  options.hatchFlexDucts = record.GetBool(R::kHatchFlexDucts);
  options.hatchOverhang = sql::formatNumber(record.GetDouble(R::kHatchOverhang), 4);
  return true;
}

bool saveLayerSystemOptions(CTblLayerSystem& record, long id, const LayerSystemOptions& options,
                            Discipline discipline) {
  if (!record.FindByKey(id)) return false;
  using R = CTblLayerSystem;
  record.Edit();
  record.SetText(R::kDescription, options.description);
  if (discipline != Discipline::Plumbing) record.SetBool(R::kSolid, options.solid);
  if (discipline == Discipline::HVAC) {
    record.SetText(R::kPrefix, options.prefix);
    record.SetText(R::kSuffix, options.suffix);
    for (int air = 0; air < 4; ++air) {
      const HatchOptions& hatch = options.hatch[static_cast<std::size_t>(air)];
      record.SetBool(R::HatchColumn(air, R::kHatchOn), hatch.on);
      record.SetText(R::HatchColumn(air, R::kHatchType), hatch.type);
      record.SetText(R::HatchColumn(air, R::kHatchPattern), hatch.pattern);
      record.SetDouble(R::HatchColumn(air, R::kHatchAngle),
                       numberFromText(hatch.angle) * kPi / 180);
      record.SetDouble(R::HatchColumn(air, R::kHatchScale), numberFromText(hatch.scale));
    }
    record.SetBool(R::kHatchFlexDucts, options.hatchFlexDucts);
    record.SetDouble(R::kHatchOverhang, numberFromText(options.hatchOverhang));
  }
  return record.Save();
}

}  // namespace tabrik::arx::standards
