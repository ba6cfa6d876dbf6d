#include "ui/font.h"

namespace {
struct RasterSize {
  int width, height;
};
// In the order they are tried.
constexpr RasterSize kRaster[] = {{8, 12}, {7, 12}, {5, 12}, {8, 8}, {4, 6}};
}  // namespace

FontChoice choose_font(int width, int height) {
  if (width <= 8 || height <= 12) {
    for (const RasterSize& s : kRaster)
      if (s.width <= width && s.height <= height) return {"Terminal", s.width, s.height};
    return {"Terminal", 4, 6};
  }
  return {"Lucida Console", width, height};
}
