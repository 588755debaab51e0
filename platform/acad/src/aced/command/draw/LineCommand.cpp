// LINE: segments drawn one by one from a first point, each a line entity committed as
// it is given (Escape keeps them); Undo takes back the last, Close returns to the
// first point once two segments exist.
#include <vector>

#include "acedads.h"
#include "acutads.h"
#include "aced/command/CommandDrawing.h"
#include "aced/command/CommandGeometry.h"
#include "aced/command/CommandInput.h"
#include "aced/command/CoreCommands.h"
#include "dbents.h"

namespace tabrik::acad::command {

namespace {

// The first point; Enter continues from where the last line or arc ended.
int firstPoint(AcGePoint3d& point) {
  std::wstring prompt = L"\nSpecify first point: ";
  while (true) {
    Answer answer = getPoint(nullptr, prompt);
    if (answer.status == RTNORM) {
      point = answer.point;
      return RTNORM;
    }
    if (answer.status != RTNONE) return answer.status;
    if (std::optional<Continuation> from = lastContinuation()) {
      point = from->point;
      setLastPoint(point);
      return RTNORM;
    }
    acutPrintf(L"\nNo line or arc to continue.\n");
  }
}

}  // namespace

int lineCommand() {
  AcGePoint3d first;
  int status = firstPoint(first);
  if (status != RTNORM) return status;
  std::vector<AcGePoint3d> points{first};
  std::vector<AcDbObjectId> segments;
  while (true) {
    const bool canClose = segments.size() >= 2;
    Answer answer = getPoint(
        &points.back(),
        canClose ? L"\nSpecify next point or [Close/Undo]: " : L"\nSpecify next point or [Undo]: ",
        canClose ? L"Close Undo" : L"Undo");
    if (answer.status == RTCAN) return RTCAN;
    if (answer.status == RTNONE) return RTNORM;
    if (answer.isKeyword(L"Undo")) {
      if (segments.empty()) {
        acutPrintf(L"\nAll segments already undone.\n");
        continue;
      }
      eraseEntity(segments.back());
      segments.pop_back();
      points.pop_back();
      setLastPoint(points.back());
      continue;
    }
    const AcGePoint3d to = answer.isKeyword(L"Close") ? points.front() : answer.point;
    AcDbObjectId id = appendEntity(new AcDbLine(points.back(), to));
    if (id.isNull()) return RTERROR;
    setContinuation(to, directionOf(points.back(), to));
    segments.push_back(id);
    points.push_back(to);
    if (answer.isKeyword(L"Close")) {
      setLastPoint(to);
      return RTNORM;
    }
  }
}

}  // namespace tabrik::acad::command
