#include "db/archive/old_tables.h"

#include <cstring>

#include "common/codepage.h"
#include "db/dbf_format.h"

namespace {

const OLD_FIELD kGroups[] = {{"ID", 'N', 9, 0}, {"NAZWA", 'C', 30, 0}, {"UWAGI", 'C', 50, 0}};
const OLD_FIELD kGoods[] = {
    {"ID", 'N', 9, 0},       {"SYMBOL", 'C', 20, 0},   {"NAZWA", 'C', 30, 0},
    {"GTOID", 'N', 9, 0},    {"RODZAJ", 'C', 1, 0},    {"SWW", 'C', 15, 0},
    {"PACZKA", 'N', 12, 2},  {"JEDNOSTKA", 'C', 5, 0}, {"MARZA", 'N', 3, 0},
    {"CENA", 'N', 12, 2},    {"RABAT", 'N', 3, 0},     {"VATID", 'N', 1, 0},
    {"STANMIN", 'N', 12, 2}, {"STAN", 'N', 12, 2},     {"UWAGI", 'C', 50, 0}};
const OLD_FIELD kContractors[] = {
    {"ID", 'N', 9, 0},         {"NAZWA", 'C', 50, 0},      {"ADRES", 'C', 50, 0},
    {"ADRES2", 'C', 50, 0},    {"MIASTO", 'C', 30, 0},     {"KOD", 'C', 6, 0},
    {"TELEFON", 'C', 50, 0},   {"FAX", 'C', 20, 0},        {"TELEX", 'C', 20, 0},
    {"KONTO", 'C', 50, 0},     {"DOKTRATYP", 'C', 2, 0},   {"NIP", 'C', 30, 0},
    {"REGON", 'C', 50, 0},     {"ZEZWOLENIE", 'C', 50, 0}, {"DOWOD", 'C', 20, 0},
    {"REPREZENT", 'C', 50, 0}, {"RABAT", 'N', 3, 0},       {"UWAGI", 'C', 50, 0}};
const OLD_FIELD kTransactions[] = {
    {"ID", 'N', 9, 0},        {"DATA", 'D', 8, 0},        {"RODZAJ", 'C', 1, 0},
    {"KONID", 'N', 9, 0},     {"DOKMAGTYP", 'C', 2, 0},   {"DOKMAGNR", 'C', 9, 0},
    {"DOKTRATYP", 'C', 2, 0}, {"DOKTRANR", 'C', 9, 0},    {"SUMA", 'N', 12, 2},
    {"VAT", 'N', 12, 2},      {"GOT", 'N', 12, 2},        {"CZK", 'N', 12, 2},
    {"PRZ", 'N', 12, 2},      {"PRZTERMIN", 'N', 3, 0},   {"ODR", 'N', 12, 2},
    {"ODRTERMIN", 'N', 3, 0}, {"PRZZAPLAC", 'D', 8, 0},   {"PRZODSETKI", 'N', 12, 2},
    {"ODRZAPLAC", 'D', 8, 0}, {"ODRODSETKI", 'N', 12, 2}, {"UWAGI", 'C', 50, 0}};
const OLD_FIELD kPositions[] = {{"DATA", 'D', 8, 0},  {"RODZAJ", 'C', 1, 0}, {"TRAID", 'N', 9, 0},
                                {"KONID", 'N', 9, 0}, {"TOWID", 'N', 9, 0},  {"ILOSC", 'N', 12, 2},
                                {"CENA", 'N', 12, 2}, {"VATID", 'N', 1, 0},  {"RABAT", 'N', 3, 0}};

}  // namespace

const OLD_TABLE_DEF OLD_TABLE_DEFS[5] = {
    {"Gto.dbf", 3, kGroups, 90},        {"Tow.dbf", 15, kGoods, 195},
    {"Kon.dbf", 18, kContractors, 591}, {"Tra.dbf", 21, kTransactions, 218},
    {"Poz.dbf", 9, kPositions, 65},
};

std::string OldTablePath(const OLD_TABLE_DEF& def, const std::string& dir) {
  // Files copied from the old systems often carry their names in capitals.
  std::string name = def.data_file, upper = name, lower = name;
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  const std::string base = dir.empty() ? std::string() : dir + "/";
  for (const std::string& n : {name, upper, lower})
    if (CFILE::Exists((base + n).c_str())) return base + n;
  return base + name;
}

int OLD_TABLE::Open(const OLD_TABLE_DEF& def, const std::string& dir, int code_page) {
  def_ = &def;
  code_page_ = code_page;
  count_ = 0;
  const std::string path = OldTablePath(def, dir);
  if (file_.Open(path.c_str(), kOpenExisting, kAccessRead, kShareRead) != 0) return -1;
  uint8_t head[32];
  const int64_t size = file_.Size();
  if (size < 0 || file_.ReadAt(0, head, sizeof head) < 0) return -1;
  if (size < 32) return kOldBadFormat;
  const DBFHEADER h = DecodeDbfHeader(head);
  header_ = h.header_length;
  if ((h.version & 7) != 3 || h.header_length != 32 * def.field_count + 33 ||
      h.record_length != def.record_length)
    return kOldBadFormat;
  std::vector<uint8_t> fields(static_cast<size_t>(32 * def.field_count));
  if (file_.ReadAt(32, fields.data(), fields.size()) != static_cast<long>(fields.size()))
    return kOldBadFormat;
  offsets_.clear();
  int offset = 1;
  for (int i = 0; i < def.field_count; ++i) {
    const OLD_FIELD& f = def.fields[i];
    FIELDDEF fd{f.name, f.type, f.length, f.decimals};
    if (!FieldDescriptorMatches(fd, fields.data() + 32 * i)) return kOldBadFormat;
    offsets_.push_back(offset);
    offset += f.length;
  }
  // Records past the end of a cut file are not there to read.
  const int64_t whole = (size - h.header_length) / def.record_length;
  count_ = static_cast<long>(std::min<int64_t>(h.record_count, std::max<int64_t>(whole, 0)));
  record_.assign(static_cast<size_t>(def.record_length), ' ');
  return 0;
}

int OLD_TABLE::Read(long n) {
  if (n < 0 || n >= count_) return -1;
  const int64_t at = header_ + static_cast<int64_t>(n) * def_->record_length;
  if (file_.ReadAt(at, record_.data(), record_.size()) != static_cast<long>(record_.size()))
    return -1;
  return record_[0] == '*' ? kOldRecordDeleted : 0;
}

const char* OLD_TABLE::Field(const char* field, int* length) const {
  for (int i = 0; i < def_->field_count; ++i)
    if (std::strcmp(def_->fields[i].name, field) == 0) {
      *length = def_->fields[i].length;
      return record_.data() + offsets_[static_cast<size_t>(i)];
    }
  *length = 0;
  return nullptr;
}

std::string OLD_TABLE::Text(const char* field) const {
  int length = 0;
  const char* p = Field(field, &length);
  if (!p) return std::string();
  std::string s(p, static_cast<size_t>(length));
  const size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  s = s.substr(first, s.find_last_not_of(' ') - first + 1);
  return convert_string(code_page_, data_code_page(), s);
}

AMOUNT OLD_TABLE::Number(const char* field) const {
  int length = 0;
  const char* p = Field(field, &length);
  return p ? UnpackNumber(p, length) : AMOUNT();
}

DATE OLD_TABLE::Date(const char* field) const {
  int length = 0;
  const char* p = Field(field, &length);
  return p && length == 8 ? UnpackDate(p) : 0;
}
