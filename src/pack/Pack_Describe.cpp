// The readable summary of a game's resources, one line per slot and one
// indented line per part (event, moment, layer, view, instance, tile, file).
#include <iomanip>
#include <sstream>

#include "pack/Pack_Project.h"

namespace px {

namespace {

std::string Quoted(const std::string& text) {
  std::ostringstream out;
  out << std::quoted(text);
  std::string q = out.str();
  // Line breaks stay on the line.
  std::string flat;
  for (char c : q)
    flat += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  return flat;
}

const char* YesNo(bool v) {
  return v ? "yes" : "no";
}

void Describe(std::ostream& o, const CSound& s) {
  o << "kind " << s.kind << ", file " << Quoted(s.file_name) << " type " << Quoted(s.file_type)
    << ", " << (s.data ? std::to_string(s.data->size()) + " bytes" : "no data") << ", effects "
    << s.effects << ", volume " << s.volume << ", pan " << s.pan << ", preload "
    << YesNo(s.preload);
}

void Describe(std::ostream& o, const CSprite& s) {
  o << s.images.size() << " images " << s.width() << "x" << s.height() << ", origin (" << s.xoffset
    << "," << s.yoffset << "), " << s.masks.size() << (s.separateMasks ? " separate" : " shared")
    << " masks, bbox (" << s.bbox_left << "," << s.bbox_top << ")-(" << s.bbox_right << ","
    << s.bbox_bottom << ")";
}

void Describe(std::ostream& o, const CBackground& b) {
  o << b.width() << "x" << b.height();
}

void Describe(std::ostream& o, const CPath& p) {
  o << (p.kind == 1 ? "smooth" : "straight") << ", " << (p.closed ? "closed" : "open")
    << ", precision " << p.precision << ", " << p.points.size() << " points, length " << p.length();
}

void Describe(std::ostream& o, const CScript& s) {
  o << s.code.size() << " bytes of code";
}

void Describe(std::ostream& o, const CFont& f) {
  o << Quoted(f.name) << " " << f.size << "pt" << (f.bold ? " bold" : "")
    << (f.italic ? " italic" : "") << ", characters " << f.first << "-" << f.last << ", page "
    << f.page_width << "x" << f.page_height;
}

void DescribeEvent(std::ostream& o, const CEvent& e) {
  o << e.actions.size() << " actions";
  for (const CAction& a : e.actions) {
    o << " [" << a.library_id << ":" << a.action_id << " kind " << static_cast<int>(a.kind);
    if (!a.function_name.empty()) o << " " << a.function_name;
    if (!a.code.empty()) o << " code " << a.code.size() << " bytes";
    o << "]";
  }
}

void Describe(std::ostream& o, const CTimeLine& t) {
  o << t.steps.size() << " moments";
  for (std::size_t i = 0; i < t.steps.size(); ++i) {
    o << "\n      step " << t.steps[i] << ": ";
    DescribeEvent(o, t.events[i]);
  }
}

void Describe(std::ostream& o, const CObject& b) {
  o << "sprite " << b.sprite_index << ", " << (b.solid ? "solid" : "not solid") << ", "
    << (b.visible ? "visible" : "invisible") << ", depth " << b.depth << ", "
    << (b.persistent ? "persistent" : "not persistent") << ", parent " << b.parent << ", mask "
    << b.mask;
  for (int kind = 0; kind < CObject::kEventKinds; ++kind)
    for (const RNumberedEvent& e : b.events[kind]) {
      o << "\n      event " << kind << ":" << e.number << ": ";
      DescribeEvent(o, e.event);
    }
}

void Describe(std::ostream& o, const CRoom& r) {
  o << Quoted(r.caption) << " " << r.width << "x" << r.height << ", speed " << r.speed
    << ", persistent " << YesNo(r.persistent) << ", colour " << r.background_color
    << (r.show_color ? " shown" : " hidden") << ", creation code " << r.creation_code.size()
    << " bytes, views " << (r.views_enabled ? "enabled" : "disabled") << ", " << r.instances.size()
    << " instances, " << r.tiles.size() << " tiles";
  for (int i = 0; i < CRoom::kLayers; ++i) {
    const CBack& b = r.layers[i];
    if (b == CBack{}) continue;
    o << "\n      layer " << i << ": background " << b.background << (b.visible ? " visible" : "")
      << (b.foreground ? " foreground" : "") << " at (" << b.x << "," << b.y << ") speed ("
      << b.hspeed << "," << b.vspeed << ") tiled " << YesNo(b.htiled) << "/" << YesNo(b.vtiled)
      << (b.stretch ? " stretched" : "") << " scale " << b.xscale << "x" << b.yscale;
  }
  for (int i = 0; i < CRoom::kViews; ++i) {
    const CView& v = r.views[i];
    if (v == CView{}) continue;
    o << "\n      view " << i << ":" << (v.visible ? " visible" : "") << " view (" << v.xview << ","
      << v.yview << " " << v.wview << "x" << v.hview << ") port (" << v.xport << "," << v.yport
      << " " << v.wport << "x" << v.hport << ") border " << v.hborder << "," << v.vborder
      << " speed " << v.hspeed << "," << v.vspeed << " object " << v.object;
  }
  for (const RRoomInstance& i : r.instances)
    o << "\n      instance " << i.id << ": object " << i.object << " at (" << i.x << "," << i.y
      << "), creation code " << i.creation_code.size() << " bytes";
  for (const RTile& t : r.tiles)
    o << "\n      tile " << t.id << ": background " << t.background << " (" << t.left << ","
      << t.top << " " << t.width << "x" << t.height << ") at (" << t.x << "," << t.y << ") depth "
      << t.depth;
}

void Describe(std::ostream& o, const CTrigger& t) {
  o << "condition " << Quoted(t.condition) << ", moment " << t.moment << ", constant "
    << Quoted(t.constantName);
}

template <class T>
void DescribeList(std::ostream& o, const char* title, const ResourceList<T>& list) {
  o << title << ": " << list.count() << '\n';
  for (int i = 0; i < list.count(); ++i) {
    o << "  " << i << " ";
    if (const T* item = list.get(i)) {
      o << list.name(i) << ": ";
      Describe(o, *item);
    } else {
      o << "(deleted)";
    }
    o << '\n';
  }
}

void DescribeExtensions(std::ostream& o, const std::vector<CExtensionPackage>& packages) {
  o << "Extension packages: " << packages.size() << '\n';
  for (const CExtensionPackage& p : packages) {
    o << "  " << p.name << " in folder " << Quoted(p.folder) << ", " << p.files.size()
      << " files\n";
    for (const CExtensionFile& f : p.files) {
      o << "    " << f.fileName << ": kind " << static_cast<int>(f.kind) << ", "
        << f.contents.size() << " bytes, init " << Quoted(f.initFunction) << ", final "
        << Quoted(f.finalFunction) << '\n';
      for (const CExtensionFunction& fn : f.functions)
        o << "      function " << fn.name << " (" << fn.externalName << ") id " << fn.id << ", "
          << fn.argCount << " arguments, "
          << (fn.convention == kExtensionCdecl ? "cdecl" : "stdcall") << ", returns "
          << (fn.resultKind == kExtensionArgString ? "string" : "real")
          << (fn.code.empty() ? "" : ", code " + std::to_string(fn.code.size()) + " bytes") << '\n';
      for (const CExtensionConstant& c : f.constants)
        o << "      constant " << c.name << " = " << c.value << '\n';
    }
  }
}

void DescribeDataFiles(std::ostream& o, const std::vector<CDataFile>& files) {
  o << "Included files: " << files.size() << '\n';
  for (const CDataFile& f : files)
    o << "  " << f.fileName << ": "
      << (f.data ? std::to_string(f.data->size()) + " bytes" : "no data")
      << (f.stored ? ", stored" : ", not stored") << ", export mode "
      << static_cast<int>(f.exportMode) << " folder " << Quoted(f.exportFolder) << ", overwrite "
      << YesNo(f.overwrite) << ", free after export " << YesNo(f.freeAfterExport)
      << ", remove at end " << YesNo(f.removeAtEnd) << '\n';
}

}  // namespace

void DescribeResources(std::ostream& o, const GameResources& r) {
  DescribeExtensions(o, r.extensions);
  DescribeList(o, "Triggers", r.triggers);
  DescribeList(o, "Sounds", r.sounds);
  DescribeList(o, "Sprites", r.sprites);
  DescribeList(o, "Backgrounds", r.backgrounds);
  DescribeList(o, "Paths", r.paths);
  DescribeList(o, "Scripts", r.scripts);
  DescribeList(o, "Fonts", r.fonts);
  DescribeList(o, "Time lines", r.timeLines);
  DescribeList(o, "Objects", r.objects);
  DescribeList(o, "Rooms", r.rooms);
  DescribeDataFiles(o, r.dataFiles);
}

}  // namespace px
