#include "graphics/Graphics_Texture.h"

#include <algorithm>

#include "graphics/Graphics_D3DX8.h"
#include "graphics/Graphics_Font.h"
#include "resources/Resource_Chunks.h"

namespace px {

int TextureTable::NewTexture(int w, int h, bool renderTarget) {
  Renderer* renderer = device_.renderer();
  if (!renderer || w <= 0 || h <= 0) return -1;
  const RendererCaps caps = renderer->caps();
  TextureSize size{w, h};
  if (powerOfTwo || !caps.anyTextureSize)
    size = D3DXCheckTextureRequirements(w, h, caps.maxTextureSize);
  // A device that cannot hold the whole image gives no texture rather than
  // a smaller one the image would overrun.
  if (size.width < w || size.height < h) return -1;
  const TextureHandle texture = renderer->createTexture(size.width, size.height);
  if (!texture) return -1;
  auto slot =
      std::find_if(records_.begin(), records_.end(), [](const RTexture& r) { return !r.exists; });
  if (slot == records_.end()) slot = records_.insert(records_.end(), RTexture{});
  *slot = {texture, w, h, size.width, size.height, renderTarget, true};
  return static_cast<int>(slot - records_.begin());
}

bool TextureTable::FillTexture(int id, const std::uint32_t* pixels) {
  const RTexture* t = Get(id);
  Renderer* renderer = device_.renderer();
  if (!t || !renderer) return false;
  const int w = t->width, h = t->height;
  if (t->textureWidth == w && t->textureHeight == h)
    return renderer->fillTexture(t->texture, w, h, pixels, w);
  const int fw = std::min(w + 1, t->textureWidth), fh = std::min(h + 1, t->textureHeight);
  std::vector<std::uint32_t> buffer(static_cast<std::size_t>(fw) * fh);
  for (int y = 0; y < fh; ++y) {
    const std::uint32_t* source = pixels + static_cast<std::size_t>(std::min(y, h - 1)) * w;
    std::uint32_t* target = buffer.data() + static_cast<std::size_t>(y) * fw;
    std::copy(source, source + w, target);
    if (fw > w) target[w] = source[w - 1];
  }
  return renderer->fillTexture(t->texture, fw, fh, buffer.data(), fw);
}

int TextureTable::TextureFromImage(const TBitmap32& image) {
  const int id = NewTexture(image.width(), image.height());
  if (id < 0) return -1;
  if (!FillTexture(id, image.pixels())) {
    DeleteTexture(id);
    return -1;
  }
  return id;
}

int TextureTable::TextureFromAlpha(int w, int h, std::span<const std::uint8_t> alpha) {
  if (w <= 0 || h <= 0 || alpha.size() < static_cast<std::size_t>(w) * h) return -1;
  TBitmap32 image(w, h);
  std::uint32_t* p = image.pixels();
  for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i)
    p[i] = std::uint32_t{alpha[i]} << 24 | 0xFFFFFF;
  return TextureFromImage(image);
}

void TextureTable::DeleteTexture(int id) {
  if (!TextureExists(id)) return;
  RTexture& t = records_[id];
  if (Renderer* renderer = device_.renderer()) renderer->deleteTexture(t.texture);
  t = RTexture{};
}

double TextureTable::UScale(int id) const {
  const RTexture* t = Get(id);
  return t ? static_cast<double>(t->width) / t->textureWidth : 1.0;
}

double TextureTable::VScale(int id) const {
  const RTexture* t = Get(id);
  return t ? static_cast<double>(t->height) / t->textureHeight : 1.0;
}

void TextureTable::PreloadTexture(int id) {
  const RTexture* t = Get(id);
  if (Renderer* renderer = device_.renderer(); t && renderer) renderer->preloadTexture(t->texture);
}

void TextureTable::SetTexturePriority(int id, double priority) {
  const RTexture* t = Get(id);
  if (Renderer* renderer = device_.renderer(); t && renderer)
    renderer->setTexturePriority(t->texture, static_cast<float>(priority));
}

void TextureTable::Clear(bool release) {
  if (release) {
    for (int id = 0; id < slotCount(); ++id) DeleteTexture(id);
  }
  records_.clear();
}

void TextureTable::DeleteRenderTargets() {
  for (int id = 0; id < slotCount(); ++id)
    if (records_[id].exists && records_[id].renderTarget) DeleteTexture(id);
}

namespace {

int PreloadedTexture(TextureTable& table, const TBitmap32& image) {
  const int id = table.TextureFromImage(image);
  table.PreloadTexture(id);
  return id;
}

}  // namespace

void MakeTextures(TextureTable& table, CSprite& sprite) {
  FreeTextures(table, sprite);
  sprite.textures.resize(sprite.images.size());
  for (std::size_t i = 0; i < sprite.images.size(); ++i)
    sprite.textures[i] = PreloadedTexture(table, sprite.images[i]);
}

void MakeTextures(TextureTable& table, CBackground& background) {
  FreeTextures(table, background);
  background.texture = PreloadedTexture(table, background.image);
}

void FreeTextures(TextureTable& table, CSprite& sprite) {
  for (const int id : sprite.textures) table.DeleteTexture(id);
  sprite.textures.clear();
}

void FreeTextures(TextureTable& table, CBackground& background) {
  table.DeleteTexture(background.texture);
  background.texture = -1;
}

void MakeResourceTextures(TextureTable& table, GameResources& resources) {
  // The table is new or emptied: numbers the resources hold are stale and
  // may already name textures made in this loop.
  for (int i = 0; i < resources.backgrounds.count(); ++i)
    if (CBackground* b = resources.backgrounds.get(i)) b->texture = -1;
  for (int i = 0; i < resources.sprites.count(); ++i)
    if (CSprite* s = resources.sprites.get(i)) s->textures.clear();
  for (int i = 0; i < resources.fonts.count(); ++i)
    if (CFont* f = resources.fonts.get(i)) f->texture = -1;
  for (int i = 0; i < resources.backgrounds.count(); ++i)
    if (CBackground* b = resources.backgrounds.get(i)) MakeTextures(table, *b);
  for (int i = 0; i < resources.sprites.count(); ++i)
    if (CSprite* s = resources.sprites.get(i)) MakeTextures(table, *s);
  for (int i = 0; i < resources.fonts.count(); ++i)
    if (CFont* f = resources.fonts.get(i)) MakeTextures(table, *f);
}

}  // namespace px
