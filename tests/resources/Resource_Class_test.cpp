// Record details of single resource kinds.
#include <gtest/gtest.h>

#include "resources/Resource_Chunks.h"
#include "support/RecordTest.h"
#include "support/TestSupport.h"

using namespace px;

namespace {

void WriteMask(CStream& s, int w, int h, int box) {
  TMask m;
  m.width = w, m.height = h, m.left = m.top = box, m.right = m.bottom = box + 1;
  m.bits.assign(static_cast<std::size_t>(w * h), 1);
  m.WriteToStream(s);
}

}  // namespace

TEST(Sprite, MaskCountFollowsSeparateMasksAndBoxIsTheirUnion) {
  // n images, then the flag, then n masks when separate, else one.
  CStream s;
  StreamWriteInt(s, 800);
  StreamWriteInt(s, 1);
  StreamWriteInt(s, 2);
  StreamWriteInt(s, 3);
  for (int i = 0; i < 3; ++i) pxtest::PatternImage(6, 5, i).WriteToStream(s);
  StreamWriteBool(s, true);
  for (int box : {3, 1, 2}) WriteMask(s, 6, 5, box);
  StreamWriteInt(s, 0x5A5A5A5A);  // what follows the record
  s.seek(0);
  CSprite sprite;
  ASSERT_TRUE(sprite.LoadFromStream(s));
  EXPECT_EQ(sprite.masks.size(), 3u);
  EXPECT_EQ(StreamReadInt(s), 0x5A5A5A5A);
  EXPECT_EQ(std::tie(sprite.bbox_left, sprite.bbox_top, sprite.bbox_right, sprite.bbox_bottom),
            std::make_tuple(1, 1, 4, 4));
  EXPECT_EQ(sprite.width(), 6);

  CSprite shared = sprite;
  shared.separateMasks = false;
  shared.masks.resize(1);
  shared.ComputeBoundingBox();
  EXPECT_EQ(pxtest::RoundTripRecord(shared), shared);
  EXPECT_EQ(shared.bbox_left, 3);
}

TEST(Sprite, WithoutImagesHasNoMasksAndIsOneByOne) {
  CStream s;
  for (int v : {800, 4, 5, 0, 1}) StreamWriteInt(s, v);  // n = 0, separate = true
  StreamWriteInt(s, 77);
  s.seek(0);
  CSprite sprite;
  ASSERT_TRUE(sprite.LoadFromStream(s));
  EXPECT_TRUE(sprite.masks.empty());
  EXPECT_EQ(StreamReadInt(s), 77);
  EXPECT_EQ(sprite.width(), 1);
  EXPECT_EQ(sprite.height(), 1);
  EXPECT_EQ(sprite.bbox_right, 0);
}

TEST(Sprite, DamagedPixelBlockOnlyDamagesItsImage) {
  // A 4 x 3 image whose block holds one and a half rows: the whole row is
  // kept, and the sprite (its mask after the image) still loads.
  const TBitmap32 full = pxtest::PatternImage(4, 3, 5);
  CStream s;
  for (int v : {800, 0, 0, 1, 800, 4, 3}) StreamWriteInt(s, v);
  StreamWriteBlock(s, {reinterpret_cast<const std::uint8_t*>(full.pixels()), 24});
  StreamWriteBool(s, false);
  WriteMask(s, 4, 3, 0);
  s.seek(0);
  CSprite sprite;
  ASSERT_TRUE(sprite.LoadFromStream(s));
  ASSERT_EQ(sprite.images[0].width(), 4);
  ASSERT_EQ(sprite.images[0].height(), 1);
  EXPECT_EQ(sprite.images[0].GetPixel(3, 0), full.GetPixel(3, 0));
  EXPECT_EQ(sprite.masks.size(), 1u);
}

TEST(Image, PixelBlockIsStoredWhenTheSizeProductIsPositive) {
  // Width and height as stored, and the image they give; the block follows
  // the height exactly when width x height > 0, and the next field after it.
  struct Case {
    int w, h;
    bool block;
    int width, height;
  };
  for (const Case c :
       {Case{0, 7, false, 0, 0}, Case{3, 0, false, 0, 0}, Case{-2, 3, false, 0, 0},
        Case{4, -1, false, 0, 0}, Case{-2, -3, true, 0, 0}, Case{2, 3, true, 2, 3}}) {
    SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
    CStream s;
    for (int v : {800, c.w, c.h}) StreamWriteInt(s, v);
    if (c.block) {
      const std::vector<std::uint8_t> pixels(24, 0xEE);
      StreamWriteBlock(s, pixels);
    }
    StreamWriteInt(s, 1234);
    s.seek(0);
    TBitmap32 image = pxtest::PatternImage(2, 2, 1);
    EXPECT_TRUE(image.LoadFromStream(s));
    EXPECT_EQ(image.width(), c.width);
    EXPECT_EQ(image.height(), c.height);
    EXPECT_EQ(StreamReadInt(s), 1234);
  }
  // A wrong version leaves the image as it was.
  const TBitmap32 before = pxtest::PatternImage(2, 2, 1);
  TBitmap32 image = before;
  CStream bad;
  StreamWriteInt(bad, 801);
  bad.seek(0);
  EXPECT_FALSE(image.LoadFromStream(bad));
  EXPECT_EQ(image, before);
}

TEST(Background, RequiresVersion710) {
  for (std::int32_t version : {710, 800}) {
    CStream s;
    StreamWriteInt(s, version);
    pxtest::PatternImage(3, 2, 9).WriteToStream(s);
    s.seek(0);
    CBackground bg;
    EXPECT_EQ(bg.LoadFromStream(s), version == 710);
  }
}

TEST(Font, PageShorterThanItsSizeIsRefused) {
  CFont font;
  font.page_width = 4;
  font.page_height = 2;
  font.page_alpha.assign(8, 200);
  EXPECT_EQ(pxtest::RoundTripRecord(font), font);
  font.page_alpha.resize(7);
  CStream s;
  font.WriteToStream(s);
  s.seek(0);
  EXPECT_FALSE(CFont().LoadFromStream(s));
}

TEST(Object, EventNumbersLeaveEmptyEventsBetween) {
  CObject object;
  object.eventSlot(3, 2).actions.resize(1);
  object.eventSlot(3, 0).actions.resize(2);
  const CObject back = pxtest::RoundTripRecord(object);
  EXPECT_EQ(back.eventTableLength(3), 3);
  EXPECT_EQ(back.event(3, 0)->actions.size(), 2u);
  EXPECT_EQ(back.event(3, 1), nullptr);
  EXPECT_EQ(back.event(3, 2)->actions.size(), 1u);
  EXPECT_EQ(back.eventTableLength(4), 0);
  EXPECT_EQ(back.event(12, 0), nullptr);
  EXPECT_EQ(back.event(-1, 0), nullptr);
}

namespace {

// An object record whose only events are of kind 3, stored as (number,
// action count) pairs in the given order.
CStream ObjectWithStepEvents(const std::vector<std::pair<int, int>>& stored) {
  CStream s;
  for (int v : {430, -1, 0, 1, 0, 0, -1, -1, 3, -1, -1, -1}) StreamWriteInt(s, v);
  for (auto [number, actions] : stored) {
    StreamWriteInt(s, number);
    CEvent event;
    event.actions.resize(static_cast<std::size_t>(actions));
    event.WriteToStream(s);
  }
  StreamWriteInt(s, -1);
  s.seek(0);
  return s;
}

}  // namespace

TEST(Object, EventsStoredOutOfOrderAreFoundByNumberAndTheLaterOfTwoCounts) {
  using Events = std::vector<std::pair<int, int>>;  // (number, action count)
  const std::pair<Events, Events> cases[] = {
      {{{0, 1}, {2, 2}}, {{0, 1}, {2, 2}}},
      {{{5, 1}, {1, 2}, {3, 3}}, {{1, 2}, {3, 3}, {5, 1}}},
      {{{4, 1}, {4, 3}, {0, 2}, {4, 2}}, {{0, 2}, {4, 2}}},
      {{{7, 1}, {7, 2}}, {{7, 2}}},
  };
  for (const auto& [stored, expected] : cases) {
    CStream s = ObjectWithStepEvents(stored);
    CObject object;
    ASSERT_TRUE(object.LoadFromStream(s));
    EXPECT_EQ(s.remaining(), 0u);
    EXPECT_EQ(object.eventTableLength(3), expected.back().first + 1);
    std::vector<std::pair<int, int>> found;
    for (int n = 0; n < object.eventTableLength(3); ++n)
      if (const CEvent* e = object.event(3, n))
        found.emplace_back(n, static_cast<int>(e->actions.size()));
    EXPECT_EQ(found, expected);
    EXPECT_EQ(pxtest::RoundTripRecord(object), object);
  }
}

TEST(Object, ManyEventsInDescendingOrderAllLoad) {
  // Damaged data can list a kind's events in any order. Placing each in
  // order as it came was quadratic: this many took minutes.
  constexpr int kEvents = 40000;
  std::vector<std::pair<int, int>> stored;
  for (int n = kEvents - 1; n >= 0; --n) stored.emplace_back(n, 0);
  CStream s = ObjectWithStepEvents(stored);
  CObject object;
  ASSERT_TRUE(object.LoadFromStream(s));
  EXPECT_EQ(object.eventTableLength(3), kEvents);
  EXPECT_NE(object.event(3, kEvents / 2), nullptr);
}

TEST(Object, LastKindBoundsTheEventLists) {
  // A negative last kind has no lists; one above 11 is refused.
  for (auto [lastKind, ok] : {std::pair{-1, true}, {11, true}, {12, false}}) {
    SCOPED_TRACE(lastKind);
    CStream s;
    for (int v : {430, -1, 0, 1, 0, 0, -1, -1, lastKind}) StreamWriteInt(s, v);
    for (int k = 0; k <= lastKind && k < 12; ++k) StreamWriteInt(s, -1);
    s.seek(0);
    EXPECT_EQ(CObject().LoadFromStream(s), ok);
  }
}

TEST(Action, MoreThanEightArgumentsAreRefused) {
  CAction action;
  action.arg_count = 8;
  action.arg_kinds.assign(8, 1);
  action.arg_texts.assign(8, "x");
  EXPECT_EQ(pxtest::RoundTripRecord(action), action);
  for (int field = 0; field < 3; ++field) {
    CAction bad = action;
    if (field == 0) bad.arg_count = 9;
    if (field == 1) bad.arg_kinds.assign(9, 1);
    if (field == 2) bad.arg_texts.assign(9, "x");
    CStream s;
    bad.WriteToStream(s);
    s.seek(0);
    EXPECT_FALSE(CAction().LoadFromStream(s)) << field;
  }
}

TEST(Room, MissingLayersAndViewsKeepDefaultsAndStretchFollowsTheBackground) {
  CStream s;
  StreamWriteInt(s, 541);
  StreamWriteString(s, "r");
  for (int v : {640, 480, 30, 0, 0, 1}) StreamWriteInt(s, v);
  StreamWriteString(s, "");
  StreamWriteInt(s, 2);  // two layers: background 0 stretched, background 5 stretched
  for (int bg : {0, 5}) {
    for (int v : {1, 0, bg, 7, 8, 0, 0, 2, 3, 1}) StreamWriteInt(s, v);
  }
  StreamWriteBool(s, false);
  StreamWriteInt(s, 0);  // no views
  StreamWriteInt(s, 0);
  StreamWriteInt(s, 0);
  s.seek(0);
  CRoom room;
  ASSERT_TRUE(room.LoadFromStream(s));
  EXPECT_EQ(room.layers[0].x, 7.0);
  EXPECT_EQ(room.layers[0].vspeed, 3.0);
  for (int i = 2; i < 8; ++i) EXPECT_EQ(room.layers[i], CBack{}) << i;
  for (const CView& v : room.views) EXPECT_EQ(v, CView{});
  EXPECT_EQ(CBack{}.background, -1);
  EXPECT_TRUE(CBack{}.htiled && CBack{}.vtiled);

  ResourceList<CBackground> backgrounds;
  backgrounds.add("bg", CBackground{TBitmap32(320, 240)});
  room.ApplyStretch(backgrounds);
  EXPECT_EQ(room.layers[0].xscale, 2.0);
  EXPECT_EQ(room.layers[0].yscale, 2.0);
  EXPECT_EQ(room.layers[1].xscale, 1.0);  // background 5 does not exist
}

TEST(Room, MoreThanEightLayersAreRefused) {
  CRoom room;
  CStream s;
  room.WriteToStream(s);
  std::vector<std::uint8_t> bytes = s.release();
  // The layer count follows version, caption (empty), 6 ints and the creation code.
  const std::size_t layersAt = 4 + 4 + 6 * 4 + 4;
  bytes[layersAt] = 9;
  CStream bad(bytes);
  EXPECT_FALSE(room.LoadFromStream(bad));
}

TEST(DataFile, DataIsReadOnlyWhenStored) {
  CDataFile file;
  file.fileName = "a.txt";
  file.data = std::vector<std::uint8_t>{1, 2, 3};
  file.stored = false;
  // Not stored: the data flag is written but no block, so none comes back.
  CDataFile back = pxtest::RoundTripRecord(file);
  EXPECT_FALSE(back.data.has_value());
  file.stored = true;
  EXPECT_EQ(pxtest::RoundTripRecord(file), file);
}

TEST(Path, KindOtherThanOneIsStraightAndPrecisionIsClamped) {
  CStream s;
  for (int v : {530, 2, 0, 40, 2}) StreamWriteInt(s, v);
  for (double v : {0.0, 0.0, 100.0, 30.0, 40.0, 50.0}) StreamWriteReal(s, v);
  s.seek(0);
  CPath path;
  ASSERT_TRUE(path.LoadFromStream(s));
  EXPECT_EQ(path.kind, 0);
  EXPECT_EQ(path.precision, 8);
  EXPECT_EQ(path.length(), 50.0);
}

TEST(Event, ActionsWithEveryListEmptyAreAccepted) {
  // The smallest action record: the count check before reading must allow it.
  CEvent event;
  event.actions.resize(2);
  EXPECT_EQ(pxtest::RoundTripRecord(event), event);
}
