// The resource lists of a project manifest: images from PNG or BMP files,
// sounds and included files from their files, code from text files.
#include <algorithm>

#include "pack/Pack_Json.h"
#include "platform/Platform_Picture.h"

namespace px {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

TBitmap32 ReadPicture(const fs::path& path) {
  auto image = DecodePicture(ReadProjectFile(path));
  if (!image) throw ProjectError(path.string() + " is not a picture");
  return *image;
}

// A collision mask solid where the alpha exceeds the threshold.
TMask MaskFromAlpha(const TBitmap32& image, int threshold) {
  TMask m;
  m.width = image.width();
  m.height = image.height();
  const RRect box = image.OpaqueBounds(threshold);
  m.left = box.left, m.top = box.top, m.right = box.right, m.bottom = box.bottom;
  m.bits.reserve(static_cast<std::size_t>(m.width) * m.height);
  for (int y = 0; y < m.height; ++y)
    for (int x = 0; x < m.width; ++x)
      m.bits.push_back(static_cast<int>(image.GetPixel(x, y) >> 24) > threshold);
  return m;
}

CSprite ReadSprite(JsonFields& f) {
  CSprite s;
  f.get("xorigin", s.xoffset);
  f.get("yorigin", s.yoffset);
  std::vector<std::string> files;
  f.get("images", files);
  for (const std::string& file : files) s.images.push_back(ReadPicture(f.path(file)));
  f.get("separateMasks", s.separateMasks);
  int threshold = 0;
  f.get("maskAlphaThreshold", threshold);
  const std::size_t masks =
      s.separateMasks ? s.images.size() : std::min<std::size_t>(1, s.images.size());
  for (std::size_t i = 0; i < masks; ++i) s.masks.push_back(MaskFromAlpha(s.images[i], threshold));
  s.ComputeBoundingBox();
  return s;
}

CBackground ReadBackground(JsonFields& f) {
  CBackground b;
  std::string file;
  f.get("image", file);
  if (!file.empty()) b.image = ReadPicture(f.path(file));
  return b;
}

CSound ReadSound(JsonFields& f) {
  CSound s;
  f.get("kind", s.kind);
  std::string file;
  f.get("file", file);
  if (!file.empty()) {
    s.data = ReadProjectFile(f.path(file));
    s.file_name = fs::path(file).filename().string();
    s.file_type = fs::path(file).extension().string();
  }
  f.get("effects", s.effects);
  f.get("volume", s.volume);
  f.get("pan", s.pan);
  f.get("preload", s.preload);
  return s;
}

CPath ReadPath(JsonFields& f) {
  CPath p;
  f.get("kind", p.kind);
  f.get("closed", p.closed);
  f.get("precision", p.precision);
  std::vector<std::array<double, 3>> points;
  f.get("points", points);
  for (const auto& [x, y, speed] : points) p.points.push_back({x, y, speed});
  p.GeometryChanged();
  return p;
}

CScript ReadScript(JsonFields& f) {
  CScript s;
  f.text("code", s.code);
  return s;
}

CFont ReadFont(JsonFields& f) {
  CFont font;
  f.get("fontName", font.name);
  f.get("size", font.size);
  f.get("bold", font.bold);
  f.get("italic", font.italic);
  f.get("first", font.first);
  f.get("last", font.last);
  std::vector<std::array<std::int32_t, 7>> glyphs;
  f.get("glyphs", glyphs);
  for (const auto& [c, x, y, w, h, advance, offset] : glyphs) {
    if (c < 0 || c > 255) throw ProjectError("glyph codes in " + f.where() + " are 0 to 255");
    font.glyphs[c] = {x, y, w, h, advance, offset};
  }
  std::string page;
  f.get("page", page);
  if (!page.empty()) {
    // The glyph page is the picture's alpha channel.
    const TBitmap32 image = ReadPicture(f.path(page));
    font.page_width = image.width();
    font.page_height = image.height();
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        font.page_alpha.push_back(static_cast<std::uint8_t>(image.GetPixel(x, y) >> 24));
  }
  return font;
}

CAction ReadAction(const json& j, const std::string& where, const fs::path& dir) {
  JsonFields f(j, where, dir);
  CAction a;
  f.get("libraryId", a.library_id);
  f.get("actionId", a.action_id);
  std::int32_t kind = 0, exec = 0;
  f.get("kind", kind);
  a.kind = static_cast<ActionKind>(kind);
  f.get("mayBeRelative", a.may_be_relative);
  f.get("isQuestion", a.is_question);
  f.get("hasAppliesTo", a.has_applies_to);
  f.get("execType", exec);
  a.exec_type = static_cast<ExecType>(exec);
  f.get("function", a.function_name);
  f.text("code", a.code);
  f.get("argCount", a.arg_count);
  f.get("argKinds", a.arg_kinds);
  f.get("appliesTo", a.applies_to);
  f.get("relative", a.relative);
  f.get("args", a.arg_texts);
  f.get("not", a.is_not);
  f.finish();
  if (a.arg_count > CAction::kMaxArgs || a.arg_kinds.size() > CAction::kMaxArgs ||
      a.arg_texts.size() > CAction::kMaxArgs)
    throw ProjectError(where + " has more than 8 arguments");
  return a;
}

CEvent ReadActions(JsonFields& f) {
  CEvent e;
  if (!f.has("actions")) return e;
  for (const json& a : f.at("actions"))
    e.actions.push_back(ReadAction(a, f.where() + " action", f.dir()));
  return e;
}

CTimeLine ReadTimeLine(JsonFields& f) {
  CTimeLine t;
  if (!f.has("moments")) return t;
  for (const json& m : f.at("moments")) {
    JsonFields moment(m, f.where() + " moment", f.dir());
    std::int32_t step = 0;
    moment.get("step", step);
    t.steps.push_back(step);
    t.events.push_back(ReadActions(moment));
    moment.finish();
  }
  return t;
}

CObject ReadObject(JsonFields& f) {
  CObject o;
  f.get("sprite", o.sprite_index);
  f.get("solid", o.solid);
  f.get("visible", o.visible);
  f.get("depth", o.depth);
  f.get("persistent", o.persistent);
  f.get("parent", o.parent);
  f.get("mask", o.mask);
  if (!f.has("events")) return o;
  for (const json& e : f.at("events")) {
    JsonFields event(e, f.where() + " event", f.dir());
    int kind = 0, number = 0;
    event.get("kind", kind);
    event.get("number", number);
    if (kind < 0 || kind >= CObject::kEventKinds || number < 0)
      throw ProjectError("event kinds in " + f.where() + " are 0 to 11, numbers 0 or more");
    o.eventSlot(kind, number) = ReadActions(event);
    event.finish();
  }
  return o;
}

void ReadLayer(JsonFields& f, CBack& b) {
  f.get("visible", b.visible);
  f.get("foreground", b.foreground);
  f.get("background", b.background);
  f.get("x", b.x);
  f.get("y", b.y);
  f.get("htiled", b.htiled);
  f.get("vtiled", b.vtiled);
  f.get("hspeed", b.hspeed);
  f.get("vspeed", b.vspeed);
  f.get("stretch", b.stretch);
}

void ReadView(JsonFields& f, CView& v) {
  f.get("visible", v.visible);
  const std::pair<const char*, int*> fields[] = {
      {"xview", &v.xview},     {"yview", &v.yview},   {"wview", &v.wview},
      {"hview", &v.hview},     {"xport", &v.xport},   {"yport", &v.yport},
      {"wport", &v.wport},     {"hport", &v.hport},   {"hborder", &v.hborder},
      {"vborder", &v.vborder}, {"hspeed", &v.hspeed}, {"vspeed", &v.vspeed},
      {"object", &v.object}};
  for (const auto& [key, field] : fields) f.get(key, *field);
}

// Reads up to `limit` entries of the array under key into slots.
template <class T, std::size_t N, class Read>
void ReadFixed(JsonFields& f, const char* key, std::array<T, N>& slots, Read read) {
  if (!f.has(key)) return;
  const json& list = f.at(key);
  if (!list.is_array() || list.size() > N)
    throw ProjectError(std::string(key) + " in " + f.where() + " holds at most 8 entries");
  for (std::size_t i = 0; i < list.size(); ++i) {
    JsonFields item(list[i], f.where() + " " + key, f.dir());
    read(item, slots[i]);
    item.finish();
  }
}

CRoom ReadRoom(JsonFields& f) {
  CRoom r;
  f.get("caption", r.caption);
  f.get("width", r.width);
  f.get("height", r.height);
  f.get("speed", r.speed);
  f.get("persistent", r.persistent);
  f.get("backgroundColor", r.background_color);
  f.get("showColor", r.show_color);
  f.text("code", r.creation_code);
  ReadFixed(f, "layers", r.layers, ReadLayer);
  f.get("viewsEnabled", r.views_enabled);
  ReadFixed(f, "views", r.views, ReadView);
  if (f.has("instances")) {
    for (const json& j : f.at("instances")) {
      JsonFields i(j, f.where() + " instance", f.dir());
      RRoomInstance& inst = r.instances.emplace_back();
      i.get("x", inst.x);
      i.get("y", inst.y);
      i.get("object", inst.object);
      i.get("id", inst.id);
      i.text("code", inst.creation_code);
      i.finish();
    }
  }
  if (f.has("tiles")) {
    for (const json& j : f.at("tiles")) {
      JsonFields t(j, f.where() + " tile", f.dir());
      RTile& tile = r.tiles.emplace_back();
      t.get("x", tile.x);
      t.get("y", tile.y);
      t.get("background", tile.background);
      t.get("left", tile.left);
      t.get("top", tile.top);
      t.get("width", tile.width);
      t.get("height", tile.height);
      t.get("depth", tile.depth);
      t.get("id", tile.id);
      t.finish();
    }
  }
  return r;
}

CTrigger ReadTrigger(JsonFields& f) {
  CTrigger t;
  f.text("condition", t.condition);
  f.get("moment", t.moment);
  f.get("constantName", t.constantName);
  return t;
}

// A list of named resources: null entries are deleted slots.
template <class T, class Read>
void ReadList(JsonFields& manifest, const char* key, ResourceList<T>& list, Read read) {
  if (!manifest.has(key)) return;
  int index = 0;
  for (const json& entry : manifest.at(key)) {
    const std::string where = std::string(key) + "[" + std::to_string(index++) + "]";
    if (entry.is_null()) {
      list.addEmpty();
      continue;
    }
    JsonFields f(entry, where, manifest.dir());
    std::string name;
    f.get("name", name);
    T item = read(f);
    f.finish();
    list.add(std::move(name), std::move(item));
  }
}

CDataFile ReadDataFile(JsonFields& f) {
  CDataFile d;
  std::string file;
  f.get("file", file);
  if (!file.empty()) {
    d.data = ReadProjectFile(f.path(file));
    d.stored = true;
    d.fileName = fs::path(file).filename().string();
    d.sourcePath = file;
    d.size = static_cast<int>(d.data->size());
  }
  f.get("name", d.fileName);
  std::int32_t mode = static_cast<std::int32_t>(d.exportMode);
  f.get("exportMode", mode);
  d.exportMode = static_cast<ExportMode>(mode);
  f.get("exportFolder", d.exportFolder);
  f.get("overwrite", d.overwrite);
  f.get("freeAfterExport", d.freeAfterExport);
  f.get("removeAtEnd", d.removeAtEnd);
  return d;
}

CExtensionFunction ReadExtensionFunction(JsonFields& f) {
  CExtensionFunction fn;
  f.get("name", fn.name);
  f.get("externalName", fn.externalName);
  if (fn.externalName.empty()) fn.externalName = fn.name;
  f.get("convention", fn.convention);
  f.get("id", fn.id);
  f.get("argCount", fn.argCount);
  std::vector<std::int32_t> kinds;
  f.get("argKinds", kinds);
  if (kinds.size() > fn.argKinds.size()) throw ProjectError(f.where() + ": at most 17 argKinds");
  std::copy(kinds.begin(), kinds.end(), fn.argKinds.begin());
  f.get("resultKind", fn.resultKind);
  return fn;
}

CExtensionFile ReadExtensionFile(JsonFields& f) {
  CExtensionFile file;
  std::string path;
  f.get("file", path);
  if (!path.empty()) {
    file.contents = ReadProjectFile(f.path(path));
    file.fileName = fs::path(path).filename().string();
  }
  f.get("name", file.fileName);
  std::int32_t kind = path.empty() ? 3 : 4;
  f.get("kind", kind);
  file.kind = static_cast<ExtensionFileKind>(kind);
  f.get("init", file.initFunction);
  f.get("final", file.finalFunction);
  if (f.has("functions")) {
    for (const json& j : f.at("functions")) {
      JsonFields fn(j, f.where() + " function", f.dir());
      file.functions.push_back(ReadExtensionFunction(fn));
      fn.finish();
    }
  }
  std::vector<std::pair<std::string, std::string>> constants;
  f.get("constants", constants);
  for (auto& [name, value] : constants) file.constants.push_back({name, value});
  file.AttachScriptCode();
  return file;
}

CExtensionPackage ReadExtension(JsonFields& f) {
  CExtensionPackage p;
  f.get("name", p.name);
  f.get("folder", p.folder);
  f.get("seed", p.seed);
  if (f.has("files")) {
    for (const json& j : f.at("files")) {
      JsonFields file(j, f.where() + " file", f.dir());
      p.files.push_back(ReadExtensionFile(file));
      file.finish();
    }
  }
  return p;
}

// A plain list of records (no slots, no names).
template <class T, class Read>
void ReadRecords(JsonFields& manifest, const char* key, std::vector<T>& out, Read read) {
  if (!manifest.has(key)) return;
  int index = 0;
  for (const json& entry : manifest.at(key)) {
    JsonFields f(entry, std::string(key) + "[" + std::to_string(index++) + "]", manifest.dir());
    out.push_back(read(f));
    f.finish();
  }
}

}  // namespace

void ReadProjectResources(JsonFields& m, GameResources& r) {
  ReadRecords(m, "extensions", r.extensions, ReadExtension);
  ReadList(m, "triggers", r.triggers, ReadTrigger);
  for (int i = 0; i < r.triggers.count(); ++i)
    if (CTrigger* t = r.triggers.get(i)) t->name = r.triggers.name(i);
  ReadList(m, "sounds", r.sounds, ReadSound);
  ReadList(m, "sprites", r.sprites, ReadSprite);
  ReadList(m, "backgrounds", r.backgrounds, ReadBackground);
  ReadList(m, "paths", r.paths, ReadPath);
  ReadList(m, "scripts", r.scripts, ReadScript);
  ReadList(m, "fonts", r.fonts, ReadFont);
  ReadList(m, "timeLines", r.timeLines, ReadTimeLine);
  ReadList(m, "objects", r.objects, ReadObject);
  ReadList(m, "rooms", r.rooms, ReadRoom);
  for (int i = 0; i < r.rooms.count(); ++i)
    if (CRoom* room = r.rooms.get(i)) room->ApplyStretch(r.backgrounds);
  ReadRecords(m, "includedFiles", r.dataFiles, ReadDataFile);
  m.get("lastInstanceId", r.lastInstanceId);
  m.get("lastTileId", r.lastTileId);
}

}  // namespace px
