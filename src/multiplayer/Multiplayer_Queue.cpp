#include "multiplayer/Multiplayer_Queue.h"

#include <algorithm>
#include <utility>

namespace px {

bool MessageQueue::push(MpMessage m) {
  if (records_.size() >= kCapacity) compact();
  if (records_.size() >= kCapacity) return false;
  records_.push_back({std::move(m), false});
  return true;
}

bool MessageQueue::take(SenderFilter filter, MpMessage& out) {
  for (std::size_t i = first_; i < records_.size(); ++i) {
    Record& r = records_[i];
    if (r.taken || !filter.matches(r.message.player)) continue;
    out = r.message;
    r.taken = true;
    skipTaken();
    return true;
  }
  return false;
}

std::size_t MessageQueue::count(SenderFilter filter) const {
  return static_cast<std::size_t>(
      std::count_if(records_.begin() + static_cast<std::ptrdiff_t>(first_), records_.end(),
                    [&](const Record& r) { return !r.taken && filter.matches(r.message.player); }));
}

void MessageQueue::clear(SenderFilter filter) {
  for (std::size_t i = first_; i < records_.size(); ++i) {
    if (filter.matches(records_[i].message.player)) records_[i].taken = true;
  }
  compact();
}

void MessageQueue::compact() {
  std::erase_if(records_, [](const Record& r) { return r.taken; });
  first_ = 0;
}

void MessageQueue::skipTaken() {
  while (first_ < records_.size() && records_[first_].taken) ++first_;
}

}  // namespace px
