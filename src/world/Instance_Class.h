// CInstance: a live copy of an object in the current room, with its
// position, motion, drawing state, alarms, path and time-line state and its
// own variables. Setters keep dependent state consistent: the bounding box
// follows position, sprite, mask, scale and angle; the polar and cartesian
// forms of the motion follow each other.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "code/Variable_Main.h"
#include "world/Collision_GridLink.h"

namespace px {

struct GameResources;
class CObject;
class CSprite;

inline constexpr int kAlarmCount = 12;
// The box of an instance without a shape sprite.
inline constexpr std::int32_t kNoBoundingBox = -100000;

class CInstance : public CInstanceBase {
 public:
  CInstance(const GameResources& res, std::int32_t id, std::int32_t object, double x, double y);

  // Fields every step walks over come first, so that a walk touches few
  // cache lines per instance.
  std::int32_t id = 0;
  std::int32_t sprite_index = -1;
  double x = 0;
  double y = 0;
  double xprevious = 0;
  double yprevious = 0;
  double hspeed = 0;
  double vspeed = 0;
  double depth = 0;
  double image_index = 0;
  double image_speed = 1;
  double path_position = 0;
  double path_positionprevious = 0;
  std::int32_t object_index = 0;
  bool visible = true;
  bool deleted = false;
  std::int32_t bbox_left = kNoBoundingBox;
  std::int32_t bbox_top = kNoBoundingBox;
  std::int32_t bbox_right = kNoBoundingBox;
  std::int32_t bbox_bottom = kNoBoundingBox;
  double image_xscale = 1;
  double image_yscale = 1;
  double image_angle = 0;
  double image_alpha = 1;
  std::int32_t image_blend = 0xFFFFFF;
  std::int32_t mask_index = -1;
  double xstart = 0;
  double ystart = 0;
  double direction = 0;
  double speed = 0;
  double friction = 0;
  double gravity_direction = 270;
  double gravity = 0;
  bool solid = false;
  bool persistent = false;
  // The object of object_index; null when that object has been deleted.
  const CObject* object = nullptr;
  std::array<std::int32_t, kAlarmCount> alarm{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  bool deactivated = false;
  std::int32_t path_index = -1;
  double path_speed = 0;
  double path_scale = 1;
  double path_orientation = 0;
  std::int32_t path_endaction = 0;
  double path_origin_x = 0;
  double path_origin_y = 0;
  std::int32_t timeline_index = -1;
  double timeline_position = 0;
  double timeline_speed = 1;
  bool timeline_running = false;
  bool timeline_loop = false;
  std::string creation_code;
  // Set while the destroy event of instance_destroy runs, so that calling
  // it again from there does not run the event again.
  bool destroying = false;
  GridLink grid;

  // Takes sprite, mask, depth, solid, visible and persistent from the object
  // and remembers it; the bounding box follows.
  void SetObject(const GameResources& res, std::int32_t objectIndex);
  // Copies every field and variable of another instance (the id included).
  void CopyFrom(const CInstance& other);

  void SetPosition(const GameResources& res, double nx, double ny);
  // Sets the sprite; image_index restarts at 0 when it lies past the new
  // sprite's images.
  void SetSprite(const GameResources& res, std::int32_t sprite);
  void SetMask(const GameResources& res, std::int32_t mask);
  void SetXScale(const GameResources& res, double v);
  void SetYScale(const GameResources& res, double v);
  void SetAngle(const GameResources& res, double v);
  void ComputeBoundingBox(const GameResources& res) {
    // An instance without a sprite or mask whose box is already empty keeps
    // it: the usual case for controllers, told apart inline on every write
    // of x or y.
    if (shapeSprite() < 0 && bbox_left == kNoBoundingBox && bbox_top == kNoBoundingBox &&
        bbox_right == kNoBoundingBox && bbox_bottom == kNoBoundingBox)
      return;
    UpdateBoundingBox(res);
  }

  // Motion coupling: each acts only when the value changes.
  void SetDirection(double d);
  void SetSpeed(double s);
  void SetHspeed(double h);
  void SetVspeed(double v);
  // Adds a pull in a direction to hspeed and vspeed (gravity, motion_add).
  void AddMotion(double dir, double amount);

  // The sprite of the instance's shape: mask_index when set, else the sprite.
  std::int32_t shapeSprite() const { return mask_index >= 0 ? mask_index : sprite_index; }

 private:
  // The box from the sprite or mask, scale and angle; the grid hears of a
  // change.
  void UpdateBoundingBox(const GameResources& res);
  void ComputeBox(const GameResources& res);
  void DirectionAndSpeedFromComponents();
  void ComponentsFromDirectionAndSpeed();
};

// The instance behind a function's self or other (null stays null).
inline CInstance* AsInstance(CInstanceBase* base) {
  return static_cast<CInstance*>(base);
}

// A value within 0.0001 of an integer becomes that integer.
double Snap(double v);

}  // namespace px
