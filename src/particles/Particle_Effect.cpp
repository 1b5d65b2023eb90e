#include "particles/Particle_Effect.h"

#include <cmath>

#include "base/Rounding.h"

namespace px {

namespace {

constexpr double kBelowDepth = 100000;
constexpr double kAboveDepth = -100000;

enum Shape : std::int32_t {
  kLine = 3,
  kStar = 4,
  kRing = 6,
  kFlare = 8,
  kSpark = 9,
  kExplosion = 10,
  kSnow = 13,
};

// The settings an effect gives a type; what it leaves out keeps its value.
void SetSize(ParticleType& t, double min, double max, double incr) {
  t.size_min = min;
  t.size_max = max;
  t.size_incr = incr;
  t.size_wiggle = 0;
}
void SetSpeed(ParticleType& t, double min, double max, double incr) {
  t.speed_min = min;
  t.speed_max = max;
  t.speed_incr = incr;
  t.speed_wiggle = 0;
}
void SetDirection(ParticleType& t, double min, double max, double wiggle = 0) {
  t.dir_min = min;
  t.dir_max = max;
  t.dir_incr = 0;
  t.dir_wiggle = wiggle;
}
void SetOrientation(ParticleType& t, double min, double max, bool relative = false) {
  t.ang_min = min;
  t.ang_max = max;
  t.ang_incr = 0;
  t.ang_wiggle = 0;
  t.ang_relative = relative;
}
void SetAlpha2(ParticleType& t, double a1, double a2) {
  t.alpha1 = a1;
  t.alpha2 = (a1 + a2) / 2;
  t.alpha3 = a2;
}
void SetLife(ParticleType& t, double min, double max, double e) {
  t.life_min = RealToInt(min / e);
  t.life_max = RealToInt(max / e);
}
void SetShape(ParticleType& t, std::int32_t shape) {
  t.shape = shape;
  t.sprite = -1;
}

// The values of one kind for the small, medium and large sizes.
struct BySize {
  double small, medium, large;
  double operator[](int size) const { return size == 0 ? small : size == 2 ? large : medium; }
};

}  // namespace

double EffectSpeedFactor(const EffectContext& c) {
  if (c.roomSpeed <= 30 || c.fps <= 30) return 1;
  if (c.roomSpeed / c.fps < 1.2) return 30 / c.roomSpeed;
  return 30 / c.fps;
}

std::int32_t Effects::System(bool above) {
  std::int32_t& id = above ? above_ : below_;
  if (!particles_.System(id)) {
    id = particles_.CreateSystem();
    particles_.System(id)->depth = above ? kAboveDepth : kBelowDepth;
  }
  return id;
}

void Effects::MakeTypes() {
  if (typesMade_) return;
  typesMade_ = true;
  for (auto* group : {&explosion1_, &explosion2_, &ring_, &ellipse_})
    for (std::int32_t& t : *group) t = particles_.CreateType();
  firework_ = particles_.CreateType();
  for (auto* group : {&smoke_, &smokeUp_, &star_, &spark_, &flare_, &cloud_})
    for (std::int32_t& t : *group) t = particles_.CreateType();
  rain_ = particles_.CreateType();
  snow_ = particles_.CreateType();
}

void Effects::Create(bool above, std::int32_t kind, double x, double y, std::int32_t size,
                     std::uint32_t color, const EffectContext& c) {
  if (kind < 0 || kind > static_cast<std::int32_t>(EffectType::Snow)) return;
  MakeTypes();
  const std::int32_t ps = System(above);
  const int sz = size == 0 || size == 2 ? size : 1;
  const auto s = static_cast<std::size_t>(sz);
  const double e = EffectSpeedFactor(c);
  // A type the game destroyed is made again under a new number.
  const auto type = [this](std::int32_t& id) -> ParticleType& {
    if (!particles_.Type(id)) id = particles_.CreateType();
    return *particles_.Type(id);
  };
  const auto make = [&](std::int32_t id, std::int64_t n, std::uint32_t col, double px, double py) {
    particles_.CreateParticlesColor(ps, px, py, id, col, n);
  };
  CRandom& random = particles_.random();

  switch (static_cast<EffectType>(kind)) {
    case EffectType::Explosion: {
      ParticleType& t1 = type(explosion1_[s]);
      SetShape(t1, kExplosion);
      SetSize(t1, BySize{0.1, 0.3, 0.4}[sz], BySize{0.1, 0.3, 0.4}[sz],
              BySize{0.05, 0.1, 0.2}[sz] * e);
      SetOrientation(t1, 0, 360);
      SetDirection(t1, 0, 360);
      SetSpeed(t1, BySize{2, 4, 7}[sz] * e, BySize{2, 4, 7}[sz] * e,
               BySize{-0.1, -0.18, -0.2}[sz] * e);
      SetAlpha2(t1, 0.6, 0);
      SetLife(t1, BySize{10, 12, 15}[sz], BySize{15, 17, 20}[sz], e);
      make(explosion1_[s], 20, color, x, y);
      ParticleType& t2 = type(explosion2_[s]);
      SetShape(t2, kExplosion);
      SetSize(t2, BySize{0.1, 0.3, 0.4}[sz], BySize{0.1, 0.3, 0.4}[sz],
              BySize{0.1, 0.2, 0.4}[sz] * e);
      SetOrientation(t2, 0, 360);
      SetAlpha2(t2, 0.8, 0);
      SetLife(t2, BySize{15, 17, 20}[sz], BySize{15, 17, 20}[sz], e);
      make(explosion2_[s], 1, 0, x, y);
      break;
    }
    case EffectType::Ring:
    case EffectType::Ellipse: {
      const bool ring = kind == static_cast<std::int32_t>(EffectType::Ring);
      ParticleType& t = type(ring ? ring_[s] : ellipse_[s]);
      SetShape(t, kRing);
      const double incr = ring ? BySize{0.15, 0.25, 0.4}[sz] : BySize{0.2, 0.35, 0.6}[sz];
      SetSize(t, 0, 0, incr * e);
      if (!ring) {
        t.xscale = 1;
        t.yscale = 0.5;
      }
      SetAlpha2(t, 1, 0);
      SetLife(t, BySize{10, 13, 18}[sz], BySize{12, 15, 20}[sz], e);
      make(ring ? ring_[s] : ellipse_[s], 1, color, x, y);
      break;
    }
    case EffectType::Firework: {
      ParticleType& t = type(firework_);
      SetShape(t, kFlare);
      SetSize(t, 0.1, 0.2, 0);
      SetSpeed(t, 0.5 * e, BySize{3, 6, 8}[sz] * e, 0);
      SetDirection(t, 0, 360);
      SetAlpha2(t, 1, 0.4);
      t.grav_amount = BySize{0.1, 0.15, 0.17}[sz] * e;
      t.grav_dir = 270;
      SetLife(t, BySize{15, 20, 30}[sz], BySize{25, 30, 40}[sz], e);
      make(firework_, static_cast<std::int64_t>(BySize{75, 150, 250}[sz]), color, x, y);
      break;
    }
    case EffectType::Smoke:
    case EffectType::SmokeUp: {
      const bool up = kind == static_cast<std::int32_t>(EffectType::SmokeUp);
      ParticleType& t = type(up ? smokeUp_[s] : smoke_[s]);
      SetShape(t, kExplosion);
      SetSize(t, BySize{0.2, 0.4, 0.4}[sz], BySize{0.4, 0.7, 1.0}[sz], -0.01 * e);
      SetAlpha2(t, 0.4, 0);
      SetLife(t, BySize{25, 30, 50}[sz], BySize{25, 30, 50}[sz], e);
      if (up) {
        SetSpeed(t, BySize{3, 5, 6}[sz] * e, BySize{4, 6, 7}[sz] * e, 0);
        SetDirection(t, 90, 90);
      }
      const auto spread = static_cast<std::uint32_t>(BySize{5, 15, 30}[sz]);
      const auto count = static_cast<int>(BySize{6, 11, 16}[sz]);
      for (int k = 0; k < count; ++k) {
        const double r1 = static_cast<double>(random.NextInt(2 * spread)) - spread;
        const double r2 = static_cast<double>(random.NextInt(2 * spread)) - spread;
        make(up ? smokeUp_[s] : smoke_[s], 1, color, x + r1, y + r2);
      }
      break;
    }
    case EffectType::Star:
    case EffectType::Spark:
    case EffectType::Flare: {
      std::int32_t* ids = kind == static_cast<std::int32_t>(EffectType::Star)    ? star_.data()
                          : kind == static_cast<std::int32_t>(EffectType::Spark) ? spark_.data()
                                                                                 : flare_.data();
      ParticleType& t = type(ids[s]);
      SetShape(t, kind == static_cast<std::int32_t>(EffectType::Star)    ? kStar
                  : kind == static_cast<std::int32_t>(EffectType::Spark) ? kSpark
                                                                         : kFlare);
      // The small size's upper bound is below its lower one, so it is 0.4.
      SetSize(t, BySize{0.4, 0.75, 1.2}[sz], BySize{0.3, 0.75, 1.2}[sz],
              BySize{-0.02, -0.03, -0.04}[sz] * e);
      SetOrientation(t, 0, 360);
      SetLife(t, BySize{20, 25, 30}[sz], BySize{20, 25, 30}[sz], e);
      make(ids[s], 1, color, x, y);
      break;
    }
    case EffectType::Cloud: {
      ParticleType& t = type(cloud_[s]);
      SetShape(t, kExplosion);
      const double size2 = BySize{2, 4, 8}[sz];
      SetSize(t, size2, size2, 0);
      t.xscale = 1;
      t.yscale = 0.5;
      t.alpha1 = 0;
      t.alpha2 = 0.3;
      t.alpha3 = 0;
      SetLife(t, 100, 100, e);
      make(cloud_[s], 1, color, x, y);
      break;
    }
    case EffectType::Rain: {
      ParticleType& t = type(rain_);
      SetShape(t, kLine);
      SetSize(t, 0.2, 0.3, 0);
      SetOrientation(t, 0, 0, true);
      SetSpeed(t, 7 * e, 7 * e, 0);
      SetDirection(t, 260, 260);
      t.alpha1 = t.alpha2 = t.alpha3 = 0.4;
      t.life_min = t.life_max = RealToInt(c.roomHeight * 0.2 / e);
      const auto count = static_cast<int>(BySize{2, 5, 9}[sz]);
      for (int k = 0; k < count; ++k) {
        const double u = random.NextReal();
        const double r = random.NextInt(20);
        make(rain_, 1, color, u * 1.2 * c.roomWidth, r - 30);
      }
      break;
    }
    case EffectType::Snow: {
      ParticleType& t = type(snow_);
      SetShape(t, kSnow);
      SetSize(t, 0.1, 0.25, 0);
      t.alpha1 = t.alpha2 = t.alpha3 = 0.6;
      SetOrientation(t, 0, 360);
      SetSpeed(t, 2.5 * e, 3 * e, 0);
      SetDirection(t, 240, 300, 20);
      t.life_min = t.life_max = RealToInt(c.roomHeight * 0.5 / e);
      const auto count = static_cast<int>(BySize{1, 3, 7}[sz]);
      for (int k = 0; k < count; ++k) {
        const double u = random.NextReal();
        const double r = random.NextInt(20);
        make(snow_, 1, color, u * 1.2 * c.roomWidth - 60, r - 30);
      }
      break;
    }
  }
}

void Effects::Clear() {
  for (const std::int32_t id : {below_, above_})
    if (ParticleSystem* s = particles_.System(id)) s->particles.Clear();
}

void Effects::DestroySystems() {
  particles_.DestroySystem(below_);
  particles_.DestroySystem(above_);
  below_ = above_ = -1;
}

void Effects::Reset() {
  below_ = above_ = -1;
  typesMade_ = false;
}

}  // namespace px
