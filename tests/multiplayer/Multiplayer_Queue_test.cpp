// Taking, counting and clearing queued messages by sender, and the queue's
// limit of 4000 untaken messages.
#include "multiplayer/Multiplayer_Queue.h"

#include <gtest/gtest.h>

namespace {

using px::MessageQueue;
using px::MpMessage;
using px::RValue;
using px::SenderFilter;

MpMessage From(std::int32_t player, std::int32_t id) {
  return MpMessage{player, true, id, RValue::FromReal(id)};
}

TEST(MultiplayerQueue, SendersChooseWhatIsTakenCountedAndCleared) {
  MessageQueue q;
  for (const auto& [player, id] : {std::pair{3, 1}, {4, 2}, {3, 3}, {5, 4}})
    q.push(From(player, id));
  EXPECT_EQ(q.count({0}), 4u);
  EXPECT_EQ(q.count({3}), 2u);
  EXPECT_EQ(q.count({-1}), 0u);
  EXPECT_EQ(q.count({9}), 0u);

  MpMessage m;
  EXPECT_FALSE(q.take({-1}, m));
  ASSERT_TRUE(q.take({4}, m));
  EXPECT_EQ(m.id, 2);
  ASSERT_TRUE(q.take({0}, m));  // the oldest from anybody
  EXPECT_EQ(m.id, 1);
  ASSERT_TRUE(q.take({0}, m));  // the taken one in between is passed over
  EXPECT_EQ(m.id, 3);
  EXPECT_EQ(q.count({0}), 1u);

  q.push(From(3, 5));
  q.clear({3});
  EXPECT_EQ(q.count({3}), 0u);
  EXPECT_EQ(q.size(), 1u);  // clearing squeezes the taken ones out
  ASSERT_TRUE(q.take({0}, m));
  EXPECT_EQ(m.id, 4);
  EXPECT_FALSE(q.take({0}, m));
  EXPECT_EQ(m.id, 4);  // a failed take leaves the message as it was
}

TEST(MultiplayerQueue, AFullQueueLosesArrivalsUntilOneIsTaken) {
  MessageQueue q;
  for (int i = 0; i < 4000; ++i) ASSERT_TRUE(q.push(From(1, i)));
  EXPECT_FALSE(q.push(From(2, 4000)));
  EXPECT_EQ(q.count({2}), 0u);

  MpMessage m;
  ASSERT_TRUE(q.take({0}, m));
  EXPECT_EQ(m.id, 0);
  EXPECT_TRUE(q.push(From(2, 4001)));  // the arrival squeezes the taken one out
  EXPECT_EQ(q.size(), 4000u);
  EXPECT_FALSE(q.push(From(2, 4002)));

  // The order of the rest survives the squeeze.
  ASSERT_TRUE(q.take({0}, m));
  EXPECT_EQ(m.id, 1);
  ASSERT_TRUE(q.take({2}, m));
  EXPECT_EQ(m.id, 4001);
}

}  // namespace
