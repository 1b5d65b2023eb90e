// The queue of received messages: up to 4000 records in arrival order, each
// taken at most once. Taken records stay in place until the queue is full or
// cleared, and are then squeezed out keeping the order of the rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "multiplayer/Multiplayer_Message.h"

namespace px {

// Which senders a receive, count or clear looks at: 0 anybody, a positive
// id that player only, a negative one nobody.
struct SenderFilter {
  std::int32_t player = 0;
  bool matches(std::int32_t sender) const {
    return player == 0 || (player > 0 && sender == player);
  }
};

class MessageQueue {
 public:
  static constexpr std::size_t kCapacity = 4000;

  // Appends a message; false when 4000 untaken ones are already queued and
  // the message is lost.
  bool push(MpMessage m);
  // Takes the oldest untaken message of a matching sender into `out`.
  bool take(SenderFilter filter, MpMessage& out);
  // The untaken messages of matching senders.
  std::size_t count(SenderFilter filter) const;
  // Takes every message of matching senders and squeezes the queue.
  void clear(SenderFilter filter);

  // Records held, taken or not.
  std::size_t size() const { return records_.size(); }

 private:
  struct Record {
    MpMessage message;
    bool taken = false;
  };

  void compact();
  void skipTaken();

  std::vector<Record> records_;
  // The first record not yet taken.
  std::size_t first_ = 0;
};

}  // namespace px
