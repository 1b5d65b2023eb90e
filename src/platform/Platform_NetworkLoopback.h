// A network inside one process: every connection made from one
// LoopbackNetwork meets the others at once, payloads arrive in the order
// they were sent, and nothing is ever lost, so several runs in one process
// play a session together deterministically. Player ids count up from 1
// across the hub's lifetime.
#pragma once

#include <memory>

#include "platform/Platform_Network.h"

namespace px {

struct LoopbackHub;

class LoopbackNetwork : public Network {
 public:
  LoopbackNetwork();
  ~LoopbackNetwork() override;
  std::unique_ptr<NetworkConnection> connectTcpip(const std::string& host,
                                                  std::optional<std::uint16_t> port) override;

 private:
  std::shared_ptr<LoopbackHub> hub_;
};

}  // namespace px
