// The AcDb namespace: the enumerations shared by the drawing database's classes.
#pragma once
#include "adesk.h"

namespace AcDb {
enum OpenMode { kNotOpen = -1, kForRead = 0, kForWrite = 1, kForNotify = 2 };

enum FilerType {
  kFileFiler = 0,
  kCopyFiler = 1,
  kUndoFiler = 2,
  kBagFiler = 3,
  kIdXlateFiler = 4,
  kPageFiler = 5,
  kDeepCloneFiler = 6,
  kIdFiler = 7,
  kPurgeFiler = 8,
  kWblockCloneFiler = 9,
};

enum DwgVersion {
  kDHL_MC0_0 = 0,
  kDHL_1015 = 23,
  kDHL_1018 = 25,
  kDHL_1021 = 27,
  kDHL_CURRENT = kDHL_1021
};
enum MaintenanceReleaseVersion { kMRelease0 = 0, kMReleaseCurrent = 0 };

enum Visibility { kVisible = 0, kInvisible = 1 };

enum LineWeight {
  kLnWt000 = 0,
  kLnWt005 = 5,
  kLnWt009 = 9,
  kLnWt013 = 13,
  kLnWt015 = 15,
  kLnWt018 = 18,
  kLnWt020 = 20,
  kLnWt025 = 25,
  kLnWt030 = 30,
  kLnWt035 = 35,
  kLnWt040 = 40,
  kLnWt050 = 50,
  kLnWt053 = 53,
  kLnWt060 = 60,
  kLnWt070 = 70,
  kLnWt080 = 80,
  kLnWt090 = 90,
  kLnWt100 = 100,
  kLnWt106 = 106,
  kLnWt120 = 120,
  kLnWt140 = 140,
  kLnWt158 = 158,
  kLnWt200 = 200,
  kLnWt211 = 211,
  kLnWtByLayer = -1,
  kLnWtByBlock = -2,
  kLnWtByLwDefault = -3,
};

// What a clone does with a record whose name the destination already has.
enum DuplicateRecordCloning {
  kDrcNotApplicable = 0,
  kDrcIgnore = 1,
  kDrcReplace = 2,
  kDrcXrefMangleName = 3,
  kDrcMangleName = 4,
  kDrcUnmangleName = 5,
};

// Extension of the two operands of intersectWith.
enum Intersect { kOnBothOperands = 0, kExtendThis = 1, kExtendArg = 2, kExtendBoth = 3 };

enum OsnapMode {
  kOsModeEnd = 1,
  kOsModeMid = 2,
  kOsModeCen = 3,
  kOsModeNode = 4,
  kOsModeQuad = 5,
  kOsModeIns = 7,
  kOsModePerp = 8,
  kOsModeTan = 9,
  kOsModeNear = 10,
  kOsModeApint = 11,
  kOsModePar = 13,
  kOsModeStart = 14,
};

enum Poly2dType {
  k2dSimplePoly = 0,
  k2dFitCurvePoly = 1,
  k2dQuadSplinePoly = 2,
  k2dCubicSplinePoly = 3
};
enum Vertex2dType {
  k2dVertex = 0,
  k2dSplineCtlVertex = 1,
  k2dSplineFitVertex = 2,
  k2dCurveFitVertex = 3
};

enum TextHorzMode {
  kTextLeft = 0,
  kTextCenter = 1,
  kTextRight = 2,
  kTextAlign = 3,
  kTextMid = 4,
  kTextFit = 5
};
enum TextVertMode { kTextBase = 0, kTextBottom = 1, kTextVertMid = 2, kTextTop = 3 };

enum Planarity { kNonPlanar = 0, kPlanar = 1, kLinear = 2 };

enum SaveType { kDwg = 0, kDxf = 1 };

// DXF group codes the database's own code names (a few of the SDK's AcDb::DxfCode).
enum DxfCode {
  kDxfInvalid = -9999,
  kDxfStart = 0,
  kDxfText = 1,
  kDxfXRefPath = 1,
  kDxfShapeName = 2,
  kDxfBlockName = 2,
  kDxfHandle = 5,
  kDxfLinetypeName = 6,
  kDxfTextStyleName = 7,
  kDxfLayerName = 8,
  kDxfXCoord = 10,
  kDxfReal = 40,
  kDxfAngle = 50,
  kDxfColor = 62,
  kDxfInt16 = 70,
  kDxfInt32 = 90,
  kDxfSubclass = 100,
  kDxfSoftPointerId = 330,
  kDxfHardPointerId = 340,
  kDxfSoftOwnershipId = 350,
  kDxfHardOwnershipId = 360,
  kDxfLineWeight = 370,
  kDxfColorRGB = 420,
  kDxfXdAsciiString = 1000,
  kDxfRegAppName = 1001,
  kDxfXdControlString = 1002,
  kDxfXdLayerName = 1003,
  kDxfXdBinaryChunk = 1004,
  kDxfXdHandle = 1005,
  kDxfXdXCoord = 1010,
  kDxfXdWorldXCoord = 1011,
  kDxfXdWorldXDisp = 1012,
  kDxfXdWorldXDir = 1013,
  kDxfXdReal = 1040,
  kDxfXdDist = 1041,
  kDxfXdScale = 1042,
  kDxfXdInteger16 = 1070,
  kDxfXdInteger32 = 1071,
};
}  // namespace AcDb
