// Transactions: holding objects open, recording each object's state before its first
// change, and putting it back on abort. See dbtrans.h for the states.
#include "acdb/objects/DatabaseInternal.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcTransaction, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbTransactionManager, AcRxObject)

namespace tabrik::acad {

void TransactionImpl::record(AcDbObject* object) {
  AcDbStub* stub = object->objectId().stub();
  if (stub == nullptr || !recorded.insert(stub).second) return;
  // An object made in this transaction disappears on abort; its state is not needed.
  if (std::find(created.begin(), created.end(), stub) != created.end()) return;
  auto state = std::make_unique<MemoryDwgFiler>(AcDb::kUndoFiler, database);
  object->dwgOutFields(state.get());
  snapshots.push_back({stub, std::move(state), object->isErased()});
}

void TransactionImpl::hold(AcDbObject* object) {
  if (std::find(held.begin(), held.end(), object) != held.end()) return;
  held.push_back(object);
  ++ObjectState::transactionCount(object);
}

}  // namespace tabrik::acad

AcTransaction::AcTransaction(AcDbDatabase* database)
    : m_impl(std::make_unique<TransactionImpl>(database)) {}
AcTransaction::~AcTransaction() = default;

Acad::ErrorStatus AcTransaction::getObject(AcDbObject*& object, AcDbObjectId id,
                                           AcDb::OpenMode mode, bool openErased) {
  object = nullptr;
  if (id.isNull()) return Acad::eNullObjectId;
  AcDbStub* stub = id.stub();
  if (stub->gone) return Acad::eWasErased;
  if (stub->object == nullptr) return Acad::eUnknownHandle;
  AcDbObject* target = stub->object;
  if (target->isErased() && !openErased) return Acad::eWasErased;
  if (ObjectState::transactionCount(target) > 0) {
    // Already held by a transaction: every holder shares one open.
    if (mode == AcDb::kForWrite) {
      if (ObjectState::readCount(target) > 0) return Acad::eWasOpenForRead;
      ObjectState::writeOpen(target) = true;
    }
    m_impl->hold(target);
    object = target;
    return Acad::eOk;
  }
  if (ObjectState::writeOpen(target)) return Acad::eWasOpenForWrite;
  if (mode == AcDb::kForWrite) {
    if (ObjectState::readCount(target) > 0) return Acad::eWasOpenForRead;
    ObjectState::writeOpen(target) = true;
  }
  m_impl->hold(target);
  object = target;
  return Acad::eOk;
}

Acad::ErrorStatus AcTransaction::getAllObjects(AcDbVoidPtrArray& objects) {
  for (AcDbObject* object : m_impl->held) objects.append(object);
  return Acad::eOk;
}

AcDbTransactionManager::~AcDbTransactionManager() {
  for (AcTransaction* transaction : m_stack) delete transaction;
}

AcTransaction* AcDbTransactionManager::startTransaction() {
  auto* transaction = new AcTransaction(m_database);
  m_stack.append(transaction);
  return transaction;
}

int AcDbTransactionManager::numActiveTransactions() { return m_stack.length(); }

AcTransaction* AcDbTransactionManager::topTransaction() {
  return m_stack.isEmpty() ? nullptr : m_stack.last();
}

namespace {

void release(AcDbObject* object) {
  if (--ObjectState::transactionCount(object) > 0) return;
  ObjectState::writeOpen(object) = false;
  ObjectState::setNew(object, false);
}

}  // namespace

Acad::ErrorStatus AcDbTransactionManager::endTransaction() {
  if (m_stack.isEmpty()) return Acad::eNoActiveTransactions;
  std::unique_ptr<AcTransaction> ending(m_stack.last());
  m_stack.removeLast();
  TransactionImpl& done = ending->impl();
  if (!m_stack.isEmpty()) {
    // The outer transaction takes over the objects and keeps its own older states.
    TransactionImpl& outer = m_stack.last()->impl();
    for (AcDbObject* object : done.held) {
      bool alreadyHeld =
          std::find(outer.held.begin(), outer.held.end(), object) != outer.held.end();
      if (alreadyHeld)
        release(object);
      else
        outer.held.push_back(object);
    }
    for (auto& snapshot : done.snapshots) {
      if (outer.recorded.insert(snapshot.stub).second)
        outer.snapshots.push_back(std::move(snapshot));
    }
    outer.created.insert(outer.created.end(), done.created.begin(), done.created.end());
    return Acad::eOk;
  }
  for (AcDbObject* object : done.held) release(object);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbTransactionManager::abortTransaction() {
  if (m_stack.isEmpty()) return Acad::eNoActiveTransactions;
  std::unique_ptr<AcTransaction> aborting(m_stack.last());
  m_stack.removeLast();
  TransactionImpl& done = aborting->impl();
  DatabaseImpl& db = m_database->impl();
  db.restoring = true;
  for (auto snapshot = done.snapshots.rbegin(); snapshot != done.snapshots.rend(); ++snapshot) {
    AcDbObject* object = snapshot->stub->object;
    if (object == nullptr) continue;
    snapshot->state->rewind();
    object->dwgInFields(snapshot->state.get());
    ObjectState::setErased(object, snapshot->erased);
  }
  for (AcDbObject* object : done.held) {
    if (ObjectState::transactionCount(object) > 0) release(object);
  }
  for (AcDbStub* stub : done.created) {
    delete stub->object;
    stub->object = nullptr;
    stub->gone = true;
  }
  db.restoring = false;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbTransactionManager::addNewlyCreatedDBRObject(AcDbObject* object, bool add) {
  if (object == nullptr) return Acad::eNullObjectPointer;
  if (m_stack.isEmpty()) return Acad::eNoActiveTransactions;
  if (object->objectId().isNull()) return Acad::eNotInDatabase;
  TransactionImpl& top = m_stack.last()->impl();
  if (!add) {
    auto found = std::find(top.held.begin(), top.held.end(), object);
    if (found == top.held.end()) return Acad::eNotNewlyCreated;
    top.held.erase(found);
    release(object);
    return Acad::eOk;
  }
  // A new object is open for write by its adder; the transaction takes that open over.
  top.hold(object);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbTransactionManager::getObject(AcDbObject*& object, AcDbObjectId id,
                                                    AcDb::OpenMode mode, bool openErased) {
  object = nullptr;
  if (m_stack.isEmpty()) return Acad::eNoActiveTransactions;
  return m_stack.last()->getObject(object, id, mode, openErased);
}

AcDbTransactionManager* acdbTransactionManagerPtr() {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  return db ? db->transactionManager() : nullptr;
}
