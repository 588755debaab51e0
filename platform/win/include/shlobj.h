// Shell folders and shell item lists: the paths of the user's and the system's known
// folders (SHGetFolderPathW), and opening a folder window with items selected.
// Known folders follow the XDG user directories: the desktop is XDG_DESKTOP_DIR of
// $XDG_CONFIG_HOME/user-dirs.dirs (else ~/Desktop), the documents XDG_DOCUMENTS_DIR
// (else ~/Documents), pictures XDG_PICTURES_DIR, the common documents
// XDG_PUBLICSHARE_DIR, the application data $XDG_CONFIG_HOME, the local application
// data $XDG_DATA_HOME, the internet cache $XDG_CACHE_HOME, the common application data
// the first folder of $XDG_DATA_DIRS (else /usr/local/share), the program files /opt.
// Folders with no such counterpart (the administrative tools, cookies, history, the
// system and Windows folders) fail with E_FAIL, as a folder that does not exist does
// on Windows.
#pragma once
#include "fileapi.h"
#include "shellapi.h"
#include "windef.h"

#define CSIDL_DESKTOP 0x0000
#define CSIDL_PERSONAL 0x0005
#define CSIDL_DESKTOPDIRECTORY 0x0010
#define CSIDL_APPDATA 0x001a
#define CSIDL_LOCAL_APPDATA 0x001c
#define CSIDL_INTERNET_CACHE 0x0020
#define CSIDL_COOKIES 0x0021
#define CSIDL_HISTORY 0x0022
#define CSIDL_COMMON_APPDATA 0x0023
#define CSIDL_WINDOWS 0x0024
#define CSIDL_SYSTEM 0x0025
#define CSIDL_PROGRAM_FILES 0x0026
#define CSIDL_MYPICTURES 0x0027
#define CSIDL_PROGRAM_FILES_COMMON 0x002b
#define CSIDL_COMMON_DOCUMENTS 0x002e
#define CSIDL_COMMON_ADMINTOOLS 0x002f
#define CSIDL_ADMINTOOLS 0x0030
#define CSIDL_FLAG_CREATE 0x8000
#define CSIDL_FLAG_MASK 0xFF00

#define SHGFP_TYPE_CURRENT 0
#define SHGFP_TYPE_DEFAULT 1

// Copies the folder's path into pszPath (MAX_PATH characters). With CSIDL_FLAG_CREATE
// the folder is created when missing. S_OK; E_INVALIDARG for an unknown identifier;
// E_FAIL for a folder with no counterpart here or that cannot be created.
HRESULT SHGetFolderPathW(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, LPWSTR pszPath);
#define SHGetFolderPath SHGetFolderPathW

// A shell item identifier list standing for a path.
typedef struct _ITEMIDLIST ITEMIDLIST;
typedef ITEMIDLIST* PIDLIST_ABSOLUTE;
typedef const ITEMIDLIST* PCIDLIST_ABSOLUTE;
typedef const ITEMIDLIST* PCUITEMID_CHILD;
typedef const PCUITEMID_CHILD* PCUITEMID_CHILD_ARRAY;
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;

// nullptr for a null or empty path.
PIDLIST_ABSOLUTE ILCreateFromPathW(LPCWSTR pszPath);
#define ILCreateFromPath ILCreateFromPathW
void ILFree(LPITEMIDLIST pidl);
// Opens a window on the folder with the items selected (none: the folder alone). The
// host's shell carries it out (see ShellTesting.h): one execution with the verb
// "select" per item, or "explore" on the folder when there is none.
HRESULT SHOpenFolderAndSelectItems(PCIDLIST_ABSOLUTE pidlFolder, UINT cidl,
                                   PCUITEMID_CHILD_ARRAY apidl, DWORD dwFlags);
