#include "datastructures/Support_Data_Structures.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "code/Variable_Class.h"

namespace px {

int ElementOrder::Compare(const RValue& a, const RValue& b) const {
  const bool aText = a.isString();
  const bool bText = b.isString();
  if (aText != bText) return aText ? 1 : -1;
  if (aText) {
    const int c = a.str().compare(b.str());  // bytes compare as unsigned
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  const double x = a.real;
  const double y = b.real;
  if (x == y) return 0;
  if (std::isnan(x) || std::isnan(y)) {
    if (std::isnan(x) && std::isnan(y)) return 0;
    return std::isnan(x) ? 1 : -1;
  }
  const double tolerance =
      precision > 0 ? precision : std::max(std::min(std::fabs(x), std::fabs(y)) * 1e-12, 1e-12);
  if (std::fabs(x - y) <= tolerance) return 0;
  return x < y ? -1 : 1;
}

void Combine(RValue& cell, const RValue& value, Combination how) {
  switch (how) {
    case Combination::Set:
      cell = value;
      return;
    case Combination::Add:
      if (cell.isString() != value.isString()) {
        cell = value;
      } else if (value.isString()) {
        cell.setString(cell.str() + value.str());
      } else {
        cell.setReal(cell.real + value.real);
      }
      return;
    case Combination::Multiply:
      if (!cell.isString() && !value.isString()) cell.setReal(cell.real * value.real);
      return;
  }
}

void WriteElement(CStream& s, const RValue& v) {
  StreamWriteValue(s, v);
}

RValue ReadElement(CStream& s) {
  const std::size_t start = s.position();
  const std::int32_t kind = StreamReadInt(s);
  if (kind != static_cast<std::int32_t>(ValueKind::Real) &&
      kind != static_cast<std::int32_t>(ValueKind::String)) {
    throw StreamError("element of unknown kind " + std::to_string(kind));
  }
  s.seek(start);
  return StreamReadValue(s);
}

std::size_t ReadCount(CStream& s, std::size_t itemBytes) {
  const std::int32_t count = StreamReadInt(s);
  if (count < 0) throw StreamError("negative count " + std::to_string(count));
  if (static_cast<std::size_t>(count) > s.remaining() / itemBytes) {
    throw StreamError("count " + std::to_string(count) + " runs past the end");
  }
  return static_cast<std::size_t>(count);
}

bool ReadMarker(CStream& s, std::int32_t marker) {
  return StreamReadInt(s) == marker;
}

void WriteCount(CStream& s, std::size_t count) {
  StreamWriteInt(s, static_cast<std::int32_t>(count));
}

namespace {

void WriteElements(CStream& s, const std::vector<RValue>& items) {
  for (const RValue& v : items) WriteElement(s, v);
}

std::vector<RValue> ReadElements(CStream& s, std::size_t count) {
  std::vector<RValue> items;
  items.reserve(count);
  for (std::size_t i = 0; i < count; ++i) items.push_back(ReadElement(s));
  return items;
}

// The form of stacks and lists: marker, count, elements.
void WriteSequence(CStream& s, std::int32_t marker, const std::vector<RValue>& items) {
  StreamWriteInt(s, marker);
  WriteCount(s, items.size());
  WriteElements(s, items);
}

bool ReadSequence(CStream& s, std::int32_t marker, std::vector<RValue>& items) {
  if (!ReadMarker(s, marker)) return false;
  const std::size_t count = ReadCount(s, kElementBytes);
  items = ReadElements(s, count);
  return true;
}

}  // namespace

// Stack

RValue CDS_Stack::pop() {
  if (items_.empty()) return RValue{};
  RValue v = std::move(items_.back());
  items_.pop_back();
  return v;
}

void CDS_Stack::write(CStream& s) const {
  WriteSequence(s, kStackMarker, items_);
}

bool CDS_Stack::read(CStream& s) {
  return ReadSequence(s, kStackMarker, items_);
}

// Queue

void CDS_Queue::clear() {
  slots_.clear();
  head_ = tail_ = 0;
}

void CDS_Queue::enqueue(const RValue& v) {
  // resize() grows the capacity geometrically, so adding 16 slots at a time
  // to the stored length still costs constant time per element.
  if (tail_ == slots_.size()) slots_.resize(slots_.size() + 16);
  slots_[tail_++] = v;
}

RValue CDS_Queue::dequeue() {
  if (empty()) return RValue{};
  RValue v = std::move(slots_[head_]);
  slots_[head_] = RValue{};
  ++head_;
  if (head_ > 16 && head_ > tail_ / 2) {
    std::move(slots_.begin() + static_cast<std::ptrdiff_t>(head_),
              slots_.begin() + static_cast<std::ptrdiff_t>(tail_), slots_.begin());
    const std::size_t count = tail_ - head_;
    std::fill(slots_.begin() + static_cast<std::ptrdiff_t>(count),
              slots_.begin() + static_cast<std::ptrdiff_t>(tail_), RValue{});
    tail_ = count;
    head_ = 0;
  }
  return v;
}

void CDS_Queue::write(CStream& s) const {
  StreamWriteInt(s, kQueueMarker);
  WriteCount(s, tail_);
  WriteCount(s, head_);
  WriteCount(s, slots_.size());
  WriteElements(s, slots_);
}

bool CDS_Queue::read(CStream& s) {
  if (!ReadMarker(s, kQueueMarker)) return false;
  const std::int32_t tail = StreamReadInt(s);
  const std::int32_t head = StreamReadInt(s);
  const std::size_t length = ReadCount(s, kElementBytes);
  if (head < 0 || head > tail || static_cast<std::size_t>(tail) > length) {
    throw StreamError("queue head " + std::to_string(head) + " and tail " + std::to_string(tail) +
                      " do not fit an array of " + std::to_string(length));
  }
  slots_ = ReadElements(s, length);
  head_ = static_cast<std::size_t>(head);
  tail_ = static_cast<std::size_t>(tail);
  return true;
}

// List

bool CDS_List::insert(std::int64_t pos, const RValue& v) {
  if (pos < 0 || static_cast<std::uint64_t>(pos) > items_.size()) return false;
  items_.insert(items_.begin() + pos, v);
  return true;
}

bool CDS_List::replace(std::int64_t pos, const RValue& v) {
  if (pos < 0 || static_cast<std::uint64_t>(pos) >= items_.size()) return false;
  items_[static_cast<std::size_t>(pos)] = v;
  return true;
}

bool CDS_List::erase(std::int64_t pos) {
  if (pos < 0 || static_cast<std::uint64_t>(pos) >= items_.size()) return false;
  items_.erase(items_.begin() + pos);
  return true;
}

const RValue* CDS_List::at(std::int64_t pos) const {
  if (pos < 0 || static_cast<std::uint64_t>(pos) >= items_.size()) return nullptr;
  return &items_[static_cast<std::size_t>(pos)];
}

std::int64_t CDS_List::find(const RValue& v, const ElementOrder& order) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (order.Equal(items_[i], v)) return static_cast<std::int64_t>(i);
  }
  return -1;
}

void CDS_List::sort(bool ascending, const ElementOrder& order) {
  SortByElement(
      items_, [](const RValue& v) -> const RValue& { return v; }, ascending, order);
}

void CDS_List::shuffle(CRandom& random) {
  const auto n = static_cast<std::uint32_t>(items_.size());
  const std::uint64_t swaps = static_cast<std::uint64_t>(n) * 8;
  for (std::uint64_t k = 0; k < swaps; ++k) {
    const std::uint32_t a = random.NextInt(n);
    const std::uint32_t b = random.NextInt(n);
    std::swap(items_[a], items_[b]);
  }
}

void CDS_List::write(CStream& s) const {
  WriteSequence(s, kListMarker, items_);
}

bool CDS_List::read(CStream& s) {
  return ReadSequence(s, kListMarker, items_);
}

// Priority queue

void CDS_Priority::clear() {
  values_.clear();
  priorities_.clear();
}

void CDS_Priority::add(const RValue& value, const RValue& priority) {
  values_.push_back(value);
  priorities_.push_back(priority);
}

std::int64_t CDS_Priority::find(const RValue& value, const ElementOrder& order) const {
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (order.Equal(values_[i], value)) return static_cast<std::int64_t>(i);
  }
  return -1;
}

// A later pair takes over only when its priority compares strictly beyond
// the candidate's, so the earliest of equal priorities wins.
std::int64_t CDS_Priority::findExtreme(const ElementOrder& order, int sign) const {
  if (priorities_.empty()) return -1;
  std::size_t best = 0;
  for (std::size_t i = 1; i < priorities_.size(); ++i) {
    if (order.Compare(priorities_[i], priorities_[best]) * sign > 0) best = i;
  }
  return static_cast<std::int64_t>(best);
}

std::int64_t CDS_Priority::findMin(const ElementOrder& order) const {
  return findExtreme(order, -1);
}

std::int64_t CDS_Priority::findMax(const ElementOrder& order) const {
  return findExtreme(order, 1);
}

RValue CDS_Priority::removeAt(std::size_t i) {
  RValue v = std::move(values_[i]);
  if (i + 1 != values_.size()) {
    values_[i] = std::move(values_.back());
    priorities_[i] = std::move(priorities_.back());
  }
  values_.pop_back();
  priorities_.pop_back();
  return v;
}

void CDS_Priority::write(CStream& s) const {
  StreamWriteInt(s, kPriorityMarker);
  WriteCount(s, values_.size());
  WriteElements(s, priorities_);
  WriteElements(s, values_);
}

bool CDS_Priority::read(CStream& s) {
  if (!ReadMarker(s, kPriorityMarker)) return false;
  const std::size_t count = ReadCount(s, 2 * kElementBytes);
  std::vector<RValue> priorities = ReadElements(s, count);
  values_ = ReadElements(s, count);
  priorities_ = std::move(priorities);
  return true;
}

}  // namespace px
