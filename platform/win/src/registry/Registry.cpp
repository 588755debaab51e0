// The registry as a text file. The file holds every key, one line each with its full
// path in brackets, followed by its values:
//
//   tabrik registry 1
//   [HKEY_CURRENT_USER\Software\Norvane Software\Shared]
//   "Name"=sz:Ann \"A\" Smith
//   "Count"=dword:12
//   @=sz:the default value
//   "Blob"=hex(3):01ff
//
// Value names and text escape \\, \", \n, \r and \0 (the separator of REG_MULTI_SZ);
// key paths are written as they are. Every read parses
// the file again when it changed since the last parse; every change takes an exclusive
// lock on PATH.lock, parses the file, applies the change, writes the whole tree to a
// temporary file beside it, flushes it and renames it over PATH. So writers in several
// processes never lose each other's keys, and a writer killed at any point leaves
// either the old file or the new one.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "errhandlingapi.h"
#include "win/NativePath.h"
#include "winreg.h"

namespace {

using tabrik::win::wideName;

std::wstring folded(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return text;
}

bool sameName(const std::wstring& a, const std::wstring& b) { return folded(a) == folded(b); }

struct RegValue {
  std::wstring name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

struct RegKey {
  std::wstring name;
  std::vector<RegValue> values;
  // Case-insensitive name order: the enumeration order.
  std::map<std::wstring, std::unique_ptr<RegKey>> subkeys;

  RegKey* child(const std::wstring& childName) const {
    auto found = subkeys.find(folded(childName));
    return found == subkeys.end() ? nullptr : found->second.get();
  }
  RegValue* value(const std::wstring& valueName) {
    for (RegValue& v : values) {
      if (sameName(v.name, valueName)) return &v;
    }
    return nullptr;
  }
};

struct RootName {
  HKEY key;
  const wchar_t* name;
};

const RootName kRoots[] = {{HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"},
                           {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
                           {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"},
                           {HKEY_USERS, L"HKEY_USERS"},
                           {HKEY_PERFORMANCE_DATA, L"HKEY_PERFORMANCE_DATA"},
                           {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG"},
                           {HKEY_DYN_DATA, L"HKEY_DYN_DATA"},
                           {HKEY_PERFORMANCE_TEXT, L"HKEY_PERFORMANCE_TEXT"},
                           {HKEY_PERFORMANCE_NLSTEXT, L"HKEY_PERFORMANCE_NLSTEXT"}};

// The whole registry: one tree per root.
struct Tree {
  RegKey roots[std::size(kRoots)];
  Tree() {
    for (size_t i = 0; i < std::size(kRoots); ++i) roots[i].name = kRoots[i].name;
  }
};

// Splits a key path at backslashes, dropping empty pieces.
std::vector<std::wstring> pieces(const std::wstring& path) {
  std::vector<std::wstring> out;
  std::wstring current;
  for (wchar_t c : path) {
    if (c == L'\\') {
      if (!current.empty()) out.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) out.push_back(current);
  return out;
}

// A key path: its root's index and the pieces under it.
struct KeyPath {
  size_t root = 0;
  std::vector<std::wstring> names;
};

RegKey* find(Tree& tree, const KeyPath& path) {
  RegKey* key = &tree.roots[path.root];
  for (const std::wstring& name : path.names) {
    key = key->child(name);
    if (key == nullptr) return nullptr;
  }
  return key;
}

RegKey* create(Tree& tree, const KeyPath& path, bool& created) {
  RegKey* key = &tree.roots[path.root];
  created = false;
  for (const std::wstring& name : path.names) {
    RegKey* next = key->child(name);
    if (next == nullptr) {
      auto fresh = std::make_unique<RegKey>();
      fresh->name = name;
      next = fresh.get();
      key->subkeys[folded(name)] = std::move(fresh);
      created = true;
    }
    key = next;
  }
  return key;
}

// --- text form

std::string escape(const std::wstring& text) {
  std::string out;
  for (char c : tabrik::win::utf8Text(text)) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\0':
        out += "\\0";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out.push_back(text[i]);
      continue;
    }
    const char next = text[++i];
    out.push_back(next == 'n' ? '\n' : next == 'r' ? '\r' : next == '0' ? '\0' : next);
  }
  return out;
}

bool isText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

std::wstring textOf(const RegValue& value) {
  std::wstring text(value.data.size() / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), value.data.data(), text.size() * sizeof(wchar_t));
  // The stored text drops its final terminating null; it is added back on reading.
  if (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

std::vector<BYTE> bytesOfText(const std::wstring& text) {
  std::vector<BYTE> data((text.size() + 1) * sizeof(wchar_t), 0);
  std::memcpy(data.data(), text.data(), text.size() * sizeof(wchar_t));
  return data;
}

void writeKey(std::ostream& out, const RegKey& key, const std::wstring& path) {
  // Key names hold no backslash (it separates them), so the path is written as it is.
  out << "[" << tabrik::win::utf8Text(path) << "]\n";
  for (const RegValue& value : key.values) {
    out << (value.name.empty() ? std::string("@") : "\"" + escape(value.name) + "\"") << "=";
    if (isText(value.type)) {
      out << (value.type == REG_SZ          ? "sz"
              : value.type == REG_EXPAND_SZ ? "expand_sz"
                                            : "multi_sz")
          << ":" << escape(textOf(value));
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
      DWORD number = 0;
      std::memcpy(&number, value.data.data(), 4);
      out << "dword:" << number;
    } else {
      static const char kHex[] = "0123456789abcdef";
      out << "hex(" << value.type << "):";
      for (BYTE b : value.data) out << kHex[b >> 4] << kHex[b & 15];
    }
    out << "\n";
  }
  for (const auto& [folded, child] : key.subkeys) writeKey(out, *child, path + L"\\" + child->name);
}

std::string serialize(const Tree& tree) {
  std::ostringstream out;
  out << "tabrik registry 1\n";
  for (const RegKey& root : tree.roots) {
    if (!root.values.empty() || !root.subkeys.empty()) writeKey(out, root, root.name);
  }
  return out.str();
}

// The position of the closing quote of a quoted name starting after `from`.
size_t closingQuote(const std::string& line, size_t from) {
  for (size_t i = from; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
    } else if (line[i] == '"') {
      return i;
    }
  }
  return std::string::npos;
}

void parse(const std::string& text, Tree& tree) {
  std::istringstream in(text);
  std::string line;
  RegKey* current = nullptr;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      std::vector<std::wstring> names = pieces(wideName(line.substr(1, line.size() - 2)));
      current = nullptr;
      if (names.empty()) continue;
      for (size_t i = 0; i < std::size(kRoots); ++i) {
        if (names[0] == kRoots[i].name) {
          bool created = false;
          current = create(tree, KeyPath{i, {names.begin() + 1, names.end()}}, created);
        }
      }
      continue;
    }
    if (current == nullptr || line.empty()) continue;
    RegValue value;
    size_t equals = std::string::npos;
    if (line[0] == '@') {
      equals = 1;
    } else if (line[0] == '"') {
      const size_t quote = closingQuote(line, 1);
      if (quote == std::string::npos) continue;
      value.name = wideName(unescape(line.substr(1, quote - 1)));
      equals = quote + 1;
    }
    if (equals >= line.size() || line[equals] != '=') continue;
    const size_t colon = line.find(':', equals);
    if (colon == std::string::npos) continue;
    const std::string type = line.substr(equals + 1, colon - equals - 1);
    const std::string payload = line.substr(colon + 1);
    if (type == "sz" || type == "expand_sz" || type == "multi_sz") {
      value.type = type == "sz" ? REG_SZ : type == "expand_sz" ? REG_EXPAND_SZ : REG_MULTI_SZ;
      value.data = bytesOfText(wideName(unescape(payload)));
    } else if (type == "dword") {
      const DWORD number = static_cast<DWORD>(std::strtoul(payload.c_str(), nullptr, 10));
      value.type = REG_DWORD;
      value.data.resize(4);
      std::memcpy(value.data.data(), &number, 4);
    } else if (type.rfind("hex(", 0) == 0) {
      value.type = static_cast<DWORD>(std::strtoul(type.c_str() + 4, nullptr, 10));
      for (size_t i = 0; i + 1 < payload.size(); i += 2) {
        value.data.push_back(static_cast<BYTE>(std::stoi(payload.substr(i, 2), nullptr, 16)));
      }
    } else {
      continue;
    }
    if (RegValue* existing = current->value(value.name)) {
      *existing = std::move(value);
    } else {
      current->values.push_back(std::move(value));
    }
  }
}

// --- the file

std::string registryPath() {
  if (const char* given = std::getenv("TABRIK_REGISTRY"); given != nullptr && *given != '\0')
    return given;
  std::string folder;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0') {
    folder = config;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    folder = std::string(home) + "/.config";
  } else {
    folder = "/tmp";
  }
  return folder + "/tabrik/registry";
}

void makeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    ::mkdir(path.substr(0, slash).c_str(), 0777);
  }
}

std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The parsed file, kept while the file is unchanged.
struct Cache {
  std::mutex lock;
  std::string path;
  struct stat seen {};
  bool valid = false;
  Tree tree;
};

Cache& cache() {
  static Cache instance;
  return instance;
}

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Holds cache().lock. Brings the cached tree up to date with the file.
Tree& current(Cache& c) {
  const std::string path = registryPath();
  struct stat info {};
  const bool exists = ::stat(path.c_str(), &info) == 0;
  if (c.valid && c.path == path && (exists ? sameFile(info, c.seen) : c.seen.st_ino == 0)) {
    return c.tree;
  }
  c.tree = Tree();
  if (exists) parse(readWhole(path), c.tree);
  c.path = path;
  c.seen = exists ? info : (struct stat){};
  c.valid = true;
  return c.tree;
}

template <typename Read>
LSTATUS reading(Read&& read) {
  Cache& c = cache();
  std::lock_guard<std::mutex> guard(c.lock);
  return read(current(c));
}

// Runs a change under the file lock and writes the result; the change returns its
// status, and nothing is written unless it succeeded and changed something.
template <typename Change>
LSTATUS changing(Change&& change) {
  Cache& c = cache();
  std::lock_guard<std::mutex> guard(c.lock);
  const std::string path = registryPath();
  makeFolders(path);
  const int lockFile = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (lockFile < 0) return ERROR_ACCESS_DENIED;
  while (::flock(lockFile, LOCK_EX) != 0 && errno == EINTR) {
  }
  c.valid = false;  // another process may have written since the last parse
  Tree& tree = current(c);
  bool changed = false;
  LSTATUS status = change(tree, changed);
  if (status == ERROR_SUCCESS && changed) {
    const std::string text = serialize(tree);
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    const int out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    bool ok = out >= 0;
    for (size_t done = 0; ok && done < text.size();) {
      const ssize_t put = ::write(out, text.data() + done, text.size() - done);
      ok = put > 0 || (put < 0 && errno == EINTR);
      if (put > 0) done += static_cast<size_t>(put);
    }
    ok = ok && ::fsync(out) == 0;
    if (out >= 0) ::close(out);
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
      ::unlink(temporary.c_str());
      status = ERROR_ACCESS_DENIED;
    }
    c.valid = false;
  }
  ::flock(lockFile, LOCK_UN);
  ::close(lockFile);
  return status;
}

// --- handles

struct OpenKey {
  KeyPath path;
};

struct Handles {
  std::mutex lock;
  std::set<OpenKey*> open;
};

Handles& handles() {
  static Handles instance;
  return instance;
}

// The path a handle stands for; false for a handle that is neither a root nor open.
bool pathOf(HKEY key, KeyPath& path) {
  for (size_t i = 0; i < std::size(kRoots); ++i) {
    if (key == kRoots[i].key) {
      path = KeyPath{i, {}};
      return true;
    }
  }
  Handles& h = handles();
  std::lock_guard<std::mutex> guard(h.lock);
  auto found = h.open.find(reinterpret_cast<OpenKey*>(key));
  if (found == h.open.end()) return false;
  path = (*found)->path;
  return true;
}

KeyPath below(KeyPath path, LPCWSTR subKey) {
  if (subKey != nullptr) {
    for (std::wstring& name : pieces(subKey)) path.names.push_back(std::move(name));
  }
  return path;
}

HKEY newHandle(const KeyPath& path) {
  auto* open = new OpenKey{path};
  Handles& h = handles();
  std::lock_guard<std::mutex> guard(h.lock);
  h.open.insert(open);
  return reinterpret_cast<HKEY>(open);
}

std::wstring valueName(LPCWSTR name) { return name == nullptr ? std::wstring() : name; }

// Copies bytes to a caller's buffer under the Windows rules: a null buffer asks for
// the size, a small one gets ERROR_MORE_DATA and the size.
LSTATUS giveData(const std::vector<BYTE>& data, LPBYTE out, LPDWORD size) {
  if (size == nullptr) return out == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
  const auto needed = static_cast<DWORD>(data.size());
  if (out == nullptr) {
    *size = needed;
    return ERROR_SUCCESS;
  }
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  std::copy(data.begin(), data.end(), out);
  *size = needed;
  return ERROR_SUCCESS;
}

LSTATUS giveName(const std::wstring& name, LPWSTR out, LPDWORD chars) {
  if (out == nullptr || chars == nullptr) return ERROR_INVALID_PARAMETER;
  if (*chars <= name.size()) return ERROR_MORE_DATA;
  name.copy(out, name.size());
  out[name.size()] = L'\0';
  *chars = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
  if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  KeyPath path;
  if (!pathOf(hKey, path)) return ERROR_INVALID_HANDLE;
  path = below(path, lpSubKey);
  return reading([&](Tree& tree) -> LSTATUS {
    if (find(tree, path) == nullptr) return ERROR_FILE_NOT_FOUND;
    *phkResult = newHandle(path);
    return ERROR_SUCCESS;
  });
}

LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM,
                        LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  KeyPath path;
  if (!pathOf(hKey, path)) return ERROR_INVALID_HANDLE;
  path = below(path, lpSubKey);
  // A line of the file holds a key's path: a name cannot run over two lines.
  for (const std::wstring& name : path.names) {
    if (name.find_first_of(L"\r\n") != std::wstring::npos) return ERROR_INVALID_PARAMETER;
  }
  bool created = false;
  LSTATUS status = changing([&](Tree& tree, bool& changed) -> LSTATUS {
    create(tree, path, created);
    changed = created;
    return ERROR_SUCCESS;
  });
  if (status != ERROR_SUCCESS) return status;
  if (lpdwDisposition != nullptr)
    *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *phkResult = newHandle(path);
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY hKey) {
  for (const RootName& root : kRoots) {
    if (hKey == root.key) return ERROR_SUCCESS;
  }
  Handles& h = handles();
  std::lock_guard<std::mutex> guard(h.lock);
  auto found = h.open.find(reinterpret_cast<OpenKey*>(hKey));
  if (found == h.open.end()) return ERROR_INVALID_HANDLE;
  delete *found;
  h.open.erase(found);
  return ERROR_SUCCESS;
}

LSTATUS RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD, LPWSTR,
                      LPDWORD, LPFILETIME) {
  KeyPath path;
  if (!pathOf(hKey, path)) return ERROR_INVALID_HANDLE;
  return reading([&](Tree& tree) -> LSTATUS {
    RegKey* key = find(tree, path);
    if (key == nullptr) return ERROR_KEY_DELETED;
    if (dwIndex >= key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    auto it = key->subkeys.begin();
    std::advance(it, dwIndex);
    return giveName(it->second->name, lpName, lpcchName);
  });
}

LSTATUS RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName, LPDWORD,
                      LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  KeyPath path;
  if (!pathOf(hKey, path)) return ERROR_INVALID_HANDLE;
  return reading([&](Tree& tree) -> LSTATUS {
    RegKey* key = find(tree, path);
    if (key == nullptr) return ERROR_KEY_DELETED;
    if (dwIndex >= key->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegValue& value = key->values[dwIndex];
    if (LSTATUS named = giveName(value.name, lpValueName, lpcchValueName)) return named;
    if (lpType != nullptr) *lpType = value.type;
    return giveData(value.data, lpData, lpcbData);
  });
}

LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData) {
  KeyPath path;
  if (!pathOf(hKey, path)) return ERROR_INVALID_HANDLE;
  return reading([&](Tree& tree) -> LSTATUS {
    RegKey* key = find(tree, path);
    if (key == nullptr) return ERROR_KEY_DELETED;
    RegValue* value = key->value(valueName(lpValueName));
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    if (lpType != nullptr) *lpType = value->type;
    return giveData(value->data, lpData, lpcbData);
  });
}

LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                       DWORD cbData) {
  KeyPath path;
  if (!pathOf(hKey, path)) return ERROR_INVALID_HANDLE;
  if (lpData == nullptr && cbData != 0) return ERROR_INVALID_PARAMETER;
  RegValue fresh{valueName(lpValueName), dwType,
                 lpData ? std::vector<BYTE>(lpData, lpData + cbData) : std::vector<BYTE>()};
  if (isText(dwType)) {
    // Whole characters only; the text is kept with one terminating null.
    fresh.data.resize(fresh.data.size() / sizeof(wchar_t) * sizeof(wchar_t));
    fresh.data = bytesOfText(textOf(fresh));
  }
  return changing([&](Tree& tree, bool& changed) -> LSTATUS {
    RegKey* key = find(tree, path);
    if (key == nullptr) return ERROR_KEY_DELETED;
    if (RegValue* existing = key->value(fresh.name)) {
      existing->type = fresh.type;
      existing->data = fresh.data;
    } else {
      key->values.push_back(fresh);
    }
    changed = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
  KeyPath path;
  if (!pathOf(hKey, path)) return ERROR_INVALID_HANDLE;
  const std::wstring name = valueName(lpValueName);
  return changing([&](Tree& tree, bool& changed) -> LSTATUS {
    RegKey* key = find(tree, path);
    if (key == nullptr) return ERROR_KEY_DELETED;
    auto found = std::find_if(key->values.begin(), key->values.end(),
                              [&](const RegValue& v) { return sameName(v.name, name); });
    if (found == key->values.end()) return ERROR_FILE_NOT_FOUND;
    key->values.erase(found);
    changed = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
  KeyPath path;
  if (!pathOf(hKey, path)) return ERROR_INVALID_HANDLE;
  path = below(path, lpSubKey);
  if (path.names.empty()) return ERROR_ACCESS_DENIED;  // a root is never deleted
  return changing([&](Tree& tree, bool& changed) -> LSTATUS {
    KeyPath parentPath = path;
    parentPath.names.pop_back();
    RegKey* parent = find(tree, parentPath);
    RegKey* key = parent ? parent->child(path.names.back()) : nullptr;
    if (key == nullptr) return ERROR_FILE_NOT_FOUND;
    if (!key->subkeys.empty()) return ERROR_ACCESS_DENIED;
    parent->subkeys.erase(folded(path.names.back()));
    changed = true;
    return ERROR_SUCCESS;
  });
}
