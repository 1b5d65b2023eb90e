// CDS_Map: key and value pairs kept in key order, equal keys side by side
// in the order they were added.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "datastructures/Support_Data_Structures.h"

namespace px {

// The pairs form a sequence; a new pair goes after every key that compares
// less than or equal to it, and a look-up finds the lowest position whose
// key compares equal. The sequence is held in a treap (a binary tree whose
// in-order walk is the sequence, balanced by random node priorities), so
// look-up, addition and deletion take logarithmic time. The tree is searched
// by key, which in a sorted sequence finds exactly the positions a search of
// a sorted array finds.
class CDS_Map {
 public:
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  void clear();

  void add(const RValue& key, const RValue& value, const ElementOrder& order);
  // The value of the first pair whose key compares equal, or null.
  RValue* find(const RValue& key, const ElementOrder& order);
  // Removes the first pair whose key compares equal; false when none.
  bool erase(const RValue& key, const ElementOrder& order);
  // The largest key that compares less than `key`, the smallest that
  // compares greater, the first and the last key; null when there is none.
  const RValue* previousKey(const RValue& key, const ElementOrder& order) const;
  const RValue* nextKey(const RValue& key, const ElementOrder& order) const;
  const RValue* firstKey() const;
  const RValue* lastKey() const;

  // Calls f(key, value) for each pair in order.
  template <class F>
  void forEach(F&& f) const {
    for (std::uint32_t n : inOrder()) f(nodes_[n].key, values_[n]);
  }

  void write(CStream& s) const;
  // Keeps the stored order of a text whose keys are in order, as every
  // text a map writes is. Keys out of order (a text made by hand or
  // damaged) are put in order, equal keys keeping theirs; left as they
  // were, some of them could never be found again.
  bool read(CStream& s, const ElementOrder& order);

 private:
  static constexpr std::uint32_t kNil = 0xFFFFFFFFu;
  // What a search walks through; the values lie apart, so the nodes stay
  // small and more of them share the cache.
  struct Node {
    RValue key;
    std::uint32_t left = kNil;
    std::uint32_t right = kNil;
    std::uint32_t priority = 0;
  };

  std::uint32_t newNode(const RValue& key, const RValue& value);
  std::uint32_t nextPriority();
  // The link (the root or a child field) that holds the first node whose
  // key does not compare less than `key`; it holds kNil when there is none.
  std::uint32_t* lowerBoundLink(const RValue& key, const ElementOrder& order);
  std::uint32_t merge(std::uint32_t a, std::uint32_t b);
  std::vector<std::uint32_t> inOrder() const;
  // Builds the tree over nodes_ taken in index order as the sequence.
  void buildFromSequence();

  // Nodes live in one array and name each other by index; removed nodes
  // are kept for reuse. values_[n] is the value of node n.
  std::vector<Node> nodes_;
  std::vector<RValue> values_;
  std::vector<std::uint32_t> free_;
  std::uint32_t root_ = kNil;
  std::size_t count_ = 0;
  // Node priorities come from a fixed sequence, so the same calls always
  // build the same tree.
  std::uint32_t priorityState_ = 0x9E3779B9u;
};

}  // namespace px
