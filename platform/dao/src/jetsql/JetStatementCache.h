// The translations of the Jet statements one connection runs, by their text, so that a
// statement run again costs a lookup instead of a translation (programs run the same
// few statements over and over). Parameters are not part of the text: they are bound
// to the prepared statement, so one entry serves every run of a stored query.
//
// Invariant: every entry was made while the file's schema had the version the cache
// holds. A lookup under another version drops every entry first, so no statement is
// answered from before a table was created, dropped, renamed or linked; the caller
// passes the version it has just read from the file, or a negative one when it has
// none (then nothing is kept).
//
// Speed only: translating again instead of looking up is always correct.
#pragma once
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "JetTranslator.h"

namespace tabrik::dao::jetsql {

class StatementCache {
 public:
  static constexpr std::size_t kDefaultCapacity = 256;

  explicit StatementCache(std::size_t capacity = kDefaultCapacity, Target target = Target::Sqlite);
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;

  // The translation of `jet`, translated now when the cache does not hold it (the
  // least recently used entry makes room). A statement that does not translate
  // throws as translate() does and is not kept.
  std::shared_ptr<const Translation> translation(const std::string& jet, long long schemaVersion,
                                                 const ServerNames* names = nullptr);
  // Drops every entry.
  void clear();

  std::size_t size() const { return m_entries.size(); }
  // Lookups answered from the cache, and translations made, since construction.
  std::uint64_t hits() const { return m_hits; }
  std::uint64_t misses() const { return m_misses; }

 private:
  using Entry = std::pair<std::string, std::shared_ptr<const Translation>>;
  // Most recently used first.
  std::list<Entry> m_order;
  std::unordered_map<std::string_view, std::list<Entry>::iterator> m_entries;
  std::size_t m_capacity;
  Target m_target;
  long long m_schemaVersion = -1;
  std::uint64_t m_hits = 0;
  std::uint64_t m_misses = 0;
};

}  // namespace tabrik::dao::jetsql
