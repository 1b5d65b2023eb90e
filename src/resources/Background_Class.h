// CBackground: a background resource, one image.
#pragma once

#include "base/BM32_Bitmap.h"
#include "base/Support_Stream.h"

namespace px {

class CBackground {
 public:
  TBitmap32 image;
  int texture = -1;  // set when the graphics are prepared

  int width() const { return image.width(); }
  int height() const { return image.height(); }
  // int 710, then one image record. A wrong version of either gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  bool operator==(const CBackground&) const = default;
};

}  // namespace px
