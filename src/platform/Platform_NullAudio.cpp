// The null sink: frames are due at the device rate from the moment the sink
// was opened, on the platform's clock (virtual when headless). Whoever
// changes or reads the sound state pumps it first, so commands take effect
// at the exact frame of the clock's present time.
#include <algorithm>
#include <vector>

#include "platform/Platform.h"
#include "platform/Platform_Audio.h"

namespace px {
namespace {

class NullAudioDevice final : public AudioDevice {
 public:
  NullAudioDevice(Platform& clock, AudioSource& source)
      : clock_(clock), source_(source), start_(clock.nowMicros()) {}

  int sampleRate() const override { return kAudioRate; }
  bool audible() const override { return false; }

  void pump() override {
    const std::int64_t elapsed = std::max<std::int64_t>(0, clock_.nowMicros() - start_);
    const std::int64_t due = elapsed * kAudioRate / 1000000;
    if (due <= rendered_) {
      source_.render(block_, 0);
      return;
    }
    while (rendered_ < due) {
      const int n = static_cast<int>(std::min<std::int64_t>(kBlock, due - rendered_));
      source_.render(block_, n);
      if (keep_) kept_.insert(kept_.end(), block_, block_ + 2 * n);
      rendered_ += n;
    }
  }

  void keepFrames(bool on) override { keep_ = on; }
  std::span<const float> keptFrames() const override { return kept_; }
  void clearKeptFrames() override { kept_.clear(); }

 private:
  static constexpr int kBlock = 1024;
  Platform& clock_;
  AudioSource& source_;
  std::int64_t start_;
  std::int64_t rendered_ = 0;
  float block_[2 * kBlock] = {};
  bool keep_ = false;
  std::vector<float> kept_;
};

}  // namespace

std::unique_ptr<AudioDevice> CreateNullAudioDevice(Platform& clock, AudioSource& source) {
  return std::make_unique<NullAudioDevice>(clock, source);
}

}  // namespace px
