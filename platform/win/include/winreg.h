// The registry: predefined root keys, keys and their named, typed values. Here the
// registry is a text file of the host's (TABRIK_REGISTRY, set by `--registry`; else
// $XDG_CONFIG_HOME/tabrik/registry, else ~/.config/tabrik/registry). Key and value
// names compare without regard to case and keep the case they were made with;
// subkeys enumerate in case-insensitive name order, values in the order they were
// first set. Several processes may write at once: each change re-reads the file under
// a lock and replaces it whole, so no change is lost and no reader sees a torn file.
#pragma once
#include "errhandlingapi.h"
#include "fileapi.h"
#include "synchapi.h"
#include "windef.h"

struct HKEY__;
typedef struct HKEY__* HKEY;
typedef HKEY* PHKEY;
typedef DWORD REGSAM;
typedef LONG LSTATUS;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef std::uintptr_t ULONG_PTR;

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))
#define HKEY_USERS ((HKEY)(ULONG_PTR)((LONG)0x80000003))
#define HKEY_PERFORMANCE_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000004))
#define HKEY_CURRENT_CONFIG ((HKEY)(ULONG_PTR)((LONG)0x80000005))
#define HKEY_DYN_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000006))
#define HKEY_PERFORMANCE_TEXT ((HKEY)(ULONG_PTR)((LONG)0x80000050))
#define HKEY_PERFORMANCE_NLSTEXT ((HKEY)(ULONG_PTR)((LONG)0x80000060))

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7
#define REG_QWORD 11

#define REG_OPTION_NON_VOLATILE 0x00000000
#define REG_CREATED_NEW_KEY 0x00000001
#define REG_OPENED_EXISTING_KEY 0x00000002

// Each call returns ERROR_SUCCESS or the error: ERROR_FILE_NOT_FOUND (no such key or
// value), ERROR_INVALID_HANDLE, ERROR_KEY_DELETED (the open key was deleted),
// ERROR_MORE_DATA (buffer too small; the size needed is given back),
// ERROR_NO_MORE_ITEMS (enumeration past the end), ERROR_ACCESS_DENIED (the file cannot
// be written, or a key with subkeys to delete).
LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                      PHKEY phkResult);
#define RegOpenKeyEx RegOpenKeyExW
LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass,
                        DWORD dwOptions, REGSAM samDesired,
                        LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                        LPDWORD lpdwDisposition);
#define RegCreateKeyEx RegCreateKeyExW
LSTATUS RegCloseKey(HKEY hKey);
// The name of the subkey at the index; *lpcchName is the buffer's size in characters
// on entry and the name's length on return.
LSTATUS RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName,
                      LPDWORD lpReserved, LPWSTR lpClass, LPDWORD lpcchClass,
                      LPFILETIME lpftLastWriteTime);
#define RegEnumKeyEx RegEnumKeyExW
LSTATUS RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                      LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
#define RegEnumValue RegEnumValueW
// A value (null or empty name: the key's default value). Text values are wide
// characters with their terminating null, sizes in bytes.
LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData);
#define RegQueryValueEx RegQueryValueExW
LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                       const BYTE* lpData, DWORD cbData);
#define RegSetValueEx RegSetValueExW
LSTATUS RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);
#define RegDeleteValue RegDeleteValueW
// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED otherwise).
LSTATUS RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);
#define RegDeleteKey RegDeleteKeyW
