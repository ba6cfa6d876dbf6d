// The save-under stack: a window saves the cells it is about to cover and puts them back when it
// closes, strictly last in, first out. The entries live in one arena of 10000 bytes filled
// downwards from its end. An entry is a header of five 32-bit values {x, y, width, height,
// on_heap} followed by the width x height saved cells (2 bytes each), or, with on_heap set, by a
// 32-bit reference to a heap copy of the cells; so a full-screen window costs 4020 bytes of the
// arena, or 24 bytes with its cells on the heap.
#pragma once

#include <cstddef>

inline constexpr size_t kSaveUnderArena = 10000;

// Pushes a copy of the rectangle; a width or height below 1, lack of arena room or of memory
// beeps and gives -1.
int save_under(int x, int y, int w, int h, int on_heap);
// Writes the newest copy back onto the screen and drops it; an empty stack beeps and gives -1.
int restore_under();
// Bytes of the arena in use.
size_t save_under_used();
void SaveUnderReset();
