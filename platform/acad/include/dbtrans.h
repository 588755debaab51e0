// Transactions of the drawing database. Objects got through a transaction stay open
// until it ends; ending commits every change, aborting puts every object changed in
// it back as it was when the transaction started (new objects disappear). Nested
// transactions end or abort innermost first.
//
//   no transaction --startTransaction--> depth 1 --startTransaction--> depth n+1
//   depth n --endTransaction--> depth n-1 (its objects and changes pass to the outer one)
//   depth n --abortTransaction--> depth n-1 (its changes undone, its objects closed)
#pragma once
#include <memory>

#include "dbmain.h"

namespace tabrik::acad {
struct TransactionImpl;
}

class AcTransaction : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcTransaction);
  ~AcTransaction() override;
  Acad::ErrorStatus getObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                              bool openErased = false);
  Acad::ErrorStatus getAllObjects(AcDbVoidPtrArray& objects);
  tabrik::acad::TransactionImpl& impl() { return *m_impl; }

 private:
  friend class AcDbTransactionManager;
  explicit AcTransaction(AcDbDatabase* database);
  std::unique_ptr<tabrik::acad::TransactionImpl> m_impl;
};

class AcDbTransactionManager : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbTransactionManager);
  explicit AcDbTransactionManager(AcDbDatabase* database) : m_database(database) {}
  ~AcDbTransactionManager() override;

  virtual AcTransaction* startTransaction();
  virtual Acad::ErrorStatus endTransaction();
  virtual Acad::ErrorStatus abortTransaction();
  virtual int numActiveTransactions();
  virtual AcTransaction* topTransaction();
  // Hands a new object to the top transaction, which then closes it when it ends.
  virtual Acad::ErrorStatus addNewlyCreatedDBRObject(AcDbObject* object, bool add = true);
  // getObject of the top transaction; eNoActiveTransactions without one.
  virtual Acad::ErrorStatus getObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                      bool openErased = false);

 private:
  AcDbDatabase* m_database;
  AcArray<AcTransaction*> m_stack;
};

// The transaction manager of the working database.
AcDbTransactionManager* acdbTransactionManagerPtr();
#define acdbTransactionManager acdbTransactionManagerPtr()
