// Drawing particle systems: every particle as a scaled, turned and
// coloured sprite image. Consecutive particles of one texture reach the
// device as one batch; the blend mode changes only where a run of
// additive particles begins or ends.
#include <cmath>
#include <numbers>

#include "graphics/Graphics_D3D.h"
#include "graphics/Graphics_Draw.h"
#include "graphics/Graphics_Texture.h"
#include "particles/Particle_Main.h"
#include "resources/Resource_List.h"
#include "resources/Sprite_Class.h"

namespace px {

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;
constexpr double kNoSystem = -1e9;
constexpr double kSameDepth = 0.01;
constexpr int kShapeOrigin = 32;

double Tri(double v) {
  return (v > 2 ? 4 - v : v) - 1;
}

double Phase(std::int32_t age, std::int32_t seed, std::int32_t k) {
  std::int64_t v = (static_cast<std::int64_t>(age) + std::int64_t{k} * seed) % 16;
  if (v < 0) v += 16;
  return static_cast<double>(v) / 4;
}

// What a particle of a type is drawn with: a texture per image and the
// origin; no textures draws nothing.
struct Look {
  const int* textures = nullptr;
  std::int64_t count = 0;
  double xorigin = 0, yorigin = 0;
};

std::int64_t ImageIndex(const ParticleType& t, const ParticleArrays& p, std::size_t i,
                        std::int64_t count) {
  std::int64_t image = p.image_start[i];
  if (t.sprite_animate) {
    if (t.sprite_stretch)
      image += static_cast<std::int64_t>(
          std::floor(static_cast<double>(count) * p.age[i] / p.lifetime[i]));
    else
      image += p.age[i];
  }
  image %= count;
  return image < 0 ? image + count : image;
}

}  // namespace

void Particles::Draw(std::int32_t ps, const ResourceList<CSprite>& sprites, Drawing& draw,
                     Device& device) {
  ParticleSystem* s = System(ps);
  if (!s) return;
  const ParticleArrays& p = s->particles;
  const std::size_t n = p.count();
  const bool interpolation = device.states().interpolation;
  device.SetInterpolation(true);
  bool additive = false;
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t i = s->draw_old_to_new ? k : n - 1 - k;
    if (p.lifetime[i] <= 0) continue;
    const ParticleType& t = TypeRecord(p.type[i]);
    Look look;
    if (const CSprite* sprite = sprites.get(t.sprite)) {
      look = {sprite->textures.data(), static_cast<std::int64_t>(sprite->textures.size()),
              double(sprite->xoffset), double(sprite->yoffset)};
    } else if (t.shape >= 0 && t.shape < kParticleShapeCount) {
      look = {&shapeTextures_[static_cast<std::size_t>(t.shape)], 1, kShapeOrigin, kShapeOrigin};
    }
    if (look.count == 0) continue;
    const int texture = look.textures[ImageIndex(t, p, i, look.count)];
    double angle = p.angle[i] + (t.ang_relative ? p.direction[i] : 0);
    if (t.ang_wiggle != 0) angle += t.ang_wiggle * Tri(Phase(p.age[i], p.seed[i], 2));
    double size = p.size[i];
    if (t.size_wiggle != 0) size += t.size_wiggle * Tri(Phase(p.age[i], p.seed[i], 1));
    if (t.additive != additive) {
      additive = t.additive;
      device.SetBlendMode(additive ? 1 : 0);
    }
    draw.TextureExt(texture, look.xorigin, look.yorigin, p.x[i] + s->x, p.y[i] + s->y,
                    t.xscale * size, t.yscale * size, angle * kDegToRad, p.color[i], p.alpha[i]);
  }
  if (additive) device.SetBlendMode(0);
  device.SetInterpolation(interpolation);
}

double Particles::HighestDepth() const {
  double best = kNoSystem;
  for (const auto& s : systems_)
    if (s && s->auto_draw && s->depth > best) best = s->depth;
  return best;
}

double Particles::NextDepthBelow(double depth) const {
  double best = kNoSystem;
  for (const auto& s : systems_)
    if (s && s->auto_draw && s->depth < depth && s->depth > best) best = s->depth;
  return best;
}

void Particles::DrawAtDepth(double depth, const ResourceList<CSprite>& sprites, Drawing& draw,
                            Device& device) {
  for (std::size_t i = 0; i < systems_.size(); ++i) {
    const ParticleSystem* s = systems_[i].get();
    if (s && s->auto_draw && std::abs(s->depth - depth) < kSameDepth)
      Draw(static_cast<std::int32_t>(i), sprites, draw, device);
  }
}

// ---- Built-in shapes ----

void Particles::MakeShapeTextures() {
  if (shapesMade_) return;
  for (int shape = 0; shape < kParticleShapeCount; ++shape)
    shapeTextures_[static_cast<std::size_t>(shape)] =
        textures_.TextureFromAlpha(64, 64, ParticleShapeMask(shape));
  shapesMade_ = true;
}

void Particles::RemakeShapeTextures() {
  if (!shapesMade_) return;
  shapesMade_ = false;
  MakeShapeTextures();
}

int Particles::ShapeTexture(std::int32_t shape) const {
  if (!shapesMade_ || shape < 0 || shape >= kParticleShapeCount) return -1;
  return shapeTextures_[static_cast<std::size_t>(shape)];
}

}  // namespace px
