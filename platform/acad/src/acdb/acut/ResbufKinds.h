// Which member of a result buffer's value union is live for a given type code. The
// buffer utilities, the LISP bridge and the entity-data code all ask this one table,
// so that copying and releasing agree on who owns a string or a binary chunk.
//
// | codes                                  | kind    | member   |
// |----------------------------------------|---------|----------|
// | RTREAL RTANG RTORINT, 38-59, 140-149,   | kReal   | rreal    |
// |   460-469, 1040-1042                    |         |          |
// | RTPOINT RT3DPOINT, 10-17, 110-112, 210, | kPoint  | rpoint   |
// |   1010-1013                             |         |          |
// | RTSHORT, 60-79, 170-179, 270-299,       | kShort  | rint     |
// |   370-389, 400-409, 1060-1070           |         |          |
// | RTLONG, 90-99, 420-459, 1071            | kLong   | rlong    |
// | 160-169                                 | kInt64  | mnInt64  |
// | RTSTR RTDXF0, -4, 0-9, 100-109,         | kString | rstring  |
// |   300-309, 320-329, 410-419, 430-439,   |         |          |
// |   470-479, 999, 1000-1003, 1005-1009    |         |          |
// | 310-319, 1004                           | kBinary | rbinary  |
// | RTENAME RTPICKS, -1 -2 -5, 330-369,     | kName   | rlname   |
// |   390-399, 480-481                      |         |          |
// | RTNONE RTVOID RTLB RTLE RTDOTE RTNIL    | kNone   | (none)   |
// |   RTT, -3                               |         |          |
// | anything else                           | kUnknown|          |
#pragma once

namespace tabrik::acad {

enum class ResbufKind {
  kNone,
  kReal,
  kPoint,
  kShort,
  kLong,
  kInt64,
  kString,
  kBinary,
  kName,
  kUnknown
};

ResbufKind resbufKind(int restype);

}  // namespace tabrik::acad
