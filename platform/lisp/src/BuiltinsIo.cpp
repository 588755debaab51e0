// Printing (princ, prin1, print, prompt, terpri), files (open, close, read-line,
// write-line, read-char, write-char, findfile, load and a few vl-file- helpers),
// host variables (getvar, setvar) and the environment (getenv, setenv, alert).
// Console output goes through HostServices; files are the runtime's own.
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <filesystem>

#include "RuntimeInternal.h"

namespace tabrik::lisp {

using namespace detail;

namespace {

// Windows programs pass backslashed paths; the file system here takes slashes.
std::string nativePath(std::string_view path) {
  std::string out(path);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

FileObject* fileArg(const Value& v) {
  if (!v.isFile()) throwBadArgumentType("streamp", v);
  return asFile(v);
}

FileObject* writableFile(const Value& v) {
  FileObject* file = fileArg(v);
  if (!file->stream || !file->writing)
    throwBadArgumentValue("file not open for output " + v.toPrin1String());
  return file;
}

FileObject* readableFile(const Value& v) {
  FileObject* file = fileArg(v);
  if (!file->stream || file->writing)
    throwBadArgumentValue("file not open for input " + v.toPrin1String());
  return file;
}

// Sends text to the console or, with a file argument, to the file.
void emit(Runtime& rt, Args a, std::size_t fileIndex, std::string_view text) {
  if (a.size() > fileIndex && a[fileIndex].isTrue()) {
    FileObject* file = writableFile(a[fileIndex]);
    std::fwrite(text.data(), 1, text.size(), file->stream);
    return;
  }
  rt.print(text);
}

Value bi_princ(Runtime& rt, Args a) {
  checkArgCount(a, 0, 2);
  if (a.empty()) return Value::nullSymbol();
  emit(rt, a, 1, a[0].toPrincString());
  return a[0];
}

Value bi_prin1(Runtime& rt, Args a) {
  checkArgCount(a, 0, 2);
  if (a.empty()) return Value::nullSymbol();
  emit(rt, a, 1, a[0].toPrin1String());
  return a[0];
}

Value bi_print(Runtime& rt, Args a) {
  checkArgCount(a, 0, 2);
  if (a.empty()) {
    emit(rt, a, 1, "\n");
    return Value::nullSymbol();
  }
  emit(rt, a, 1, "\n" + a[0].toPrin1String() + " ");
  return a[0];
}

Value bi_prompt(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  rt.print(stringArg(a[0]));
  return Value();
}

Value bi_terpri(Runtime& rt, Args a) {
  checkArgCount(a, 0, 0);
  rt.print("\n");
  return Value();
}

Value bi_writeLine(Runtime& rt, Args a) {
  checkArgCount(a, 1, 2);
  emit(rt, a, 1, stringArg(a[0]) + "\n");
  return a[0];
}

Value bi_writeChar(Runtime& rt, Args a) {
  checkArgCount(a, 1, 2);
  std::int32_t code = intArg(a[0]);
  char c = static_cast<char>(code & 0xff);
  emit(rt, a, 1, std::string_view(&c, 1));
  return a[0];
}

Value bi_open(Runtime&, Args a) {
  checkArgCount(a, 2, 3);
  const std::string& name = stringArg(a[0]);
  std::string mode = stringArg(a[1]);
  for (char& c : mode) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (mode != "r" && mode != "w" && mode != "a")
    throwBadArgumentValue("mode " + a[1].toPrin1String());
  std::FILE* stream = std::fopen(nativePath(name).c_str(), (mode + "b").c_str());
  if (!stream) return Value();
  auto* file = allocate<FileObject>(Type::File);
  file->path = name;
  file->stream = stream;
  file->writing = mode != "r";
  return Value::adopt(file);
}

Value bi_close(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  FileObject* file = fileArg(a[0]);
  if (file->stream) std::fclose(file->stream);
  file->stream = nullptr;
  return Value();
}

Value bi_readLine(Runtime& rt, Args a) {
  checkArgCount(a, 0, 1);
  if (a.empty() || a[0].isNil()) {
    InputRequest request;
    request.kind = InputKind::String;
    request.allowSpaces = true;
    InputReply reply = rt.services().requestInput(rt, request);
    if (reply.status == InputStatus::Cancel) rt.fail(std::string(messages::kFunctionCancelled));
    return reply.status == InputStatus::None ? Value() : reply.value;
  }
  FileObject* file = readableFile(a[0]);
  std::string line;
  int c;
  bool any = false;
  while ((c = std::fgetc(file->stream)) != EOF) {
    any = true;
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (!any) return Value();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return Value::string(std::move(line));
}

Value bi_readChar(Runtime&, Args a) {
  checkArgCount(a, 0, 1);
  if (a.empty() || a[0].isNil()) return Value();
  FileObject* file = readableFile(a[0]);
  int c = std::fgetc(file->stream);
  if (c == EOF) return Value();
  return Value::integer(c);
}

Value bi_findfile(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  auto found = rt.services().findFile(stringArg(a[0]));
  return found ? Value::string(*found) : Value();
}

bool hasExtension(std::string_view name) {
  std::size_t slash = name.find_last_of("/\\");
  std::size_t dot = name.find_last_of('.');
  return dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
}

Value bi_load(Runtime& rt, Args a) {
  checkArgCount(a, 1, 2);
  const std::string& name = stringArg(a[0]);
  auto found = rt.services().findFile(name);
  if (!found && !hasExtension(name)) found = rt.services().findFile(name + ".lsp");
  std::optional<std::string> text;
  if (found) text = readWholeFile(nativePath(*found));
  if (!text) {
    if (a.size() == 2) return a[1];
    rt.fail("LOAD failed: " + a[0].toPrin1String());
  }
  return loadSource(rt, *text);
}

std::string upperName(const Value& v) { return upperCase(stringArg(v)); }

Value bi_getvar(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  return rt.services().getVariable(rt, upperName(a[0]));
}

Value bi_setvar(Runtime& rt, Args a) {
  checkArgCount(a, 2, 2);
  SetVariableStatus status = rt.services().setVariable(rt, upperName(a[0]), a[1]);
  if (status != SetVariableStatus::Ok)
    rt.fail("AutoCAD variable setting rejected: " + a[0].toPrin1String() + " " +
            a[1].toPrin1String());
  return a[1];
}

Value bi_getenv(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  auto value = rt.services().getEnv(stringArg(a[0]));
  return value ? Value::string(*value) : Value();
}

Value bi_setenv(Runtime& rt, Args a) {
  checkArgCount(a, 2, 2);
  rt.services().setEnv(stringArg(a[0]), stringArg(a[1]));
  return a[1];
}

Value bi_alert(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  rt.services().alert(rt, stringArg(a[0]));
  return Value();
}

// ---------------------------------------------------------------- vl-file-, vl-filename-

Value bi_fileDelete(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::boolean(std::remove(nativePath(stringArg(a[0])).c_str()) == 0);
}

Value bi_fileRename(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  std::string to = nativePath(stringArg(a[1]));
  struct stat info {};
  if (::stat(to.c_str(), &info) == 0) return Value();  // the target must not exist
  return Value::boolean(std::rename(nativePath(stringArg(a[0])).c_str(), to.c_str()) == 0);
}

Value bi_fileSize(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  struct stat info {};
  if (::stat(nativePath(stringArg(a[0])).c_str(), &info) != 0) return Value();
  if (S_ISDIR(info.st_mode)) return Value::integer(0);
  return Value::integer(static_cast<std::int32_t>(info.st_size));
}

// (year month weekday day hours minutes seconds milliseconds) of the file's last
// change, local time, the weekday 0 for Sunday; nil for a folder or no file.
Value bi_fileSystime(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  struct stat info {};
  if (::stat(nativePath(stringArg(a[0])).c_str(), &info) != 0 || S_ISDIR(info.st_mode))
    return Value();
  std::time_t changed = info.st_mtime;
  std::tm local{};
  if (localtime_r(&changed, &local) == nullptr) return Value();
  return Value::list({Value::integer(local.tm_year + 1900), Value::integer(local.tm_mon + 1),
                      Value::integer(local.tm_wday), Value::integer(local.tm_mday),
                      Value::integer(local.tm_hour), Value::integer(local.tm_min),
                      Value::integer(local.tm_sec), Value::integer(0)});
}

Value bi_fileDirectoryP(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  struct stat info {};
  return Value::boolean(::stat(nativePath(stringArg(a[0])).c_str(), &info) == 0 &&
                        S_ISDIR(info.st_mode));
}

// Splits "dir\\base.ext" keeping the caller's separators.
struct FileNameParts {
  std::string directory, base, extension;
};

FileNameParts splitFileName(const std::string& name) {
  FileNameParts parts;
  std::size_t slash = name.find_last_of("/\\");
  std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
  if (slash != std::string::npos) parts.directory = name.substr(0, slash);
  std::size_t dot = file.find_last_of('.');
  if (dot == std::string::npos || dot == 0) {
    parts.base = file;
  } else {
    parts.base = file.substr(0, dot);
    parts.extension = file.substr(dot);
  }
  return parts;
}

Value bi_filenameBase(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::string(splitFileName(stringArg(a[0])).base);
}

Value bi_filenameDirectory(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::string(splitFileName(stringArg(a[0])).directory);
}

Value bi_filenameExtension(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  std::string extension = splitFileName(stringArg(a[0])).extension;
  return extension.empty() ? Value() : Value::string(extension);
}

// (vl-file-copy src dst [append]): the number of bytes written, nil when the source
// cannot be read, the target exists (without append) or cannot be written.
Value bi_fileCopy(Runtime&, Args a) {
  checkArgCount(a, 2, 3);
  std::string from = nativePath(stringArg(a[0]));
  std::string to = nativePath(stringArg(a[1]));
  bool append = a.size() == 3 && a[2].isTrue();
  struct stat info {};
  if (!append && ::stat(to.c_str(), &info) == 0) return Value();
  auto text = readWholeFile(from);
  if (!text) return Value();
  std::FILE* out = std::fopen(to.c_str(), append ? "ab" : "wb");
  if (!out) return Value();
  std::size_t written = std::fwrite(text->data(), 1, text->size(), out);
  bool ok = std::fclose(out) == 0 && written == text->size();
  return ok ? Value::integer(static_cast<std::int32_t>(written)) : Value();
}

Value bi_mkdir(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::boolean(::mkdir(nativePath(stringArg(a[0])).c_str(), 0777) == 0);
}

// (vl-directory-files [dir pattern flag]): names (not paths) matching the wildcard
// pattern; flag -1 folders only, 1 files only, else both. nil for a missing folder.
Value bi_directoryFiles(Runtime&, Args a) {
  checkArgCount(a, 0, 3);
  std::string dir = a.size() > 0 && a[0].isTrue() ? nativePath(stringArg(a[0])) : ".";
  std::string pattern = a.size() > 1 && a[1].isTrue() ? stringArg(a[1]) : "*";
  std::int32_t flag = a.size() > 2 && a[2].isTrue() ? intArg(a[2]) : 0;
  std::error_code error;
  std::filesystem::directory_iterator it(dir, error);
  if (error) return Value();
  std::vector<Value> names;
  if (flag <= 0) {
    names.push_back(Value::string("."));
    names.push_back(Value::string(".."));
  }
  for (const auto& entry : it) {
    bool isDirectory = entry.is_directory(error);
    if ((flag < 0 && !isDirectory) || (flag > 0 && isDirectory)) continue;
    names.push_back(Value::string(entry.path().filename().string()));
  }
  std::vector<Value> matching;
  // Windows folders compare names without regard to case.
  std::string upperPattern = upperCase(pattern);
  for (const Value& name : names)
    if (wildcardMatch(upperCase(name.asString()), upperPattern)) matching.push_back(name);
  std::sort(matching.begin(), matching.end(),
            [](const Value& x, const Value& y) { return x.asString() < y.asString(); });
  return Value::list(matching);
}

// (vl-filename-mktemp [pattern dir ext]): a file name that no file has yet, in dir
// (default: the temporary folder), from pattern (default "$VL~~") plus a counter.
Value bi_filenameMktemp(Runtime& rt, Args a) {
  checkArgCount(a, 0, 3);
  std::string pattern = a.size() > 0 && a[0].isTrue() ? stringArg(a[0]) : "$VL~~";
  FileNameParts parts = splitFileName(pattern);
  std::string dir = a.size() > 1 && a[1].isTrue() ? stringArg(a[1]) : parts.directory;
  if (dir.empty()) {
    auto tmp = rt.services().getEnv("TMPDIR");
    dir = tmp && !tmp->empty() ? *tmp : "/tmp";
  }
  std::string extension = a.size() > 2 && a[2].isTrue() ? stringArg(a[2]) : parts.extension;
  char separator = dir.find('\\') != std::string::npos ? '\\' : '/';
  if (dir.back() != '/' && dir.back() != '\\') dir += separator;
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 0x1000; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%03x",
                  (counter++ + static_cast<unsigned>(::getpid())) & 0xfff);
    std::string candidate = dir + parts.base + suffix + extension;
    struct stat info {};
    if (::stat(nativePath(candidate).c_str(), &info) != 0) return Value::string(candidate);
  }
  return Value();
}

}  // namespace

void installIoBuiltins(Runtime& rt) {
  defineNative(rt, "PRINC", bi_princ);
  defineNative(rt, "PRIN1", bi_prin1);
  defineNative(rt, "PRINT", bi_print);
  defineNative(rt, "PROMPT", bi_prompt);
  defineNative(rt, "TERPRI", bi_terpri);
  defineNative(rt, "WRITE-LINE", bi_writeLine);
  defineNative(rt, "WRITE-CHAR", bi_writeChar);
  defineNative(rt, "OPEN", bi_open);
  defineNative(rt, "CLOSE", bi_close);
  defineNative(rt, "READ-LINE", bi_readLine);
  defineNative(rt, "READ-CHAR", bi_readChar);
  defineNative(rt, "FINDFILE", bi_findfile);
  defineNative(rt, "LOAD", bi_load);
  defineNative(rt, "GETVAR", bi_getvar);
  defineNative(rt, "SETVAR", bi_setvar);
  defineNative(rt, "GETENV", bi_getenv);
  defineNative(rt, "SETENV", bi_setenv);
  defineNative(rt, "ALERT", bi_alert);
  defineNative(rt, "VL-FILE-DELETE", bi_fileDelete);
  defineNative(rt, "VL-FILE-RENAME", bi_fileRename);
  defineNative(rt, "VL-FILE-SIZE", bi_fileSize);
  defineNative(rt, "VL-FILE-SYSTIME", bi_fileSystime);
  defineNative(rt, "VL-FILE-DIRECTORY-P", bi_fileDirectoryP);
  defineNative(rt, "VL-FILE-COPY", bi_fileCopy);
  defineNative(rt, "VL-MKDIR", bi_mkdir);
  defineNative(rt, "VL-DIRECTORY-FILES", bi_directoryFiles);
  defineNative(rt, "VL-FILENAME-MKTEMP", bi_filenameMktemp);
  defineNative(rt, "VL-FILENAME-BASE", bi_filenameBase);
  defineNative(rt, "VL-FILENAME-DIRECTORY", bi_filenameDirectory);
  defineNative(rt, "VL-FILENAME-EXTENSION", bi_filenameExtension);
}

}  // namespace tabrik::lisp
