// The statement cache of a connection (see JetStatementCache.h).
#include "JetStatementCache.h"

namespace tabrik::dao::jetsql {

StatementCache::StatementCache(std::size_t capacity, Target target)
    : m_capacity(capacity > 0 ? capacity : 1), m_target(target) {}

std::shared_ptr<const Translation> StatementCache::translation(const std::string& jet,
                                                               long long schemaVersion,
                                                               const ServerNames* names) {
  if (schemaVersion != m_schemaVersion) {
    clear();
    m_schemaVersion = schemaVersion;
  }
  if (schemaVersion < 0) {
    // The catalog could not settle on a version (a link waiting for the end of a
    // transaction): nothing made now may be kept.
    ++m_misses;
    return std::make_shared<const Translation>(translate(jet, m_target, names));
  }
  auto found = m_entries.find(jet);
  if (found != m_entries.end()) {
    ++m_hits;
    m_order.splice(m_order.begin(), m_order, found->second);
    return found->second->second;
  }
  ++m_misses;
  // Throws for a statement that does not translate: nothing is kept for it.
  auto made = std::make_shared<const Translation>(translate(jet, m_target, names));
  if (m_entries.size() >= m_capacity) {
    m_entries.erase(m_order.back().first);
    m_order.pop_back();
  }
  m_order.emplace_front(jet, made);
  // The key views the text the list entry owns; list nodes never move.
  m_entries.emplace(m_order.front().first, m_order.begin());
  return made;
}

void StatementCache::clear() {
  m_entries.clear();
  m_order.clear();
}

}  // namespace tabrik::dao::jetsql
