// Script colours (0xBBGGRR, red in the low byte): mixing two of them and
// conversion to and from hue, saturation and value, each 0 to 255.
#pragma once

#include <cstdint>

namespace px {

// Each channel (1 - amount) × a + amount × b, rounded and held to 0..255.
std::uint32_t MergeColor(std::uint32_t a, std::uint32_t b, double amount);

struct HSV {
  int hue = 0;
  int saturation = 0;
  int value = 0;
};
HSV ColorToHSV(std::uint32_t bgr);
// Each component is rounded and taken modulo 256; a hue of 255 is a full
// turn, so it is red again.
std::uint32_t ColorFromHSV(double h, double s, double v);

}  // namespace px
