#include "resources/Room_Class.h"

#include <algorithm>
#include <cmath>

namespace px {

namespace {

constexpr std::int32_t kRoomVersion = 541;

double ReadIntAsReal(CStream& s) {
  return StreamReadInt(s);
}

// Positions held as reals are stored as ints.
void WriteRealAsInt(CStream& s, double v) {
  const double clamped = std::clamp(std::nearbyint(v), -2147483648.0, 2147483647.0);
  StreamWriteInt(s, std::isnan(clamped) ? 0 : static_cast<std::int32_t>(clamped));
}

// Reads a count of layers or views: at most `limit`, else false.
bool ReadLimitedCount(CStream& s, int limit, int& n) {
  n = std::max(StreamReadInt(s), 0);
  return n <= limit;
}

void ReadLayer(CStream& s, CBack& b) {
  b.visible = StreamReadBool(s);
  b.foreground = StreamReadBool(s);
  b.background = StreamReadInt(s);
  b.x = ReadIntAsReal(s);
  b.y = ReadIntAsReal(s);
  b.htiled = StreamReadBool(s);
  b.vtiled = StreamReadBool(s);
  b.hspeed = ReadIntAsReal(s);
  b.vspeed = ReadIntAsReal(s);
  b.stretch = StreamReadBool(s);
}

void WriteLayer(CStream& s, const CBack& b) {
  StreamWriteBool(s, b.visible);
  StreamWriteBool(s, b.foreground);
  StreamWriteInt(s, b.background);
  WriteRealAsInt(s, b.x);
  WriteRealAsInt(s, b.y);
  StreamWriteBool(s, b.htiled);
  StreamWriteBool(s, b.vtiled);
  WriteRealAsInt(s, b.hspeed);
  WriteRealAsInt(s, b.vspeed);
  StreamWriteBool(s, b.stretch);
}

// The fields of a view in stored order, after its visible flag.
template <class View>
auto ViewFields(View& v) {
  return std::array{&v.xview, &v.yview,   &v.wview,   &v.hview,  &v.xport,  &v.yport, &v.wport,
                    &v.hport, &v.hborder, &v.vborder, &v.hspeed, &v.vspeed, &v.object};
}

void ReadView(CStream& s, CView& v) {
  v.visible = StreamReadBool(s);
  for (int* field : ViewFields(v)) *field = StreamReadInt(s);
}

void WriteView(CStream& s, const CView& v) {
  StreamWriteBool(s, v.visible);
  for (const int* field : ViewFields(v)) StreamWriteInt(s, *field);
}

void ReadInstance(CStream& s, RRoomInstance& i) {
  i.x = StreamReadInt(s);
  i.y = StreamReadInt(s);
  i.object = StreamReadInt(s);
  i.id = StreamReadInt(s);
  i.creation_code = StreamReadString(s);
}

void WriteInstance(CStream& s, const RRoomInstance& i) {
  for (int v : {i.x, i.y, i.object, i.id}) StreamWriteInt(s, v);
  StreamWriteString(s, i.creation_code);
}

void ReadTile(CStream& s, RTile& t) {
  t.x = ReadIntAsReal(s);
  t.y = ReadIntAsReal(s);
  t.background = StreamReadInt(s);
  t.left = StreamReadInt(s);
  t.top = StreamReadInt(s);
  t.width = StreamReadInt(s);
  t.height = StreamReadInt(s);
  t.depth = ReadIntAsReal(s);
  t.id = StreamReadInt(s);
}

void WriteTile(CStream& s, const RTile& t) {
  WriteRealAsInt(s, t.x);
  WriteRealAsInt(s, t.y);
  for (int v : {t.background, t.left, t.top, t.width, t.height}) StreamWriteInt(s, v);
  WriteRealAsInt(s, t.depth);
  StreamWriteInt(s, t.id);
}

}  // namespace

bool CRoom::LoadFromStream(CStream& s) {
  *this = CRoom{};
  if (StreamReadInt(s) != kRoomVersion) return false;
  caption = StreamReadString(s);
  width = StreamReadInt(s);
  height = StreamReadInt(s);
  speed = StreamReadInt(s);
  persistent = StreamReadBool(s);
  background_color = StreamReadInt(s);
  show_color = StreamReadBool(s);
  creation_code = StreamReadString(s);
  int n;
  if (!ReadLimitedCount(s, kLayers, n)) return false;
  for (int i = 0; i < n; ++i) ReadLayer(s, layers[i]);
  views_enabled = StreamReadBool(s);
  if (!ReadLimitedCount(s, kViews, n)) return false;
  for (int i = 0; i < n; ++i) ReadView(s, views[i]);
  // An instance takes at least 5 ints, a tile 9.
  instances.resize(ReadCount(s, 5 * 4));
  for (RRoomInstance& i : instances) ReadInstance(s, i);
  tiles.resize(ReadCount(s, 9 * 4));
  for (RTile& t : tiles) ReadTile(s, t);
  return true;
}

void CRoom::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kRoomVersion);
  StreamWriteString(s, caption);
  StreamWriteInt(s, width);
  StreamWriteInt(s, height);
  StreamWriteInt(s, speed);
  StreamWriteBool(s, persistent);
  StreamWriteInt(s, background_color);
  StreamWriteBool(s, show_color);
  StreamWriteString(s, creation_code);
  StreamWriteInt(s, kLayers);
  for (const CBack& b : layers) WriteLayer(s, b);
  StreamWriteBool(s, views_enabled);
  StreamWriteInt(s, kViews);
  for (const CView& v : views) WriteView(s, v);
  StreamWriteInt(s, static_cast<std::int32_t>(instances.size()));
  for (const RRoomInstance& i : instances) WriteInstance(s, i);
  StreamWriteInt(s, static_cast<std::int32_t>(tiles.size()));
  for (const RTile& t : tiles) WriteTile(s, t);
}

void CRoom::ApplyStretch(const ResourceList<CBackground>& backgrounds) {
  for (CBack& b : layers) {
    const CBackground* bg = backgrounds.get(b.background);
    if (!b.stretch || !bg) continue;
    if (bg->width() > 0) b.xscale = static_cast<double>(width) / bg->width();
    if (bg->height() > 0) b.yscale = static_cast<double>(height) / bg->height();
  }
}

}  // namespace px
