#include "datastructures/Support_DS_Map.h"

#include <utility>

namespace px {

void CDS_Map::clear() {
  nodes_ = {};
  values_ = {};
  free_ = {};
  root_ = kNil;
  count_ = 0;
}

std::uint32_t CDS_Map::nextPriority() {
  // xorshift32: a full-period sequence of non-zero values.
  std::uint32_t x = priorityState_;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  priorityState_ = x;
  return x;
}

std::uint32_t CDS_Map::newNode(const RValue& key, const RValue& value) {
  std::uint32_t n;
  if (!free_.empty()) {
    n = free_.back();
    free_.pop_back();
  } else {
    if (nodes_.size() >= kNil) throw std::length_error("map is full");
    n = static_cast<std::uint32_t>(nodes_.size());
    nodes_.emplace_back();
    values_.emplace_back();
  }
  Node& node = nodes_[n];
  node.key = key;
  values_[n] = value;
  node.left = node.right = kNil;
  node.priority = nextPriority();
  return n;
}

void CDS_Map::add(const RValue& key, const RValue& value, const ElementOrder& order) {
  const std::uint32_t n = newNode(key, value);  // may move nodes_, so links come after
  const std::uint32_t priority = nodes_[n].priority;
  // Walk down while the nodes outrank the new one; it then takes the place
  // of the subtree below, which splits into the keys that compare less than
  // or equal to the new key (left) and the rest (right).
  std::uint32_t* link = &root_;
  while (*link != kNil && nodes_[*link].priority >= priority) {
    Node& at = nodes_[*link];
    link = order.Compare(at.key, key) <= 0 ? &at.right : &at.left;
  }
  std::uint32_t rest = *link;
  std::uint32_t* left = &nodes_[n].left;
  std::uint32_t* right = &nodes_[n].right;
  while (rest != kNil) {
    Node& at = nodes_[rest];
    if (order.Compare(at.key, key) <= 0) {
      *left = rest;
      left = &at.right;
      rest = at.right;
    } else {
      *right = rest;
      right = &at.left;
      rest = at.left;
    }
  }
  *left = kNil;
  *right = kNil;
  *link = n;
  ++count_;
}

std::uint32_t* CDS_Map::lowerBoundLink(const RValue& key, const ElementOrder& order) {
  std::uint32_t* found = nullptr;
  std::uint32_t* link = &root_;
  while (*link != kNil) {
    Node& at = nodes_[*link];
    if (order.Compare(at.key, key) < 0) {
      link = &at.right;
    } else {
      found = link;
      link = &at.left;
    }
  }
  return found ? found : link;
}

RValue* CDS_Map::find(const RValue& key, const ElementOrder& order) {
  const std::uint32_t n = *lowerBoundLink(key, order);
  if (n == kNil || !order.Equal(nodes_[n].key, key)) return nullptr;
  return &values_[n];
}

std::uint32_t CDS_Map::merge(std::uint32_t a, std::uint32_t b) {
  std::uint32_t result = kNil;
  std::uint32_t* link = &result;
  while (a != kNil && b != kNil) {
    if (nodes_[a].priority > nodes_[b].priority) {
      *link = a;
      link = &nodes_[a].right;
      a = *link;
    } else {
      *link = b;
      link = &nodes_[b].left;
      b = *link;
    }
  }
  *link = a != kNil ? a : b;
  return result;
}

bool CDS_Map::erase(const RValue& key, const ElementOrder& order) {
  std::uint32_t* link = lowerBoundLink(key, order);
  const std::uint32_t n = *link;
  if (n == kNil || !order.Equal(nodes_[n].key, key)) return false;
  *link = merge(nodes_[n].left, nodes_[n].right);
  nodes_[n] = Node{};  // lets go of the strings now
  values_[n] = RValue{};
  free_.push_back(n);
  --count_;
  return true;
}

const RValue* CDS_Map::previousKey(const RValue& key, const ElementOrder& order) const {
  const RValue* found = nullptr;
  for (std::uint32_t n = root_; n != kNil;) {
    const Node& at = nodes_[n];
    if (order.Compare(at.key, key) < 0) {
      found = &at.key;
      n = at.right;
    } else {
      n = at.left;
    }
  }
  return found;
}

const RValue* CDS_Map::nextKey(const RValue& key, const ElementOrder& order) const {
  const RValue* found = nullptr;
  for (std::uint32_t n = root_; n != kNil;) {
    const Node& at = nodes_[n];
    if (order.Compare(at.key, key) > 0) {
      found = &at.key;
      n = at.left;
    } else {
      n = at.right;
    }
  }
  return found;
}

const RValue* CDS_Map::firstKey() const {
  if (root_ == kNil) return nullptr;
  std::uint32_t n = root_;
  while (nodes_[n].left != kNil) n = nodes_[n].left;
  return &nodes_[n].key;
}

const RValue* CDS_Map::lastKey() const {
  if (root_ == kNil) return nullptr;
  std::uint32_t n = root_;
  while (nodes_[n].right != kNil) n = nodes_[n].right;
  return &nodes_[n].key;
}

std::vector<std::uint32_t> CDS_Map::inOrder() const {
  std::vector<std::uint32_t> order;
  order.reserve(count_);
  std::vector<std::uint32_t> path;
  std::uint32_t n = root_;
  while (n != kNil || !path.empty()) {
    while (n != kNil) {
      path.push_back(n);
      n = nodes_[n].left;
    }
    n = path.back();
    path.pop_back();
    order.push_back(n);
    n = nodes_[n].right;
  }
  return order;
}

void CDS_Map::buildFromSequence() {
  // The tree whose in-order walk is the node array and whose priorities
  // decrease downwards, built left to right with the right spine on a stack.
  std::vector<std::uint32_t> spine;
  for (std::uint32_t n = 0; n < nodes_.size(); ++n) {
    nodes_[n].priority = nextPriority();
    std::uint32_t last = kNil;
    while (!spine.empty() && nodes_[spine.back()].priority < nodes_[n].priority) {
      last = spine.back();
      spine.pop_back();
    }
    nodes_[n].left = last;
    if (!spine.empty()) nodes_[spine.back()].right = n;
    spine.push_back(n);
  }
  root_ = spine.empty() ? kNil : spine.front();
  count_ = nodes_.size();
}

void CDS_Map::write(CStream& s) const {
  const std::vector<std::uint32_t> order = inOrder();
  StreamWriteInt(s, kMapMarker);
  WriteCount(s, order.size());
  for (std::uint32_t n : order) WriteElement(s, nodes_[n].key);
  for (std::uint32_t n : order) WriteElement(s, values_[n]);
}

bool CDS_Map::read(CStream& s, const ElementOrder& order) {
  if (!ReadMarker(s, kMapMarker)) return false;
  const std::size_t count = ReadCount(s, 2 * kElementBytes);
  std::vector<std::pair<RValue, RValue>> pairs(count);
  for (auto& pair : pairs) pair.first = ReadElement(s);
  for (auto& pair : pairs) pair.second = ReadElement(s);
  for (std::size_t i = 1; i < count; ++i) {
    if (order.Compare(pairs[i - 1].first, pairs[i].first) > 0) {
      SortByElement(
          pairs, [](const auto& p) -> const RValue& { return p.first; }, true, order);
      break;
    }
  }
  CDS_Map map;
  map.nodes_.resize(count);
  map.values_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    map.nodes_[i].key = std::move(pairs[i].first);
    map.values_.push_back(std::move(pairs[i].second));
  }
  map.buildFromSequence();
  *this = std::move(map);
  return true;
}

}  // namespace px
