// The conversion of an Access file runs in a child process: libmdb reads whatever bytes
// the file holds, and a damaged file must not take the host down with it. The child
// writes the new database under a temporary name and tells the parent, one line per
// step, what it brought over; the parent renames the result into place only when the
// child finished, so the target appears whole or not at all.
#include "tabrik/AccessConversion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "DaoErrors.h"
#include "access/AccessFile.h"
#include "access/AccessImport.h"
#include "access/MdbSource.h"
#include "afxdao.h"
#include "tabrik/TextConversion.h"

namespace tabrik::dao {

namespace {

using access::AccessFormat;
using text::fromUtf8;
using text::nativePath;
using text::toUtf8;

// One line of the child's report; tabs and newlines inside texts become blanks.
std::string field(const std::wstring& text) {
  std::string out = toUtf8(text);
  for (char& c : out)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return out;
}

class PipeSink : public access::ImportSink {
 public:
  explicit PipeSink(int fd) : m_fd(fd) {}

  void send(const std::string& line) {
    std::string all = line + "\n";
    const char* p = all.data();
    size_t left = all.size();
    while (left > 0) {
      ssize_t n = ::write(m_fd, p, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;  // the parent went away: nobody to tell
      p += n;
      left -= static_cast<size_t>(n);
    }
  }
  void tableDone(const AccessTableReport& t) override {
    send("T\t" + field(t.name) + "\t" + std::to_string(t.records) + "\t" +
         std::to_string(t.recordsLeftOut));
    for (const auto& note : t.notes) send("t\t" + field(note));
  }
  void note(const std::wstring& text) override { send("N\t" + field(text)); }
  void totals(long relations, long queries) override {
    send("S\t" + std::to_string(relations) + "\t" + std::to_string(queries));
  }

 private:
  int m_fd;
};

long errorCode(CDaoException* e) {
  long code = e->m_pErrorInfo ? e->m_pErrorInfo->m_lErrorCode : 3049;
  e->Delete();
  return code;
}

[[noreturn]] void runChild(const std::string& in, const std::wstring& temporary, int fd) {
  PipeSink sink(fd);
  int status = 1;
  try {
    access::MdbSource source(in);
    sink.send(std::string("F\t") + access::formatName(source.format()));
    access::importAccess(source, temporary, sink);
    sink.send("OK");
    status = 0;
  } catch (CDaoException* e) {
    sink.send("E\t" + std::to_string(errorCode(e)));
  } catch (...) {
    sink.send("E\t3049");
  }
  ::close(fd);
  // No destructors or exit handlers: they belong to the parent's state.
  _exit(status);
}

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> parts;
  std::stringstream in(line);
  std::string part;
  while (std::getline(in, part, '\t')) parts.push_back(part);
  return parts;
}

// Reads the child's lines into the report, passing each table on to `progress`.
long readChild(int fd, AccessConversionReport& report,
               const std::function<void(const std::wstring&)>& progress, bool& finished) {
  long error = 0;
  std::string pending;
  char buffer[4096];
  auto handle = [&](const std::string& line) {
    const auto parts = splitTabs(line);
    if (parts.empty()) return;
    const std::string& kind = parts[0];
    if (kind == "OK") {
      finished = true;
    } else if (kind == "F" && parts.size() > 1) {
      report.format = parts[1];
    } else if (kind == "T" && parts.size() > 3) {
      AccessTableReport t;
      t.name = fromUtf8(parts[1]);
      t.records = std::atol(parts[2].c_str());
      t.recordsLeftOut = std::atol(parts[3].c_str());
      report.tables.push_back(t);
      if (progress)
        progress(
            t.name + L": " + std::to_wstring(t.records) + L" records" +
            (t.recordsLeftOut ? L", " + std::to_wstring(t.recordsLeftOut) + L" left out" : L""));
    } else if (kind == "t" && parts.size() > 1 && !report.tables.empty()) {
      report.tables.back().notes.push_back(fromUtf8(parts[1]));
    } else if (kind == "N" && parts.size() > 1) {
      report.notes.push_back(fromUtf8(parts[1]));
    } else if (kind == "S" && parts.size() > 2) {
      report.relations = std::atol(parts[1].c_str());
      report.queries = std::atol(parts[2].c_str());
    } else if (kind == "E" && parts.size() > 1) {
      error = std::atol(parts[1].c_str());
    }
  };
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    pending.append(buffer, static_cast<size_t>(n));
    size_t newline;
    while ((newline = pending.find('\n')) != std::string::npos) {
      handle(pending.substr(0, newline));
      pending.erase(0, newline + 1);
    }
  }
  return error;
}

void removeDatabaseFiles(const std::string& path) {
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) ::unlink((path + suffix).c_str());
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos) ::unlink((path.substr(0, dot) + ".ldb").c_str());
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

bool isAccessFile(const std::wstring& path) {
  return access::accessFormatOf(nativePath(path)) != AccessFormat::None;
}

AccessConversionReport convertAccessFile(const std::wstring& in, const std::wstring& out,
                                         const std::function<void(const std::wstring&)>& progress) {
  const std::string source = nativePath(in);
  const std::string target = nativePath(out);
  if (!exists(source)) daoThrow(3024, {in});
  if (access::accessFormatOf(source) == AccessFormat::None) daoThrow(3343, {in});
  if (exists(target)) daoThrow(3204);
  const std::string folder = text::parentFolder(target);
  if (!folder.empty() && !exists(folder)) daoThrow(3044, {fromUtf8(folder)});

  const std::string temporary = target + ".converting-" + std::to_string(::getpid()) + ".mdb";
  removeDatabaseFiles(temporary);
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) daoThrow(3049, {in});
  std::fflush(nullptr);  // nothing buffered may be written twice
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    daoThrow(3049, {in});
  }
  if (child == 0) {
    ::close(fds[0]);
    runChild(source, fromUtf8(temporary), fds[1]);
  }
  ::close(fds[1]);
  AccessConversionReport report;
  bool finished = false;
  const long error = readChild(fds[0], report, progress, finished);
  ::close(fds[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  const bool clean = finished && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!clean) {
    removeDatabaseFiles(temporary);
    if (error == 3024 || error == 3343 || error == 3049) daoThrow(error, {in});
    if (error != 0) daoThrow(error);
    daoThrow(3049, {in});  // the reader died on the file's bytes
  }
  // link() fails rather than replace a file that appeared meanwhile.
  if (::link(temporary.c_str(), target.c_str()) != 0) {
    removeDatabaseFiles(temporary);
    daoThrow(errno == EEXIST ? 3204 : 3044, {fromUtf8(folder)});
  }
  ::unlink(temporary.c_str());
  return report;
}

}  // namespace tabrik::dao
