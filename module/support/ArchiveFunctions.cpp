// DownloadFile, ExtractZip and CreateZip: the LISP side of the toolkit's download and
// zip archives. None of them prints anything; failure is nil.
#include <acedads.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "support/NarrowText.h"
#include "support/TransferProgress.h"
#include "toolkit/Download.h"
#include "toolkit/ZipArchive.h"

namespace tabrik::arx::fn {

// (DownloadFile address file): always nil; the file is there afterwards only when the
// whole of it arrived.
int DownloadFile() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring address;
  std::wstring file;
  if (!readString(cursor, address) || !readString(cursor, file)) {
    return kResultOk;
  }
  TransferProgress progress(L"Downloading");
  toolkit::DownloadOptions options;
  options.progress = progress.callback();
  toolkit::ErrorReport errors;
  toolkit::downloadFile(narrowText(address), narrowText(file), options, errors);
  return kResultOk;
}

// (ExtractZip archive folder): T when the archive opened and all of it was extracted.
int ExtractZip() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring archivePath;
  std::wstring folder;
  if (!readString(cursor, archivePath) || !readString(cursor, folder)) {
    return kResultOk;
  }
  TransferProgress progress(L"Extracting");
  toolkit::ZipArchive archive;
  archive.setProgress(progress.callback());
  const bool extracted =
      archive.open(narrowText(archivePath)) && archive.extractAll(narrowText(folder));
  archive.close();
  if (extracted) {
    acedRetT();
  }
  return kResultOk;
}

// (CreateZip archive files): T when the archive was written. The files are the strings
// that follow, inside a list or not; the first element that is not a string ends them.
int CreateZip() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring archivePath;
  if (!readString(cursor, archivePath)) {
    return kResultOk;
  }
  TransferProgress progress(L"Compressing");
  toolkit::ZipArchive archive;
  archive.setProgress(progress.callback());
  if (!archive.create(narrowText(archivePath))) {
    return kResultOk;
  }
  readListStart(cursor);
  std::wstring file;
  while (readString(cursor, file)) {
    if (!archive.addFile(narrowText(file), /*keepPathInfo=*/false)) {
      archive.close();
      return kResultOk;
    }
  }
  if (archive.write()) {
    acedRetT();
  }
  return kResultOk;
}

}  // namespace tabrik::arx::fn
