// The toolkit's HTTP(S) download (see Download.h).
#include "toolkit/Download.h"

#include <curl/curl.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include "toolkit/CurlGlobal.h"
#include "toolkit/NativeFiles.h"

namespace tabrik::toolkit {
namespace {

struct Transfer {
  std::FILE* file;
  const ProgressCallback* progress;
};

size_t writeBody(char* data, size_t size, size_t count, void* state) {
  auto* transfer = static_cast<Transfer*>(state);
  return std::fwrite(data, size, count, transfer->file) * size;
}

int reportProgress(void* state, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
  auto* transfer = static_cast<Transfer*>(state);
  if (total > 0 && *transfer->progress) {
    (*transfer->progress)(static_cast<double>(now) / static_cast<double>(total));
  }
  return 0;
}

// Only web addresses, and only written out: libcurl would otherwise guess a scheme for
// a bare name and look it up.
bool isWebAddress(const std::string& address) {
  auto startsWith = [&](const char* prefix) {
    const std::string text(prefix);
    if (address.size() <= text.size()) {
      return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(address[i])) != text[i]) {
        return false;
      }
    }
    return true;
  };
  return startsWith("http://") || startsWith("https://");
}

}  // namespace

bool downloadFile(const std::string& address, const std::string& path,
                  const DownloadOptions& options, ErrorReport& errors) {
  const std::string target = nativePath(path);
  if (!isWebAddress(address)) {
    errors.add("download", "not a web address: " + address);
    return false;
  }
  if (target.empty() || target.back() == '/' || isFolder(target)) {
    errors.add("download", "no file to download to");
    return false;
  }
  if (!isFolder(folderOf(target))) {
    errors.add("download", "no such folder: " + folderOf(path));
    return false;
  }
  std::string temporary = target + ".partXXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    errors.add("download", "cannot write in the folder of " + path);
    return false;
  }
  // mkstemp makes the file private; a downloaded file gets the usual permissions.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) {
    ::close(fd);
    ::unlink(temporary.c_str());
    errors.add("download", "cannot write in the folder of " + path);
    return false;
  }

  ensureCurlGlobal();
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  curl_slist* headers = nullptr;
  headers = curl_slist_append(headers, "Cache-Control: no-cache");
  headers = curl_slist_append(headers, "Pragma: no-cache");
  Transfer transfer{file, &options.progress};
  CURLcode result = CURLE_FAILED_INIT;
  char message[CURL_ERROR_SIZE] = "";
  if (curl) {
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, options.stallSeconds);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, reportProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, message);
    result = curl_easy_perform(handle);
  }
  curl_slist_free_all(headers);
  const bool closed = std::fclose(file) == 0;
  if (result != CURLE_OK || !closed) {
    ::unlink(temporary.c_str());
    errors.add("download",
               address + ": " + (*message != '\0' ? message : curl_easy_strerror(result)));
    return false;
  }
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    errors.add("download", "cannot replace " + path);
    return false;
  }
  return true;
}

}  // namespace tabrik::toolkit
