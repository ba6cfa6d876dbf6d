// Conversion of the databases of older program versions (3.7 to 6.62) into today's tables.
#include <cstdio>
#include <cstring>
#include <vector>

#include "business/contractor_parent.h"
#include "business/maintenance.h"
#include "business/options.h"
#include "common/codepage.h"
#include "db/archive/old_tables.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "platform/cfile.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/system.h"

namespace {

std::string g_bad_file;

template <size_t N>
void Put(char (&field)[N], const std::string& text) {
  std::snprintf(field, N, "%s", text.c_str());
}

// A barcode is 8, 12 or 13 digits.
bool IsBarcode(const std::string& s) {
  if (s.size() != 8 && s.size() != 12 && s.size() != 13) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string Joined(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return a + ", " + b;
}

void ConvertGroup(const OLD_TABLE& o) {
  Gto = GTO_RECORD{};
  Gto.ID = o.Number("ID");
  Put(Gto.NAZWA, o.Text("NAZWA"));
  Put(Gto.UWAGI, o.Text("UWAGI"));
  Gto.WOFERCIE = 1;
}

void ConvertGoods(const OLD_TABLE& o) {
  Tow = TOW_RECORD{};
  Tow.ID = o.Number("ID");
  Put(Tow.NAZWA, o.Text("NAZWA"));
  Tow.GTOID = o.Number("GTOID");
  Put(Tow.RODZAJ, o.Text("RODZAJ"));
  Put(Tow.SWW, o.Text("SWW"));
  Tow.STANMIN = o.Number("STANMIN");
  Tow.STAN = o.Number("STAN");
  Tow.VATID = o.Number("VATID");
  Tow.MARZA = o.Number("MARZA");
  Tow.CENA = o.Number("CENA");
  Tow.RABAT = o.Number("RABAT");
  Tow.OPAKOWANIE = o.Number("PACZKA");
  Put(Tow.JMIARY, o.Text("JEDNOSTKA"));
  Put(Tow.OPIS, o.Text("UWAGI"));
  const std::string symbol = o.Text("SYMBOL");
  if (IsBarcode(symbol)) Put(Tow.EAN, symbol);
  else Put(Tow.NR, symbol);
  Tow.WOFERCIE = 1;
}

void ConvertContractor(const OLD_TABLE& o) {
  Kon = KON_RECORD{};
  Kon.ID = o.Number("ID");
  Put(Kon.NAZWA, o.Text("NAZWA"));
  Put(Kon.ADRES, o.Text("ADRES"));
  Put(Kon.MIASTO, o.Text("MIASTO"));
  Put(Kon.KOD, o.Text("KOD"));
  Put(Kon.TELEFON, o.Text("TELEFON"));
  // The old telex number joins the fax; the second address line goes to the remarks.
  Put(Kon.FAX, Joined(o.Text("FAX"), o.Text("TELEX")));
  Put(Kon.KONTO, o.Text("KONTO"));
  Put(Kon.DOKTRATYP, o.Text("DOKTRATYP"));
  Put(Kon.NIP, o.Text("NIP"));
  Put(Kon.REGON, o.Text("REGON"));
  Put(Kon.ZEZWOLENIE, o.Text("ZEZWOLENIE"));
  Put(Kon.DOWOD, o.Text("DOWOD"));
  Put(Kon.REPREZENT, o.Text("REPREZENT"));
  Kon.RABAT = o.Number("RABAT");
  Put(Kon.UWAGI, o.Text("UWAGI"));
  Put(Kon.UWAGI2, o.Text("ADRES2"));
  Kon.CENAID = AMOUNT::FromInt(1);
}

void ConvertTransaction(const OLD_TABLE& o) {
  Tra = TRA_RECORD{};
  Tra.ID = o.Number("ID");
  Tra.DATATRA = Tra.DATAMAG = o.Date("DATA");
  Put(Tra.RODZAJ, o.Text("RODZAJ"));
  Tra.KONID = o.Number("KONID");
  Put(Tra.DOKMAGTYP, o.Text("DOKMAGTYP"));
  Put(Tra.DOKMAGNR, o.Text("DOKMAGNR"));
  Put(Tra.DOKTRATYP, o.Text("DOKTRATYP"));
  Put(Tra.DOKTRANR, o.Text("DOKTRANR"));
  Tra.SUMA = o.Number("SUMA");
  Tra.VAT = o.Number("VAT");
  Tra.GOT = o.Number("GOT");
  Tra.CZK = o.Number("CZK");
  Tra.PRZ = o.Number("PRZ");
  Tra.PRZTERMIN = o.Number("PRZTERMIN");
  Tra.ODR = o.Number("ODR");
  Tra.ODRTERMIN = o.Number("ODRTERMIN");
  Tra.PRZZAPLAC = o.Date("PRZZAPLAC");
  Tra.PRZODSETKI = o.Number("PRZODSETKI");
  Tra.ODRZAPLAC = o.Date("ODRZAPLAC");
  Tra.ODRODSETKI = o.Number("ODRODSETKI");
  Put(Tra.UWAGI, o.Text("UWAGI"));
}

void ConvertPosition(const OLD_TABLE& o) {
  Poz = POZ_RECORD{};
  Poz.DATATRA = Poz.DATAMAG = o.Date("DATA");
  Put(Poz.RODZAJ, o.Text("RODZAJ"));
  Poz.TRAID = o.Number("TRAID");
  Poz.KONID = o.Number("KONID");
  Poz.TOWID = o.Number("TOWID");
  Poz.ILOSC = o.Number("ILOSC");
  Poz.CENA = o.Number("CENA");
  Poz.VATID = o.Number("VATID");
  Poz.RABAT = o.Number("RABAT");
}

void (*const kConverters[kSchemaTableCount])(const OLD_TABLE&) = {
    ConvertGroup, ConvertGoods, ConvertContractor, ConvertTransaction, ConvertPosition};

class SILENT_CHECK : public CHECK_OUTPUT {
 public:
  void Line(const std::string&) override {}
};

}  // namespace

const std::string& OldFormatFile() { return g_bad_file; }

int CheckOldDirectory(const std::string& dir) {
  if (!IsDirectory(dir)) return 1;
  if (CanonicalPath(dir) == CanonicalPath(CurrentDirectory())) return 2;
  for (const OLD_TABLE_DEF& def : OLD_TABLE_DEFS)
    if (!CFILE::Exists(OldTablePath(def, dir).c_str())) return 3;
  return 0;
}

int ConvertOldConfiguration(const std::string& dir, int version) {
  const std::string from = dir + "/Tamsu.ini";
  const std::string& to = ConfigPath();
  if (CFILE::Exists(from.c_str())) {
    const std::string tmp = TakeTemporaryName(to, true);
    if (tmp.empty()) return -1;
    CFILE in, out;
    int rc = in.Open(from.c_str(), kOpenExisting, kAccessRead, kShareRead);
    if (rc == 0) rc = out.Open(tmp.c_str(), kTruncateExisting, kAccessWrite, kShareNone);
    std::vector<char> block(16384);
    for (long n = 0; rc == 0;) {
      if ((n = in.Read(block.data(), block.size())) < 0) rc = -1;
      if (n <= 0) break;
      if (version == kVersion37)
        convert_buffer(1, kCodePageLatin2, block.data(), static_cast<size_t>(n));
      if (out.Write(block.data(), static_cast<size_t>(n)) != n) rc = -1;
    }
    if (rc == 0 && (out.Flush() != 0 || out.Close() != 0 || out.Rename(to.c_str(), true) != 0))
      rc = -1;
    if (rc != 0) {
      out.Close();
      CFILE::DeleteFile(tmp.c_str());
      return -1;
    }
    SyncDirectoryOf(to);
  }
  // The screen shows Latin 2 from now on, whatever the old version used.
  return INIFILE(to).WriteInt("Tamsu", "ConPLStandard", kCodePageLatin2);
}

int ConvertOldTables(const std::string& dir, int version, CONVERT_OUTPUT& out,
                     const KON_RECORD* parent) {
  g_bad_file.clear();
  for (int t = kTablePositions; t >= kTableGroups; --t)
    if (TableZap(t) != 0) return -1;
  const int code_page = version == kVersion37 ? 1 : kCodePageLatin2;
  for (int t = 0; t < kSchemaTableCount; ++t) {
    OLD_TABLE old;
    const int opened = old.Open(OLD_TABLE_DEFS[t], dir, code_page);
    if (opened != 0) {
      g_bad_file = OldTablePath(OLD_TABLE_DEFS[t], dir);
      return opened == OLD_TABLE::kOldBadFormat ? 2 : -1;
    }
    out.Begin(OLD_TABLE_DEFS[t].data_file);
    int rc = 0;
    for (long n = 0; rc == 0 && n < old.Count(); ++n) {
      const int read = old.Read(n);
      if (read < 0) rc = -1;
      if (read != 0) continue;
      kConverters[t](old);
      rc = TableAppend(t);
      if (rc == 0 && out.Progress(static_cast<int>((n + 1) * 100 / old.Count())) != 0) rc = -1;
    }
    out.Finish();
    if (rc != 0) return -1;
  }
  if (parent) {
    const int taken = FindById(kTableContractors, parent->ID);
    if (taken < 0) return -1;
    Kon = *parent;
    if (taken == 0) {
      if (NextRecordId(kTableContractors, &Kon.ID) != 0) return -1;
    }
    if (TableAppend(kTableContractors) != 0 || SetCompany(Kon.ID) != 0) return -1;
  }
  return RecountAllStock();
}

int RecountAllStock() {
  CHECK_CHOICES only_stock;
  only_stock.positions = only_stock.totals = only_stock.stock_changes = false;
  only_stock.repair = kRepairAuto;
  SILENT_CHECK silent;
  CHECK_RESULT result;
  return CheckDatabase(only_stock, silent, &result);
}
