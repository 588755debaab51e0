// The host's ads calls: external-function registration and results, LISP invocation,
// host variables, files, and user input. All run on the host's main thread.
#pragma once
#include "adscodes.h"
#include "adsdef.h"

// --- external functions -------------------------------------------------------
// Gives `name` the function code `code` in the current document's LISP environment.
int acedDefun(const ACHAR* name, int code);
int acedUndef(const ACHAR* name, int code);
// Attaches a handler to a function code of the current document.
int acedRegFunc(int (*handler)(void), int code);
// The code of the external function being evaluated, or RTERROR outside a call.
int acedGetFunCode();
// A fresh copy of the arguments of the call being evaluated (the caller releases it
// with acutRelRb); nullptr when the call has no arguments.
struct resbuf* acedGetArgs();

// The result of the call being evaluated; the last call wins.
int acedRetNil();
int acedRetT();
int acedRetVoid();
int acedRetInt(int value);
int acedRetReal(ads_real value);
int acedRetStr(const ACHAR* value);
int acedRetPoint(const ads_point value);
int acedRetName(const ads_name value, int type);
int acedRetVal(const struct resbuf* value);
int acedRetList(const struct resbuf* list);

// Calls a LISP function: the first buffer is an RTSTR with its name. On RTNORM,
// *result holds the value (nullptr for nil); the caller releases it.
int acedInvoke(const struct resbuf* args, struct resbuf** result);
// Evaluates a LISP expression given as a list (the first element names the function).
int acedEvaluateLisp(const ACHAR* expression, struct resbuf*& result);

// --- host variables, files, screen ----------------------------------------------
int acedGetVar(const ACHAR* name, struct resbuf* result);
int acedSetVar(const ACHAR* name, const struct resbuf* value);
int acedGetEnv(const ACHAR* name, ACHAR* value, size_t size);
int acedSetEnv(const ACHAR* name, const ACHAR* value);
int acedFindFile(const ACHAR* name, ACHAR* result, size_t size);
int acedTextScr();
int acedGraphScr();
int acedAlert(const ACHAR* text);
// The host's main window (owner of the module's message boxes and dialogs).
struct HWND__;
typedef struct HWND__* HWND;
HWND adsw_acadMainWnd();
// The status bar's progress meter: shows the label and a meter from minimum to
// maximum (0; -1 when minimum exceeds maximum), moves it (0; -1 when no meter is
// shown; a position outside the range goes to its nearer end), and removes it.
int acedSetStatusBarProgressMeter(const ACHAR* label, int minimum, int maximum);
int acedSetStatusBarProgressMeterPos(int position);
void acedRestoreStatusBar();
int acedCmd(const struct resbuf* args);
// 1 when the user asked to stop (Escape: the interrupt key in the interactive host, a
// "*cancel*" at the front of the input queue, which is taken), else 0. Long work
// polls it.
int acedUsrBrk();

// --- user input ----------------------------------------------------------------
int acedInitGet(int flags, const ACHAR* keywords);
int acedGetPoint(const ads_point base, const ACHAR* prompt, ads_point result);
int acedGetCorner(const ads_point base, const ACHAR* prompt, ads_point result);
int acedGetDist(const ads_point base, const ACHAR* prompt, ads_real* result);
int acedGetAngle(const ads_point base, const ACHAR* prompt, ads_real* result);
int acedGetOrient(const ads_point base, const ACHAR* prompt, ads_real* result);
int acedGetString(int allowSpaces, const ACHAR* prompt, ACHAR* result, size_t size);
int acedGetInt(const ACHAR* prompt, int* result);
int acedGetReal(const ACHAR* prompt, ads_real* result);
int acedGetKword(const ACHAR* prompt, ACHAR* result, size_t size);
int acedGetInput(ACHAR* result, size_t size);
int acedEntSel(const ACHAR* prompt, ads_name entity, ads_point point);
int acedSSGet(const ACHAR* mode, const void* arg1, const void* arg2, const struct resbuf* filter,
              ads_name selection);
int acedSSFree(const ads_name selection);
int acedSSLength(const ads_name selection, std::int32_t* length);
int acedSSName(const ads_name selection, std::int32_t index, ads_name entity);
int acedSSAdd(const ads_name entity, const ads_name selection, ads_name result);
int acedSSDel(const ads_name entity, const ads_name selection);
// RTNORM when the entity is a member of the set, else RTERROR.
int acedSSMemb(const ads_name entity, const ads_name selection);
// The implied (pickfirst) selection that acedSSGet's "I" mode takes; a null set clears
// it. acedSSGetFirst gives it as a new RTPICKS buffer (nullptr when empty).
int acedSSSetFirst(const ads_name pickfirst, const ads_name unused);
int acedSSGetFirst(struct resbuf** gripped, struct resbuf** pickfirst);
// Called when a keyword of acedSSGet's ":K" list is typed; it answers with result
// buffers: RTPICKS or RTENAME to add, RTSTR to show as a prompt, RTCAN to cancel
// (the host releases them). Without a callback the keyword ends the selection.
int acedSSSetKwordCallbackPtr(struct resbuf* (*callback)(const ACHAR* keyword));
int acedSSGetKwordCallbackPtr(struct resbuf* (**callback)(const ACHAR* keyword));

// --- entities, symbol tables and dictionaries as data ------------------------------
// Entity data is a chain of group-coded buffers: -1 the entity name, 0 the type, then
// the DXF groups (points as one buffer, handles as text, pointers as entity names),
// and with acdbEntGetX the extended data of the named applications (RTSTR names,
// wildcards allowed) after a -3 buffer. Chains returned are the caller's to release.
struct resbuf* acdbEntGet(const ads_name entity);
struct resbuf* acdbEntGetX(const ads_name entity, const struct resbuf* applications);
// Changes the entity (or table record) the -1 group names; the groups may come in any
// order. A layer the data names is made when the drawing lacks it.
int acdbEntMod(const struct resbuf* data);
// Makes an entity (in model space, or paper space for 67 = 1) or a table record; a
// BLOCK ... ENDBLK sequence defines a block, POLYLINE ... VERTEX ... SEQEND and
// INSERT (66 = 1) ... ATTRIB ... SEQEND complex entities. acdbEntMakeX also gives the
// new entity's name ({0,0} for parts of a sequence still open); nullptr drops an open
// sequence.
int acdbEntMake(const struct resbuf* data);
int acdbEntMakeX(const struct resbuf* data, ads_name result);
// Erases the entity, or brings an erased one back.
int acdbEntDel(const ads_name entity);
int acdbEntLast(ads_name result);
// The entity after `entity` in the drawing (the first when entity is null or {0,0}),
// sub-entities included.
int acdbEntNext(const ads_name entity, ads_name result);
int acdbEntUpd(const ads_name entity);
int acdbHandEnt(const ACHAR* handle, ads_name result);
// Registers an application name for extended data; RTERROR when it is registered
// already or not a valid name.
int acdbRegApp(const ACHAR* application);
// Tables by their LISP names: LAYER, LTYPE, STYLE, BLOCK, APPID, DIMSTYLE, VPORT,
// VIEW, UCS.
struct resbuf* acdbTblSearch(const ACHAR* table, const ACHAR* symbol, int setNext);
struct resbuf* acdbTblNext(const ACHAR* table, int rewind);
int acdbTblObjName(const ACHAR* table, const ACHAR* symbol, ads_name result);
int acdbNamedObjDict(ads_name result);
struct resbuf* acdbDictSearch(const ads_name dictionary, const ACHAR* symbol, int setNext);
struct resbuf* acdbDictNext(const ads_name dictionary, int rewind);
