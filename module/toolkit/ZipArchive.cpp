// Opening, creating, appending to and writing zip archives over libzip (see
// ZipArchive.h); extraction lives in ZipExtraction.cpp.
#include "toolkit/ZipArchive.h"

#include <zip.h>

#include <cstdio>
#include <ctime>

#include <sys/stat.h>

#include "toolkit/NativeFiles.h"

namespace tabrik::toolkit {
namespace {

std::string libzipMessage(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

void reportProgress(zip_t*, double fraction, void* state) {
  auto* progress = static_cast<ProgressCallback*>(state);
  if (progress != nullptr && *progress) {
    (*progress)(fraction);
  }
}

// The end-of-central-directory record of an archive without entries: libzip removes
// the file instead of writing one, yet an empty archive is a valid zip file.
constexpr unsigned char kEmptyArchive[22] = {'P', 'K', 5, 6};

bool writeEmptyArchive(const std::string& path) {
  const std::string temporary = path + ".tmp-empty";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    return false;
  }
  const bool written =
      std::fwrite(kEmptyArchive, 1, sizeof kEmptyArchive, file) == sizeof kEmptyArchive;
  if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

ZipArchive::~ZipArchive() { close(); }

bool ZipArchive::fail(const char* operation, std::string detail) {
  m_errors.add(operation, std::move(detail));
  return false;
}

bool ZipArchive::open(const std::string& path) {
  if (m_zip != nullptr) {
    return fail("open", "an archive is already open");
  }
  const std::string native = nativePath(path);
  if (!isRegularFile(native)) {
    return fail("open", "no such file: " + path);
  }
  int code = 0;
  m_zip = zip_open(native.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (m_zip == nullptr) {
    return fail("open", path + ": " + libzipMessage(code));
  }
  m_path = native;
  m_writing = false;
  const zip_int64_t count = zip_get_num_entries(m_zip, 0);
  m_entries = count > 0 ? static_cast<std::size_t>(count) : 0;
  return true;
}

bool ZipArchive::create(const std::string& path) {
  if (m_zip != nullptr) {
    return fail("create", "an archive is already open");
  }
  const std::string native = nativePath(path);
  if (native.empty() || native.back() == '/' || !isFolder(folderOf(native))) {
    return fail("create", "no folder for the archive: " + path);
  }
  if (isFolder(native)) {
    return fail("create", "a folder has that name: " + path);
  }
  int code = 0;
  m_zip = zip_open(native.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (m_zip == nullptr) {
    return fail("create", path + ": " + libzipMessage(code));
  }
  m_path = native;
  m_writing = true;
  m_entries = 0;
  zip_register_progress_callback_with_state(m_zip, /*precision=*/0.01, reportProgress,
                                            /*ud_free=*/nullptr, &m_progress);
  return true;
}

bool ZipArchive::addFile(const std::string& path, bool keepPathInfo) {
  if (m_zip == nullptr || !m_writing) {
    return fail("add", "no archive is being written");
  }
  const std::string native = nativePath(path);
  struct stat info {};
  if (::stat(native.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return fail("add", "not a file: " + path);
  }
  // The source is read only when the archive is written; open it now so that a file
  // this user may not read fails here, where the caller can still tell which.
  std::FILE* probe = std::fopen(native.c_str(), "rb");
  if (probe == nullptr) {
    return fail("add", "cannot read: " + path);
  }
  std::fclose(probe);

  std::string name = keepPathInfo ? native : baseName(native);
  while (!name.empty() && name.front() == '/') {
    name.erase(0, 1);
  }
  if (name.empty()) {
    return fail("add", "no name for the entry: " + path);
  }
  zip_source_t* source = zip_source_file(m_zip, native.c_str(), 0, /*length: to end*/ 0);
  if (source == nullptr) {
    return fail("add", path + ": " + zip_strerror(m_zip));
  }
  const zip_int64_t index =
      zip_file_add(m_zip, name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
  if (index < 0) {
    zip_source_free(source);
    return fail("add", path + ": " + zip_strerror(m_zip));
  }
  zip_file_set_mtime(m_zip, static_cast<zip_uint64_t>(index), info.st_mtime, 0);
  m_entries = static_cast<std::size_t>(zip_get_num_entries(m_zip, 0));
  return true;
}

bool ZipArchive::write() {
  if (m_zip == nullptr || !m_writing) {
    return fail("write", "no archive is being written");
  }
  if (zip_get_num_entries(m_zip, 0) == 0) {
    zip_discard(m_zip);
    m_zip = nullptr;
    return writeEmptyArchive(m_path) || fail("write", "cannot write " + m_path);
  }
  if (zip_close(m_zip) != 0) {
    std::string detail = zip_strerror(m_zip);
    zip_discard(m_zip);
    m_zip = nullptr;
    return fail("write", m_path + ": " + detail);
  }
  m_zip = nullptr;
  if (m_progress) {
    m_progress(1.0);
  }
  return true;
}

void ZipArchive::close() {
  if (m_zip != nullptr) {
    zip_discard(m_zip);
    m_zip = nullptr;
  }
}

}  // namespace tabrik::toolkit
