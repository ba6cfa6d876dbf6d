#include "ui/saveunder.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "ui/screen.h"

namespace {

constexpr size_t kHeader = 5 * sizeof(uint32_t);
// Larger heap copies than the whole screen many times over are refused as lack of memory.
constexpr long long kMaxHeapCells = 1LL << 24;

struct Header {
  uint32_t x, y, w, h, on_heap;
};

struct Arena {
  alignas(8) unsigned char bytes[kSaveUnderArena];
  size_t used = 0;
  // The arena holds a 32-bit reference per heap entry: an index into this table.
  std::vector<std::unique_ptr<ScreenCell[]>> heap;
};

Arena& A() {
  static Arena arena;
  return arena;
}

}  // namespace

int save_under(int x, int y, int w, int h, int on_heap) {
  Arena& a = A();
  if (w < 1 || h < 1) {
    beep();
    return -1;
  }
  long long cells = static_cast<long long>(w) * h;
  long long need = on_heap ? static_cast<long long>(kHeader + sizeof(uint32_t))
                           : cells * 2 + static_cast<long long>(kHeader);
  if (need > static_cast<long long>(kSaveUnderArena - a.used) ||
      (on_heap && cells > kMaxHeapCells)) {
    beep();
    return -1;
  }
  unsigned char* entry = a.bytes + kSaveUnderArena - a.used - need;
  Header hd{static_cast<uint32_t>(x), static_cast<uint32_t>(y), static_cast<uint32_t>(w),
            static_cast<uint32_t>(h), on_heap ? 1u : 0u};
  ScreenCell* target;
  if (on_heap) {
    std::unique_ptr<ScreenCell[]> copy(new (std::nothrow) ScreenCell[cells]());
    if (!copy) {
      beep();
      return -1;
    }
    uint32_t ref = static_cast<uint32_t>(a.heap.size());
    target = copy.get();
    a.heap.push_back(std::move(copy));
    std::memcpy(entry + kHeader, &ref, sizeof ref);
  } else {
    target = reinterpret_cast<ScreenCell*>(entry + kHeader);
    std::memset(target, 0, static_cast<size_t>(cells) * 2);
  }
  std::memcpy(entry, &hd, kHeader);
  read_cells(x, y, w, h, target);
  a.used += static_cast<size_t>(need);
  return 0;
}

int restore_under() {
  Arena& a = A();
  if (a.used < kHeader) {
    beep();
    return -1;
  }
  unsigned char* entry = a.bytes + kSaveUnderArena - a.used;
  Header hd;
  std::memcpy(&hd, entry, kHeader);
  int x = static_cast<int>(hd.x), y = static_cast<int>(hd.y);
  int w = static_cast<int>(hd.w), h = static_cast<int>(hd.h);
  size_t size;
  if (hd.on_heap) {
    uint32_t ref;
    std::memcpy(&ref, entry + kHeader, sizeof ref);
    write_cells(x, y, w, h, a.heap[ref].get());
    a.heap[ref].reset();
    // Entries leave in reverse order, so the reference is the last one of the table.
    a.heap.pop_back();
    size = kHeader + sizeof(uint32_t);
  } else {
    write_cells(x, y, w, h, reinterpret_cast<ScreenCell*>(entry + kHeader));
    size = kHeader + static_cast<size_t>(w) * h * 2;
  }
  a.used -= size;
  return 0;
}

size_t save_under_used() { return A().used; }

void SaveUnderReset() {
  A().used = 0;
  A().heap.clear();
}
