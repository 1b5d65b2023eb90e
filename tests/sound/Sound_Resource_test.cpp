// Sound resources with the engine: decoding each format, what becomes of a
// sound no decoder reads, the media player, MIDI through the synthesizer,
// adding, replacing and deleting sounds, and opening without a device.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "code/Function_TestSupport.h"
#include "sound/Sound_Decode.h"
#include "sound/Sound_Engine.h"
#include "sound/Sound_TestSupport.h"
#include "support/DummyAudio.h"
#include "support/ForwardingPlatform.h"
#include "support/TestSupport.h"
#include "system/File_TestSupport.h"

namespace {

using namespace px;
using pxtest::SoundRun;

std::vector<std::uint8_t> Mp3Fixture() {
  return pxtest::ReadBytes(std::filesystem::path(PXRUN_SOURCE_DIR) /
                           "tests/fixtures/sound/tone440.mp3");
}

double Rms(std::span<const float> f, std::size_t from, std::size_t to) {
  double e = 0;
  to = std::min(to, f.size() / 2);
  for (std::size_t i = from; i < to; ++i) e += double(f[2 * i]) * f[2 * i];
  return to > from ? std::sqrt(e / double(to - from)) : 0;
}

TEST(SoundDecode, WavesBecomeStereoAtTheMixingRate) {
  // Mono 8 frames at 22050 Hz: doubled in time, each frame on both sides.
  const auto wav = pxtest::MakeWav({0, 0.5f, 0.5f, 0.5f, -0.5f, -0.5f, -0.5f, 0}, 1, 22050);
  const auto pcm = DecodeSampleFile(wav, kAudioRate);
  ASSERT_TRUE(pcm);
  EXPECT_EQ(pcm->frames(), 16u);
  EXPECT_NEAR(pcm->samples[2], 0.25, 1e-3);  // between 0 and 0.5
  EXPECT_NEAR(pcm->samples[4], 0.5, 1e-3);
  EXPECT_EQ(pcm->samples[4], pcm->samples[5]);
  // Stereo keeps its sides.
  const auto stereo =
      DecodeSampleFile(pxtest::MakeWav({0.5f, -0.25f, 0.5f, -0.25f}, 2), kAudioRate);
  ASSERT_TRUE(stereo);
  EXPECT_NEAR(stereo->samples[1], -0.25, 1e-4);
}

TEST(SoundDecode, FormatsAndRefusals) {
  const std::vector<std::uint8_t> garbage(400, 0x5A);
  EXPECT_FALSE(DecodeSampleFile(garbage, kAudioRate));
  EXPECT_FALSE(DecodeMpeg(garbage, kAudioRate));
  EXPECT_FALSE(DecodeSampleFile({}, kAudioRate));
  // MPEG audio is for the media player, not the engine.
  const auto mp3 = Mp3Fixture();
  EXPECT_FALSE(DecodeSampleFile(mp3, kAudioRate));
  const auto decoded = DecodeMpeg(mp3, kAudioRate);
  ASSERT_TRUE(decoded);
  EXPECT_NEAR(double(decoded->frames()) / kAudioRate, 0.5, 0.06);
  EXPECT_NEAR(Rms(decoded->samples, 4410, 17640), 0.5 / std::sqrt(2.0), 0.05);
  EXPECT_TRUE(IsMidiFile(pxtest::OneNoteMidi()));
  auto broken = pxtest::OneNoteMidi();
  broken[14] = 'X';  // no track chunk
  EXPECT_FALSE(IsMidiFile(broken));
}

TEST(SoundKinds, MidiPlaysThroughTheSynthesizer) {
  SoundRun s;
  const int snd = s.Add(1, pxtest::OneNoteMidi(), ".mid");
  s.Call("sound_play", {double(snd)});
  EXPECT_EQ(s.Call("sound_get_kind", {double(snd)}), 1);
  s.Wait(0.4);
  EXPECT_EQ(s.Call("sound_isplaying", {double(snd)}), 1);
  EXPECT_GT(Rms(s.Frames(), 0, SoundRun::Index(0.4)), 0.005);
  // The note ends after half a second and its sound dies away.
  s.Wait(2.5);
  EXPECT_EQ(s.Call("sound_isplaying", {double(snd)}), 0);
  EXPECT_LT(Rms(s.Frames(), SoundRun::Index(2.0), SoundRun::Index(2.9)), 1e-4);
  // Twice the tempo: the note is let go after a quarter of a second, so it
  // has faded by the time it would still be held at the file's own tempo.
  const double held = Rms(s.Frames(), SoundRun::Index(0.3), SoundRun::Index(0.45));
  s.Call("sound_background_tempo", {2});
  s.Call("sound_play", {double(snd)});
  s.Wait(0.5);
  const double start = 2.9;
  const double let = Rms(s.Frames(), SoundRun::Index(start + 0.3), SoundRun::Index(start + 0.45));
  EXPECT_GT(held, 0.005);
  EXPECT_LT(let, held * 0.5);
}

TEST(SoundKinds, WhatTheEngineCannotReadGoesToTheMediaPlayer) {
  SoundRun s;
  ASSERT_TRUE(s.rt.tempDir.TryCreate(std::filesystem::temp_directory_path().string()));
  const int mp3 = s.Add(0, Mp3Fixture(), ".mp3");
  const int junk = s.Add(0, std::vector<std::uint8_t>(300, 7), ".wav");
  const int junkMedia = s.Add(3, std::vector<std::uint8_t>(300, 7), ".ogg");
  for (const int snd : {mp3, junk, junkMedia}) s.Call("sound_restore", {double(snd)});
  for (const int snd : {mp3, junk, junkMedia}) {
    const CSound& sound = *s.rt.resources.sounds.get(snd);
    EXPECT_EQ(sound.kind, 3) << snd;
    EXPECT_FALSE(sound.data) << snd;  // written out
    EXPECT_TRUE(std::filesystem::exists(sound.temp_file)) << snd;
    EXPECT_EQ(sound.temp_file.substr(sound.temp_file.size() - 4), sound.file_type);
  }
  // The MP3 plays; the unreadable ones play nothing, without a message.
  s.Call("sound_play", {double(junk)});
  EXPECT_EQ(s.Call("sound_isplaying", {double(junk)}), 0);
  s.Call("sound_play", {double(mp3)});
  EXPECT_EQ(s.Call("sound_isplaying", {double(mp3)}), 1);
  s.Wait(0.3);
  EXPECT_GT(Rms(s.Frames(), SoundRun::Index(0.1), SoundRun::Index(0.3)), 0.2);
  s.Wait(0.5);
  EXPECT_EQ(s.Call("sound_isplaying", {double(mp3)}), 0);
  EXPECT_EQ(s.rt.code.report.last, "");
  EXPECT_EQ(s.run.out.str(), "");
  // Volume does not reach the media player.
  s.Call("sound_volume", {double(mp3), 0});
  s.Call("sound_play", {double(mp3)});
  s.Wait(0.3);
  EXPECT_GT(Rms(s.Frames(), SoundRun::Index(0.9), SoundRun::Index(1.1)), 0.2);
  s.rt.tempDir.Remove();
}

TEST(SoundKinds, OneMediaPlayerLoopingByItsLength) {
  SoundRun s;
  ASSERT_TRUE(s.rt.tempDir.TryCreate(std::filesystem::temp_directory_path().string()));
  // 0.1 s of 0.5, then the player's timer rewinds it: at 0.1 s, 0.2 s ...
  auto frames = std::vector<float>(4410, 0.5f);
  frames[0] = -0.5f;  // marks each start
  const int a = s.Add(3, pxtest::MakeWav(frames));
  const int b = s.Add(3, pxtest::ConstantWav(0.25f, 1));
  s.Call("sound_loop", {double(a)});
  s.Wait(0.35);
  const auto f = s.Frames();
  for (const std::size_t start : {0u, 4410u, 8820u, 13230u})
    EXPECT_EQ(f[2 * start], -0.5f) << start;
  EXPECT_EQ(f[2 * 4409], 0.5f);
  // Stopping another multimedia sound leaves it playing.
  s.Call("sound_stop", {double(b)});
  EXPECT_EQ(s.Call("sound_isplaying", {double(a)}), 1);
  EXPECT_EQ(s.Call("sound_isplaying", {double(b)}), 0);
  // Playing another one takes the player over.
  s.Call("sound_play", {double(b)});
  EXPECT_EQ(s.Call("sound_isplaying", {double(a)}), 0);
  EXPECT_EQ(s.Call("sound_isplaying", {double(b)}), 1);
  s.Wait(0.1);
  EXPECT_EQ(s.Left(0.4), 0.25f);
  s.rt.tempDir.Remove();
}

TEST(SoundKinds, LongMediaFileNameIsRefused) {
  SoundRun s;
  pxtest::ScratchDir dir;
  const std::string deep = (dir / std::string(120, 'd')).string();
  std::filesystem::create_directories(deep);
  s.rt.tempDir.TryCreate(deep);
  const int snd = s.Add(3, pxtest::ConstantWav(0.5f, 0.5));
  s.Call("sound_play", {double(snd)});
  EXPECT_EQ(s.run.out.str(), "Music file name too long for player.\n");
  EXPECT_EQ(s.Call("sound_isplaying", {double(snd)}), 0);
  s.rt.tempDir.Remove();
}

TEST(SoundResources, AddReplaceDeleteAndFields) {
  pxtest::InScratchDir scratch;
  pxtest::WriteBytes("boom.wav", pxtest::ConstantWav(0.5f, 0.1));
  SoundRun s;
  s.Add(0, pxtest::ConstantWav(0.1f, 0.1));  // sound 0
  const auto call = [&](std::string_view name, std::initializer_list<px::RValue> args) {
    return pxtest::Call(s.run, name, args);
  };
  using pxtest::Real;
  using pxtest::Str;
  EXPECT_EQ(call("sound_add", {Str("missing.wav"), Real(0), Real(1)}).real, -1);
  EXPECT_EQ(call("sound_add", {Str("boom.wav"), Real(2), Real(0)}).real, 1);
  EXPECT_EQ(call("sound_get_name", {Real(1)}).str(), "__newsound1");
  EXPECT_EQ(call("sound_get_kind", {Real(1)}).real, 2);
  EXPECT_EQ(call("sound_get_preload", {Real(1)}).real, 0);
  const CSound& added = *s.rt.resources.sounds.get(1);
  EXPECT_EQ(added.file_type, ".wav");
  EXPECT_EQ(added.file_name, "boom.wav");
  EXPECT_EQ(added.sample, -1);  // not preloaded
  call("sound_play", {Real(1)});
  EXPECT_GE(added.sample, 0);
  EXPECT_EQ(call("sound_isplaying", {Real(1)}).real, 1);
  call("sound_discard", {Real(1)});
  EXPECT_EQ(added.sample, -1);
  EXPECT_EQ(call("sound_isplaying", {Real(1)}).real, 0);

  EXPECT_EQ(call("sound_replace", {Real(0), Str("boom.wav"), Real(1), Real(1)}).real, 1);
  EXPECT_GE(s.rt.resources.sounds.get(0)->sample, 0);  // preloaded
  EXPECT_EQ(call("sound_get_kind", {Real(0)}).real, 1);
  EXPECT_EQ(call("sound_replace", {Real(0), Str("gone.wav"), Real(1), Real(1)}).real, 0);
  EXPECT_EQ(call("sound_get_kind", {Real(0)}).real, -1);  // reset to a new sound
  EXPECT_EQ(call("sound_exists", {Real(0)}).real, 1);

  EXPECT_EQ(call("sound_delete", {Real(1)}).real, 1);
  EXPECT_EQ(call("sound_exists", {Real(1)}).real, 0);
  EXPECT_EQ(call("sound_name", {Real(1)}).str(), "<undefined>");
  EXPECT_EQ(call("sound_get_kind", {Real(1)}).real, -1);
  EXPECT_EQ(call("sound_get_preload", {Real(1)}).real, -1);
  EXPECT_EQ(call("sound_add", {Str("boom.wav"), Real(0), Real(1)}).real, 2);

  const struct {
    const char* name;
    std::vector<px::RValue> args;
    const char* message;
  } errors[] = {
      {"sound_replace",
       {Real(1), Str("boom.wav"), Real(0), Real(0)},
       "Trying to replace non-existing sound."},
      {"sound_delete", {Real(1)}, "Trying to delete non-existing sound."},
      {"sound_delete", {Real(9)}, "Trying to delete non-existing sound."},
  };
  for (const auto& e : errors) {
    s.rt.code.report.last.clear();
    pxtest::CallWith(s.run, e.name, e.args);
    EXPECT_NE(s.rt.code.report.last.find(e.message), std::string::npos) << e.name;
  }
}

TEST(SoundResources, FreedSamplesAreReusedFirst) {
  SoundRun s;
  const int a = s.Add(0, pxtest::ConstantWav(0.5f, 0.1));
  const int b = s.Add(1, pxtest::ConstantWav(0.5f, 0.1));
  const int c = s.Add(2, pxtest::ConstantWav(0.5f, 0.1));
  const auto sample = [&](int snd) { return s.rt.resources.sounds.get(snd)->sample; };
  for (const int snd : {a, b, c}) s.Call("sound_restore", {double(snd)});
  EXPECT_EQ(sample(a), 0);
  EXPECT_EQ(sample(b), 1);
  EXPECT_EQ(sample(c), 2);
  s.Call("sound_discard", {double(a)});
  s.Call("sound_discard", {double(b)});
  s.Call("sound_restore", {double(c)});  // frees its own sample first
  EXPECT_EQ(sample(c), 0);
  s.Call("sound_play", {double(b)});  // prepared again on use
  EXPECT_EQ(sample(b), 1);
  EXPECT_EQ(s.rt.sound.engine.sample(2), nullptr);
  // Setting the effects of the sample leaves the sound's stored set.
  s.Call("sound_effect_set", {double(b), 2});
  EXPECT_EQ(s.rt.resources.sounds.get(b)->effects, 0);
}

TEST(SoundResources, PreparingAppliesStoredVolumePanAndEffects) {
  SoundRun s;
  const int snd = s.Add(0, pxtest::ConstantWav(0.5f, 1));
  CSound& sound = *s.rt.resources.sounds.get(snd);
  sound.volume = 0.5;
  sound.pan = -1;
  s.Call("sound_play", {double(snd)});
  s.Wait(0.1);
  EXPECT_NEAR(s.Left(0.05), 0.5 * std::pow(10.0, -4800 / 2000.0), 1e-5);
  EXPECT_LT(s.Right(0.05), 1e-6);
}

// A desktop whose sound card cannot be opened.
class NoSoundCard final : public pxtest::ForwardingPlatform {
 public:
  explicit NoSoundCard(std::ostream& out) : ForwardingPlatform(CreateHeadlessPlatform(out)) {}
  bool headless() const override { return false; }
  std::unique_ptr<AudioDevice> openAudio(AudioSource&) override { return nullptr; }
};

TEST(SoundSystemOpen, WithoutADeviceEverySoundGoesToTheMediaPlayer) {
  std::ostringstream out;
  NoSoundCard platform(out);
  Runtime rt(platform);
  EXPECT_TRUE(PrepareSounds(rt));  // the game goes on
  EXPECT_EQ(out.str(), "No sound device detected. Sounds might not play.\n");
  EXPECT_FALSE(rt.sound.engine.engine());
  CSound snd;
  snd.kind = 0;
  snd.data = pxtest::ConstantWav(0.5f, 0.1);
  PrepareSound(rt, snd);
  EXPECT_EQ(snd.kind, 3);
}

TEST(SoundSystemOpen, HeadlessOpensSilentlyAndPreloads) {
  pxtest::TestRun run;
  CSound preloaded;
  preloaded.kind = 0;
  preloaded.data = pxtest::ConstantWav(0.5f, 0.1);
  CSound onDemand = preloaded;
  onDemand.preload = false;
  run.rt.resources.sounds.add("a", preloaded);
  run.rt.resources.sounds.add("b", onDemand);
  const std::int64_t before = run.platform->nowMicros();
  EXPECT_TRUE(PrepareSounds(run.rt));
  EXPECT_EQ(run.out.str(), "");
  EXPECT_EQ(run.platform->nowMicros() - before, 200000);  // the engine's settling wait
  EXPECT_GE(run.rt.resources.sounds.get(0)->sample, 0);
  EXPECT_EQ(run.rt.resources.sounds.get(1)->sample, -1);
  CloseSounds(run.rt);
  EXPECT_EQ(run.rt.resources.sounds.get(0)->sample, -1);
}

// On a sound card the mixer runs on the card's thread: what the game reads
// back follows its commands at once and the card's progress after.
TEST(SoundSystemOpen, OnASoundCardPlayingFollowsTheCardsThread) {
  pxtest::DummyAudio driver;
  std::unique_ptr<Platform> platform;
  try {
    platform = CreateDesktopPlatform();
  } catch (const PlatformError& e) {
    GTEST_SKIP() << e.what();
  }
  Runtime rt(*platform);
  PrepareSounds(rt);
  if (!rt.sound.engine.engine()) GTEST_SKIP() << "no audio driver";
  CSound snd;
  snd.kind = 0;
  snd.data = pxtest::ConstantWav(0.5f, 0.2);
  const int index = rt.resources.sounds.add("s", std::move(snd));
  const auto call = [&](std::string_view name) {
    px::FunctionArgs args{};
    args[0] = pxtest::Real(index);
    px::RValue result;
    const auto& f = rt.code.functions[static_cast<std::size_t>(rt.code.functions.Find(name))];
    f.handler(rt, nullptr, nullptr, 1, result, args);
    return result.real;
  };
  call("sound_play");
  EXPECT_EQ(call("sound_isplaying"), 1);
  for (int i = 0; i < 300 && call("sound_isplaying") == 1; ++i) platform->waitMicros(10000);
  EXPECT_EQ(call("sound_isplaying"), 0);
  call("sound_loop");
  platform->waitMicros(300000);
  EXPECT_EQ(call("sound_isplaying"), 1);
  call("sound_stop");
  EXPECT_EQ(call("sound_isplaying"), 0);
  CloseSounds(rt);
}

}  // namespace
