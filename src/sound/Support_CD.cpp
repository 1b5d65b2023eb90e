#include "sound/Support_CD.h"

#include <cmath>
#include <string>

namespace px {
namespace {

constexpr char kOpen[] = "open cdaudio";
constexpr char kTmsf[] = "set cdaudio time format tmsf wait";
constexpr char kMilliseconds[] = "set cdaudio time format milliseconds wait";

long long Whole(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<long long>(std::nearbyint(std::fmax(std::fmin(v, 9e15), -9e15)));
}

}  // namespace

double ReplyNumber(std::string_view reply) {
  double n = 0;
  for (const char c : reply)
    if (c >= '0' && c <= '9') n = n * 10 + (c - '0');
  return n;
}

void CdAudio::Init() {
  Send("close cdaudio");
  Send(kOpen);
}

bool CdAudio::Present() {
  Send(kOpen);
  return Send("status cdaudio media present") == "true";
}

double CdAudio::Number() {
  Send(kOpen);
  if (!Present()) return 0;
  return ReplyNumber(Send("status cdaudio number of tracks"));
}

std::string CdAudio::Mode() {
  return Send("status cdaudio mode");
}

bool CdAudio::Playing() {
  Send(kOpen);
  return Present() && Mode() == "playing";
}

bool CdAudio::Paused() {
  Send(kOpen);
  if (!Present()) return false;
  const std::string mode = Mode();
  return mode == "paused" || mode == "stopped";
}

double CdAudio::Track() {
  Send(kOpen);
  Send(kTmsf);
  if (!Present()) return 0;
  return ReplyNumber(Send("status cdaudio position").substr(0, 2));
}

double CdAudio::Length() {
  Send(kOpen);
  Send("set cdaudio time format ms wait");
  if (!Present()) return 0;
  const double length = ReplyNumber(Send("status cdaudio length wait"));
  Send(kTmsf);
  return length;
}

double CdAudio::TrackLength(double n) {
  Send(kOpen);
  const long long track = Whole(n);
  if (track < 1 || static_cast<double>(track) > Number()) return 0;
  Send(kMilliseconds);
  if (!Present()) return 0;
  const double length = ReplyNumber(Send("status cdaudio length track " + std::to_string(track)));
  Send(kTmsf);
  return length;
}

double CdAudio::Position() {
  Send(kOpen);
  Send(kMilliseconds);
  if (!Present()) return 0;
  const double position = ReplyNumber(Send("status cdaudio position"));
  Send(kTmsf);
  return position;
}

double CdAudio::TrackPosition() {
  Send(kOpen);
  Send(kTmsf);
  if (!Present()) return 0;
  // tt:mm:ss:ff; the frames are left out.
  const std::string reply = Send("status cdaudio position");
  const auto field = [&](std::size_t i) {
    std::size_t start = 0;
    for (std::size_t k = 0; k < i && start != std::string::npos; ++k) {
      start = reply.find(':', start);
      if (start != std::string::npos) ++start;
    }
    if (start == std::string::npos) return 0.0;
    return ReplyNumber(std::string_view(reply).substr(start, reply.find(':', start) - start));
  };
  return field(1) * 60000 + field(2) * 1000;
}

void CdAudio::Play(double first, double last) {
  long long from = Whole(first);
  const long long to = Whole(last);
  if (to < from || !Present()) return;
  Send(kTmsf);
  if (from < 1) from = 1;
  if (static_cast<double>(to) < Number())
    Send("play cdaudio from " + std::to_string(from) + " to " + std::to_string(to + 1));
  else
    Send("play cdaudio from " + std::to_string(from));
}

void CdAudio::Stop() {
  if (Present()) Send("stop cdaudio");
}

void CdAudio::Pause() {
  if (Present()) Send("pause cdaudio");
}

void CdAudio::Resume() {
  if (Present()) Send("play cdaudio");
}

void CdAudio::SetPosition(double ms) {
  if (!Present()) return;
  Send(kMilliseconds);
  const std::string at = std::to_string(Whole(ms));
  if (Playing())
    Send("play cdaudio from " + at);
  else
    Send("seek cdaudio to " + at);
  Send("set cdaudio time format tmsf");
}

void CdAudio::SetTrackPosition(double ms) {
  if (!Present()) return;
  const auto track = static_cast<long long>(Track());
  if (track <= 0) return;
  const long long t = Whole(ms);
  const std::string at = std::to_string(track) + ":" + std::to_string(t / 60000) + ":" +
                         std::to_string((t % 60000) / 1000);
  Send(kTmsf);
  if (Playing())
    Send("play cdaudio from " + at);
  else
    Send("seek cdaudio to " + at);
  Send("set cdaudio time format tmsf");
}

void CdAudio::OpenDoor() {
  Send(kOpen);
  Send("set cdaudio door open");
}

void CdAudio::CloseDoor() {
  Send(kOpen);
  Send("set cdaudio door closed");
}

}  // namespace px
