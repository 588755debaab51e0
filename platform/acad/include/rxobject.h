// The runtime class system's root: every object the host publishes (editor, classes,
// dictionaries, database objects) is an AcRxObject with a class descriptor.
#pragma once
#include "adsdef.h"

class AcRxClass;

class AcRxObject {
 public:
  virtual ~AcRxObject();
  static AcRxClass* desc();
  static AcRxObject* cast(const AcRxObject* object) { return const_cast<AcRxObject*>(object); }
  virtual AcRxClass* isA() const;
  bool isKindOf(const AcRxClass* aClass) const;
  // The protocol extension object of that protocol class attached to this object's
  // class or, failing that, to the nearest ancestor class that has one; nullptr when
  // none has. x() is the same query.
  AcRxObject* queryX(const AcRxClass* protocolClass) const;
  AcRxObject* x(const AcRxClass* protocolClass) const { return queryX(protocolClass); }
};

// Declares the class-system members of a class derived from AcRxObject; the matching
// definition is one of the ACRX_..._DEFINE_MEMBERS macros of rxboiler.h.
#define ACRX_DECLARE_MEMBERS(CLASS_NAME)                                     \
  virtual AcRxClass* isA() const;                                            \
  static AcRxClass* gpDesc;                                                  \
  static AcRxClass* desc();                                                  \
  static CLASS_NAME* cast(const AcRxObject* object) {                        \
    return (object == nullptr || !object->isKindOf(CLASS_NAME::desc()))      \
               ? nullptr                                                     \
               : dynamic_cast<CLASS_NAME*>(const_cast<AcRxObject*>(object)); \
  }                                                                          \
  static void rxInit()
