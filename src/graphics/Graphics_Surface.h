// Surfaces: off-screen images that drawing can go into, kept as textures
// the device draws into. The table gives the lowest free number to a new
// surface. One surface at a time may be the target of all drawing; the
// back buffer is the target otherwise. Also the saving of images of the
// screen and of surfaces.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/BM32_Bitmap.h"
#include "graphics/Graphics_D3D.h"
#include "graphics/Graphics_Texture.h"

namespace px {

struct RSurface {
  int texture = -1;
  // The size asked for; the texture may be larger.
  int width = 0;
  int height = 0;
  bool exists = false;
};

class SurfaceTable {
 public:
  SurfaceTable(Device& device, TextureTable& textures) : device_(device), textures_(textures) {}
  SurfaceTable(const SurfaceTable&) = delete;
  SurfaceTable& operator=(const SurfaceTable&) = delete;

  // A new w × h surface, cleared to transparent black, in the lowest free
  // slot; -1 when the device cannot make its texture.
  int Create(int w, int h);
  // Stops drawing into the surface first when it is the target.
  void Free(int id);
  // Every surface freed (a restart of the game).
  void FreeAll();
  // The device threw the surfaces' textures away (a reset): the table is
  // emptied and the back buffer is the target again.
  void Lost();

  bool Exists(int id) const { return Get(id) != nullptr; }
  const RSurface* Get(int id) const {
    return id >= 0 && id < slotCount() && records_[static_cast<std::size_t>(id)].exists
               ? &records_[static_cast<std::size_t>(id)]
               : nullptr;
  }
  int slotCount() const { return static_cast<int>(records_.size()); }

  // Makes the surface the target, with a viewport and a projection that
  // cover it; true at once when it already is. False without a device or
  // for a missing surface.
  bool SetTarget(int id);
  // The back buffer is the target again, with the viewport and projection
  // of the used back buffer; false when no surface was the target.
  bool ResetTarget();
  int currentTarget() const { return current_; }

  // The rectangle of the surface: a negative corner becomes 0, the size is
  // cut to the surface; nothing when that leaves no pixel or the device
  // cannot read it.
  std::optional<TBitmap32> Read(int id, int x, int y, int w, int h);
  // The surface's pixel as 0xAARRGGBB; reads that one pixel only.
  std::optional<std::uint32_t> Pixel(int id, int x, int y);
  // Copies the rectangle (xs, ys, ws, hs) of src to (x, y) of dest, clipped
  // to both; nothing when nothing is left.
  void CopyPart(int dest, int x, int y, int src, int xs, int ys, int ws, int hs);

 private:
  Device& device_;
  TextureTable& textures_;
  std::vector<RSurface> records_;
  int current_ = -1;
};

// Writes the image to the file: PNG when the name ends in ".png" (any
// case), else a Windows bitmap file. False when the file cannot be
// written.
bool SaveImageFile(const TBitmap32& image, const std::string& fileName);

// Saves the rectangle of the used back buffer (cut to it) to the file as
// SaveImageFile does, every pixel opaque; false when there is nothing to
// read or the file cannot be written. The whole used back buffer without
// a rectangle.
bool SaveScreen(Device& device, const std::string& fileName, int x, int y, int w, int h);
bool SaveScreen(Device& device, const std::string& fileName);

}  // namespace px
