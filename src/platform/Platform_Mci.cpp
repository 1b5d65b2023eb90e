#include "platform/Platform_Mci.h"

namespace px {
namespace {

class NoCdDrive final : public MciDevice {
 public:
  std::string send(std::string_view) override { return {}; }
};

}  // namespace

std::unique_ptr<MciDevice> CreateNoCdDrive() {
  return std::make_unique<NoCdDrive>();
}

}  // namespace px
