// The containers game code builds and addresses by handle: stacks, queues,
// lists and priority queues, with the comparison rule every search and
// ordering uses, the combination rule of grid cells and the helpers of the
// containers' hexadecimal text forms. Maps and grids have units of their own.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "base/Support_Stream.h"
#include "code/Code_Value.h"
#include "code/Support_Random.h"

namespace px {

inline constexpr double kDefaultPrecision = 1e-8;

// The comparison of two elements: negative, zero or positive.
// - Two reals are equal when they differ by at most the precision; with a
//   precision of 0 the tolerance is relative: max(min(|a|, |b|) × 1e-12, 1e-12).
// - Two strings compare byte by byte (case-sensitive), then by length.
// - A real is smaller than any string.
// NaN equals NaN and is greater than every other real, so that sorting and
// the map's order stay consistent when game code stores one.
class ElementOrder {
 public:
  double precision = kDefaultPrecision;

  int Compare(const RValue& a, const RValue& b) const;
  bool Equal(const RValue& a, const RValue& b) const { return Compare(a, b) == 0; }
};

// Sorts items by an element each holds, in the order of ds_list_sort: an
// insertion sort in which an item swaps with its left neighbour while it
// goes before it. Ascending, it goes before a neighbour that compares
// greater; descending, before one that does not compare greater, so equal
// items keep their order ascending and are reversed descending.
//
// Runs of 32 are insertion-sorted, then merged pairwise; a merge takes the
// right run's item first exactly when it goes before the left one. That
// gives the insertion sort's result with O(n log n) comparisons. Only the
// comparison's results steer it, so an order that is not transitive (reals
// within the precision of each other) cannot lead it outside the items.
template <class T, class KeyOf>
void SortByElement(std::vector<T>& items, KeyOf keyOf, bool ascending, const ElementOrder& order) {
  const auto goesBefore = [&](const T& later, const T& earlier) {
    const int c = order.Compare(keyOf(earlier), keyOf(later));
    return ascending ? c > 0 : c <= 0;
  };
  const std::size_t n = items.size();
  constexpr std::size_t kRun = 32;
  for (std::size_t first = 0; first < n; first += kRun) {
    const std::size_t last = std::min(first + kRun, n);
    for (std::size_t p = first + 1; p < last; ++p) {
      for (std::size_t q = p; q > first && goesBefore(items[q], items[q - 1]); --q) {
        std::swap(items[q], items[q - 1]);
      }
    }
  }
  if (n <= kRun) return;
  std::vector<T> merged(n);
  for (std::size_t width = kRun; width < n; width *= 2) {
    for (std::size_t first = 0; first < n; first += 2 * width) {
      const std::size_t mid = std::min(first + width, n);
      const std::size_t last = std::min(first + 2 * width, n);
      std::size_t i = first;
      std::size_t j = mid;
      std::size_t out = first;
      while (i < mid && j < last) {
        merged[out++] = std::move(goesBefore(items[j], items[i]) ? items[j++] : items[i++]);
      }
      while (i < mid) merged[out++] = std::move(items[i++]);
      while (j < last) merged[out++] = std::move(items[j++]);
    }
    items.swap(merged);
  }
}

// How a value goes into a grid cell.
enum class Combination {
  Set,       // stores the value
  Add,       // sums two reals, joins two strings, otherwise stores the value
  Multiply,  // multiplies two reals, otherwise leaves the cell
};
void Combine(RValue& cell, const RValue& value, Combination how);

// The text forms. Each container writes a marker, then its fields, with
// every element stored as kind, real and string whatever its kind; the
// stream is then turned into hexadecimal text.
enum TextMarker : std::int32_t {
  kStackMarker = 101,
  kQueueMarker = 201,
  kListMarker = 301,
  kMapMarker = 401,
  kPriorityMarker = 501,
  kGridMarker = 601,
};
// The fewest bytes one stored element takes (kind, real, string length).
inline constexpr std::size_t kElementBytes = 16;

void WriteElement(CStream& s, const RValue& v);
// Throws StreamError for a kind other than real or string, or when the
// stream ends inside the element.
RValue ReadElement(CStream& s);
// A stored count of items of at least `itemBytes` bytes each. Throws
// StreamError when it is negative or more than the rest of the stream can
// hold, so a damaged count never reserves memory the text does not back.
std::size_t ReadCount(CStream& s, std::size_t itemBytes);
// Reads the marker: false (and nothing more read) when it is not `marker`.
bool ReadMarker(CStream& s, std::int32_t marker);
void WriteCount(CStream& s, std::size_t count);

// Every container reads its text the same way: a wrong marker leaves it as
// it was and gives false; damage throws StreamError and leaves it as it was
// too, since the new contents are built apart and moved in only when whole.

class CDS_Stack {
 public:
  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  void clear() { items_.clear(); }
  void push(const RValue& v) { items_.push_back(v); }
  // The top element, removed; real 0 when empty.
  RValue pop();
  // Null when empty.
  const RValue* top() const { return items_.empty() ? nullptr : &items_.back(); }

  void write(CStream& s) const;
  bool read(CStream& s);

 private:
  std::vector<RValue> items_;  // bottom first
};

// An array with a head (next read) and a tail (next write). The array grows
// 16 slots when the tail reaches its end and is stored whole, slots before
// the head and after the tail included; freed slots hold real 0.
class CDS_Queue {
 public:
  std::size_t size() const { return tail_ - head_; }
  bool empty() const { return tail_ == head_; }
  void clear();
  void enqueue(const RValue& v);
  // The head element, removed; real 0 when empty. Once more than 16 slots
  // and more than half of the used part lie before the head, the rest moves
  // to the start of the array.
  RValue dequeue();
  // Null when empty.
  const RValue* head() const { return empty() ? nullptr : &slots_[head_]; }
  const RValue* tail() const { return empty() ? nullptr : &slots_[tail_ - 1]; }
  std::size_t arrayLength() const { return slots_.size(); }

  void write(CStream& s) const;
  bool read(CStream& s);

 private:
  std::vector<RValue> slots_;
  std::size_t head_ = 0;
  std::size_t tail_ = 0;
};

class CDS_List {
 public:
  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  void clear() { items_.clear(); }
  void add(const RValue& v) { items_.push_back(v); }
  // Before position pos, 0 … size (size appends); false and nothing done
  // for any other position. The same for replace and erase within 0 … size − 1.
  bool insert(std::int64_t pos, const RValue& v);
  bool replace(std::int64_t pos, const RValue& v);
  bool erase(std::int64_t pos);
  // Null outside 0 … size − 1.
  const RValue* at(std::int64_t pos) const;
  // The first position whose element compares equal, or −1.
  std::int64_t find(const RValue& v, const ElementOrder& order) const;
  // Ascending keeps equal elements in their order; descending reverses it
  // (SortByElement).
  void sort(bool ascending, const ElementOrder& order);
  // size × 8 swaps of two positions drawn one after the other.
  void shuffle(CRandom& random);

  void write(CStream& s) const;
  bool read(CStream& s);

 private:
  std::vector<RValue> items_;
};

// Value and priority pairs in insertion order; removing a pair moves the
// last pair into its place.
class CDS_Priority {
 public:
  std::size_t size() const { return values_.size(); }
  bool empty() const { return values_.empty(); }
  void clear();
  void add(const RValue& value, const RValue& priority);
  // The first pair whose value compares equal, or −1.
  std::int64_t find(const RValue& value, const ElementOrder& order) const;
  // The pair of the smallest (largest) priority, the earliest of equals; −1
  // when empty.
  std::int64_t findMin(const ElementOrder& order) const;
  std::int64_t findMax(const ElementOrder& order) const;
  const RValue& valueAt(std::size_t i) const { return values_[i]; }
  const RValue& priorityAt(std::size_t i) const { return priorities_[i]; }
  void setPriority(std::size_t i, const RValue& priority) { priorities_[i] = priority; }
  // Removes pair i, moving the last pair into its place; returns its value.
  RValue removeAt(std::size_t i);

  void write(CStream& s) const;
  bool read(CStream& s);

 private:
  std::int64_t findExtreme(const ElementOrder& order, int sign) const;

  std::vector<RValue> values_;
  std::vector<RValue> priorities_;
};

}  // namespace px
