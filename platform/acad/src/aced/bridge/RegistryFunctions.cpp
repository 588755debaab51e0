// vl-registry-read, vl-registry-write, vl-registry-delete and vl-registry-descendents
// over the registry file, and host:registry-file. Keys are written with their root's
// Windows name ("HKEY_CURRENT_USER\\Software\\..."); values are strings (REG_SZ and
// REG_EXPAND_SZ), integers (REG_DWORD) or lists of strings (REG_MULTI_SZ).
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

#include "acdb/acut/WideText.h"
#include "aced/bridge/HostFunctions.h"
#include "lisp/Runtime.h"
#include "winreg.h"

namespace tabrik::acad {

using lisp::Args;
using lisp::Runtime;
using lisp::Value;

namespace {

struct Root {
  const wchar_t* name;
  HKEY key;
};

const Root kRoots[] = {{L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                       {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                       {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                       {L"HKEY_USERS", HKEY_USERS},
                       {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}};

// The root and the subkey path of "ROOT\\sub\\key"; false for an unknown root. The
// root may be written in any case, as AutoLISP accepts it.
bool splitKey(const std::string& path, HKEY& root, std::wstring& subKey) {
  std::wstring wide = fromUtf8(path);
  const size_t slash = wide.find(L'\\');
  std::wstring first = wide.substr(0, slash);
  for (wchar_t& c : first) c = static_cast<wchar_t>(std::towupper(c));
  subKey = slash == std::wstring::npos ? L"" : wide.substr(slash + 1);
  for (const Root& candidate : kRoots) {
    if (first == candidate.name) {
      root = candidate.key;
      return true;
    }
  }
  return false;
}

// The optional value name: nil or absent is the key's default value.
std::wstring valueNameArg(Args args, size_t index) {
  if (args.size() <= index || args[index].isNil()) return L"";
  return fromUtf8(lisp::stringArg(args[index]));
}

class OpenKey {
 public:
  OpenKey(HKEY root, const std::wstring& subKey, bool create) {
    LSTATUS status = create ? RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                              nullptr, &m_key, nullptr)
                            : RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, &m_key);
    if (status != ERROR_SUCCESS) m_key = nullptr;
  }
  ~OpenKey() {
    if (m_key != nullptr) RegCloseKey(m_key);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

std::wstring wideOf(const std::vector<BYTE>& data) {
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  return text;
}

Value valueOf(DWORD type, const std::vector<BYTE>& data) {
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::wstring text = wideOf(data);
    return Value::string(toUtf8(text.substr(0, text.find(L'\0'))));
  }
  if (type == REG_MULTI_SZ) {
    std::vector<Value> strings;
    std::wstring text = wideOf(data);
    for (size_t start = 0; start < text.size();) {
      const size_t end = text.find(L'\0', start);
      const std::wstring piece = text.substr(start, end == std::wstring::npos ? end : end - start);
      if (piece.empty()) break;
      strings.push_back(Value::string(toUtf8(piece)));
      if (end == std::wstring::npos) break;
      start = end + 1;
    }
    return Value::list(strings);
  }
  if (type == REG_DWORD && data.size() == 4) {
    std::int32_t number = 0;
    std::memcpy(&number, data.data(), 4);
    return Value::integer(number);
  }
  return Value();
}

Value registryRead(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 2);
  HKEY root = nullptr;
  std::wstring subKey;
  if (!splitKey(lisp::stringArg(args[0]), root, subKey)) return Value();
  const std::wstring name = valueNameArg(args, 1);
  OpenKey key(root, subKey, false);
  if (key.get() == nullptr) return Value();
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return Value();
  std::vector<BYTE> data(size);
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.data(), &size) !=
      ERROR_SUCCESS)
    return Value();
  return valueOf(type, data);
}

Value registryWrite(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 3);
  HKEY root = nullptr;
  std::wstring subKey;
  if (!splitKey(lisp::stringArg(args[0]), root, subKey)) return Value();
  const std::wstring name = valueNameArg(args, 1);
  const Value data = args.size() > 2 ? args[2] : Value::string("");
  if (!data.isString() && !data.isInt()) return Value();
  OpenKey key(root, subKey, true);
  if (key.get() == nullptr) return Value();
  LSTATUS status = ERROR_SUCCESS;
  if (data.isInt()) {
    const std::int32_t number = data.asInt();
    status = RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&number), sizeof number);
  } else {
    const std::wstring text = fromUtf8(data.asString());
    status = RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  return status == ERROR_SUCCESS ? data : Value();
}

Value registryDelete(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 2);
  HKEY root = nullptr;
  std::wstring subKey;
  if (!splitKey(lisp::stringArg(args[0]), root, subKey)) return Value();
  if (args.size() > 1 && !args[1].isNil()) {
    const std::wstring name = fromUtf8(lisp::stringArg(args[1]));
    OpenKey key(root, subKey, false);
    return Value::boolean(key.get() != nullptr &&
                          RegDeleteValueW(key.get(), name.c_str()) == ERROR_SUCCESS);
  }
  return Value::boolean(RegDeleteKeyW(root, subKey.c_str()) == ERROR_SUCCESS);
}

Value registryDescendents(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 2);
  HKEY root = nullptr;
  std::wstring subKey;
  if (!splitKey(lisp::stringArg(args[0]), root, subKey)) return Value();
  const bool values = args.size() > 1 && !args[1].isNil();
  OpenKey key(root, subKey, false);
  if (key.get() == nullptr) return Value();
  std::vector<Value> names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384] = {};
    DWORD length = 16384;
    const LSTATUS status =
        values ? RegEnumValueW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr)
               : RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    names.push_back(Value::string(toUtf8(name)));
  }
  return Value::list(names);
}

Value hostRegistryFile(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  if (const char* given = std::getenv("TABRIK_REGISTRY"); given != nullptr && *given != '\0')
    return Value::string(given);
  std::string folder;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    folder = home != nullptr && *home != '\0' ? std::string(home) + "/.config" : "/tmp";
  }
  return Value::string(folder + "/tabrik/registry");
}

}  // namespace

void installRegistryFunctions(Runtime& runtime) {
  runtime.defineBuiltin("vl-registry-read", registryRead);
  runtime.defineBuiltin("vl-registry-write", registryWrite);
  runtime.defineBuiltin("vl-registry-delete", registryDelete);
  runtime.defineBuiltin("vl-registry-descendents", registryDescendents);
  runtime.defineBuiltin("host:registry-file", hostRegistryFile);
}

}  // namespace tabrik::acad
