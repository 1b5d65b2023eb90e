// Playing sounds as game code does, headless: the frames the mixer renders
// on the virtual clock show levels, pan, fades, loops, stops, mixing and
// the one background music.
#include <gtest/gtest.h>

#include <cmath>

#include "sound/Sound_TestSupport.h"

namespace {

using pxtest::SoundRun;

constexpr double kTol = 1e-3;

double MbGain(double mb) {
  return std::pow(10.0, mb / 2000.0);
}

TEST(SoundPlayback, VolumeIsHundredthsOfADecibel) {
  const struct {
    double volume;
    double gain;
  } cases[] = {{1, 1}, {0.5, MbGain(-4800)}, {0, MbGain(-9600)}, {0.75, MbGain(-2400)}};
  for (const auto& c : cases) {
    SoundRun s;
    const int snd = s.Add(0, pxtest::ConstantWav(0.5f, 1));
    s.Call("sound_volume", {double(snd), c.volume});
    s.Call("sound_play", {double(snd)});
    s.Wait(0.2);
    EXPECT_NEAR(s.Left(0.1), 0.5 * c.gain, 0.5 * c.gain * 0.01 + 2e-5) << c.volume;
    EXPECT_NEAR(s.Right(0.1), 0.5 * c.gain, 0.5 * c.gain * 0.01 + 2e-5) << c.volume;
  }
}

TEST(SoundPlayback, PanAttenuatesTheOtherSide) {
  const struct {
    double pan;
    double left, right;
  } cases[] = {{-1, 1, MbGain(-10000)}, {1, MbGain(-10000), 1}, {0.5, MbGain(-5000), 1}, {0, 1, 1}};
  for (const auto& c : cases) {
    SoundRun s;
    const int snd = s.Add(0, pxtest::ConstantWav(0.5f, 1));
    s.Call("sound_pan", {double(snd), c.pan});
    s.Call("sound_play", {double(snd)});
    s.Wait(0.2);
    EXPECT_NEAR(s.Left(0.1), 0.5 * c.left, 1e-4) << c.pan;
    EXPECT_NEAR(s.Right(0.1), 0.5 * c.right, 1e-4) << c.pan;
  }
}

TEST(SoundPlayback, FadeMovesLinearlyInDecibelsOverItsTime) {
  SoundRun s;
  const int snd = s.Add(0, pxtest::ConstantWav(0.5f, 2));
  s.Call("sound_play", {double(snd)});
  s.Wait(0.1);
  s.Call("sound_fade", {double(snd), 0.5, 1000});  // to -48 dB within a second
  s.Wait(1.5);
  EXPECT_NEAR(s.Left(0.05), 0.5, kTol);
  EXPECT_NEAR(s.Left(0.6), 0.5 * MbGain(-2400), 0.5 * MbGain(-2400) * 0.02);
  EXPECT_NEAR(s.Left(1.3), 0.5 * MbGain(-4800), 1e-5);
}

TEST(SoundPlayback, PlaysOnceLoopsAndStops) {
  SoundRun s;
  const int once = s.Add(0, pxtest::ConstantWav(0.25f, 0.1));
  const int looped = s.Add(0, pxtest::ConstantWav(0.5f, 0.1));
  s.Call("sound_play", {double(once)});
  EXPECT_EQ(s.Call("sound_isplaying", {double(once)}), 1);
  s.Wait(0.05);
  EXPECT_EQ(s.Call("sound_isplaying", {double(once)}), 1);
  s.Wait(0.1);
  EXPECT_EQ(s.Call("sound_isplaying", {double(once)}), 0);
  EXPECT_NEAR(s.Left(0.09), 0.25, kTol);
  EXPECT_EQ(s.Left(0.11), 0);

  s.Call("sound_loop", {double(looped)});  // at 0.15 s
  s.Wait(0.5);
  EXPECT_EQ(s.Call("sound_isplaying", {double(looped)}), 1);
  EXPECT_NEAR(s.Left(0.6), 0.5, kTol);     // fourth time round
  s.Call("sound_stop", {double(looped)});  // at 0.65 s
  EXPECT_EQ(s.Call("sound_isplaying", {double(looped)}), 0);
  s.Wait(0.1);
  EXPECT_EQ(s.Left(0.66), 0);
  EXPECT_EQ(s.Call("sound_isplaying", {double(looped)}), 0);
}

TEST(SoundPlayback, TwoVoicesOfOneSoundMix) {
  SoundRun s;
  const int snd = s.Add(0, pxtest::ConstantWav(0.2f, 0.3));
  s.Call("sound_play", {double(snd)});
  s.Wait(0.1);
  s.Call("sound_play", {double(snd)});
  s.Wait(0.4);
  EXPECT_NEAR(s.Left(0.05), 0.2, kTol);
  EXPECT_NEAR(s.Left(0.2), 0.4, kTol);   // both
  EXPECT_NEAR(s.Left(0.35), 0.2, kTol);  // the second alone
  s.Call("sound_loop", {double(snd)});
  s.Call("sound_loop", {double(snd)});
  s.Wait(0.1);
  s.Call("sound_stop", {double(snd)});  // stops every voice of the sound
  s.Wait(0.1);
  EXPECT_NEAR(s.Left(0.55), 0.4, kTol);
  EXPECT_EQ(s.Left(0.65), 0);
}

TEST(SoundPlayback, NewBackgroundMusicReplacesTheOld) {
  SoundRun s;
  const int first = s.Add(1, pxtest::ConstantWav(0.2f, 1));
  const int second = s.Add(1, pxtest::ConstantWav(0.3f, 1));
  const int effect = s.Add(0, pxtest::ConstantWav(0.1f, 1));
  s.Call("sound_loop", {double(first)});
  s.Call("sound_play", {double(effect)});
  s.Wait(0.1);
  s.Call("sound_play", {double(second)});
  s.Wait(0.1);
  EXPECT_NEAR(s.Left(0.05), 0.3, kTol);
  EXPECT_NEAR(s.Left(0.15), 0.4, kTol);  // the normal sound plays on
  EXPECT_EQ(s.Call("sound_isplaying", {double(first)}), 0);
  EXPECT_EQ(s.Call("sound_isplaying", {double(second)}), 1);
  EXPECT_EQ(s.Call("sound_isplaying", {double(effect)}), 1);
  s.Call("sound_stop_all", {});
  EXPECT_EQ(s.Call("sound_isplaying", {double(second)}), 0);
  EXPECT_EQ(s.Call("sound_isplaying", {double(effect)}), 0);
}

TEST(SoundPlayback, MasterVolume) {
  // The start-up value 1 (+10 dB for the performance) plays at unity.
  const struct {
    double value;
    double gain;
  } cases[] = {{1, 1}, {0, MbGain(-11000)}, {0.5, MbGain(-5500)}, {2, 1}};
  for (const auto& c : cases) {
    SoundRun s;
    const int snd = s.Add(0, pxtest::ConstantWav(0.5f, 1));
    s.Call("sound_global_volume", {c.value});
    s.Call("sound_play", {double(snd)});
    s.Wait(0.1);
    EXPECT_NEAR(s.Left(0.05), 0.5 * c.gain, 0.5 * c.gain * 0.01 + 2e-5) << c.value;
  }
}

struct Call3D {
  const char* function;
  std::vector<double> args;  // after the sound
};

// Left and right level of a sound of `kind` set up by the calls.
std::pair<float, float> Level3D(int kind, const std::vector<Call3D>& calls) {
  SoundRun s;
  const int snd = s.Add(kind, pxtest::ConstantWav(0.5f, 1));
  for (const Call3D& c : calls) {
    std::vector<px::RValue> values{pxtest::Real(snd)};
    for (const double a : c.args) values.push_back(pxtest::Real(a));
    pxtest::CallWith(s.run, c.function, values);
  }
  s.Call("sound_play", {double(snd)});
  s.Wait(0.1);
  return {s.Left(0.05), s.Right(0.05)};
}

TEST(SoundPlayback, Sound3DDistanceSideAndCone) {
  const Call3D ahead{"sound_3d_set_sound_position", {0, 0, 2}};
  // A normal sound has no 3D position.
  EXPECT_NEAR(Level3D(0, {ahead}).first, 0.5, kTol);
  // Twice the minimum distance straight ahead: half the level.
  const auto twice = Level3D(2, {ahead});
  EXPECT_NEAR(twice.first, 0.25, kTol);
  EXPECT_NEAR(twice.second, 0.25, kTol);
  // Up to the minimum distance nothing is lost; past the maximum no more.
  EXPECT_NEAR(Level3D(2, {ahead, {"sound_3d_set_sound_distance", {2, 100}}}).first, 0.5, kTol);
  EXPECT_NEAR(Level3D(2, {{"sound_3d_set_sound_position", {0, 0, 8}},
                          {"sound_3d_set_sound_distance", {1, 4}}})
                  .first,
              0.125, kTol);
  // Off to the right: the left side drops.
  const auto right = Level3D(2, {{"sound_3d_set_sound_position", {2, 0, 0}}});
  EXPECT_NEAR(right.second, 0.25, kTol);
  EXPECT_LT(right.first, 0.01);
  // A cone pointing away from the listener: the outside volume,
  // round(0.5 x 10000 - 10000) = -5000.
  const Call3D near{"sound_3d_set_sound_position", {0, 0, 1}};
  EXPECT_NEAR(Level3D(2, {near, {"sound_3d_set_sound_cone", {0, 0, 1, 60, 90, 0.5}}}).first,
              0.5 * MbGain(-5000), 1e-4);
  // Pointing at the listener: full level.
  EXPECT_NEAR(Level3D(2, {near, {"sound_3d_set_sound_cone", {0, 0, -1, 60, 90, 0.5}}}).first, 0.5,
              kTol);
}

TEST(SoundPlayback, Sound3DVelocityShiftsThePitch) {
  // A sine moving away plays lower: fewer zero crossings per second.
  std::vector<float> tone(px::kAudioRate);
  for (std::size_t i = 0; i < tone.size(); ++i)
    tone[i] = 0.5f * std::sin(2 * 3.14159265f * 1000 * static_cast<float>(i) / px::kAudioRate);
  const auto crossings = [&](double speed) {
    SoundRun s;
    const int snd = s.Add(2, pxtest::MakeWav(tone));
    s.Call("sound_3d_set_sound_position", {double(snd), 0, 0, 0.5});
    s.Call("sound_3d_set_sound_velocity", {double(snd), 0, 0, speed});
    s.Call("sound_play", {double(snd)});
    s.Wait(0.5);
    const auto f = s.Frames();
    int n = 0;
    for (std::size_t i = 2; i < f.size(); i += 2) n += (f[i - 2] < 0) != (f[i] < 0);
    return n;
  };
  const int still = crossings(0);
  const int away = crossings(343.0 / 3);  // 343 / (343 + 114.3) = 0.75
  EXPECT_NEAR(still, 1000, 4);
  EXPECT_NEAR(away, 750, 6);
}

TEST(SoundPlayback, MissingSoundReportsForEveryPlaybackFunction) {
  SoundRun s;
  const struct {
    const char* name;
    int args;
  } functions[] = {
      {"sound_play", 1},
      {"sound_loop", 1},
      {"sound_stop", 1},
      {"sound_volume", 2},
      {"sound_fade", 3},
      {"sound_pan", 2},
      {"sound_effect_set", 2},
      {"sound_effect_chorus", 8},
      {"sound_effect_echo", 6},
      {"sound_effect_flanger", 8},
      {"sound_effect_gargle", 3},
      {"sound_effect_reverb", 5},
      {"sound_effect_compressor", 7},
      {"sound_effect_equalizer", 4},
      {"sound_3d_set_sound_position", 4},
      {"sound_3d_set_sound_velocity", 4},
      {"sound_3d_set_sound_distance", 3},
      {"sound_3d_set_sound_cone", 7},
      {"sound_discard", 1},
      {"sound_restore", 1},
  };
  for (const auto& f : functions) {
    std::vector<px::RValue> args(static_cast<std::size_t>(f.args), pxtest::Real(1));
    args[0] = pxtest::Real(7);
    s.rt.code.report.last.clear();
    pxtest::CallWith(s.run, f.name, args);
    EXPECT_NE(s.rt.code.report.last.find("Sound does not exist."), std::string::npos) << f.name;
  }
  s.rt.code.report.last.clear();
  EXPECT_EQ(s.Call("sound_isplaying", {7}), 0);
  EXPECT_EQ(s.Call("sound_isplaying", {-1}), 0);
  EXPECT_EQ(s.rt.code.report.last, "");
}

TEST(SoundPlayback, SameGameRendersTheSameFrames) {
  const auto render = [] {
    SoundRun s;
    const int snd = s.Add(0, pxtest::ConstantWav(0.3f, 0.2));
    s.Call("sound_effect_set", {double(snd), 1 + 2 + 16});
    s.Call("sound_loop", {double(snd)});
    s.Wait(0.37);
    s.Call("sound_fade", {double(snd), 0.2, 300});
    s.Wait(0.4);
    const auto f = s.Frames();
    return std::vector<float>(f.begin(), f.end());
  };
  EXPECT_EQ(render(), render());
}

}  // namespace
