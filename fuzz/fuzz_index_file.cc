// Arbitrary bytes as an index file: opening, checking, walking, seeking and changing it must end
// with a result or event 8, 10, 14 or 15, never a crash, a hang or a read outside the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "db/db_events.h"
#include "db/index_check.h"
#include "db/index_file.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  __builtin_trap();
}

int Expect(int rc) {
  if (rc != 0 && rc != -1 && rc != kDbEvBadIndex && rc != kDbEvKeyMissing && rc != kDbEvNotFound)
    Fail("unexpected result");
  return rc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string name = "/tmp/fuzz_index_file_" + std::to_string(getpid()) + ".inx";
  FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return 0;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);

  // The definition comes from the file itself when it names a plausible one, so that the fuzzer
  // gets past the header; otherwise two indexes of lengths 10 and 51.
  int count = 2;
  int lengths[kMaxIndexCount] = {10, 51};
  if (size >= 40) {
    uint32_t n = GetLe32(data + 36);
    if (n <= kMaxIndexCount && size >= 40 + 8 * n) {
      count = static_cast<int>(n);
      for (uint32_t i = 0; i < n; ++i) {
        int32_t kl = static_cast<int32_t>(GetLe32(data + 40 + 8 * i));
        lengths[i] = kl >= kMinKeyLength && kl <= kMaxKeyLength ? kl : 10;
      }
    }
  }
  auto ix = std::make_unique<INDEXFILE>();
  if (Expect(OpenIndexFile(ix.get(), name.c_str(), count, lengths, kShareNone)) != 0) return 0;
  INDEXCHECK check;
  CheckIndexFile(ix.get(), 1000, &check);
  const int64_t most = static_cast<int64_t>(ix->page_count) * 82 + 2;  // entries a file can hold
  long rec;
  for (int i = 0; i < count && i < 4; ++i) {
    int64_t steps = 0;
    for (int rc = Expect(FirstKey(ix.get(), i, &rec)); rc == 0;
         rc = Expect(NextKey(ix.get(), i, &rec)))
      if (++steps > most) Fail("walk forwards does not end");
    steps = 0;
    for (int rc = Expect(LastKey(ix.get(), i, &rec)); rc == 0;
         rc = Expect(PrevKey(ix.get(), i, &rec)))
      if (++steps > most) Fail("walk backwards does not end");
    Expect(SeekKey(ix.get(), i, "A", &rec));
    Expect(SeekLastKey(ix.get(), i, "M", &rec));
    Expect(SeekKey(ix.get(), i, "", &rec));
    Expect(LocateKey(ix.get(), i, "A", 0));
    Expect(RemoveKey(ix.get(), i, "", 0));
    Expect(AddKey(ix.get(), i, "K", 1));
    Expect(NextKey(ix.get(), i, &rec));
  }
  CloseIndexFile(ix.get());
  return 0;
}
