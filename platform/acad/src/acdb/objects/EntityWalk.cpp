// The entity orders a database keeps for its walks, and the walks themselves
// (tabrik/EntityWalk.h).
//
// A place on a walk is a main entity (its index in the order) and a member of its
// group: 0 the entity itself, 1..n its sub-entities, n + 1 its SEQEND. A stub's slot
// names its last known index (in the order for a main entity, in the owner's list for
// a sub-entity); when the slot no longer points back at the stub the place is found
// by a search instead, so a stale slot costs time, never a wrong answer.
#include "tabrik/EntityWalk.h"

#include <algorithm>

#include "acdb/objects/ComplexEntity.h"
#include "acdb/objects/DatabaseInternal.h"
#include "dbsymtb.h"

namespace tabrik::acad {

const AcDbStub* DatabaseImpl::entityOrderKey(AcDbObjectId block) const {
  if (block == modelSpace || block == paperSpace) return nullptr;
  return block.stub();
}

const std::vector<AcDbStub*>& DatabaseImpl::entityOrder(const AcDbStub* key) {
  EntityOrder& order = entityOrders[key];
  if (order.valid) return order.mains;
  order.mains.clear();
  AcDbObjectId blocks[2];
  if (key == nullptr) {
    blocks[0] = modelSpace;
    blocks[1] = paperSpace;
  } else {
    blocks[0] = AcDbObjectId(const_cast<AcDbStub*>(key));
  }
  for (AcDbObjectId blockId : blocks) {
    const auto* block =
        blockId.isValid() ? AcDbBlockTableRecord::cast(blockId.stub()->object) : nullptr;
    if (block == nullptr) continue;
    for (const AcDbObjectId& id : block->entityIds())
      if (!id.isNull()) order.mains.push_back(id.stub());
  }
  std::stable_sort(order.mains.begin(), order.mains.end(),
                   [](AcDbStub* a, AcDbStub* b) { return a->handle.value() < b->handle.value(); });
  for (std::size_t i = 0; i < order.mains.size(); ++i) order.mains[i]->slot = i;
  order.valid = true;
  return order.mains;
}

void DatabaseImpl::entityAppended(AcDbObjectId block, AcDbStub* entity) {
  auto found = entityOrders.find(entityOrderKey(block));
  if (found == entityOrders.end() || !found->second.valid) return;
  std::vector<AcDbStub*>& mains = found->second.mains;
  if (entity != nullptr &&
      (mains.empty() || mains.back()->handle.value() < entity->handle.value())) {
    entity->slot = mains.size();
    mains.push_back(entity);
  } else {
    found->second.valid = false;
  }
}

void DatabaseImpl::blockContentsReplaced(AcDbObjectId block) {
  auto found = entityOrders.find(entityOrderKey(block));
  if (found != entityOrders.end()) found->second.valid = false;
}

namespace {

bool isLive(const AcDbStub* stub) {
  return stub != nullptr && stub->object != nullptr && !stub->gone && !stub->object->isErased();
}

const ComplexEntity* complexOfStub(const AcDbStub* stub) {
  if (stub == nullptr || stub->object == nullptr || stub->gone) return nullptr;
  const auto* entity = AcDbEntity::cast(stub->object);
  return entity != nullptr ? complexOf(entity) : nullptr;
}

struct Place {
  std::size_t main = 0;
  std::size_t member = 0;
};

class Walk {
 public:
  explicit Walk(const std::vector<AcDbStub*>& mains) : m_mains(mains) {}

  bool done(const Place& place) const { return place.main >= m_mains.size(); }

  AcDbStub* at(const Place& place) const {
    AcDbStub* main = m_mains[place.main];
    if (place.member == 0) return main;
    const ComplexEntity* complex = complexOfStub(main);
    if (complex == nullptr) return nullptr;
    auto sub = static_cast<int>(place.member - 1);
    if (sub < complex->m_subEntities.length()) return complex->m_subEntities[sub].stub();
    return complex->m_sequenceEnd.stub();
  }

  void advance(Place& place) const {
    const ComplexEntity* complex = complexOfStub(m_mains[place.main]);
    std::size_t members = 1;
    if (complex != nullptr)
      members += static_cast<std::size_t>(complex->m_subEntities.length()) +
                 (complex->m_sequenceEnd.isNull() ? 0 : 1);
    if (place.member + 1 < members) {
      ++place.member;
    } else {
      ++place.main;
      place.member = 0;
    }
  }

  // The first live entity from `place` on (itself included); null at the end.
  AcDbObjectId firstLive(Place place) const {
    for (; !done(place); advance(place)) {
      AcDbStub* stub = at(place);
      if (isLive(stub)) return AcDbObjectId(stub);
    }
    return AcDbObjectId::kNull;
  }

  // The index of a main entity: its slot when that still points back at it.
  bool locateMain(AcDbStub* stub, std::size_t& index) const {
    if (stub->slot < m_mains.size() && m_mains[stub->slot] == stub) {
      index = stub->slot;
      return true;
    }
    auto found = std::find(m_mains.begin(), m_mains.end(), stub);
    if (found == m_mains.end()) return false;
    index = static_cast<std::size_t>(found - m_mains.begin());
    stub->slot = index;
    return true;
  }

  // The place of a sub-entity (or SEQEND) of the main entity at `main`.
  static bool locateMember(const ComplexEntity* complex, AcDbStub* stub, std::size_t& member) {
    if (complex == nullptr) return false;
    const AcDbObjectIdArray& subs = complex->m_subEntities;
    auto count = static_cast<std::size_t>(subs.length());
    if (stub->slot < count && subs[static_cast<int>(stub->slot)].stub() == stub) {
      member = stub->slot + 1;
      return true;
    }
    for (std::size_t i = 0; i < count; ++i) {
      if (subs[static_cast<int>(i)].stub() != stub) continue;
      stub->slot = i;
      member = i + 1;
      return true;
    }
    if (complex->m_sequenceEnd.stub() != stub) return false;
    member = count + 1;
    return true;
  }

  // The first place holding `stub`, by walking the whole order: for an entity whose
  // owner does not list it where its slot and owner say.
  bool search(const AcDbStub* stub, Place& place) const {
    for (place = Place(); !done(place); advance(place))
      if (at(place) == stub) return true;
    return false;
  }

 private:
  const std::vector<AcDbStub*>& m_mains;
};

bool isBlock(const AcDbStub* stub) {
  return stub != nullptr && stub->object != nullptr &&
         AcDbBlockTableRecord::cast(stub->object) != nullptr;
}

}  // namespace

AcDbObjectId firstWalkedEntity(AcDbDatabase* database) {
  if (database == nullptr) return AcDbObjectId::kNull;
  return Walk(database->impl().entityOrder(nullptr)).firstLive(Place());
}

AcDbObjectId nextWalkedEntity(AcDbDatabase* database, AcDbObjectId from) {
  if (database == nullptr || !from.isValid()) return AcDbObjectId::kNull;
  DatabaseImpl& db = database->impl();
  AcDbStub* stub = from.stub();
  // A main entity is owned by its block; a sub-entity by its main entity, which is
  // owned by the block. Anything else has no walk but the drawing's.
  AcDbStub* owner = stub->object->ownerId().stub();
  AcDbStub* main = stub;
  AcDbStub* block = owner;
  if (!isBlock(owner)) {
    main = owner;
    block = owner != nullptr && owner->object != nullptr && !owner->gone
                ? owner->object->ownerId().stub()
                : nullptr;
    if (!isBlock(block)) block = nullptr;
  }
  const AcDbStub* key = block != nullptr ? db.entityOrderKey(AcDbObjectId(block)) : nullptr;
  Walk walk(db.entityOrder(key));
  Place place;
  bool located = block != nullptr && walk.locateMain(main, place.main);
  if (located && main != stub)
    located = Walk::locateMember(complexOfStub(main), stub, place.member);
  if (!located && !walk.search(stub, place)) return AcDbObjectId::kNull;
  walk.advance(place);
  return walk.firstLive(place);
}

AcDbObjectId lastMainEntity(AcDbDatabase* database) {
  if (database == nullptr) return AcDbObjectId::kNull;
  DatabaseImpl& db = database->impl();
  const std::vector<AcDbStub*>& mains = db.entityOrder(nullptr);
  for (auto it = mains.rbegin(); it != mains.rend(); ++it) {
    if (!isLive(*it)) continue;
    AcDbObjectId owner = (*it)->object->ownerId();
    if (owner == db.modelSpace || owner == db.paperSpace) return AcDbObjectId(*it);
  }
  return AcDbObjectId::kNull;
}

}  // namespace tabrik::acad
