// Mutex objects and their handles. Every handle of the process is an entry of one
// handle table; a mutex is shared by its handles and removed from the name table with
// its last handle. Ownership is recursive per thread, as a Windows mutex's is. Handles
// that are never closed stay in the table (reachable) for the rest of the process.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "errhandlingapi.h"
#include "synchapi.h"
#include "win/NativePath.h"

namespace {

struct MutexObject {
  std::wstring name;  // empty for an unnamed mutex
  int handles = 0;
  std::thread::id owner;
  int recursion = 0;
};

struct HandleTable {
  std::mutex lock;
  std::map<std::wstring, std::shared_ptr<MutexObject>> byName;
  std::map<HANDLE, std::shared_ptr<MutexObject>> handles;
  std::uintptr_t nextHandle = 0x100;
};

HandleTable& table() {
  static HandleTable instance;
  return instance;
}

// Holds table().lock.
HANDLE newHandle(HandleTable& t, const std::shared_ptr<MutexObject>& object) {
  HANDLE handle = reinterpret_cast<HANDLE>(t.nextHandle);
  t.nextHandle += 4;
  t.handles[handle] = object;
  ++object->handles;
  return handle;
}

}  // namespace

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCWSTR lpName) {
  HandleTable& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  if (lpName != nullptr && *lpName != L'\0') {
    auto existing = t.byName.find(lpName);
    if (existing != t.byName.end()) {
      HANDLE handle = newHandle(t, existing->second);
      SetLastError(ERROR_ALREADY_EXISTS);
      return handle;
    }
  }
  auto object = std::make_shared<MutexObject>();
  if (lpName != nullptr) {
    object->name = lpName;
  }
  if (bInitialOwner) {
    object->owner = std::this_thread::get_id();
    object->recursion = 1;
  }
  if (!object->name.empty()) {
    t.byName[object->name] = object;
  }
  HANDLE handle = newHandle(t, object);
  SetLastError(ERROR_SUCCESS);
  return handle;
}

HANDLE OpenMutexW(DWORD, BOOL, LPCWSTR lpName) {
  HandleTable& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  if (lpName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto existing = t.byName.find(lpName);
  if (existing == t.byName.end()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return newHandle(t, existing->second);
}

BOOL ReleaseMutex(HANDLE hMutex) {
  HandleTable& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  auto found = t.handles.find(hMutex);
  if (found == t.handles.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  MutexObject& object = *found->second;
  if (object.recursion == 0 || object.owner != std::this_thread::get_id()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (--object.recursion == 0) {
    object.owner = std::thread::id();
  }
  return TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
  if (tabrik::win::closeFileHandle(hObject)) return TRUE;
  HandleTable& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  auto found = t.handles.find(hObject);
  if (found == t.handles.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::shared_ptr<MutexObject> object = found->second;
  t.handles.erase(found);
  if (--object->handles == 0 && !object->name.empty()) {
    t.byName.erase(object->name);
  }
  return TRUE;
}
