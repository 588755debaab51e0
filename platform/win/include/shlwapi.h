// Path tests of the shell's lightweight utility library.
#pragma once
#include "windef.h"

// TRUE for a network path: a UNC path (two leading separators, `\\server\share`) or a
// path on a network file system (NFS, CIFS/SMB, SSHFS, AFS, ...) as the mount table
// (/proc/self/mounts) names it. Relative paths are taken from the current folder.
BOOL PathIsNetworkPathW(LPCWSTR pszPath);
// (No PathIsNetworkPath macro: the module has a LISP function of that name.)
