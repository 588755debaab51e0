// Downloads over HTTP(S) with libcurl, always fetching a fresh copy: the request asks
// every cache on the way not to answer from a stored copy. The file appears under its
// name only when the whole body arrived; until then it is written to a temporary name
// in the same folder, which is removed on failure.
#pragma once
#include <string>

#include "toolkit/ErrorReport.h"
#include "toolkit/ZipArchive.h"

namespace tabrik::toolkit {

struct DownloadOptions {
  long connectTimeoutSeconds = 30;
  // A transfer slower than one byte a second for this long is given up.
  long stallSeconds = 60;
  ProgressCallback progress;  // fraction of the announced length, when one is announced
};

// Fetches address (http or https, redirects followed) into the file at path (a module
// path; '\' separates too). False on any failure: a folder that does not exist, an
// HTTP status of 400 or above, a connection that ends before the announced length.
bool downloadFile(const std::string& address, const std::string& path,
                  const DownloadOptions& options, ErrorReport& errors);

}  // namespace tabrik::toolkit
