#include "run/Runner_Sound.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/Platform_Path.h"
#include "resources/Sound_Class.h"
#include "run/Runtime.h"
#include "system/Support_Filename.h"

namespace px {

void EnsureSoundOpen(Runtime& rt) {
  if (rt.sound.openTried) return;
  rt.sound.openTried = true;
  rt.sound.engine.Open(rt.platform, rt.applicationTitle, false);
  rt.sound.engine.SetMasterVolume(1);
}

void PrepareSound(Runtime& rt, CSound& snd) {
  EnsureSoundOpen(rt);
  SoundSystem& engine = rt.sound.engine;
  if (snd.kind >= kSoundNormal && snd.kind <= kSound3D && snd.data) {
    snd.sample = engine.LoadSampleFromMemory(*snd.data, snd.kind);
    if (snd.sample < 0) snd.kind = kSoundMultimedia;
  }
  if (snd.kind == kSoundMultimedia) {
    // The media player opens files by name: the data goes to a file of the
    // temporary directory, once.
    if (snd.data && !rt.tempDir.path().empty()) {
      const std::string path = rt.tempDir.MakeTempFileName(snd.file_type);
      std::ofstream out(path, std::ios::binary);
      out.write(reinterpret_cast<const char*>(snd.data->data()),
                static_cast<std::streamsize>(snd.data->size()));
      if (out.good()) {
        snd.temp_file = path;
        snd.data.reset();
      }
    }
    if (snd.temp_file.empty()) return;
    snd.sample = engine.LoadSampleFromFile(snd.temp_file, kSoundMultimedia);
  }
  if (!engine.sample(snd.sample)) return;
  if (snd.effects > 0) engine.SetSampleEffects(snd.sample, snd.effects);
  engine.SetSampleVolume(snd.sample, snd.volume, 0);
  engine.SetSamplePan(snd.sample, snd.pan);
}

int GetSoundSample(Runtime& rt, CSound& snd) {
  if (snd.sample == -1) PrepareSound(rt, snd);
  return snd.sample;
}

void DiscardSound(Runtime& rt, CSound& snd) {
  if (snd.sample >= 0) rt.sound.engine.FreeSample(snd.sample);
  snd.sample = -1;
}

bool LoadSoundFromFile(Runtime& rt, CSound& snd, const std::string& file, int kind, bool preload) {
  DiscardSound(rt, snd);
  snd = CSound{};
  const std::string host = HostPath(file);
  std::error_code ec;
  if (host.empty() || !std::filesystem::is_regular_file(host, ec)) return false;
  std::ifstream in(host, std::ios::binary);
  if (!in) return false;
  snd.data = std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
  snd.file_type = FilenameExt(file);
  snd.file_name = FilenameName(file);
  snd.kind = kind;
  snd.preload = preload;
  if (preload) PrepareSound(rt, snd);
  return true;
}

bool PrepareSounds(Runtime& rt) {
  rt.sound.openTried = true;
  rt.sound.engine.Open(rt.platform, rt.applicationTitle, true);
  rt.sound.engine.SetMasterVolume(1);
  ResourceList<CSound>& sounds = rt.resources.sounds;
  for (int i = 0; i < sounds.count(); ++i)
    if (CSound* snd = sounds.get(i); snd && snd->preload) PrepareSound(rt, *snd);
  return true;
}

void CloseSounds(Runtime& rt) {
  rt.sound.engine.Close();
  ResourceList<CSound>& sounds = rt.resources.sounds;
  for (int i = 0; i < sounds.count(); ++i)
    if (CSound* snd = sounds.get(i)) snd->sample = -1;
}

}  // namespace px
