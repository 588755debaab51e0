// -INSERT: a block reference of a block of the drawing, or of one defined first from a
// drawing file ("name=file", or a name the drawing lacks that names a file on the
// search path). Insertion point, scale (a factor, a corner, or X, Y and Z apart) and
// rotation, each of which may be given before the point; then the attributes, asked
// in the order of their definitions when ATTREQ is 1 and ATTDIA 0 (defaults otherwise,
// and for preset ones). Nothing is added until every answer is in.
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "acedads.h"
#include "acutads.h"
#include "aced/command/CommandDrawing.h"
#include "aced/command/CommandInput.h"
#include "aced/command/CoreCommands.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "gemat3d.h"

namespace tabrik::acad::command {

namespace {

constexpr size_t kPathSize = 4096;

AcDbObjectId blockNamed(const std::wstring& name) {
  AcDbBlockTable* table = nullptr;
  if (workingDrawing() == nullptr || workingDrawing()->getBlockTable(table) != Acad::eOk)
    return AcDbObjectId::kNull;
  AcDbObjectId id;
  Acad::ErrorStatus status = table->getAt(name.c_str(), id);
  table->close();
  return status == Acad::eOk ? id : AcDbObjectId::kNull;
}

// The drawing file a block name or file part names, found as given or with .dxf or
// .dwg, on the search path.
std::optional<std::wstring> findDrawingFile(const std::wstring& file) {
  for (const wchar_t* extension : {L"", L".dxf", L".dwg"}) {
    std::wstring candidate = file + extension;
    ACHAR found[kPathSize] = {0};
    if (acedFindFile(candidate.c_str(), found, kPathSize) == RTNORM) return std::wstring(found);
  }
  return std::nullopt;
}

// Defines block `name` from the model space of the drawing file.
AcDbObjectId defineFromFile(const std::wstring& name, const std::wstring& path) {
  if (workingDrawing() == nullptr) return AcDbObjectId::kNull;
  AcDbDatabase source(/*buildDefaultDrawing=*/false, /*noDocument=*/true);
  if (source.readDwgFile(path.c_str()) != Acad::eOk) return AcDbObjectId::kNull;
  AcDbObjectId id;
  if (workingDrawing()->insert(id, name.c_str(), &source) != Acad::eOk) return AcDbObjectId::kNull;
  return id;
}

// Replaces the contents of block `blockId` by the model space of the drawing file:
// the file becomes a block under a passing name, whose entities then move over.
// References to the block show the new contents.
bool redefineFromFile(AcDbObjectId blockId, const std::wstring& path) {
  const std::wstring passing = L"TABRIK$REDEFINING";
  AcDbObjectId fresh = defineFromFile(passing, path);
  if (fresh.isNull()) return false;
  AcDbBlockTableRecord* target = nullptr;
  AcDbBlockTableRecord* source = nullptr;
  if (acdbOpenObject(source, fresh, AcDb::kForWrite) != Acad::eOk) return false;
  if (acdbOpenObject(target, blockId, AcDb::kForWrite) != Acad::eOk) {
    source->erase();
    source->close();
    return false;
  }
  for (const AcDbObjectId& id : AcDbObjectIdArray(target->entityIds())) {
    AcDbEntity* old = nullptr;
    if (acdbOpenObject(old, id, AcDb::kForWrite) != Acad::eOk) continue;
    old->erase();
    old->close();
  }
  target->setOrigin(source->origin());
  for (const AcDbObjectId& id : AcDbObjectIdArray(source->entityIds())) {
    AcDbEntity* entity = nullptr;
    if (acdbOpenObject(entity, id, AcDb::kForWrite) != Acad::eOk) continue;
    auto* copy = AcDbEntity::cast(entity->clone());
    entity->erase();
    entity->close();
    if (copy == nullptr) continue;
    if (target->appendAcDbEntity(copy) == Acad::eOk)
      copy->close();
    else
      delete copy;
  }
  source->erase();
  source->close();
  target->close();
  return true;
}

std::wstring baseName(const std::wstring& path) {
  size_t slash = path.find_last_of(L"/\\");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

// The block the answer names, defined from a file when it must be; null after the
// host's message when there is none.
AcDbObjectId blockFor(const std::wstring& answer, std::wstring& name) {
  const size_t equals = answer.find(L'=');
  name = equals == std::wstring::npos ? answer : answer.substr(0, equals);
  std::wstring file = equals == std::wstring::npos ? L"" : answer.substr(equals + 1);
  if (equals == std::wstring::npos) {
    if (AcDbObjectId id = blockNamed(name); id.isValid()) return id;
    file = name;
    name = baseName(name);
  } else if (file.empty()) {
    file = name;
  }
  if (name.empty() || name.find_first_of(L"<>/\\\":;?*|,=`") != std::wstring::npos) {
    acutPrintf(L"\nInvalid block name.\n");
    return AcDbObjectId::kNull;
  }
  std::optional<std::wstring> path = findDrawingFile(file);
  if (!path) {
    acutPrintf(L"\n\"%ls\": Can't find file in search path.\n", file.c_str());
    return AcDbObjectId::kNull;
  }
  if (AcDbObjectId existing = blockNamed(name); existing.isValid()) {
    Answer redefine = getKeyword(
        L"\nBlock \"" + name + L"\" already exists. Redefine it? [Yes/No] <N>: ", L"Yes No");
    if (redefine.status == RTCAN) return AcDbObjectId::kNull;
    if (!redefine.isKeyword(L"Yes")) return existing;
    if (!redefineFromFile(existing, *path)) {
      acutPrintf(L"\nInvalid drawing file \"%ls\".\n", path->c_str());
      return AcDbObjectId::kNull;
    }
    return existing;
  }
  AcDbObjectId id = defineFromFile(name, *path);
  if (id.isNull()) acutPrintf(L"\nInvalid drawing file \"%ls\".\n", path->c_str());
  return id;
}

struct Placement {
  AcGePoint3d point;
  std::optional<double> x, y, z, rotation;
};

int askFactor(const std::wstring& prompt, std::optional<double>& factor) {
  Answer answer = getReal(prompt, L"", RSG_NOZERO);
  if (answer.status == RTNORM) factor = answer.value;
  if (answer.status == RTNONE) factor = 1.0;
  return answer.status == RTNONE ? RTNORM : answer.status;
}

// The insertion point, after any scale or rotation given first.
int askPoint(Placement& placement) {
  while (true) {
    Answer answer =
        getPoint(nullptr, L"\nSpecify insertion point or [Basepoint/Scale/X/Y/Z/Rotate]: ",
                 L"Basepoint Scale X Y Z Rotate", RSG_NONULL);
    if (answer.status == RTNORM) {
      placement.point = answer.point;
      return RTNORM;
    }
    if (answer.status != RTKWORD) return answer.status;
    int status = RTNORM;
    if (answer.isKeyword(L"Scale")) {
      std::optional<double> factor;
      status = askFactor(L"\nSpecify scale factor for XYZ axes <1>: ", factor);
      placement.x = placement.y = placement.z = factor;
    } else if (answer.isKeyword(L"X")) {
      status = askFactor(L"\nSpecify X scale factor <1>: ", placement.x);
    } else if (answer.isKeyword(L"Y")) {
      status = askFactor(L"\nSpecify Y scale factor <1>: ", placement.y);
    } else if (answer.isKeyword(L"Z")) {
      status = askFactor(L"\nSpecify Z scale factor <1>: ", placement.z);
    } else if (answer.isKeyword(L"Rotate")) {
      Answer angle = getAngle(nullptr, L"\nSpecify rotation angle <0>: ");
      if (angle.status == RTNORM || angle.status == RTNONE)
        placement.rotation = angle.status == RTNORM ? angle.value : 0.0;
      status = angle.status == RTNONE ? RTNORM : angle.status;
    } else if (answer.isKeyword(L"Basepoint")) {
      acutPrintf(L"\nA base point other than the block's own is not taken here.\n");
    }
    if (status != RTNORM) return status;
  }
}

// X (and Y) scale from the corner of a box whose other corner is the insertion point.
void scaleFromCorner(Placement& placement, const AcGePoint3d& corner) {
  placement.x = corner.x - placement.point.x;
  placement.y = corner.y - placement.point.y;
  if (*placement.x == 0) placement.x = 1.0;
  if (*placement.y == 0) placement.y = *placement.x;
}

int askScale(Placement& placement) {
  if (placement.x || placement.y || placement.z) {
    if (!placement.x) placement.x = 1.0;
    if (!placement.y) placement.y = *placement.x;
    if (!placement.z) placement.z = *placement.x;
    return RTNORM;
  }
  bool xyz = false;
  Answer answer = getPointOrNumber(
      &placement.point, L"\nEnter X scale factor, specify opposite corner, or [Corner/XYZ] <1>: ",
      L"Corner XYZ");
  if (answer.status == RTCAN) return RTCAN;
  if (answer.isKeyword(L"Corner")) {
    Answer corner = getPoint(&placement.point, L"\nSpecify opposite corner: ", L"", RSG_NONULL);
    if (corner.status != RTNORM) return corner.status;
    scaleFromCorner(placement, corner.point);
  } else if (answer.isKeyword(L"XYZ")) {
    xyz = true;
    Answer x = getPointOrNumber(&placement.point, L"\nSpecify X scale factor or [Corner] <1>: ",
                                L"Corner");
    if (x.status == RTCAN) return RTCAN;
    if (x.status == RTREAL) placement.x = x.value;
    if (x.status == RTNORM) scaleFromCorner(placement, x.point);
    if (x.isKeyword(L"Corner")) {
      Answer corner = getPoint(&placement.point, L"\nSpecify opposite corner: ", L"", RSG_NONULL);
      if (corner.status != RTNORM) return corner.status;
      scaleFromCorner(placement, corner.point);
    }
  } else if (answer.status == RTNORM) {
    scaleFromCorner(placement, answer.point);
    placement.z = *placement.x;
    return RTNORM;
  } else if (answer.status == RTREAL) {
    placement.x = answer.value;
  }
  if (!placement.x) placement.x = 1.0;
  if (!placement.y) {
    Answer y = getReal(L"\nEnter Y scale factor <use X scale factor>: ", L"", RSG_NOZERO);
    if (y.status != RTNORM && y.status != RTNONE) return y.status;
    placement.y = y.status == RTNORM ? y.value : *placement.x;
  }
  if (xyz) {
    Answer z = getReal(L"\nSpecify Z scale factor <use X scale factor>: ", L"", RSG_NOZERO);
    if (z.status != RTNORM && z.status != RTNONE) return z.status;
    placement.z = z.status == RTNORM ? z.value : *placement.x;
  }
  if (!placement.z) placement.z = *placement.x;
  return RTNORM;
}

struct AttributeValue {
  AcDbObjectId definition;
  std::wstring value;
};

// The value of each non-constant attribute definition, in definition order: asked
// when ATTREQ is 1 and the definition is not preset, its default otherwise.
int askAttributes(AcDbObjectId blockId, std::vector<AttributeValue>& values) {
  AcDbBlockTableRecord* block = nullptr;
  if (acdbOpenObject(block, blockId, AcDb::kForRead) != Acad::eOk) return RTERROR;
  const AcDbObjectIdArray ids = block->entityIds();
  block->close();
  // ATTDIA 1 would show the attribute dialog, which a command run here never does:
  // the defaults stand then, as with ATTREQ 0.
  const bool ask = intVariable(L"ATTREQ", 1) == 1 && intVariable(L"ATTDIA", 0) == 0;
  bool announced = false;
  for (const AcDbObjectId& id : ids) {
    AcDbAttributeDefinition* definition = nullptr;
    if (acdbOpenObject(definition, id, AcDb::kForRead) != Acad::eOk) continue;
    const bool constant = definition->isConstant(), preset = definition->isPreset();
    std::wstring prompt, tag = definition->tagConst(), value = definition->textStringConst();
    if (ACHAR* text = definition->prompt()) {
      prompt = text;
      delete[] text;
    }
    definition->close();
    if (constant) continue;
    if (ask && !preset) {
      if (!announced) acutPrintf(L"\nEnter attribute values");
      announced = true;
      std::wstring shown = (prompt.empty() ? tag : prompt);
      shown = L"\n" + shown + (value.empty() ? L"" : L" <" + value + L">") + L": ";
      Answer answer = getText(shown, true);
      if (answer.status != RTNORM) return answer.status;
      if (!answer.keyword.empty()) value = answer.keyword;
    }
    values.push_back(AttributeValue{id, value});
  }
  return RTNORM;
}

int addReference(AcDbObjectId blockId, const Placement& placement,
                 const std::vector<AttributeValue>& values) {
  auto* reference = new AcDbBlockReference(placement.point, blockId);
  reference->setScaleFactors(AcGeScale3d(*placement.x, *placement.y, *placement.z));
  reference->setRotation(placement.rotation.value_or(0.0));
  AcDbObjectId id = appendEntity(reference);
  if (id.isNull()) return RTERROR;
  if (values.empty()) return RTNORM;
  if (acdbOpenObject(reference, id, AcDb::kForWrite) != Acad::eOk) return RTERROR;
  const AcGeMatrix3d transform = reference->blockTransform();
  for (const AttributeValue& value : values) {
    AcDbAttributeDefinition* definition = nullptr;
    if (acdbOpenObject(definition, value.definition, AcDb::kForRead) != Acad::eOk) continue;
    auto* attribute = new AcDbAttribute();
    attribute->setPropertiesFrom(definition);
    attribute->setAttributeFromBlock(definition, transform);
    definition->close();
    attribute->setTextString(value.value.c_str());
    if (reference->appendAttribute(attribute) != Acad::eOk) {
      delete attribute;
      continue;
    }
    attribute->close();
  }
  reference->close();
  return RTNORM;
}

}  // namespace

int insertCommand() {
  const std::wstring last = stringVariable(L"INSNAME");
  Answer named = getText(last.empty() ? L"\nEnter block name or [?]: "
                                      : L"\nEnter block name or [?] <" + last + L">: ",
                         false);
  if (named.status != RTNORM) return named.status;
  std::wstring answer = named.keyword.empty() ? last : named.keyword;
  if (answer.empty()) return RTNORM;
  std::wstring name;
  AcDbObjectId blockId = blockFor(answer, name);
  if (blockId.isNull()) return RTERROR;
  setStringVariable(L"INSNAME", name);

  Placement placement;
  int status = askPoint(placement);
  if (status != RTNORM) return status;
  status = askScale(placement);
  if (status != RTNORM) return status;
  if (!placement.rotation) {
    Answer angle = getAngle(&placement.point, L"\nSpecify rotation angle <0>: ");
    if (angle.status != RTNORM && angle.status != RTNONE) return angle.status;
    placement.rotation = angle.status == RTNORM ? angle.value : 0.0;
  }
  std::vector<AttributeValue> values;
  status = askAttributes(blockId, values);
  if (status != RTNORM) return status;
  return addReference(blockId, placement, values);
}

}  // namespace tabrik::acad::command
