// Surfaces, drawing them, saving the screen and surfaces as images, and
// the room transitions game code defines.
#include <cstdint>
#include <numbers>

#include "code/Code_Function.h"
#include "library/Function_Display.h"
#include "library/Function_Graphics.h"
#include "library/Function_Support.h"
#include "platform/Platform_Path.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr const char* kNoSurface = "Trying to use non-existing surface.";

std::uint32_t Colour(const RValue& v) {
  return static_cast<std::uint32_t>(RealToInt(v.real)) & 0xFFFFFF;
}
double Radians(const RValue& degrees) {
  return degrees.real * std::numbers::pi / 180.0;
}
// 0xAARRGGBB as a colour of game code, 0xBBGGRR.
double GameColour(std::uint32_t argb) {
  return ((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16);
}

// The surface an argument names, reporting a missing one.
const RSurface* FindSurface(Runtime& rt, const RValue& id) {
  const RSurface* s = rt.display.surfaces.Get(IntArg(id));
  if (!s) RuntimeError(rt, kNoSurface);
  return s;
}
// The texture of the surface an argument names; -1 (nothing is drawn) for
// a missing surface.
int SurfaceTexture(const Runtime& rt, const RValue& id) {
  const RSurface* s = rt.display.surfaces.Get(IntArg(id));
  return s ? s->texture : -1;
}

// Saves the rectangle of the surface; an empty file name is reported.
void SaveSurface(Runtime& rt, Args a, int x, int y, int w, int h) {
  if (!FindSurface(rt, a[0])) return;
  const std::string& name = a[1].str();
  if (name.empty()) {
    RuntimeError(rt, "Trying to save surface to empty image file name.");
    return;
  }
  if (const auto image = rt.display.surfaces.Read(IntArg(a[0]), x, y, w, h))
    SaveImageFile(*image, HostPath(name));
}

bool ScreenFileNameGiven(Runtime& rt, const RValue& name) {
  if (!name.str().empty()) return true;
  RuntimeError(rt, "Trying to save screen to empty image file name.");
  return false;
}

#define PX_SURFACE_FN(name)                                            \
  void name(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] Args a)

// ---- The table and the target ----

PX_SURFACE_FN(SurfaceCreate) {
  result.setReal(rt.display.surfaces.Create(IntArg(a[0]), IntArg(a[1])));
}
PX_SURFACE_FN(SurfaceFree) {
  rt.display.surfaces.Free(IntArg(a[0]));
}
PX_SURFACE_FN(SurfaceExists) {
  result.setReal(Truth(rt.display.surfaces.Exists(IntArg(a[0]))));
}
PX_SURFACE_FN(SurfaceGetWidth) {
  const RSurface* s = rt.display.surfaces.Get(IntArg(a[0]));
  result.setReal(s ? s->width : -1);
}
PX_SURFACE_FN(SurfaceGetHeight) {
  const RSurface* s = rt.display.surfaces.Get(IntArg(a[0]));
  result.setReal(s ? s->height : -1);
}
PX_SURFACE_FN(SurfaceGetTexture) {
  const RSurface* s = rt.display.surfaces.Get(IntArg(a[0]));
  result.setReal(s ? s->texture : -1);
}
PX_SURFACE_FN(SurfaceSetTarget) {
  result.setReal(Truth(rt.display.surfaces.SetTarget(IntArg(a[0]))));
}
PX_SURFACE_FN(SurfaceResetTarget) {
  result.setReal(Truth(rt.display.surfaces.ResetTarget()));
}

// ---- Drawing surfaces ----

PX_SURFACE_FN(DrawSurface) {
  rt.display.draw.TextureQuad(SurfaceTexture(rt, a[0]), a[1].real, a[2].real);
}
PX_SURFACE_FN(DrawSurfaceExt) {
  rt.display.draw.TextureExt(SurfaceTexture(rt, a[0]), 0, 0, a[1].real, a[2].real, a[3].real,
                             a[4].real, Radians(a[5]), Colour(a[6]), a[7].real);
}
PX_SURFACE_FN(DrawSurfaceStretched) {
  Stretched(rt.display.draw, rt.display.textures, SurfaceTexture(rt, a[0]), a[1].real, a[2].real,
            a[3].real, a[4].real, kWhite, 1);
}
PX_SURFACE_FN(DrawSurfaceStretchedExt) {
  Stretched(rt.display.draw, rt.display.textures, SurfaceTexture(rt, a[0]), a[1].real, a[2].real,
            a[3].real, a[4].real, Colour(a[5]), a[6].real);
}
PX_SURFACE_FN(DrawSurfacePart) {
  rt.display.draw.TexturePartExt(SurfaceTexture(rt, a[0]), a[1].real, a[2].real, a[3].real,
                                 a[4].real, a[5].real, a[6].real, 1, 1, 0, kWhite, 1);
}
PX_SURFACE_FN(DrawSurfacePartExt) {
  rt.display.draw.TexturePartExt(SurfaceTexture(rt, a[0]), a[1].real, a[2].real, a[3].real,
                                 a[4].real, a[5].real, a[6].real, a[7].real, a[8].real, 0,
                                 Colour(a[9]), a[10].real);
}
PX_SURFACE_FN(DrawSurfaceGeneral) {
  rt.display.draw.TextureGeneral(SurfaceTexture(rt, a[0]), a[1].real, a[2].real, a[3].real,
                                 a[4].real, a[5].real, a[6].real, a[7].real, a[8].real,
                                 Radians(a[9]), Colour(a[10]), Colour(a[11]), Colour(a[12]),
                                 Colour(a[13]), a[14].real);
}
PX_SURFACE_FN(DrawSurfaceTiled) {
  const TileArea area = RoomArea(rt);
  rt.display.draw.TextureTiled(SurfaceTexture(rt, a[0]), 0, 0, a[1].real, a[2].real, 1, 1, true,
                               true, 0, 0, area.width, area.height, kWhite, 1);
}
PX_SURFACE_FN(DrawSurfaceTiledExt) {
  const TileArea area = RoomArea(rt);
  rt.display.draw.TextureTiled(SurfaceTexture(rt, a[0]), 0, 0, a[1].real, a[2].real, a[3].real,
                               a[4].real, true, true, 0, 0, area.width, area.height, Colour(a[5]),
                               a[6].real);
}

// ---- Pixels, copies and files ----

PX_SURFACE_FN(SurfaceGetpixel) {
  if (!FindSurface(rt, a[0])) return;
  if (const auto argb = rt.display.surfaces.Pixel(IntArg(a[0]), IntArg(a[1]), IntArg(a[2])))
    result.setReal(GameColour(*argb));
}
PX_SURFACE_FN(SurfaceSave) {
  SaveSurface(rt, a, 0, 0, INT32_MAX, INT32_MAX);
}
PX_SURFACE_FN(SurfaceSavePart) {
  SaveSurface(rt, a, IntArg(a[2]), IntArg(a[3]), IntArg(a[4]), IntArg(a[5]));
}
PX_SURFACE_FN(SurfaceCopy) {
  const RSurface* dest = FindSurface(rt, a[0]);
  const RSurface* src = dest ? FindSurface(rt, a[3]) : nullptr;
  if (src)
    rt.display.surfaces.CopyPart(IntArg(a[0]), IntArg(a[1]), IntArg(a[2]), IntArg(a[3]), 0, 0,
                                 src->width, src->height);
}
PX_SURFACE_FN(SurfaceCopyPart) {
  if (FindSurface(rt, a[0]) && FindSurface(rt, a[3]))
    rt.display.surfaces.CopyPart(IntArg(a[0]), IntArg(a[1]), IntArg(a[2]), IntArg(a[3]),
                                 IntArg(a[4]), IntArg(a[5]), IntArg(a[6]), IntArg(a[7]));
}
PX_SURFACE_FN(ScreenSave) {
  SaveScreenImage(rt, a[0].str());
}
PX_SURFACE_FN(ScreenSavePart) {
  if (ScreenFileNameGiven(rt, a[0]))
    SaveScreen(rt.display.device, HostPath(a[0].str()), IntArg(a[1]), IntArg(a[2]), IntArg(a[3]),
               IntArg(a[4]));
}

// ---- Transitions ----

// A script or an extension function becomes the transition of the kind.
PX_SURFACE_FN(TransitionDefine) {
  const int kind = IntArg(a[0]);
  const std::int32_t function = FindFunction(rt, a[1].str());
  if (kind < 1 || kind > kMaxTransitionKind || function < kScriptFunctionBase) return;
  rt.display.transition.defined[kind] = {function, a[1].str()};
}
PX_SURFACE_FN(TransitionExists) {
  result.setReal(Truth(rt.display.transition.Playable(IntArg(a[0]))));
}

#undef PX_SURFACE_FN

constexpr FunctionDef kSurfaceFunctions[] = {
    {"surface_create", SurfaceCreate},
    {"surface_free", SurfaceFree},
    {"surface_exists", SurfaceExists},
    {"surface_get_width", SurfaceGetWidth},
    {"surface_get_height", SurfaceGetHeight},
    {"surface_get_texture", SurfaceGetTexture},
    {"surface_set_target", SurfaceSetTarget},
    {"surface_reset_target", SurfaceResetTarget},
    {"draw_surface", DrawSurface},
    {"draw_surface_ext", DrawSurfaceExt},
    {"draw_surface_stretched", DrawSurfaceStretched},
    {"draw_surface_stretched_ext", DrawSurfaceStretchedExt},
    {"draw_surface_part", DrawSurfacePart},
    {"draw_surface_part_ext", DrawSurfacePartExt},
    {"draw_surface_general", DrawSurfaceGeneral},
    {"draw_surface_tiled", DrawSurfaceTiled},
    {"draw_surface_tiled_ext", DrawSurfaceTiledExt},
    {"surface_save", SurfaceSave},
    {"surface_save_part", SurfaceSavePart},
    {"surface_getpixel", SurfaceGetpixel},
    {"surface_copy", SurfaceCopy},
    {"surface_copy_part", SurfaceCopyPart},
    {"screen_save", ScreenSave},
    {"screen_save_part", ScreenSavePart},
    {"transition_define", TransitionDefine},
    {"transition_exists", TransitionExists},
};

}  // namespace

std::span<const FunctionDef> SurfaceFunctions() {
  return kSurfaceFunctions;
}

}  // namespace px
