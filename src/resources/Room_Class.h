// CRoom: a room resource as stored, the template a room is made from when it
// is entered: its properties, 8 background layers, 8 views, the instances
// placed in it and its tiles.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "resources/Background_Class.h"
#include "resources/Resource_List.h"

namespace px {

class CBack {
 public:
  bool visible = false;
  bool foreground = false;
  int background = -1;
  double x = 0;
  double y = 0;
  bool htiled = true;
  bool vtiled = true;
  double hspeed = 0;
  double vspeed = 0;
  bool stretch = false;
  // Not stored: the scale follows from stretch once backgrounds are known.
  double xscale = 1.0;
  double yscale = 1.0;
  std::int32_t blend = 0xFFFFFF;
  double alpha = 1.0;
  bool operator==(const CBack&) const = default;
};

class CView {
 public:
  bool visible = false;
  int xview = 0;
  int yview = 0;
  int wview = 640;
  int hview = 480;
  int xport = 0;
  int yport = 0;
  int wport = 640;
  int hport = 480;
  int hborder = 32;
  int vborder = 32;
  int hspeed = -1;
  int vspeed = -1;
  int object = -1;
  double angle = 0;  // not stored
  bool operator==(const CView&) const = default;
};

// An instance placed in the room.
struct RRoomInstance {
  int x = 0;
  int y = 0;
  int object = -1;
  int id = 0;
  std::string creation_code;
  bool operator==(const RRoomInstance&) const = default;
};

struct RTile {
  double x = 0;
  double y = 0;
  int background = -1;
  // The part of the background shown.
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  double depth = 0;
  int id = 0;
  // Not stored.
  double xscale = 1.0;
  double yscale = 1.0;
  std::int32_t blend = 0xFFFFFF;
  double alpha = 1.0;
  bool visible = true;
  bool operator==(const RTile&) const = default;
};

class CRoom {
 public:
  static constexpr int kLayers = 8;
  static constexpr int kViews = 8;

  std::string caption;
  int width = 640;
  int height = 480;
  int speed = 30;
  bool persistent = false;
  std::int32_t background_color = 0xC0C0C0;
  bool show_color = true;
  std::string creation_code;
  std::array<CBack, kLayers> layers{};
  bool views_enabled = false;
  std::array<CView, kViews> views{};
  std::vector<RRoomInstance> instances;
  std::vector<RTile> tiles;

  // Resets to the defaults, then reads the record. A wrong version or more
  // than 8 layers or views gives false. Layers and views beyond the stored
  // ones keep their defaults.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  // Sets the scale of every stretched layer whose background exists so that
  // it covers the room (in each direction whose size is above 0).
  void ApplyStretch(const ResourceList<CBackground>& backgrounds);
  bool operator==(const CRoom&) const = default;
};

}  // namespace px
