// What the host's own drawing-file readers and writers (DXF, the binary form) need
// beyond the SDK: objects in handle order, placing objects under the handles a file
// gives, rebuilding the containers a file describes only implicitly (table records,
// block contents, sub-entities), and the BLOCK/ENDBLK framing of blocks. Not for
// module code.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbfiler.h"
#include "dbmain.h"

class AcDbBlockTableRecord;
class AcDbSymbolTable;

namespace tabrik::acad {

// The object behind an id whatever its open state (the host's own filers read objects
// that commands hold open); null for an id with no object.
AcDbObject* peekObject(AcDbObjectId id);
// Adds what every drawing must hold and a file may lack: the nine tables with their
// standard records, the layout blocks with their BLOCK/ENDBLK, the named-object
// dictionary with ACAD_GROUP.
void completeDrawing(AcDbDatabase* database);

// Every resident object (erased ones included), in handle order.
std::vector<AcDbObjectId> objectIds(const AcDbDatabase* database);
// Makes the object resident under the given handle (or a fresh one for the null
// handle), closed. eHandleInUse when another object has that handle.
Acad::ErrorStatus addObjectWithHandle(AcDbDatabase* database, AcDbObject* object, AcDbHandle handle,
                                      AcDbObjectId& id);
// A reader that streams a file meets the handles it names one by one. Between these
// calls, objects added without a handle take provisional handles past any a file can
// name (so they never take one a later object of the file names); the end renumbers
// them after the highest handle the database then holds, in the order they were made.
void beginProvisionalHandles(AcDbDatabase* database);
void endProvisionalHandles(AcDbDatabase* database);
// Raises the next handle to give out to at least `seed`.
void raiseHandseed(AcDbDatabase* database, AcDbHandle seed);

void appendTableRecord(AcDbSymbolTable* table, AcDbObjectId record);
void appendBlockEntity(AcDbBlockTableRecord* block, AcDbObjectId entity);
void setBlockFrame(AcDbBlockTableRecord* block, AcDbObjectId begin, AcDbObjectId end);
// A BLOCK entity's data: name, base point, flags, external reference path.
struct BlockHead {
  std::wstring name;
  AcGePoint3d origin;
  int flags = 0;
  std::wstring path;
};
BlockHead blockHead(const AcDbObject* blockBegin);

// The objects at the root of a drawing.
struct DatabaseRoots {
  AcDbObjectId blockTable, layerTable, linetypeTable, textStyleTable, regAppTable, viewportTable,
      viewTable, ucsTable, dimStyleTable, namedObjects;
};
DatabaseRoots databaseRoots(const AcDbDatabase* database);
// Sets the roots and derives the rest (model and paper space, the group dictionary,
// the standard linetypes, current layer and style) by name.
void setDatabaseRoots(AcDbDatabase* database, const DatabaseRoots& roots);

// Sub-entities written after their owner: an INSERT's ATTRIBs, a POLYLINE's VERTEXes,
// then their SEQEND. Empty for entities without any.
std::vector<AcDbObjectId> subEntityIds(const AcDbEntity* entity);
AcDbObjectId sequenceEndId(const AcDbEntity* entity);
// For readers: false when the owner takes no sub-entities of that kind.
bool appendSubEntity(AcDbEntity* owner, AcDbObjectId subEntity);
void setSequenceEnd(AcDbEntity* owner, AcDbObjectId sequenceEnd);

// The kind of value a DXF group code carries (one table for every reader and writer).
enum class DxfGroupKind { kPoint, kReal, kInt16, kInt32, kInt64, kHandle, kString };
DxfGroupKind dxfGroupKind(int code);

// What R2000 files point at that this host keeps as proxies: the ACDBPLACEHOLDER of a
// plot style name in ACAD_PLOTSTYLENAME (the default entry for an empty name), and the
// LAYOUT of a layout block in ACAD_LAYOUT. Null when the drawing has none.
AcDbObjectId plotStyleNameId(AcDbDatabase* database, const std::wstring& name);
AcDbObjectId layoutIdOf(AcDbDatabase* database, AcDbObjectId blockRecord);
// A layer read from DXF names its plot style by a placeholder (390) whose name comes
// later in the file: until completeDrawing turns it into that name, the layer's plot
// style name is this marker holding the placeholder's handle.
inline constexpr wchar_t kPendingPlotStyle = L'\x01';
std::wstring pendingPlotStyleName(AcDbObjectId placeholder);

// The host's DXF writer knows which objects its file holds: lists of pointers (group
// members, reactors, sort entries, a layer's plot style) leave out the others, since a
// reader could not resolve them. Any other filer holds every live object.
class FiledObjects {
 public:
  virtual ~FiledObjects() = default;
  virtual bool holds(AcDbObjectId id) const = 0;
};
bool isFiled(const AcDbDxfFiler* filer, AcDbObjectId id);

// The file a database was read from or saved to.
void setFilename(AcDbDatabase* database, const std::wstring& name);

// What the last read of a drawing file into the database had to say, for the user:
// why a read failed ("line 15: a number was expected", the line counted from 1), or the
// first object a successful read left out. Empty when there was nothing to say.
void setReadMessage(AcDbDatabase* database, const std::wstring& message);
const std::wstring& readMessage(const AcDbDatabase* database);

// The DXF reader and writer live in their own library; it installs them here so that
// readDwgFile, dxfIn and dxfOut can reach them.
using DxfReadFunction = Acad::ErrorStatus (*)(AcDbDatabase* database, const std::wstring& path);
using DxfWriteFunction = Acad::ErrorStatus (*)(AcDbDatabase* database, const std::wstring& path);
void installDxfFiling(DxfReadFunction reader, DxfWriteFunction writer);

// The host searches for files (findFile of the host application services) the way
// its command line does; it installs that search here. Without one a name is found
// only when it exists as given.
using FileFinder = std::optional<std::wstring> (*)(const std::wstring& name);
void installFileFinder(FileFinder finder);
std::optional<std::wstring> findFileWithFinder(const std::wstring& name);

// True for the drawing database's own classes; false for classes a module registered
// (custom entities and objects), which other software may not know.
bool isHostClass(const AcRxClass* cls);

// The host's own binary drawing file (readDwgFile reads it whatever the extension;
// saveAs writes it for a ".dwg" name). Reading needs an empty database (eWrongDatabase
// otherwise); a file that is not one fails with eBadDwgHeader, a damaged or truncated
// one with eDwgNeedsRecovery, and the database then holds what was read.
bool isBinaryDrawing(std::string_view bytes);
Acad::ErrorStatus writeBinaryDrawing(AcDbDatabase* database, std::string& bytes);
Acad::ErrorStatus readBinaryDrawing(AcDbDatabase* database, std::string_view bytes);

}  // namespace tabrik::acad
