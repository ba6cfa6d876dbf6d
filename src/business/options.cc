#include "business/options.h"

#include <algorithm>
#include <cstdio>

#include "platform/inifile.h"

namespace {

INIFILE Config() { return INIFILE(ConfigPath()); }

int32_t ReadInt(const char* key, int32_t fallback) {
  int32_t value = fallback;
  Config().GetInt(kOptionsSection, key, &value);
  return value;
}

AMOUNT ReadAmount(const char* key, AMOUNT fallback) {
  AMOUNT value = fallback;
  Config().GetAmount(kOptionsSection, key, &value);
  return value;
}

std::string ReadString(const char* key, std::string fallback, size_t maximum) {
  std::string value = fallback;
  if (Config().GetString(kOptionsSection, key, &value, maximum) != 0) return fallback;
  return value;
}

int WriteInt(const char* key, int32_t value) {
  return Config().WriteInt(kOptionsSection, key, value);
}

// The options held in memory between loads, with their defaults.
struct LoadedOptions {
  int32_t autoProductNr = 1;
  int32_t eanChecksumUpdate = 1;
  AMOUNT autoCustomer;
  int32_t autoWZ = 0;
  int32_t traRecalc = 1;
  int32_t lastCustomerPrice = 0;
  int32_t priceUpdate = 0;
  int32_t interestCalc = 1;
  int32_t documentPrompt = 1;
  int32_t fiscalEditLock = 1;
  int32_t pricePurchaseNettoShow = 1;
  int32_t priceSaleNettoShow = 0;
  int32_t roundAmount = 2;
  int32_t roundPay = 2;
  int32_t roundPrice = 2;
  std::array<uint8_t, kRoundNettoCount> roundNetto{};
};

LoadedOptions g_loaded;

int ClampQuantityPlaces(int32_t d) { return std::clamp<int32_t>(d, 0, 4); }
int ClampMoneyPlaces(int32_t d) { return std::clamp<int32_t>(d, -5, 2); }

int SetLoadedInt(const char* key, int32_t value, int32_t* slot) {
  if (WriteInt(key, value) != 0) return -1;
  *slot = value;
  return 0;
}

template <size_t N>
std::array<uint8_t, N> ReadFlags(const char* key, uint8_t fallback) {
  std::array<uint8_t, N> flags;
  flags.fill(fallback);
  std::string stored;
  if (Config().GetString(kOptionsSection, key, &stored, 255) == 0)
    ParseFlagList(stored, flags.data(), static_cast<int>(N));
  return flags;
}

template <size_t N>
int WriteFlags(const char* key, const std::array<uint8_t, N>& flags) {
  return Config().WriteString(kOptionsSection, key,
                              FormatFlagList(flags.data(), static_cast<int>(N)).c_str());
}

}  // namespace

void ResetBusinessOptions() { g_loaded = LoadedOptions(); }

void LoadBusinessOptions() {
  LoadedOptions o;
  o.autoProductNr = ReadInt("AutoProductNr", o.autoProductNr);
  o.eanChecksumUpdate = ReadInt("EANChecksumUpdate", o.eanChecksumUpdate);
  o.autoCustomer = ReadAmount("AutoCustomer", o.autoCustomer);
  o.autoWZ = ReadInt("AutoWZ", o.autoWZ);
  o.traRecalc = ReadInt("TraRecalc", o.traRecalc);
  o.lastCustomerPrice = ReadInt("LastCustomerPrice", o.lastCustomerPrice);
  o.priceUpdate = ReadInt("PriceUpdate", o.priceUpdate);
  o.interestCalc = ReadInt("InterestCalc", o.interestCalc);
  o.documentPrompt = ReadInt("DocumentPrompt", o.documentPrompt);
  o.fiscalEditLock = ReadInt("FiscalEditLock", o.fiscalEditLock);
  o.pricePurchaseNettoShow = ReadInt("PricePurchaseNettoShow", o.pricePurchaseNettoShow);
  o.priceSaleNettoShow = ReadInt("PriceSaleNettoShow", o.priceSaleNettoShow);
  o.roundAmount = ClampQuantityPlaces(ReadInt("RoundAmount", o.roundAmount));
  o.roundPay = ClampMoneyPlaces(ReadInt("RoundPay", o.roundPay));
  o.roundPrice = ClampMoneyPlaces(ReadInt("RoundPrice", o.roundPrice));
  o.roundNetto = ReadFlags<kRoundNettoCount>("DocumentRoundNetto", 0);
  g_loaded = o;
}

int AutoProductNr() { return g_loaded.autoProductNr; }
int EANChecksumUpdate() { return g_loaded.eanChecksumUpdate; }
AMOUNT AutoCustomer() { return g_loaded.autoCustomer; }
int AutoWZ() { return g_loaded.autoWZ; }
int TraRecalc() { return g_loaded.traRecalc; }
int LastCustomerPrice() { return g_loaded.lastCustomerPrice; }
int PriceUpdate() { return g_loaded.priceUpdate; }
int InterestCalc() { return g_loaded.interestCalc; }
int DocumentPrompt() { return g_loaded.documentPrompt; }
int FiscalEditLock() { return g_loaded.fiscalEditLock; }
int PricePurchaseNettoShow() { return g_loaded.pricePurchaseNettoShow; }
int PriceSaleNettoShow() { return g_loaded.priceSaleNettoShow; }

int SetAutoProductNr(int v) { return SetLoadedInt("AutoProductNr", v, &g_loaded.autoProductNr); }
int SetEANChecksumUpdate(int v) {
  return SetLoadedInt("EANChecksumUpdate", v, &g_loaded.eanChecksumUpdate);
}
int SetAutoCustomer(AMOUNT id) {
  if (Config().WriteAmount(kOptionsSection, "AutoCustomer", id) != 0) return -1;
  g_loaded.autoCustomer = id;
  return 0;
}
int SetAutoWZ(int v) { return SetLoadedInt("AutoWZ", v, &g_loaded.autoWZ); }
int SetTraRecalc(int v) { return SetLoadedInt("TraRecalc", v, &g_loaded.traRecalc); }
int SetLastCustomerPrice(int v) {
  return SetLoadedInt("LastCustomerPrice", v, &g_loaded.lastCustomerPrice);
}
int SetPriceUpdate(int v) { return SetLoadedInt("PriceUpdate", v, &g_loaded.priceUpdate); }
int SetInterestCalc(int v) { return SetLoadedInt("InterestCalc", v, &g_loaded.interestCalc); }
int SetDocumentPrompt(int v) { return SetLoadedInt("DocumentPrompt", v, &g_loaded.documentPrompt); }
int SetFiscalEditLock(int v) { return SetLoadedInt("FiscalEditLock", v, &g_loaded.fiscalEditLock); }
int SetPricePurchaseNettoShow(int v) {
  return SetLoadedInt("PricePurchaseNettoShow", v, &g_loaded.pricePurchaseNettoShow);
}
int SetPriceSaleNettoShow(int v) {
  return SetLoadedInt("PriceSaleNettoShow", v, &g_loaded.priceSaleNettoShow);
}

int RoundAmount() { return g_loaded.roundAmount; }
int RoundPay() { return g_loaded.roundPay; }
int RoundPrice() { return g_loaded.roundPrice; }
int SetRoundAmount(int d) {
  return SetLoadedInt("RoundAmount", ClampQuantityPlaces(d), &g_loaded.roundAmount);
}
int SetRoundPay(int d) { return SetLoadedInt("RoundPay", ClampMoneyPlaces(d), &g_loaded.roundPay); }
int SetRoundPrice(int d) {
  return SetLoadedInt("RoundPrice", ClampMoneyPlaces(d), &g_loaded.roundPrice);
}

std::array<uint8_t, kRoundNettoCount> DocumentRoundNetto() { return g_loaded.roundNetto; }
int SetDocumentRoundNetto(const std::array<uint8_t, kRoundNettoCount>& flags) {
  if (WriteFlags("DocumentRoundNetto", flags) != 0) return -1;
  for (int i = 0; i < kRoundNettoCount; ++i) g_loaded.roundNetto[i] = flags[i] != 0;
  return 0;
}

int NetDefaultFor(int documentKind) {
  // Document kinds 0, 7 .. 13 against the stored order none, FV, RU, PA, ZF, ZR, ZP.
  static const int kFlagOfKind[14] = {0, -1, -1, -1, -1, -1, -1, 1, -1, 2, 3, 4, 5, 6};
  if (documentKind < 0 || documentKind >= 14) return 0;
  const int flag = kFlagOfKind[documentKind];
  return flag < 0 ? 0 : g_loaded.roundNetto[flag];
}

#define TAMSU_INT_OPTION(Name, Key, Default)   \
  int Name() { return ReadInt(Key, Default); } \
  int Set##Name(int v) { return WriteInt(Key, v); }

TAMSU_INT_OPTION(WarnDebtor, "WarnDebtor", 1)
TAMSU_INT_OPTION(WarnNegativeAmount, "WarnNegativeAmount", 1)
TAMSU_INT_OPTION(WarnLowSalePrice, "WarnLowSalePrice", 0)
TAMSU_INT_OPTION(WarnChangedVAT, "WarnChangedVAT", 1)
TAMSU_INT_OPTION(WarnNoSWW, "WarnNoSWW", 1)
TAMSU_INT_OPTION(WarnNoNIP, "WarnNoNIP", 1)
TAMSU_INT_OPTION(WarnNoBank, "WarnNoBank", 1)

TAMSU_INT_OPTION(DocumentCopyType, "DocumentCopyType", 1)
TAMSU_INT_OPTION(DocumentProductDescription, "DocumentProductDescription", 1)
TAMSU_INT_OPTION(FVPriceD, "FVPriceD", 1)
TAMSU_INT_OPTION(PZPriceD, "PZPriceD", 1)
TAMSU_INT_OPTION(WZPriceD, "WZPriceD", 1)
TAMSU_INT_OPTION(DocumentAmountTotal, "DocumentAmountTotal", 1)
TAMSU_INT_OPTION(DocumentDiscountTotal, "DocumentDiscountTotal", 1)
TAMSU_INT_OPTION(DocumentPaid, "DocumentPaid", 1)
TAMSU_INT_OPTION(DocumentCompanyRepresentative, "DocumentCompanyRepresentative", 1)
TAMSU_INT_OPTION(DocumentCustomerRepresentative, "DocumentCustomerRepresentative", 1)
TAMSU_INT_OPTION(DocumentDatePrompt, "DocumentDatePrompt", 0)

TAMSU_INT_OPTION(DocumentTransferDataOnly, "DocumentTransferDataOnly", 0)
TAMSU_INT_OPTION(DocumentTransferMarginTop, "DocumentTransferMarginTop", 0)
TAMSU_INT_OPTION(DocumentTransferMarginLeft, "DocumentTransferMarginLeft", 0)

#undef TAMSU_INT_OPTION

std::string DocumentPlace() { return ReadString("DocumentPlace", std::string(), 255); }
int SetDocumentPlace(std::string_view place) {
  return Config().WriteString(kOptionsSection, "DocumentPlace", std::string(place).c_str());
}

AMOUNT DocumentRowsPerPage() { return ReadAmount("DocumentRowsPerPage", AMOUNT()); }
int SetDocumentRowsPerPage(AMOUNT rows) {
  return Config().WriteAmount(kOptionsSection, "DocumentRowsPerPage", rows);
}

AMOUNT Company() { return ReadAmount("Company", AMOUNT()); }
int SetCompany(AMOUNT id) { return Config().WriteAmount(kOptionsSection, "Company", id); }

namespace {
constexpr size_t kMeasureLength = 5;
std::string MeasureKey(int n) { return "Measure" + std::to_string(n); }
}  // namespace

std::string Measure(int n) {
  if (n < 1 || n > kMeasureCount) return std::string();
  return ReadString(MeasureKey(n).c_str(), n == 1 ? "szt." : "", kMeasureLength);
}

int SetMeasure(int n, std::string_view unit) {
  if (n < 1 || n > kMeasureCount) return -1;
  std::string value(unit.substr(0, kMeasureLength));
  return Config().WriteString(kOptionsSection, MeasureKey(n).c_str(), value.c_str());
}

HEADER_LINE ParseHeaderLine(std::string_view stored) {
  HEADER_LINE line;
  if (!stored.empty() && (stored[0] == '*' || stored[0] == ' ')) {
    line.enabled = stored[0] == '*';
    stored.remove_prefix(1);
  }
  line.text.assign(stored.substr(0, kHeaderTextLength));
  return line;
}

std::string StoredHeaderLine(const HEADER_LINE& line) {
  std::string stored(1, line.enabled ? '*' : ' ');
  stored.append(line.text, 0, kHeaderTextLength);
  return stored;
}

std::string HeaderFooterKey(int document, char part, int line) {
  if (document < 1 || document > kHeaderDocumentCount || (part != 'H' && part != 'F') || line < 1 ||
      line > kHeaderLineCount)
    return std::string();
  char key[32];
  std::snprintf(key, sizeof key, "HdrFtr%d%c%d", document, part, line);
  return key;
}

HEADER_LINE HeaderFooterLine(int document, char part, int line) {
  const std::string key = HeaderFooterKey(document, part, line);
  if (key.empty()) return HEADER_LINE();
  return ParseHeaderLine(ReadString(key.c_str(), std::string(), kHeaderTextLength + 1));
}

int SetHeaderFooterLine(int document, char part, int line, const HEADER_LINE& value) {
  const std::string key = HeaderFooterKey(document, part, line);
  if (key.empty()) return -1;
  return Config().WriteString(kOptionsSection, key.c_str(), StoredHeaderLine(value).c_str());
}

std::array<uint8_t, kDocumentFilterCount> DocumentFilter() {
  return ReadFlags<kDocumentFilterCount>("DocumentFilter", 1);
}
int SetDocumentFilter(const std::array<uint8_t, kDocumentFilterCount>& flags) {
  return WriteFlags("DocumentFilter", flags);
}

int DocumentFilterWarehouseFlag(int kind) {
  // none; external PZ, WZ; internal PW, WW; inter-warehouse PM, WM.
  static const int kFlag[7] = {0, 1, 2, 3, 1, 2, 3};
  return kind >= 0 && kind < 7 ? kFlag[kind] : -1;
}

int DocumentFilterSalesFlag(int kind) {
  if (kind == 0) return 4;
  if (kind >= 7 && kind <= 13) return kind - 2;
  return -1;
}

bool DocumentFilterAccepts(const std::array<uint8_t, kDocumentFilterCount>& flags,
                           int warehouseKind, int salesKind, bool fiscalReceipt) {
  const int w = DocumentFilterWarehouseFlag(warehouseKind);
  const int s = DocumentFilterSalesFlag(salesKind);
  return w >= 0 && s >= 0 && flags[w] && flags[s] && flags[DocumentFilterFiscalFlag(fiscalReceipt)];
}

std::array<uint8_t, kFiscDocumentFilterCount> FiscDocumentFilter() {
  return ReadFlags<kFiscDocumentFilterCount>("FiscDocumentFilter", 1);
}
int SetFiscDocumentFilter(const std::array<uint8_t, kFiscDocumentFilterCount>& flags) {
  return WriteFlags("FiscDocumentFilter", flags);
}

bool FiscalReceiptAllowed(int salesKind) {
  int flag;
  if (salesKind == 0) flag = 0;
  else if (salesKind >= 7 && salesKind <= 13) flag = salesKind - 6;
  else return false;
  return FiscDocumentFilter()[flag] != 0;
}

void ParseFlagList(std::string_view stored, uint8_t* flags, int count) {
  size_t i = 0;
  for (int n = 0; n < count; ++n) {
    while (i < stored.size() && (stored[i] == ' ' || stored[i] == '\t')) ++i;
    if (i == stored.size() || stored[i] < '0' || stored[i] > '9') return;
    bool set = false;
    for (; i < stored.size() && stored[i] >= '0' && stored[i] <= '9'; ++i)
      if (stored[i] != '0') set = true;
    flags[n] = set ? 1 : 0;
  }
}

std::string FormatFlagList(const uint8_t* flags, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) {
    if (i > 0) out += ' ';
    out += flags[i] ? '1' : '0';
  }
  return out;
}
