// Reading resources from game code: names and fields of what exists, the
// answers for what does not, paths by point and by position, and the walk
// up an object's parents.
#include "library/Function_Resource.h"

#include <gtest/gtest.h>

#include "code/Function_TestSupport.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::CallReal;
using pxtest::Real;

struct ResourceQueries : testing::Test {
  pxtest::TestRun run;
  GameResources& res = run.rt.resources;

  void SetUp() override {
    CSprite spr;
    spr.images = {TBitmap32(24, 16), TBitmap32(24, 16)};
    spr.xoffset = 12;
    spr.yoffset = -3;
    spr.bbox_left = 2;
    spr.bbox_right = 21;
    spr.bbox_top = 4;
    spr.bbox_bottom = 15;
    res.sprites.add("spr_ship", spr);
    res.sprites.add("spr_empty", CSprite{});
    res.sprites.add("spr_gone", CSprite{});
    res.sprites.remove(2);

    CBackground back;
    back.image = TBitmap32(40, 30);
    res.backgrounds.add("bk_sky", back);
    res.backgrounds.add("bk_blank", CBackground{});

    CFont font;
    font.name = "Courier";
    font.size = 14;
    font.bold = true;
    font.first = 48;
    font.last = 57;
    res.fonts.add("fnt_digits", font);

    CPath path;
    path.closed = false;
    path.precision = 6;
    path.points = {{0, 0, 100}, {30, 0, 50}, {30, 40, 20}};
    path.GeometryChanged();
    res.paths.add("pth_corner", path);

    res.timeLines.add("tl_intro", CTimeLine{});
    res.rooms.add("rm_start", CRoom{});
  }

  std::string Text(std::string_view name, double arg) { return Call(run, name, {Real(arg)}).str(); }
};

TEST_F(ResourceQueries, FieldsOfExistingResources) {
  const struct {
    const char* function;
    double index;
    double value;
  } cases[] = {
      {"sprite_get_number", 0, 2},
      {"sprite_get_width", 0, 24},
      {"sprite_get_height", 0, 16},
      {"sprite_get_xoffset", 0, 12},
      {"sprite_get_yoffset", 0, -3},
      {"sprite_get_bbox_left", 0, 2},
      {"sprite_get_bbox_right", 0, 21},
      {"sprite_get_bbox_top", 0, 4},
      {"sprite_get_bbox_bottom", 0, 15},
      {"sprite_get_number", 1, 0},
      {"sprite_get_width", 1, 1},
      {"sprite_get_height", 1, 1},
      {"background_get_width", 0, 40},
      {"background_get_height", 0, 30},
      {"background_get_width", 1, 0},
      {"font_get_size", 0, 14},
      {"font_get_bold", 0, 1},
      {"font_get_italic", 0, 0},
      {"font_get_first", 0, 48},
      {"font_get_last", 0, 57},
      {"path_get_length", 0, 70},
      {"path_get_kind", 0, 0},
      {"path_get_closed", 0, 0},
      {"path_get_precision", 0, 6},
      {"path_get_number", 0, 3},
      {"sprite_exists", 0, 1},
      {"background_exists", 1, 1},
      {"font_exists", 0, 1},
      {"path_exists", 0, 1},
      {"timeline_exists", 0, 1},
      {"room_exists", 0, 1},
      {"sprite_exists", 0.5, 1},  // halves round to even
      {"sprite_get_width", 0.49, 24},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CallReal(run, c.function, {c.index}), c.value) << c.function << "(" << c.index << ")";

  EXPECT_EQ(Text("sprite_get_name", 1), "spr_empty");
  EXPECT_EQ(Text("sprite_name", 0), "spr_ship");
  EXPECT_EQ(Text("background_name", 0), "bk_sky");
  EXPECT_EQ(Text("font_get_name", 0), "fnt_digits");
  EXPECT_EQ(Text("font_get_fontname", 0), "Courier");
  EXPECT_EQ(Text("path_get_name", 0), "pth_corner");
  EXPECT_EQ(Text("timeline_get_name", 0), "tl_intro");
  EXPECT_EQ(Text("timeline_name", 0), "tl_intro");
  EXPECT_EQ(Text("room_get_name", 0), "rm_start");
}

// A deleted slot and numbers outside the list answer alike, and nothing is
// reported.
TEST_F(ResourceQueries, MissingResourcesAnswerWithoutComplaint) {
  const struct {
    const char* kind;
    double deletedOrOutside;
  } kinds[] = {
      {"sprite", 2},   {"background", 2}, {"font", 1},   {"path", 1},
      {"timeline", 1}, {"room", 1},       {"object", 0},
  };
  const char* getters[] = {
      "sprite_get_number",     "sprite_get_width",       "sprite_get_height",
      "sprite_get_xoffset",    "sprite_get_bbox_bottom", "background_get_width",
      "background_get_height", "font_get_size",          "font_get_bold",
      "font_get_first",        "font_get_last",          "path_get_length",
      "path_get_kind",         "path_get_closed",        "path_get_precision",
      "path_get_number",       "object_get_sprite",      "object_get_solid",
      "object_get_depth",      "object_get_parent",      "object_get_mask",
  };
  for (const double index : {-1.0, 2.0, 1e12}) {
    for (const auto& k : kinds) {
      const double i = index == 2 ? k.deletedOrOutside : index;
      const std::string kind = k.kind;
      EXPECT_EQ(CallReal(run, kind + "_exists", {i}), 0) << kind << " " << i;
      EXPECT_EQ(Text(kind + "_name", i), "<undefined>") << kind << " " << i;
      EXPECT_EQ(Text(kind + "_get_name", i), "<undefined>") << kind << " " << i;
    }
    for (const char* getter : getters) {
      const std::string name = getter;
      const double i = index != 2                       ? index
                       : name.starts_with("sprite")     ? 2
                       : name.starts_with("background") ? 2
                                                        : 1;
      EXPECT_EQ(CallReal(run, getter, {i}), -1) << getter << "(" << i << ")";
    }
  }
  EXPECT_EQ(Text("font_get_fontname", 1), "");
  for (const char* getter :
       {"path_get_point_x", "path_get_point_speed", "path_get_x", "path_get_speed"})
    EXPECT_EQ(CallReal(run, getter, {1, 0}), -1) << getter;
  EXPECT_EQ(CallReal(run, "object_is_ancestor", {0, -1}), -1);
  EXPECT_EQ(run.rt.code.report.last, "");
}

TEST_F(ResourceQueries, PathPointsAndPositions) {
  const struct {
    const char* function;
    double at;
    double value;
  } cases[] = {
      {"path_get_point_x", 1, 30},
      {"path_get_point_y", 2, 40},
      {"path_get_point_speed", 1, 50},
      {"path_get_point_x", 1.5, 30},  // 1.5 is point 2
      {"path_get_point_x", 3, 0},
      {"path_get_point_y", -1, 0},
      {"path_get_point_speed", 99, 1},
      {"path_get_point_speed", -1, 1},
      // 70 long: 30 to the corner, then 40 down.
      {"path_get_x", 0.2, 14},
      {"path_get_y", 0.2, 0},
      {"path_get_speed", 0.2, 100 - 50 * 14.0 / 30},
      {"path_get_x", 5, 30},
      {"path_get_y", 5, 40},
      {"path_get_y", 0.5, 5},
      {"path_get_speed", 1, 20},
      {"path_get_x", -1, 0},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(CallReal(run, c.function, {0, c.at}), c.value)
        << c.function << "(" << c.at << ")";
  // A path without points answers from the origin at full speed.
  res.paths.add("pth_none", CPath{});
  EXPECT_EQ(CallReal(run, "path_get_x", {1, 0.5}), 0);
  EXPECT_EQ(CallReal(run, "path_get_speed", {1, 0.5}), 100);
  EXPECT_EQ(CallReal(run, "path_get_length", {1}), 0);
}

TEST_F(ResourceQueries, ObjectFields) {
  CObject obj;
  obj.sprite_index = 0;
  obj.solid = true;
  obj.visible = false;
  obj.depth = -20;
  obj.persistent = true;
  obj.mask = 1;
  obj.parent = 4;
  res.objects.add("obj_player", obj);
  const struct {
    const char* function;
    double value;
  } cases[] = {
      {"object_get_sprite", 0},  {"object_get_solid", 1},      {"object_get_visible", 0},
      {"object_get_depth", -20}, {"object_get_persistent", 1}, {"object_get_mask", 1},
      {"object_get_parent", 4},  {"object_exists", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(CallReal(run, c.function, {0}), c.value) << c.function;
  EXPECT_EQ(Text("object_get_name", 0), "obj_player");
}

TEST_F(ResourceQueries, AncestorsAlongTheParentChain) {
  // 0 <- 1 <- 2 (2's parent is 1, 1's parent 0); 3 names the deleted 9 as
  // its parent; 4 and 5 are each other's parents; 6 is its own.
  const int parents[] = {-1, 0, 1, 9, 5, 4, 6};
  for (const int p : parents) {
    CObject o;
    o.parent = p;
    res.objects.add("obj" + std::to_string(res.objects.count()), o);
  }
  res.objects.resize(10);
  const struct {
    double ind, ancestor, result;
  } cases[] = {
      {2, 1, 1},  {2, 0, 1},  {1, 2, 0},  {2, 2, 0},  // not its own ancestor
      {0, -1, 1}, {2, -1, 1},                         // every chain ends at -1
      {0, -4, 0}, {3, 9, 1},                          // compared before tested
      {3, -1, 0}, {4, 5, 1},  {4, 4, 1},  {4, 0, 0},  // loops end
      {6, 6, 1},  {6, -1, 0}, {7, 0, -1}, {-1, -1, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CallReal(run, "object_is_ancestor", {c.ind, c.ancestor}), c.result)
        << c.ind << " " << c.ancestor;
}

}  // namespace
