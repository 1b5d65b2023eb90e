#include "graphics/Graphics_Surface.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "platform/Platform_Path.h"

namespace px {

int SurfaceTable::Create(int w, int h) {
  if (!device_.exists()) return -1;
  const int texture = textures_.NewTexture(w, h, true);
  if (texture < 0) return -1;
  auto slot =
      std::find_if(records_.begin(), records_.end(), [](const RSurface& s) { return !s.exists; });
  if (slot == records_.end()) slot = records_.insert(records_.end(), RSurface{});
  *slot = {texture, w, h, true};
  // A new texture holds whatever the memory held: start it transparent.
  if (const RTexture* t = textures_.Get(texture)) device_.renderer()->clearTexture(t->texture, 0);
  return static_cast<int>(slot - records_.begin());
}

void SurfaceTable::Free(int id) {
  if (!Exists(id)) return;
  if (id == current_) ResetTarget();
  RSurface& s = records_[static_cast<std::size_t>(id)];
  textures_.DeleteTexture(s.texture);
  s = RSurface{};
}

void SurfaceTable::FreeAll() {
  for (int id = 0; id < slotCount(); ++id) Free(id);
  records_.clear();
}

void SurfaceTable::Lost() {
  ResetTarget();
  textures_.DeleteRenderTargets();
  records_.clear();
}

bool SurfaceTable::SetTarget(int id) {
  const RSurface* s = Get(id);
  if (!device_.exists() || !s) return false;
  if (id == current_) return true;
  const RTexture* t = textures_.Get(s->texture);
  if (!t) return false;
  if (current_ >= 0) ResetTarget();
  if (!device_.SetRenderTarget(t->texture)) return false;
  device_.SetViewport(0, 0, s->width, s->height);
  device_.SetProjection2D(0, 0, s->width, s->height, 0);
  current_ = id;
  return true;
}

bool SurfaceTable::ResetTarget() {
  if (current_ < 0) return false;
  device_.SetRenderTarget(0);
  const Size used = device_.backBuffer();
  device_.SetViewport(0, 0, used.width, used.height);
  device_.SetProjection2D(0, 0, used.width, used.height, 0);
  current_ = -1;
  return true;
}

std::optional<TBitmap32> SurfaceTable::Read(int id, int x, int y, int w, int h) {
  const RSurface* s = Get(id);
  const RTexture* t = s ? textures_.Get(s->texture) : nullptr;
  Renderer* renderer = device_.renderer();
  if (!t || !renderer) return std::nullopt;
  x = std::max(x, 0);
  y = std::max(y, 0);
  w = std::min(w, s->width - x);
  h = std::min(h, s->height - y);
  if (w <= 0 || h <= 0) return std::nullopt;
  return renderer->readTexturePixels(t->texture, {x, y, w, h});
}

std::optional<std::uint32_t> SurfaceTable::Pixel(int id, int x, int y) {
  const auto image = Read(id, x, y, 1, 1);
  if (!image) return std::nullopt;
  return image->GetPixel(0, 0);
}

void SurfaceTable::CopyPart(int dest, int x, int y, int src, int xs, int ys, int ws, int hs) {
  const RSurface* d = Get(dest);
  const RSurface* s = Get(src);
  const RTexture* dt = d ? textures_.Get(d->texture) : nullptr;
  const RTexture* st = s ? textures_.Get(s->texture) : nullptr;
  Renderer* renderer = device_.renderer();
  if (!dt || !st || !renderer) return;
  // A negative source corner moves the destination; then the size is cut
  // to the source, a negative destination corner moves the source, and
  // the size is cut to the destination.
  if (xs < 0) x -= xs, ws += xs, xs = 0;
  if (ys < 0) y -= ys, hs += ys, ys = 0;
  ws = std::min(ws, s->width - xs);
  hs = std::min(hs, s->height - ys);
  if (x < 0) xs -= x, ws += x, x = 0;
  if (y < 0) ys -= y, hs += y, y = 0;
  ws = std::min(ws, d->width - x);
  hs = std::min(hs, d->height - y);
  if (ws <= 0 || hs <= 0) return;
  renderer->copyTexture(st->texture, {xs, ys, ws, hs}, dt->texture, {x, y});
}

namespace {

bool EndsWithPng(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".png";
}

}  // namespace

bool SaveImageFile(const TBitmap32& image, const std::string& fileName) {
  const std::string path = HostPath(fileName);
  if (path.empty()) return false;
  if (EndsWithPng(fileName)) return image.SavePNG(path);
  const std::vector<std::uint8_t> file = image.ToBMP();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out.flush());
}

bool SaveScreen(Device& device, const std::string& fileName, int x, int y, int w, int h) {
  std::optional<TBitmap32> image = device.ReadBackBuffer(x, y, w, h);
  if (!image) return false;
  // The back buffer has no alpha of its own.
  std::uint32_t* p = image->pixels();
  const std::size_t count = static_cast<std::size_t>(image->width()) * image->height();
  for (std::size_t i = 0; i < count; ++i) p[i] |= 0xFF000000u;
  return SaveImageFile(*image, fileName);
}

bool SaveScreen(Device& device, const std::string& fileName) {
  const Size used = device.backBuffer();
  return SaveScreen(device, fileName, 0, 0, used.width, used.height);
}

}  // namespace px
