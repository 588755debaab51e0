// Definitions matching ACRX_DECLARE_MEMBERS. A class defined with these macros is
// registered by calling its rxInit() at start-up (the host does it for its own
// classes; a module does it for its own in its kInitAppMsg handler).
#pragma once
#include "rxclass.h"
#include "rxdict.h"

#define ACRX_DEFINE_MEMBERS_IMPL(CLASS_NAME, PARENT_CLASS, DWG_VERSION, MAINT_VERSION,            \
                                 PROXY_FLAGS, CONSTRUCTOR, DXF_NAME, APP_NAME)                    \
  AcRxClass* CLASS_NAME::gpDesc = nullptr;                                                        \
  AcRxClass* CLASS_NAME::desc() {                                                                 \
    if (gpDesc == nullptr) {                                                                      \
      gpDesc = AcRxClass::cast(acrxClassDictionary->at(ACRX_T(#CLASS_NAME)));                     \
    }                                                                                             \
    return gpDesc;                                                                                \
  }                                                                                               \
  AcRxClass* CLASS_NAME::isA() const { return CLASS_NAME::desc(); }                               \
  void CLASS_NAME::rxInit() {                                                                     \
    if (acrxClassDictionary->at(ACRX_T(#CLASS_NAME)) != nullptr) {                                \
      gpDesc = AcRxClass::cast(acrxClassDictionary->at(ACRX_T(#CLASS_NAME)));                     \
      return;                                                                                     \
    }                                                                                             \
    gpDesc = newAcRxClass(ACRX_T(#CLASS_NAME), ACRX_T(#PARENT_CLASS), DWG_VERSION, MAINT_VERSION, \
                          PROXY_FLAGS, CONSTRUCTOR, DXF_NAME, APP_NAME);                          \
  }

#define ACRX_NO_CONS_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS) \
  ACRX_DEFINE_MEMBERS_IMPL(CLASS_NAME, PARENT_CLASS, 0, 0, 0, nullptr, nullptr, nullptr)

#define ACRX_CONS_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS, VERNO)                            \
  static AcRxObject* make##CLASS_NAME() { return new CLASS_NAME(); }                         \
  ACRX_DEFINE_MEMBERS_IMPL(CLASS_NAME, PARENT_CLASS, VERNO, 0, 0, make##CLASS_NAME, nullptr, \
                           nullptr)

#define ACRX_DXF_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS, DWG_VERSION, MAINT_VERSION, PROXY_FLAGS, \
                                DXF_NAME, APP)                                                     \
  static AcRxObject* make##CLASS_NAME() { return new CLASS_NAME(); }                               \
  ACRX_DEFINE_MEMBERS_IMPL(CLASS_NAME, PARENT_CLASS, DWG_VERSION, MAINT_VERSION, PROXY_FLAGS,      \
                           make##CLASS_NAME, ACRX_T(#DXF_NAME), ACRX_T(#APP))
