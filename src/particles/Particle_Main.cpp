#include "particles/Particle_Main.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Rounding.h"
#include "graphics/Graphics_Color.h"

namespace px {

namespace {

constexpr std::size_t kGrowBlock = 100;
constexpr double kDegToRad = std::numbers::pi / 180.0;

// The triangle wave of the wiggles: -1 to 1 and back over [0, 4).
double Tri(double v) {
  return (v > 2 ? 4 - v : v) - 1;
}

// The wiggle phase ((age + k × seed) mod period) / quarter.
double WigglePhase(std::int32_t age, std::int32_t seed, std::int32_t k, std::int32_t period) {
  std::int64_t v = (static_cast<std::int64_t>(age) + std::int64_t{k} * seed) % period;
  if (v < 0) v += period;
  return static_cast<double>(v) / (period / 4);
}

std::uint32_t ColorOf(double c) {
  return static_cast<std::uint32_t>(RealToInt(c)) & 0xFFFFFF;
}

// Whether (x, y) lies in the box, or in the ellipse or diamond it holds.
bool InShape(double x, double y, double xmin, double xmax, double ymin, double ymax,
             std::int32_t shape) {
  if (x < xmin || x > xmax || y < ymin || y > ymax) return false;
  const double p = (x - (xmin + xmax) / 2) * 2 / (xmax - xmin);
  const double q = (y - (ymin + ymax) / 2) * 2 / (ymax - ymin);
  if (shape == static_cast<std::int32_t>(RegionShape::Ellipse)) return p * p + q * q <= 1;
  if (shape == static_cast<std::int32_t>(RegionShape::Diamond))
    return std::abs(p) + std::abs(q) <= 1;
  return true;
}

template <class E>
bool ValidBox(const E& e) {
  return e.exists && e.xmin < e.xmax && e.ymin < e.ymax;
}

// The direction in degrees, 0 to 360, of a velocity in screen axes.
double DirectionOf(double vx, double vy) {
  if (vx == 0) return vy > 0 ? 270 : vy < 0 ? 90 : 0;
  double d = std::atan2(-vy, vx) / kDegToRad;
  if (d < 0) d += 360;
  if (d >= 360) d -= 360;
  return d;
}

// The life colour of modes 1 and 2 for a particle of the given age.
std::uint32_t LifeColor(const ParticleType& t, std::int32_t age, std::int32_t lifetime,
                        std::uint32_t current) {
  const double f = static_cast<double>(age) / lifetime;
  if (t.color_mode == ColorMode::Two)
    return MergeColor(ColorOf(t.color[0]), ColorOf(t.color[1]), std::min(f, 1.0));
  if (t.color_mode == ColorMode::Three) {
    const double e = std::min(2 * f, 2.0);
    if (e >= 1) return MergeColor(ColorOf(t.color[1]), ColorOf(t.color[2]), e - 1);
    return MergeColor(ColorOf(t.color[0]), ColorOf(t.color[1]), e);
  }
  return current;
}

}  // namespace

// ---- Particle arrays ----

void ParticleArrays::Grow() {
  const std::size_t n = type.size() + kGrowBlock;
  for (auto* v : {&type, &age, &lifetime, &image_start, &seed}) v->resize(n);
  for (auto* v : {&x, &y, &xprevious, &yprevious, &speed, &direction, &angle, &alpha, &size})
    v->resize(n);
  color.resize(n);
  dead.resize(n);
}

bool ParticleArrays::Append(const Particle& p) {
  if (count_ >= kMaxParticlesPerSystem) return false;
  if (count_ == type.size()) Grow();
  ++count_;
  Set(count_ - 1, p);
  dead[count_ - 1] = 0;
  return true;
}

Particle ParticleArrays::Get(std::size_t i) const {
  return {type[i],      age[i],       lifetime[i], x[i],           y[i],
          xprevious[i], yprevious[i], speed[i],    direction[i],   angle[i],
          color[i],     alpha[i],     size[i],     image_start[i], seed[i]};
}

void ParticleArrays::Set(std::size_t i, const Particle& p) {
  type[i] = p.type;
  age[i] = p.age;
  lifetime[i] = p.lifetime;
  x[i] = p.x;
  y[i] = p.y;
  xprevious[i] = p.xprevious;
  yprevious[i] = p.yprevious;
  speed[i] = p.speed;
  direction[i] = p.direction;
  angle[i] = p.angle;
  color[i] = p.color;
  alpha[i] = p.alpha;
  size[i] = p.size;
  image_start[i] = p.image_start;
  seed[i] = p.seed;
}

void ParticleArrays::RemoveMarked() {
  std::size_t out = 0;
  for (std::size_t i = 0; i < count_; ++i) {
    if (dead[i]) continue;
    if (out != i) Set(out, Get(i));
    dead[out] = 0;
    ++out;
  }
  count_ = out;
}

// ---- Types ----

std::int32_t Particles::CreateType() {
  std::size_t i = 0;
  while (i < types_.size() && types_[i].exists) ++i;
  if (i == types_.size()) types_.emplace_back();
  types_[i] = ParticleType{};
  types_[i].exists = true;
  return static_cast<std::int32_t>(i);
}

ParticleType* Particles::Type(std::int32_t id) {
  if (id < 0 || static_cast<std::size_t>(id) >= types_.size()) return nullptr;
  ParticleType& t = types_[static_cast<std::size_t>(id)];
  return t.exists ? &t : nullptr;
}

void Particles::DestroyType(std::int32_t id) {
  if (ParticleType* t = Type(id)) *t = ParticleType{};
}

void Particles::ClearType(std::int32_t id) {
  if (ParticleType* t = Type(id)) {
    *t = ParticleType{};
    t->exists = true;
  }
}

// Particles keep their type's number: a freed type reads as the defaults.
const ParticleType& Particles::TypeRecord(std::int32_t type) const {
  static const ParticleType kDefaults;
  if (type < 0 || static_cast<std::size_t>(type) >= types_.size()) return kDefaults;
  return types_[static_cast<std::size_t>(type)];
}

// ---- Systems ----

std::int32_t Particles::CreateSystem() {
  MakeShapeTextures();
  std::size_t i = 0;
  while (i < systems_.size() && systems_[i]) ++i;
  if (i == systems_.size()) systems_.emplace_back();
  systems_[i] = std::make_unique<ParticleSystem>();
  return static_cast<std::int32_t>(i);
}

ParticleSystem* Particles::System(std::int32_t id) {
  if (id < 0 || static_cast<std::size_t>(id) >= systems_.size()) return nullptr;
  return systems_[static_cast<std::size_t>(id)].get();
}

void Particles::DestroySystem(std::int32_t id) {
  if (System(id)) systems_[static_cast<std::size_t>(id)].reset();
}

void Particles::ClearSystem(std::int32_t id) {
  if (System(id)) systems_[static_cast<std::size_t>(id)] = std::make_unique<ParticleSystem>();
}

void Particles::Reset() {
  types_.clear();
  systems_.clear();
}

// ---- Random values ----

double Particles::RandomIn(Distribution distribution, double min, double max) {
  if (max <= min) return min;
  if (distribution == Distribution::Linear) return min + (max - min) * random_.NextReal();
  double d = 0;
  do {
    d = (random_.NextReal() - 0.5) * 6;
  } while (!(std::exp(-d * d / 2) > random_.NextReal()));
  if (distribution == Distribution::Gaussian) return min + (max - min) * (d + 3) / 6;
  return min + (max - min) * (d >= 0 ? d / 6 : (d + 6) / 6);
}

// ---- Creating particles ----

Particle Particles::Birth(const ParticleType& t, std::int32_t type, double x, double y) {
  constexpr auto kLinear = Distribution::Linear;
  Particle p;
  p.type = type;
  p.x = p.xprevious = x;
  p.y = p.yprevious = y;
  p.speed = RandomIn(kLinear, t.speed_min, t.speed_max);
  p.direction = RandomIn(kLinear, t.dir_min, t.dir_max);
  p.angle = RandomIn(kLinear, t.ang_min, t.ang_max);
  p.lifetime = RealToInt(RandomIn(kLinear, t.life_min, t.life_max));
  p.age = 0;
  switch (t.color_mode) {
    case ColorMode::Rgb: {
      const auto channel = [&](int k) {
        return static_cast<std::uint32_t>(
                   RealToInt(RandomIn(kLinear, t.color[static_cast<std::size_t>(k)],
                                      t.color[static_cast<std::size_t>(k + 1)]))) &
               0xFF;
      };
      const std::uint32_t r = channel(0), g = channel(2), b = channel(4);
      p.color = r | g << 8 | b << 16;
      break;
    }
    case ColorMode::Hsv: {
      const double h = RandomIn(kLinear, t.color[0], t.color[1]);
      const double s = RandomIn(kLinear, t.color[2], t.color[3]);
      const double v = RandomIn(kLinear, t.color[4], t.color[5]);
      p.color = ColorFromHSV(h, s, v);
      break;
    }
    case ColorMode::Mix:
      p.color = MergeColor(ColorOf(t.color[0]), ColorOf(t.color[1]), random_.NextReal());
      break;
    default:
      p.color = ColorOf(t.color[0]);
      break;
  }
  p.alpha = t.alpha1;
  p.size = RandomIn(kLinear, t.size_min, t.size_max);
  p.image_start = t.sprite_random ? static_cast<std::int32_t>(random_.NextInt(10000)) : 0;
  p.seed = static_cast<std::int32_t>(random_.NextInt(100000));
  return p;
}

void Particles::CreateParticles(std::int32_t ps, double x, double y, std::int32_t type,
                                std::int64_t number) {
  ParticleSystem* s = System(ps);
  const ParticleType* t = Type(type);
  if (!s || !t) return;
  for (std::int64_t k = 0; k < number; ++k)
    if (!s->particles.Append(Birth(*t, type, x, y))) break;
}

void Particles::CreateParticlesColor(std::int32_t ps, double x, double y, std::int32_t type,
                                     std::uint32_t color, std::int64_t number) {
  ParticleSystem* s = System(ps);
  const ParticleType* t = Type(type);
  if (!s || !t) return;
  for (std::int64_t k = 0; k < number; ++k) {
    Particle p = Birth(*t, type, x, y);
    p.color = color;
    if (!s->particles.Append(p)) break;
  }
}

// Step and death particles: a negative number makes one with a chance of
// 1 in |number|.
void Particles::Spawn(ParticleSystem& s, std::int32_t type, std::int32_t number, double x,
                      double y) {
  if (number == 0) return;
  const ParticleType* t = Type(type);
  if (number < 0) {
    const auto n = static_cast<std::uint64_t>(-static_cast<std::int64_t>(number));
    if (random_.NextBelow(n) != 0) return;
    number = 1;
  }
  if (!t) return;
  for (std::int32_t k = 0; k < number; ++k)
    if (!s.particles.Append(Birth(*t, type, x, y))) return;
}

void Particles::Burst(std::int32_t ps, std::int32_t emitter, std::int32_t type,
                      std::int64_t number) {
  ParticleSystem* s = System(ps);
  if (!s) return;
  const Emitter* e = s->emitters.Get(emitter);
  const ParticleType* t = Type(type);
  if (!e || !t) return;
  if (number < 0) {
    if (random_.NextBelow(static_cast<std::uint64_t>(-number)) != 0) return;
    number = 1;
  }
  const auto dist = static_cast<Distribution>(std::clamp(e->distribution, 0, 2));
  const auto shape = static_cast<RegionShape>(e->shape);
  for (std::int64_t k = 0; k < number;) {
    double u = RandomIn(dist, 0, 1);
    double w = RandomIn(dist, 0, 1);
    if (dist == Distribution::InvGaussian && shape != RegionShape::Line) {
      if (random_.NextReal() < 0.5)
        w = random_.NextReal();
      else
        u = random_.NextReal();
    }
    if (shape == RegionShape::Ellipse && (u - 0.5) * (u - 0.5) + (w - 0.5) * (w - 0.5) > 0.25)
      continue;
    if (shape == RegionShape::Diamond && std::abs(u - 0.5) + std::abs(w - 0.5) > 0.5) continue;
    if (shape == RegionShape::Line) w = u;
    const double x = e->xmin + u * (e->xmax - e->xmin);
    const double y = e->ymin + w * (e->ymax - e->ymin);
    if (!s->particles.Append(Birth(*t, type, x, y))) return;
    ++k;
  }
}

// ---- One update ----

void Particles::LifeStep(ParticleSystem& s) {
  ParticleArrays& p = s.particles;
  const std::size_t n = p.count();
  bool anyDead = false;
  for (std::size_t i = 0; i < n; ++i) {
    const ParticleType& t = TypeRecord(p.type[i]);
    if (++p.age[i] >= p.lifetime[i]) {
      p.dead[i] = 1;
      anyDead = true;
      Spawn(s, t.death_type, t.death_number, p.x[i], p.y[i]);
    } else {
      Spawn(s, t.step_type, t.step_number, p.x[i], p.y[i]);
    }
  }
  if (anyDead) p.RemoveMarked();
}

// The pull of the system's attractors on a particle at (x, y): added to
// the velocity by additive ones, to a displacement by the others.
static void Attract(const ElementTable<Attractor>& attractors, double x, double y, double& vx,
                    double& vy, double& dx, double& dy) {
  for (const Attractor& a : attractors.items) {
    if (!a.exists) continue;
    const double ax = a.x - x, ay = a.y - y;
    const double e = std::sqrt(ax * ax + ay * ay);
    if (e > a.dist || e == 0 || a.force == 0 || a.dist == 0) continue;
    double f = a.force / e;
    if (a.kind == 1) f *= (a.dist - e) / a.dist;
    if (a.kind == 2) f *= ((a.dist - e) / a.dist) * ((a.dist - e) / a.dist);
    if (a.additive) {
      vx += ax * f;
      vy += ay * f;
    } else {
      dx += ax * f;
      dy += ay * f;
    }
  }
}

void Particles::MotionStep(ParticleSystem& s) {
  ParticleArrays& p = s.particles;
  const bool attract = s.attractors.Any();
  const std::size_t n = p.count();
  // The gravity vector of the last type seen: particles of one type
  // usually come in runs.
  const ParticleType* gravityType = nullptr;
  double gx = 0, gy = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const ParticleType& t = TypeRecord(p.type[i]);
    const double x = p.x[i], y = p.y[i];
    p.xprevious[i] = x;
    p.yprevious[i] = y;
    double speed = std::max(0.0, p.speed[i] + t.speed_incr);
    double dir = p.direction[i] + t.dir_incr;
    p.angle[i] += t.ang_incr;
    const bool wiggles = t.speed_wiggle != 0 || t.dir_wiggle != 0;
    if (t.grav_amount != 0 || attract) {
      double sd = 0, cd = 0;
      sincos(dir * kDegToRad, &sd, &cd);
      double vx = speed * cd, vy = -speed * sd, dx = 0, dy = 0;
      if (t.grav_amount != 0) {
        if (&t != gravityType) {
          gravityType = &t;
          sincos(t.grav_dir * kDegToRad, &sd, &cd);
          gx = t.grav_amount * cd;
          gy = -t.grav_amount * sd;
        }
        vx += gx;
        vy += gy;
      }
      if (attract) Attract(s.attractors, x, y, vx, vy, dx, dy);
      speed = std::sqrt(vx * vx + vy * vy);
      dir = DirectionOf(vx, vy);
      p.speed[i] = speed;
      p.direction[i] = dir;
      if (!wiggles) {
        // The step along the new velocity is the velocity itself.
        p.x[i] = x + dx + vx;
        p.y[i] = y + dy + vy;
        continue;
      }
      p.x[i] = x + dx;
      p.y[i] = y + dy;
    } else {
      p.speed[i] = speed;
      p.direction[i] = dir;
    }
    const std::int32_t age = p.age[i], seed = p.seed[i];
    const double ws =
        t.speed_wiggle == 0 ? speed : speed + t.speed_wiggle * Tri(WigglePhase(age, seed, 4, 20));
    const double wd =
        t.dir_wiggle == 0 ? dir : dir + t.dir_wiggle * Tri(WigglePhase(age, seed, 3, 24));
    double sd = 0, cd = 0;
    sincos(wd * kDegToRad, &sd, &cd);
    p.x[i] += ws * cd;
    p.y[i] -= ws * sd;
  }
}

void Particles::DeflectorStep(ParticleSystem& s) {
  ParticleArrays& p = s.particles;
  for (const Deflector& d : s.deflectors.items) {
    if (!ValidBox(d)) continue;
    for (std::size_t i = 0; i < p.count(); ++i) {
      if (p.x[i] < d.xmin || p.x[i] > d.xmax || p.y[i] < d.ymin || p.y[i] > d.ymax) continue;
      if (d.kind == 1) {
        p.direction[i] = 180 - p.direction[i];
        if (p.direction[i] < 0) p.direction[i] += 360;
        p.x[i] = p.xprevious[i] - (p.x[i] - p.xprevious[i]);
      } else {
        p.direction[i] = 360 - p.direction[i];
        p.y[i] = p.yprevious[i] - (p.y[i] - p.yprevious[i]);
      }
      p.speed[i] = std::max(0.0, p.speed[i] - d.friction);
    }
  }
}

void Particles::ChangerStep(ParticleSystem& s) {
  ParticleArrays& p = s.particles;
  for (std::size_t c = 0; c < s.changers.items.size(); ++c) {
    const Changer ch = s.changers.items[c];
    if (!ValidBox(ch)) continue;
    const ParticleType* t2 = Type(ch.type2);
    if (!t2) continue;
    for (std::size_t i = 0; i < p.count(); ++i) {
      if (p.type[i] != ch.type1) continue;
      if (!InShape(p.x[i], p.y[i], ch.xmin, ch.xmax, ch.ymin, ch.ymax, ch.shape)) continue;
      const Particle fresh = Birth(*t2, ch.type2, p.x[i], p.y[i]);
      p.type[i] = ch.type2;
      if (ch.kind == 0) {
        p.Set(i, fresh);
      } else if (ch.kind == 1) {
        p.angle[i] = fresh.angle;
        p.color[i] = fresh.color;
        p.alpha[i] = fresh.alpha;
        p.size[i] = fresh.size;
        p.image_start[i] = fresh.image_start;
      } else {
        p.speed[i] = fresh.speed;
        p.direction[i] = fresh.direction;
      }
    }
  }
}

void Particles::DestroyerStep(ParticleSystem& s) {
  ParticleArrays& p = s.particles;
  bool any = false;
  for (const Destroyer& d : s.destroyers.items) {
    if (!ValidBox(d) || d.shape == static_cast<std::int32_t>(RegionShape::Line)) continue;
    for (std::size_t i = 0; i < p.count(); ++i) {
      if (InShape(p.x[i], p.y[i], d.xmin, d.xmax, d.ymin, d.ymax, d.shape)) {
        p.dead[i] = 1;
        any = true;
      }
    }
  }
  if (any) p.RemoveMarked();
}

void Particles::AppearanceStep(ParticleSystem& s) {
  ParticleArrays& p = s.particles;
  const std::size_t n = p.count();
  for (std::size_t i = 0; i < n; ++i) {
    const ParticleType& t = TypeRecord(p.type[i]);
    p.size[i] = std::max(0.0, p.size[i] + t.size_incr);
    const std::int32_t age = p.age[i], life = p.lifetime[i];
    if (life > 0 && age > 0) p.color[i] = LifeColor(t, age, life, p.color[i]);
    const double d = life <= 0 ? 1.0 : 2.0 * age / life;
    p.alpha[i] =
        d >= 1 ? (2 - d) * t.alpha2 + (d - 1) * t.alpha3 : (1 - d) * t.alpha1 + d * t.alpha2;
  }
}

void Particles::StreamStep(std::int32_t ps, ParticleSystem& s) {
  for (std::size_t e = 0; e < s.emitters.items.size(); ++e) {
    const Emitter& em = s.emitters.items[e];
    if (em.exists && em.number != 0) Burst(ps, static_cast<std::int32_t>(e), em.type, em.number);
  }
}

void Particles::Update(std::int32_t ps) {
  ParticleSystem* s = System(ps);
  if (!s) return;
  LifeStep(*s);
  MotionStep(*s);
  if (s->deflectors.Any()) DeflectorStep(*s);
  if (s->changers.Any()) ChangerStep(*s);
  if (s->destroyers.Any()) DestroyerStep(*s);
  AppearanceStep(*s);
  StreamStep(ps, *s);
}

void Particles::UpdateAll() {
  for (std::size_t i = 0; i < systems_.size(); ++i)
    if (systems_[i] && systems_[i]->auto_update) Update(static_cast<std::int32_t>(i));
}

}  // namespace px
