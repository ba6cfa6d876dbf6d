// The font a requested cell size gets. Small cells use the raster face "Terminal" in one of its
// fixed sizes; larger ones "Lucida Console" at exactly the requested size:
//
//   choose_font(8, 20)  -> "Terminal" 8 x 12      choose_font(3, 5)   -> "Terminal" 4 x 6
//   choose_font(6, 30)  -> "Terminal" 5 x 12      choose_font(10, 20) -> "Lucida Console" 10 x 20
//
// A terminal has no font of ours; the window backend to come will create what this names.
#pragma once

struct FontChoice {
  const char* face;
  int width;
  int height;
};

FontChoice choose_font(int width, int height);
