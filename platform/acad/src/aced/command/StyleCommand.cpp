// -STYLE: makes or changes a text style and makes it current (TEXTSTYLE).
#include <cmath>
#include <cstdio>

#include "acdb.h"
#include "acedads.h"
#include "aced/command/CommandSupport.h"
#include "aced/command/CoreCommands.h"
#include "dbsymtb.h"

namespace tabrik::acad::command {

namespace {

std::string fourPlaces(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.4f", value);
  return buffer;
}

std::string shortest(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

struct StyleSettings {
  std::wstring font = L"txt";
  double height = 0, width = 1, oblique = 0;
  bool backwards = false, upsideDown = false;
};

// RTNORM with the value (Enter keeps it), RTCAN.
int askReal(const std::string& prompt, double& value, int bits = 0) {
  acedInitGet(bits, nullptr);
  double typed = value;
  int status = acedGetReal(wide(prompt).c_str(), &typed);
  if (status == RTCAN) return RTCAN;
  if (status == RTNORM) value = typed;
  return RTNORM;
}

int askYesNo(const std::string& prompt, bool& value) {
  std::string answer;
  int status = getKeyword(prompt, "Yes No", answer);
  if (status == RTCAN) return RTCAN;
  if (status == RTNORM) value = answer == "Yes";
  return RTNORM;
}

}  // namespace

int styleCommand() {
  AcDbDatabase* database = drawing();
  if (database == nullptr) return RTERROR;
  std::string current = recordName(database->textstyle());
  std::string name;
  int status = getText("\nEnter name of text style or [?] <" + current + ">: ", name);
  if (status != RTNORM) return status;
  if (name.empty()) name = current;
  AcDbObjectId id = textStyleId(name);
  StyleSettings settings;
  if (!id.isNull()) {
    say("\nExisting style.");
    AcDbTextStyleTableRecord* record = nullptr;
    if (acdbOpenObject(record, id, AcDb::kForRead) == Acad::eOk) {
      const ACHAR* font = nullptr;
      if (record->fileName(font) == Acad::eOk && font != nullptr) settings.font = font;
      settings.height = record->textSize();
      settings.width = record->xScale();
      settings.oblique = record->obliquingAngle();
      record->close();
    }
  } else {
    say("\nNew style.");
  }
  std::string font;
  status = getText(
      "\nSpecify full font name or font filename (TTF or SHX) <" + narrow(settings.font) + ">: ",
      font, true);
  if (status != RTNORM) return status;
  if (!font.empty()) settings.font = wide(font);
  if ((status = askReal(
           "\nSpecify height of text or [Annotative] <" + fourPlaces(settings.height) + ">: ",
           settings.height, RSG_NONEG)) != RTNORM)
    return status;
  if ((status = askReal("\nSpecify width factor <" + fourPlaces(settings.width) + ">: ",
                        settings.width, RSG_NOZERO | RSG_NONEG)) != RTNORM)
    return status;
  double degrees = settings.oblique * 180.0 / M_PI;
  if ((status = askReal("\nSpecify obliquing angle <" + shortest(degrees) + ">: ", degrees)) !=
      RTNORM)
    return status;
  settings.oblique = degrees * M_PI / 180.0;
  if ((status = askYesNo("\nDisplay text backwards? [Yes/No] <No>: ", settings.backwards)) !=
      RTNORM)
    return status;
  if ((status = askYesNo("\nDisplay text upside-down? [Yes/No] <No>: ", settings.upsideDown)) !=
      RTNORM)
    return status;

  AcDbTextStyleTableRecord* record = nullptr;
  AcDbTextStyleTable* table = nullptr;
  if (id.isNull()) {
    if (database->getTextStyleTable(table, AcDb::kForWrite) != Acad::eOk) return RTERROR;
    record = new AcDbTextStyleTableRecord;
    if (record->setName(wide(name).c_str()) != Acad::eOk) {
      delete record;
      table->close();
      say("\nInvalid style name.");
      return RTNORM;
    }
  } else if (acdbOpenObject(record, id, AcDb::kForWrite) != Acad::eOk) {
    return RTERROR;
  }
  record->setFileName(settings.font.c_str());
  record->setTextSize(settings.height);
  record->setXScale(settings.width);
  record->setObliquingAngle(settings.oblique);
  if (table != nullptr) {
    if (table->add(id, record) != Acad::eOk) {
      delete record;
      table->close();
      return RTERROR;
    }
    table->close();
  }
  record->close();
  database->setTextstyle(id);
  say("\n\"" + recordName(id) + "\" is now the current text style.");
  return RTNORM;
}

}  // namespace tabrik::acad::command
