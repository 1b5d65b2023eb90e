// Reading resources from game code. A resource is named by its number; a
// number out of range or of a deleted resource is missing: its getters give
// -1, its name is "<undefined>" and it does not exist.
#include "library/Function_Resource.h"

#include <functional>
#include <string>

#include "library/Function_Support.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

// The item of the list `List` of the game's resources named by an argument,
// or nullptr.
template <auto List>
auto* Find(Runtime& rt, const RValue& v) {
  return (rt.resources.*List).get(IntArg(v));
}

template <auto List>
void Exists(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  result.setReal(Truth(Find<List>(rt, a[0]) != nullptr));
}

template <auto List>
void Name(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  result.setString((rt.resources.*List).name(IntArg(a[0])));
}

// A number read from the item by `Get` (a field or a function of the item);
// flags give 1 or 0. -1 for a missing item.
template <auto List, auto Get>
void Field(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  const auto* item = Find<List>(rt, a[0]);
  result.setReal(item ? static_cast<double>(std::invoke(Get, *item)) : -1);
}

// ---- Sprites, backgrounds and fonts ----

constexpr auto kSprites = &GameResources::sprites;
constexpr auto kBackgrounds = &GameResources::backgrounds;
constexpr auto kFonts = &GameResources::fonts;

double ImageCount(const CSprite& s) {
  return static_cast<double>(s.images.size());
}

// The system font a font was made from; "" for a missing font.
void FontFontName(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  Args a) {
  const CFont* font = Find<kFonts>(rt, a[0]);
  result.setString(font ? font->name : std::string());
}

// ---- Paths ----

constexpr auto kPaths = &GameResources::paths;

double PointCount(const CPath& p) {
  return static_cast<double>(p.points.size());
}

// Point n of a path (n rounded); outside the points: x 0, y 0, speed 1.
template <double RPathPoint::*Coord>
void PathPoint(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  const CPath* path = Find<kPaths>(rt, a[0]);
  if (!path) {
    result.setReal(-1);
    return;
  }
  const std::int64_t n = RealToInt64(a[1].real);
  if (n < 0 || n >= static_cast<std::int64_t>(path->points.size())) {
    result.setReal(Coord == &RPathPoint::speed ? 1 : 0);
    return;
  }
  result.setReal(path->points[static_cast<std::size_t>(n)].*Coord);
}

// The place on the path at a position from 0 (start) to 1 (end).
template <double RPathPoint::*Coord>
void PathAt(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result, Args a) {
  const CPath* path = Find<kPaths>(rt, a[0]);
  result.setReal(path ? path->PointAt(a[1].real).*Coord : -1);
}

// ---- Objects ----

constexpr auto kObjects = &GameResources::objects;

// Whether `ancestor` is met walking up the parent chain of object ind: 1 or
// 0, -1 for a missing ind. Each parent is compared before its existence is
// tested, so the -1 that ends every chain is an ancestor of every object.
// A loop of parents ends the walk once every object could have been passed.
void ObjectIsAncestor(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                      Args a) {
  const ResourceList<CObject>& objects = rt.resources.objects;
  const CObject* obj = objects.get(IntArg(a[0]));
  if (!obj) {
    result.setReal(-1);
    return;
  }
  const std::int32_t ancestor = IntArg(a[1]);
  for (int step = 0; step <= objects.count(); ++step) {
    const std::int32_t parent = obj->parent;
    if (parent == ancestor) {
      result.setReal(1);
      return;
    }
    obj = objects.get(parent);
    if (!obj) break;
  }
  result.setReal(0);
}

// ---- Time lines and rooms ----

constexpr auto kTimeLines = &GameResources::timeLines;
constexpr auto kRooms = &GameResources::rooms;

const FunctionDef kResourceQueryFunctions[] = {
    {"sprite_name", Name<kSprites>},
    {"sprite_exists", Exists<kSprites>},
    {"sprite_get_name", Name<kSprites>},
    {"sprite_get_number", Field<kSprites, ImageCount>},
    {"sprite_get_width", Field<kSprites, &CSprite::width>},
    {"sprite_get_height", Field<kSprites, &CSprite::height>},
    {"sprite_get_xoffset", Field<kSprites, &CSprite::xoffset>},
    {"sprite_get_yoffset", Field<kSprites, &CSprite::yoffset>},
    {"sprite_get_bbox_left", Field<kSprites, &CSprite::bbox_left>},
    {"sprite_get_bbox_right", Field<kSprites, &CSprite::bbox_right>},
    {"sprite_get_bbox_top", Field<kSprites, &CSprite::bbox_top>},
    {"sprite_get_bbox_bottom", Field<kSprites, &CSprite::bbox_bottom>},
    {"background_name", Name<kBackgrounds>},
    {"background_exists", Exists<kBackgrounds>},
    {"background_get_name", Name<kBackgrounds>},
    {"background_get_width", Field<kBackgrounds, &CBackground::width>},
    {"background_get_height", Field<kBackgrounds, &CBackground::height>},
    {"font_name", Name<kFonts>},
    {"font_exists", Exists<kFonts>},
    {"font_get_name", Name<kFonts>},
    {"font_get_fontname", FontFontName},
    {"font_get_size", Field<kFonts, &CFont::size>},
    {"font_get_bold", Field<kFonts, &CFont::bold>},
    {"font_get_italic", Field<kFonts, &CFont::italic>},
    {"font_get_first", Field<kFonts, &CFont::first>},
    {"font_get_last", Field<kFonts, &CFont::last>},
    {"path_name", Name<kPaths>},
    {"path_exists", Exists<kPaths>},
    {"path_get_name", Name<kPaths>},
    {"path_get_length", Field<kPaths, &CPath::length>},
    {"path_get_kind", Field<kPaths, &CPath::kind>},
    {"path_get_closed", Field<kPaths, &CPath::closed>},
    {"path_get_precision", Field<kPaths, &CPath::precision>},
    {"path_get_number", Field<kPaths, PointCount>},
    {"path_get_point_x", PathPoint<&RPathPoint::x>},
    {"path_get_point_y", PathPoint<&RPathPoint::y>},
    {"path_get_point_speed", PathPoint<&RPathPoint::speed>},
    {"path_get_x", PathAt<&RPathPoint::x>},
    {"path_get_y", PathAt<&RPathPoint::y>},
    {"path_get_speed", PathAt<&RPathPoint::speed>},
    {"timeline_name", Name<kTimeLines>},
    {"timeline_exists", Exists<kTimeLines>},
    {"timeline_get_name", Name<kTimeLines>},
    {"object_name", Name<kObjects>},
    {"object_exists", Exists<kObjects>},
    {"object_get_name", Name<kObjects>},
    {"object_get_sprite", Field<kObjects, &CObject::sprite_index>},
    {"object_get_solid", Field<kObjects, &CObject::solid>},
    {"object_get_visible", Field<kObjects, &CObject::visible>},
    {"object_get_depth", Field<kObjects, &CObject::depth>},
    {"object_get_persistent", Field<kObjects, &CObject::persistent>},
    {"object_get_mask", Field<kObjects, &CObject::mask>},
    {"object_get_parent", Field<kObjects, &CObject::parent>},
    {"object_is_ancestor", ObjectIsAncestor},
    {"room_name", Name<kRooms>},
    {"room_exists", Exists<kRooms>},
    {"room_get_name", Name<kRooms>},
};

}  // namespace

std::span<const FunctionDef> ResourceQueryFunctions() {
  return kResourceQueryFunctions;
}

}  // namespace px
