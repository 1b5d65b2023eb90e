// The effects as signal processing on a block of interleaved stereo frames,
// and the chain an effect bit set builds. Chains are built (and their delay
// lines allocated) outside the mixing thread; processing never allocates.
#pragma once

#include <memory>
#include <vector>

#include "sound/Sound_EffectParams.h"

namespace px {

class Effect {
 public:
  virtual ~Effect() = default;
  virtual EffectKind kind() const = 0;
  // Processes n frames in place.
  virtual void process(float* frames, int n) = 0;
  // Takes a parameter set of this effect's kind (already validated).
  virtual void setParams(const EffectParams&) {}
};

using EffectChain = std::vector<std::unique_ptr<Effect>>;

// One effect per set bit in the fixed order chorus, echo, flanger, gargle,
// equalizer, waves reverb, compressor, equalizer again, distortion,
// environmental reverb: the equalizer bit gives two stages. Every stage
// starts with its defaults.
EffectChain BuildEffectChain(int bits, int rate);

std::unique_ptr<Effect> MakeEffect(EffectKind kind, int rate);

}  // namespace px
