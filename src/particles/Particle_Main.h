// Particle types and particle systems: the type table, the systems with
// their particles stored field by field, the emitters, attractors,
// destroyers, deflectors and changers, one update step and the drawing of
// a system.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "code/Support_Random.h"

namespace px {

class CSprite;
class Device;
class Drawing;
class TextureTable;
template <class T>
class ResourceList;

inline constexpr int kParticleShapeCount = 14;
// A system never holds more particles than this: creation beyond it is
// dropped, so a type that makes itself on death cannot grow without end.
inline constexpr std::size_t kMaxParticlesPerSystem = 500000;

enum class ColorMode : std::int32_t { One = 0, Two = 1, Three = 2, Rgb = 3, Hsv = 4, Mix = 5 };
enum class Distribution : std::int32_t { Linear = 0, Gaussian = 1, InvGaussian = 2 };
enum class RegionShape : std::int32_t { Rectangle = 0, Ellipse = 1, Diamond = 2, Line = 3 };

struct ParticleType {
  bool exists = false;
  std::int32_t sprite = -1;
  bool sprite_animate = true, sprite_stretch = false, sprite_random = false;
  std::int32_t shape = 0;
  double size_min = 1, size_max = 1, size_incr = 0, size_wiggle = 0;
  double xscale = 1, yscale = 1;
  std::int32_t life_min = 100, life_max = 100;
  std::int32_t death_type = 0, death_number = 0;
  std::int32_t step_type = 0, step_number = 0;
  double speed_min = 0, speed_max = 0, speed_incr = 0, speed_wiggle = 0;
  double dir_min = 0, dir_max = 0, dir_incr = 0, dir_wiggle = 0;
  double grav_amount = 0, grav_dir = 270;
  double ang_min = 0, ang_max = 0, ang_incr = 0, ang_wiggle = 0;
  bool ang_relative = false;
  ColorMode color_mode = ColorMode::One;
  std::array<double, 6> color{0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0, 0, 0};
  double alpha1 = 1, alpha2 = 1, alpha3 = 1;
  bool additive = false;
};

// One particle's fields, used where a single particle is made apart from
// a system (the changers).
struct Particle {
  std::int32_t type = 0, age = 0, lifetime = 0;
  double x = 0, y = 0, xprevious = 0, yprevious = 0;
  double speed = 0, direction = 0, angle = 0;
  std::uint32_t color = 0;
  double alpha = 1, size = 1;
  std::int32_t image_start = 0, seed = 0;
};

// The particles of a system, one array per field, in creation order.
class ParticleArrays {
 public:
  std::size_t count() const { return count_; }
  // Appends a particle; false (nothing added) at kMaxParticlesPerSystem.
  bool Append(const Particle& p);
  Particle Get(std::size_t i) const;
  void Set(std::size_t i, const Particle& p);
  // Removes the particles whose `dead` mark is set, keeping the order.
  void RemoveMarked();
  void Clear() { count_ = 0; }

  std::vector<std::int32_t> type, age, lifetime;
  std::vector<double> x, y, xprevious, yprevious, speed, direction, angle;
  std::vector<std::uint32_t> color;
  std::vector<double> alpha, size;
  std::vector<std::int32_t> image_start, seed;
  std::vector<std::uint8_t> dead;

 private:
  void Grow();
  std::size_t count_ = 0;
};

struct Emitter {
  bool exists = false;
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  std::int32_t distribution = 0, shape = 0, number = 0, type = 0;
};
struct Attractor {
  bool exists = false;
  double x = 0, y = 0, force = 0, dist = 0;
  std::int32_t kind = 0;
  bool additive = true;
};
struct Destroyer {
  bool exists = false;
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  std::int32_t shape = 0;
};
struct Deflector {
  bool exists = false;
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  std::int32_t kind = 0;
  double friction = 0;
};
struct Changer {
  bool exists = false;
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  std::int32_t shape = 0, type1 = -1, type2 = -1, kind = 0;
};

// A table of elements of one kind in a system: a free element is reused
// before the table grows.
template <class E>
struct ElementTable {
  std::vector<E> items;

  std::int32_t Create() {
    for (std::size_t i = 0; i < items.size(); ++i)
      if (!items[i].exists) return Reset(i);
    items.emplace_back();
    return Reset(items.size() - 1);
  }
  E* Get(std::int32_t id) {
    if (id < 0 || static_cast<std::size_t>(id) >= items.size()) return nullptr;
    E& e = items[static_cast<std::size_t>(id)];
    return e.exists ? &e : nullptr;
  }
  bool Clear(std::int32_t id) {
    if (!Get(id)) return false;
    Reset(static_cast<std::size_t>(id));
    return true;
  }
  void Destroy(std::int32_t id) {
    if (E* e = Get(id)) *e = E{};
  }
  void DestroyAll() { items.clear(); }
  bool Any() const {
    for (const E& e : items)
      if (e.exists) return true;
    return false;
  }

 private:
  std::int32_t Reset(std::size_t i) {
    items[i] = E{};
    items[i].exists = true;
    return static_cast<std::int32_t>(i);
  }
};

struct ParticleSystem {
  ParticleArrays particles;
  ElementTable<Emitter> emitters;
  ElementTable<Attractor> attractors;
  ElementTable<Destroyer> destroyers;
  ElementTable<Deflector> deflectors;
  ElementTable<Changer> changers;
  bool draw_old_to_new = true;
  double depth = 0;
  double x = 0, y = 0;
  bool auto_update = true, auto_draw = true;
};

// Every particle type and system of a run, and the built-in shape
// textures. The random generator is the game's, so a run is repeatable.
class Particles {
 public:
  // Shape textures go into `textures` when the first system is made.
  Particles(CRandom& random, TextureTable& textures) : random_(random), textures_(textures) {
    shapeTextures_.fill(-1);
  }
  Particles(const Particles&) = delete;
  Particles& operator=(const Particles&) = delete;

  // ---- Types ----
  std::int32_t CreateType();
  void DestroyType(std::int32_t id);
  void ClearType(std::int32_t id);
  ParticleType* Type(std::int32_t id);
  std::int32_t typeSlots() const { return static_cast<std::int32_t>(types_.size()); }

  // ---- Systems ----
  std::int32_t CreateSystem();
  void DestroySystem(std::int32_t id);
  // Back to a new system's state: no particles, no elements, defaults.
  void ClearSystem(std::int32_t id);
  ParticleSystem* System(std::int32_t id);
  std::int32_t systemSlots() const { return static_cast<std::int32_t>(systems_.size()); }
  // Forgets every type and system (the game starts again).
  void Reset();

  // ---- Particles ----
  // Makes `number` particles of the type at (x, y); with a colour, each
  // takes it after its birth.
  void CreateParticles(std::int32_t ps, double x, double y, std::int32_t type, std::int64_t number);
  void CreateParticlesColor(std::int32_t ps, double x, double y, std::int32_t type,
                            std::uint32_t color, std::int64_t number);
  // A burst from an emitter: a negative number makes one particle with a
  // chance of 1 in |number|.
  void Burst(std::int32_t ps, std::int32_t emitter, std::int32_t type, std::int64_t number);

  // ---- Steps and drawing ----
  void Update(std::int32_t ps);
  void UpdateAll();
  // Draws one system with the sprite list for sprite particles and the
  // built-in shapes for the others.
  void Draw(std::int32_t ps, const ResourceList<CSprite>& sprites, Drawing& draw, Device& device);
  // The room draw's walk over the automatically drawn systems by depth.
  double HighestDepth() const;
  double NextDepthBelow(double depth) const;
  void DrawAtDepth(double depth, const ResourceList<CSprite>& sprites, Drawing& draw,
                   Device& device);

  // ---- Built-in shapes ----
  // Makes the shape textures once; again after ForgetShapeTextures.
  void MakeShapeTextures();
  // The device's table was emptied: the shapes are made again at once
  // when they had been made.
  void RemakeShapeTextures();
  int ShapeTexture(std::int32_t shape) const;

  // The particle made at birth, as the type gives it.
  Particle Birth(const ParticleType& t, std::int32_t type, double x, double y);
  CRandom& random() { return random_; }
  double RandomIn(Distribution distribution, double min, double max);

 private:
  void Spawn(ParticleSystem& s, std::int32_t type, std::int32_t number, double x, double y);
  void LifeStep(ParticleSystem& s);
  void MotionStep(ParticleSystem& s);
  void DeflectorStep(ParticleSystem& s);
  void ChangerStep(ParticleSystem& s);
  void DestroyerStep(ParticleSystem& s);
  void AppearanceStep(ParticleSystem& s);
  void StreamStep(std::int32_t ps, ParticleSystem& s);
  const ParticleType& TypeRecord(std::int32_t type) const;

  CRandom& random_;
  TextureTable& textures_;
  std::vector<ParticleType> types_;
  std::vector<std::unique_ptr<ParticleSystem>> systems_;
  std::array<int, kParticleShapeCount> shapeTextures_;
  bool shapesMade_ = false;
};

// The 64 × 64 alpha mask of a built-in shape (0 to 13), row by row.
std::vector<std::uint8_t> ParticleShapeMask(int shape);

}  // namespace px
