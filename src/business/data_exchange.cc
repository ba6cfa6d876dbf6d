// Export and import of transactions between installations, through a second set of the five
// tables (the export tables) in a directory of their own. Format: docs/formats/export-archive.md.
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "business/maintenance.h"
#include "business/stock.h"
#include "common/text.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"

namespace {

// The export tables' record structures and definitions (the main ones over other files).
GTO_RECORD xGto;
TOW_RECORD xTow;
KON_RECORD xKon;
TRA_RECORD xTra;
POZ_RECORD xPoz;
void* const kExportRecords[kSchemaTableCount] = {&xGto, &xTow, &xKon, &xTra, &xPoz};
TABLEDEF g_defs[kSchemaTableCount];
std::string g_files[kSchemaTableCount][2];

int X(int table) { return kExportSlot + table; }

std::string KeyOf(int table, int index, const void* record) {
  std::string key(static_cast<size_t>(TABLE_DEFS[table].key_lengths[index]), '\0');
  TABLE_DEFS[table].key_builders[index](record, key.data());
  key.resize(std::strlen(key.c_str()));
  return key;
}

// The identifier at the front of a record structure of tables 0 to 3.
AMOUNT IdOf(const void* record) { return *static_cast<const AMOUNT*>(record); }

// Makes the record of slot (main or export, tables 0 to 3) with this identifier current.
// 0, kTableEnd or -1.
int FindIn(int slot, AMOUNT id) {
  char key[10];
  IdKey(id, key);
  int rc = TableSetIndex(slot, 0);
  if (rc == 0) rc = TableSeek(slot, key);
  if (rc == 0 && IdOf(TableRecord(slot)) != id) rc = kTableEnd;
  return rc;
}

// Looks in the main table for a live record whose key in index equals the key of `record`;
// 0 when found (current), kTableEnd, or -1.
int MatchByKey(int table, int index, const void* record) {
  const std::string key = KeyOf(table, index, record);
  if (key.find_first_not_of(' ') == std::string::npos) return kTableEnd;
  int rc = TableSetIndex(table, index);
  if (rc == 0) rc = TableSeek(table, key.c_str());
  if (rc != 0) return rc;
  return KeyOf(table, index, TableRecord(table)) == key ? 0 : kTableEnd;
}

struct IMPORTER {
  IMPORT_COUNTS& counts;
  std::map<int64_t, AMOUNT> contractors, goods, groups;  // export identifier -> main identifier

  // Writes the exported values over the matched record (its identifier kept) when they differ,
  // or adds them under a new identifier. *id gets the main identifier.
  template <typename RECORD, typename KEEP>
  int Take(int table, RECORD& main, const RECORD& exported, bool found, int kind, AMOUNT* id,
           KEEP keep) {
    if (found) {
      RECORD merged = exported;
      merged.ID = main.ID;
      keep(merged, main);
      ++counts.updated[kind];
      *id = main.ID;
      if (std::memcmp(&merged, &main, sizeof merged) == 0) return 0;
      main = merged;
      return TableUpdate(table);
    }
    RECORD added = exported;
    if (NextRecordId(table, &added.ID) != 0) return -1;
    keep(added, RECORD{});
    main = added;
    ++counts.added[kind];
    *id = added.ID;
    return TableAppend(table);
  }

  int Group(AMOUNT exported, AMOUNT* id) {
    *id = AMOUNT();
    if (exported.IsZero()) return 0;
    if (auto it = groups.find(exported.Raw()); it != groups.end()) return *id = it->second, 0;
    int rc = FindIn(X(kTableGroups), exported);
    if (rc == kTableEnd) return 0;  // a group the export did not carry
    if (rc != 0) return -1;
    const int found = MatchByKey(kTableGroups, 1, &xGto);
    if (found < 0 || Take(kTableGroups, Gto, xGto, found == 0, 3, id,
                          [](GTO_RECORD&, const GTO_RECORD&) {}) != 0)
      return -1;
    groups[exported.Raw()] = *id;
    return 0;
  }

  int Goods(AMOUNT exported, AMOUNT* id) {
    *id = AMOUNT();
    if (exported.IsZero()) return 0;
    if (auto it = goods.find(exported.Raw()); it != goods.end()) return *id = it->second, 0;
    int rc = FindIn(X(kTableGoods), exported);
    if (rc == kTableEnd) return 0;
    if (rc != 0) return -1;
    const TOW_RECORD item = xTow;
    AMOUNT group;
    if (Group(item.GTOID, &group) != 0) return -1;
    // By the goods number (upper-cased keys: "a1" finds "A1"), then by the name.
    int found = item.NR[0] ? MatchByKey(kTableGoods, 3, &item) : kTableEnd;
    if (found == kTableEnd) found = MatchByKey(kTableGoods, 1, &item);
    if (found < 0) return -1;
    TOW_RECORD incoming = item;
    incoming.GTOID = group;
    // The stock is the installation's own; positions move it.
    auto keep = [](TOW_RECORD& into, const TOW_RECORD& old) { into.STAN = old.STAN; };
    if (Take(kTableGoods, Tow, incoming, found == 0, 2, id, keep) != 0) return -1;
    goods[exported.Raw()] = *id;
    return 0;
  }

  int Contractor(AMOUNT exported, AMOUNT* id) {
    *id = AMOUNT();
    if (exported.IsZero()) return 0;
    if (auto it = contractors.find(exported.Raw()); it != contractors.end())
      return *id = it->second, 0;
    int rc = FindIn(X(kTableContractors), exported);
    if (rc == kTableEnd) return 0;
    if (rc != 0) return -1;
    const KON_RECORD who = xKon;
    int found = who.NIP[0] ? MatchByKey(kTableContractors, 2, &who) : kTableEnd;
    if (found == kTableEnd) found = MatchByKey(kTableContractors, 1, &who);
    if (found < 0 || Take(kTableContractors, Kon, who, found == 0, 1, id,
                          [](KON_RECORD&, const KON_RECORD&) {}) != 0)
      return -1;
    contractors[exported.Raw()] = *id;
    return 0;
  }
};

// The transaction of the main table with the same document as t: the same year, kind, code and
// number text, found through the document's index. 0 (current), kTableEnd or -1.
int SameDocument(const TRA_RECORD& t, int index) {
  const char* code = index == 3 ? t.DOKTRATYP : t.DOKMAGTYP;
  const char* number = index == 3 ? t.DOKTRANR : t.DOKMAGNR;
  if (!code[0] || !number[0]) return kTableEnd;
  const std::string key = KeyOf(kTableTransactions, index, &t);
  int rc = TableSetIndex(kTableTransactions, index);
  if (rc == 0) rc = TableSeek(kTableTransactions, key.c_str());
  for (; rc == 0; rc = TableNext(kTableTransactions)) {
    if (KeyOf(kTableTransactions, index, &Tra) != key) return kTableEnd;
    if (std::strcmp(index == 3 ? Tra.DOKTRANR : Tra.DOKMAGNR, number) == 0) return 0;
  }
  return rc;
}

// Deletes the current transaction with its positions, giving their stock back.
int DeleteTransaction() {
  const AMOUNT id = Tra.ID;
  std::vector<long> records;
  if (ForEachPosition(id, [&] { return records.push_back(TableRecNo(kTablePositions)), 0; }) < 0)
    return -1;
  for (long r : records) {
    if (TableGo(kTablePositions, r) != 0) return -1;
    const POZ_RECORD p = Poz;
    if (ApplyStockChange(p.TOWID, p.ILOSC, p.RODZAJ[0] == 'D' ? 'S' : 'D') != 0) return -1;
    if (TableGo(kTablePositions, r) != 0 || TableDelete(kTablePositions) != 0) return -1;
  }
  return FindById(kTableTransactions, id) == 0 ? TableDelete(kTableTransactions) : -1;
}

int Percent(DATE day, DATE from, DATE to) {
  return to > from ? static_cast<int>(static_cast<int64_t>(day - from) * 100 / (to - from + 1)) : 0;
}

}  // namespace

int OpenExportTables(const std::string& dir) {
  for (int t = 0; t < kSchemaTableCount; ++t) {
    g_defs[t] = TABLE_DEFS[t];
    g_files[t][0] = dir + "/" + TABLE_DEFS[t].data_file;
    g_files[t][1] = dir + "/" + TABLE_DEFS[t].index_file;
    g_defs[t].data_file = g_files[t][0].c_str();
    g_defs[t].index_file = g_files[t][1].c_str();
    g_defs[t].record = kExportRecords[t];
    if (TableOpen(X(t), &g_defs[t]) != 0) {
      CloseExportTables();
      return -1;
    }
  }
  return 0;
}

void CloseExportTables() {
  for (int t = 0; t < kSchemaTableCount; ++t) TableClose(X(t));
}

int ExportTransactions(DATE from, DATE to, EXCHANGE_OUTPUT& out) {
  const int saved = TableGetIndex(kTableTransactions);
  int rc = TableSetIndex(kTableTransactions, 1);
  if (rc == 0) rc = TableSeek(kTableTransactions, DateToStored(from).c_str());
  for (; rc == 0 && Tra.DATATRA <= to; rc = TableNext(kTableTransactions)) {
    if (Tra.DATATRA < from) continue;
    if (out.Progress(Percent(Tra.DATATRA, from, to)) != 0) {
      rc = -1;
      break;
    }
    const TRA_RECORD t = Tra;
    if (!t.KONID.IsZero() && (rc = FindIn(X(kTableContractors), t.KONID)) == kTableEnd) {
      rc = CopyRecordById(kTableContractors, t.KONID, &xKon);
      if (rc == 0) rc = TableAppend(X(kTableContractors));
      else if (rc == kTableEnd) rc = 0;  // a contractor deleted since: the transaction goes alone
    }
    if (rc < 0) break;
    xTra = t;
    if (TableAppend(X(kTableTransactions)) != 0) {
      rc = -1;
      break;
    }
    std::vector<POZ_RECORD> positions;
    if (ForEachPosition(t.ID, [&] { return positions.push_back(Poz), 0; }) < 0) {
      rc = -1;
      break;
    }
    for (const POZ_RECORD& p : positions) {
      if (!p.TOWID.IsZero() && (rc = FindIn(X(kTableGoods), p.TOWID)) == kTableEnd) {
        rc = CopyRecordById(kTableGoods, p.TOWID, &xTow);
        if (rc == 0) {
          const TOW_RECORD item = xTow;
          if (!item.GTOID.IsZero() && (rc = FindIn(X(kTableGroups), item.GTOID)) == kTableEnd) {
            rc = CopyRecordById(kTableGroups, item.GTOID, &xGto);
            if (rc == 0) rc = TableAppend(X(kTableGroups));
          }
          if (rc == kTableEnd) rc = 0;
          xTow = item;
          xTow.STAN = AMOUNT();  // the stock belongs to this installation
          if (rc == 0) rc = TableAppend(X(kTableGoods));
        } else if (rc == kTableEnd) {
          rc = 0;
        }
      }
      if (rc < 0) break;
      xPoz = p;
      if ((rc = TableAppend(X(kTablePositions))) != 0) break;
    }
    if (rc != 0) break;
  }
  if (TableSetIndex(kTableTransactions, saved) != 0) rc = -1;
  return rc < 0 ? -1 : 0;
}

std::string ImportCountsText(const IMPORT_COUNTS& c) {
  char text[400];
  std::snprintf(text, sizeof text,
                "              %14s  %14s\n  Transakcji: %14ld  %14ld\nKontrahentów: %14ld  %14ld\n"
                "     Towarów: %14ld  %14ld\nGrup towarów: %14ld  %14ld"_pl,
                "Dodanych", "Uaktualnionych", c.added[0], c.updated[0], c.added[1], c.updated[1],
                c.added[2], c.updated[2], c.added[3], c.updated[3]);
  return text;
}

int ImportTransactions(DATE from, DATE to, EXCHANGE_OUTPUT& out, IMPORT_COUNTS* counts) {
  *counts = IMPORT_COUNTS{};
  IMPORTER im{*counts, {}, {}, {}};
  // The exported transactions of the range, in date order, taken first: importing moves the
  // main tables only.
  std::vector<TRA_RECORD> wanted;
  int rc = TableSetIndex(X(kTableTransactions), 1);
  if (rc == 0) rc = TableSeek(X(kTableTransactions), DateToStored(from).c_str());
  for (; rc == 0 && xTra.DATATRA <= to; rc = TableNext(X(kTableTransactions)))
    if (xTra.DATATRA >= from) wanted.push_back(xTra);
  if (rc < 0) return -1;
  const int saved[kSchemaTableCount] = {TableGetIndex(0), TableGetIndex(1), TableGetIndex(2),
                                        TableGetIndex(3), TableGetIndex(4)};
  rc = 0;
  for (const TRA_RECORD& t : wanted) {
    if (out.Progress(Percent(t.DATATRA, from, to)) != 0) {
      rc = -1;
      break;
    }
    AMOUNT contractor;
    if ((rc = im.Contractor(t.KONID, &contractor)) != 0) break;
    int found = SameDocument(t, 3);
    if (found == kTableEnd) found = SameDocument(t, 4);
    if (found < 0 || (found == 0 && DeleteTransaction() != 0)) {
      rc = -1;
      break;
    }
    ++(found == 0 ? counts->updated[0] : counts->added[0]);
    std::vector<POZ_RECORD> positions;
    char key[10];
    IdKey(t.ID, key);
    int walk = TableSetIndex(X(kTablePositions), 0);
    if (walk == 0) walk = TableSeek(X(kTablePositions), key);
    for (; walk == 0 && xPoz.TRAID == t.ID; walk = TableNext(X(kTablePositions)))
      positions.push_back(xPoz);
    if (walk < 0) {
      rc = -1;
      break;
    }
    Tra = t;
    Tra.KONID = contractor;
    if (NextRecordId(kTableTransactions, &Tra.ID) != 0 || TableAppend(kTableTransactions) != 0) {
      rc = -1;
      break;
    }
    const TRA_RECORD added = Tra;
    for (const POZ_RECORD& p : positions) {
      AMOUNT goods;
      if ((rc = im.Goods(p.TOWID, &goods)) != 0) break;
      Poz = p;
      Poz.TRAID = added.ID;
      Poz.KONID = added.KONID;
      Poz.TOWID = goods;
      if ((rc = TableAppend(kTablePositions)) != 0) break;
      if ((rc = ApplyStockChange(goods, p.ILOSC, added.RODZAJ[0])) != 0) break;
    }
    if (rc != 0) break;
  }
  for (int t = 0; t < kSchemaTableCount; ++t)
    if (TableSetIndex(t, saved[t]) != 0) rc = -1;
  return rc < 0 ? -1 : 0;
}
