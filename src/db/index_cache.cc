// Index files: pages kept in memory and the hints that find entries among many equal keys.
//
// The pages kept are the file's as long as nobody else writes it: with the file opened exclusively
// always; with shared access only while RevalidateIndexFile finds the file unchanged (its stamp:
// identity, size and time of change, one call on the name). Time stamps advance in steps, so a
// change made within one step of the last one seen leaves the stamp as it was: pages read that
// soon after a change are trusted for the current lock only.
#include <algorithm>
#include <chrono>
#include <cstring>

#include "db/index_internal.h"

namespace {

// Records whose leaves are remembered: beyond this the ordinary search serves (16 MB per index).
constexpr uint32_t kMaxHintedRecord = 1u << 22;

int64_t SteadyNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

const INDEXPAGE* KeptPage(INDEXFILE* ix, int index, int32_t p) {
  INDEXCACHE& c = ix->cache;
  if (p < 0 || static_cast<size_t>(p) >= c.slot_of.size() || c.slot_of[static_cast<size_t>(p)] < 0)
    return nullptr;
  INDEXCACHE::PAGE& slot = c.slots[static_cast<size_t>(c.slot_of[static_cast<size_t>(p)])];
  // A page that waits to be written is the file's page whatever the generation, and whatever
  // index asks for it (only a damaged file links a page into two indexes).
  if (!slot.dirty && (slot.generation != c.generation || slot.index != index)) return nullptr;
  slot.used = true;
  return &slot.page;
}

int KeepPage(INDEXFILE* ix, int index, int32_t p, const INDEXPAGE& page, bool dirty) {
  INDEXCACHE& c = ix->cache;
  if (p < 0) return 0;
  if (static_cast<size_t>(p) >= c.slot_of.size())
    c.slot_of.resize(
        std::max<size_t>(static_cast<size_t>(p) + 1, static_cast<size_t>(ix->page_count)), -1);
  int32_t at = c.slot_of[static_cast<size_t>(p)];
  if (at < 0) {
    if (c.slots.size() < c.limit) {
      at = static_cast<int32_t>(c.slots.size());
      c.slots.emplace_back();
    } else {
      // The clock: the first slot not used since the hand last passed it. Pages that wait to be
      // written stay (they go out together at the next flush) while clean slots remain, which
      // they do as long as at most half the slots wait.
      const bool spare_dirty = static_cast<size_t>(ix->dirty_pages) < c.slots.size();
      for (;;) {
        INDEXCACHE::PAGE& slot = c.slots[c.hand];
        if (!(slot.dirty && spare_dirty) &&
            (slot.page_no == kNoPage || !slot.used || slot.generation != c.generation))
          break;
        slot.used = false;
        c.hand = (c.hand + 1) % c.slots.size();
      }
      at = static_cast<int32_t>(c.hand);
      c.hand = (c.hand + 1) % c.slots.size();
      INDEXCACHE::PAGE& victim = c.slots[static_cast<size_t>(at)];
      // A page that waits to be written (every slot does) goes to the file before its slot is
      // taken.
      if (victim.dirty) {
        if (WriteWaitingPage(ix, victim.index, victim.page_no, victim.page) != 0) return -1;
        victim.dirty = false;
        --ix->dirty_pages;
      }
      if (victim.page_no != kNoPage) c.slot_of[static_cast<size_t>(victim.page_no)] = -1;
    }
    c.slot_of[static_cast<size_t>(p)] = at;
  }
  INDEXCACHE::PAGE& slot = c.slots[static_cast<size_t>(at)];
  slot.page = page;
  slot.page_no = p;
  slot.index = index;
  slot.generation = c.generation;
  slot.used = true;
  if (dirty != slot.dirty) ix->dirty_pages += dirty ? 1 : -1;
  slot.dirty = dirty;
  return 0;
}

void ForgetPage(INDEXFILE* ix, int32_t p) {
  INDEXCACHE& c = ix->cache;
  if (p < 0 || static_cast<size_t>(p) >= c.slot_of.size() || c.slot_of[static_cast<size_t>(p)] < 0)
    return;
  INDEXCACHE::PAGE& slot = c.slots[static_cast<size_t>(c.slot_of[static_cast<size_t>(p)])];
  if (slot.dirty) {
    slot.dirty = false;
    --ix->dirty_pages;
  }
  slot.page_no = kNoPage;
  c.slot_of[static_cast<size_t>(p)] = -1;
}

void ClearIndexCache(INDEXFILE* ix) {
  INDEXCACHE& c = ix->cache;
  std::vector<INDEXCACHE::PAGE>().swap(c.slots);  // up to 32 MB: given back, not kept for reuse
  ix->dirty_pages = 0;
  ix->header_dirty = false;
  std::vector<int32_t>().swap(c.slot_of);
  c.hand = 0;
  ++c.generation;
  std::vector<int32_t>().swap(c.parent);
  for (int i = 0; i < kMaxIndexCount; ++i) {
    c.leaf_of[i].clear();
    c.leaf_of[i].shrink_to_fit();
    c.hinted[i] = false;
  }
  c.stamp = FILESTAMP();
  c.stamp_seen_ns = 0;
  c.racy = true;
  c.unchanged = false;
}

void LearnFromPage(INDEXFILE* ix, int index, int32_t p, const INDEXPAGE& page) {
  INDEXCACHE& c = ix->cache;
  const int kl = ix->index[index].key_length;
  const int n = PageCount(page);
  if (PageKind(page) == kPageInner) {
    if (c.parent.size() < static_cast<size_t>(ix->page_count))
      c.parent.resize(static_cast<size_t>(ix->page_count), kNoPage);
    for (int e = 0; e < n; ++e) {
      uint32_t child = EntryValue(page, kl, e);
      if (child < c.parent.size()) c.parent[child] = p;
    }
  } else if (c.hinted[index]) {
    std::vector<int32_t>& leaf_of = c.leaf_of[index];
    // A sound index holds one entry per record, so no record number reaches the number of entries
    // the file can hold: a damaged page does not make the hints take memory beyond that.
    const uint64_t bound =
        std::min<uint64_t>(kMaxHintedRecord, static_cast<uint64_t>(ix->page_count) * 82);
    for (int e = 0; e < n; ++e) {
      uint32_t record = EntryValue(page, kl, e);
      if (record >= bound) continue;
      if (record >= leaf_of.size())
        leaf_of.resize(static_cast<size_t>(std::min<uint64_t>(
                           bound, std::max<uint64_t>(record + 1, leaf_of.size() * 2))),
                       kNoPage);
      leaf_of[record] = p;
    }
  }
}

void ForgetKeptIndexPages(INDEXFILE* ix) { ++ix->cache.generation; }

void UseLeafHints(INDEXFILE* ix, int index) { ix->cache.hinted[index] = true; }

int FindByHints(INDEXFILE* ix, int index, const uint8_t* key, uint32_t record,
                std::vector<PathStep>* path, int* position) {
  INDEXCACHE& c = ix->cache;
  if (!c.hinted[index] || record >= c.leaf_of[index].size()) return 1;
  int32_t p = c.leaf_of[index][record];
  if (p == kNoPage) return 1;
  const int kl = ix->index[index].key_length;
  std::vector<PathStep> up;
  up.emplace_back();
  up.back().page_no = p;
  int rc = ReadIndexPage(ix, index, p, &up.back().page);
  if (rc != 0) return rc < 0 ? rc : 1;
  const INDEXPAGE& leaf = up.back().page;
  if (PageKind(leaf) != kPageLeaf) return 1;
  int pos = -1;
  for (int e = 0; e < PageCount(leaf) && pos < 0; ++e)
    if (EntryValue(leaf, kl, e) == record && CompareIndexKeys(EntryKey(leaf, kl, e), key, kl) == 0)
      pos = e;
  if (pos < 0) return 1;
  // Up to the root, each page holding its child.
  const int32_t root = ix->index[index].root;
  while (p != root) {
    if (static_cast<int>(up.size()) > DescentLimit(ix) || static_cast<size_t>(p) >= c.parent.size())
      return 1;
    const int32_t q = c.parent[static_cast<size_t>(p)];
    if (q == kNoPage) return 1;
    PathStep step;
    step.page_no = q;
    if ((rc = ReadIndexPage(ix, index, q, &step.page)) != 0) return rc < 0 ? rc : 1;
    if (PageKind(step.page) != kPageInner) return 1;
    step.entry = -1;
    for (int e = 0; e < PageCount(step.page) && step.entry < 0; ++e)
      if (EntryValue(step.page, kl, e) == static_cast<uint32_t>(p)) step.entry = e;
    if (step.entry < 0) return 1;
    up.push_back(step);
    p = q;
  }
  path->clear();
  for (size_t k = up.size(); k-- > 0;) {
    up[k].original = up[k].page;
    path->push_back(up[k]);
  }
  *position = pos;
  return 0;
}

int RevalidateIndexFile(INDEXFILE* ix, bool* replaced) {
  *replaced = false;
  INDEXCACHE& c = ix->cache;
  FILESTAMP now_seen;
  bool same = false;
  if (ix->file.Stamp(&now_seen, &same) != 0) return -1;
  if (!same) {
    *replaced = true;
    return 0;
  }
  const int64_t now = SteadyNow();
  bool trusted = !c.racy;
  if (!(now_seen == c.stamp)) {
    int rc = RefreshIndexFile(ix);
    if (rc != 0) return rc;
    c.stamp = now_seen;
    c.stamp_seen_ns = now;
    trusted = false;
  }
  c.unchanged = trusted;
  if (!trusted) {
    ++c.generation;
    for (int i = 0; i < ix->index_count; ++i) ix->index[i].copy_valid = false;
  }
  // A change within one step of the stamp after this one would not show: what is read under this
  // lock is trusted until its end only.
  c.racy = now - c.stamp_seen_ns < now_seen.step_ns;
  return 0;
}
