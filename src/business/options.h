// Business options: the switches and precisions of section "Tamsu" in Tamsu.ini.
//
// A missing key (or a missing file) gives the option's default. The service options, the three
// precisions and the net-price document flags are loaded once (LoadBusinessOptions at start-up
// and after their dialogs) and then answered from memory; every other option is read from the
// file at the moment it is asked for. Setters write the key and keep the loaded copy in step.
//
//   if (WarnNegativeAmount()) ...            // read now
//   AMOUNT p = RoundToPlaces(x, RoundPrice()); // loaded
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/amount.h"

inline constexpr const char* kOptionsSection = "Tamsu";

// Loads the options that are held in memory; ResetBusinessOptions puts back their defaults
// without reading the file.
void LoadBusinessOptions();
void ResetBusinessOptions();

// Service options (loaded).
int AutoProductNr();
int EANChecksumUpdate();
AMOUNT AutoCustomer();
int AutoWZ();
int TraRecalc();
int LastCustomerPrice();
int PriceUpdate();
int InterestCalc();
int DocumentPrompt();
int FiscalEditLock();
int PricePurchaseNettoShow();
int PriceSaleNettoShow();
int SetAutoProductNr(int value);
int SetEANChecksumUpdate(int value);
int SetAutoCustomer(AMOUNT id);
int SetAutoWZ(int value);
int SetTraRecalc(int value);
int SetLastCustomerPrice(int value);
int SetPriceUpdate(int value);
int SetInterestCalc(int value);
int SetDocumentPrompt(int value);
int SetFiscalEditLock(int value);
int SetPricePurchaseNettoShow(int value);
int SetPriceSaleNettoShow(int value);

// Precisions in decimals (loaded). Stored values outside the choices of the precision dialog
// are brought to the nearest choice: quantities 0..4, payments and prices −5..2.
int RoundAmount();
int RoundPay();
int RoundPrice();
int SetRoundAmount(int decimals);
int SetRoundPay(int decimals);
int SetRoundPrice(int decimals);

// "DocumentRoundNetto" (loaded): whether documents of a sales kind are proposed in net prices.
// Flags in stored order: no document, FV, RU, PA, ZF, ZR, ZP. FR has no flag.
inline constexpr int kRoundNettoCount = 7;
std::array<uint8_t, kRoundNettoCount> DocumentRoundNetto();
int SetDocumentRoundNetto(const std::array<uint8_t, kRoundNettoCount>& flags);
// The flag of a sales document kind by its number in the document kinds (0 none, 7 FV,
// 8 FR, 9 RU, 10 PA, 11 ZF, 12 ZR, 13 ZP); FR and every other number give 0.
int NetDefaultFor(int documentKind);

// Warnings (read when used).
int WarnDebtor();
int WarnNegativeAmount();
int WarnLowSalePrice();
int WarnChangedVAT();
int WarnNoSWW();
int WarnNoNIP();
int WarnNoBank();
int SetWarnDebtor(int value);
int SetWarnNegativeAmount(int value);
int SetWarnLowSalePrice(int value);
int SetWarnChangedVAT(int value);
int SetWarnNoSWW(int value);
int SetWarnNoNIP(int value);
int SetWarnNoBank(int value);

// Document fields (read when used).
int DocumentCopyType();
int DocumentProductDescription();
int FVPriceD();
int PZPriceD();
int WZPriceD();
int DocumentAmountTotal();
int DocumentDiscountTotal();
int DocumentPaid();
int DocumentCompanyRepresentative();
int DocumentCustomerRepresentative();
int DocumentDatePrompt();
std::string DocumentPlace();
AMOUNT DocumentRowsPerPage();
int SetDocumentCopyType(int value);
int SetDocumentProductDescription(int value);
int SetFVPriceD(int value);
int SetPZPriceD(int value);
int SetWZPriceD(int value);
int SetDocumentAmountTotal(int value);
int SetDocumentDiscountTotal(int value);
int SetDocumentPaid(int value);
int SetDocumentCompanyRepresentative(int value);
int SetDocumentCustomerRepresentative(int value);
int SetDocumentDatePrompt(int value);
int SetDocumentPlace(std::string_view place);
int SetDocumentRowsPerPage(AMOUNT rows);

// Transfer order layout (read when used).
int DocumentTransferDataOnly();
int DocumentTransferMarginTop();
int DocumentTransferMarginLeft();
int SetDocumentTransferDataOnly(int value);
int SetDocumentTransferMarginTop(int value);
int SetDocumentTransferMarginLeft(int value);

// Identifier of the parent company in the contractors table; 0 none.
AMOUNT Company();
int SetCompany(AMOUNT id);

// Units of measure offered for goods, "Measure1" to "Measure6" (1-based); the first defaults to
// "szt.", the others to an empty text. Up to 5 characters.
inline constexpr int kMeasureCount = 6;
std::string Measure(int n);
int SetMeasure(int n, std::string_view unit);

// Header and footer lines. Documents: 1 "Faktura VAT", 2 "Rachunek", 3 "Paragon",
// 4 "Dowód wydania", 5 "Dowód przyjęcia", 6 "Dowód kasowy", 7 "Oferta"; part 'H' or 'F';
// line 1 to 6. Stored as "*" + text when enabled, " " + text when not; a stored value with
// neither mark is all text, and disabled.
inline constexpr int kHeaderDocumentCount = 7;
inline constexpr int kHeaderLineCount = 6;
inline constexpr size_t kHeaderTextLength = 160;
struct HEADER_LINE {
  bool enabled = false;
  std::string text;
};
HEADER_LINE ParseHeaderLine(std::string_view stored);
std::string StoredHeaderLine(const HEADER_LINE& line);
// The key "HdrFtr%d%c%d"; an empty text for arguments out of range.
std::string HeaderFooterKey(int document, char part, int line);
HEADER_LINE HeaderFooterLine(int document, char part, int line);
int SetHeaderFooterLine(int document, char part, int line, const HEADER_LINE& value);

// "DocumentFilter": which transactions the collective reports take in. Flags 0..3 by warehouse
// document (none, external, internal, inter-warehouse), 4..11 by sales document (none, then
// kinds 7 to 13), 12..13 by fiscal receipt (without, with). All default to 1.
inline constexpr int kDocumentFilterCount = 14;
std::array<uint8_t, kDocumentFilterCount> DocumentFilter();
int SetDocumentFilter(const std::array<uint8_t, kDocumentFilterCount>& flags);
// The flag a warehouse document kind (0..6) or sales document kind (0, 7..13) falls under; -1
// for a kind of the other family.
int DocumentFilterWarehouseFlag(int documentKind);
int DocumentFilterSalesFlag(int documentKind);
inline int DocumentFilterFiscalFlag(bool fiscalReceipt) { return fiscalReceipt ? 13 : 12; }
// A transaction passes when the flags of its warehouse document, its sales document and its
// fiscal receipt are all set.
bool DocumentFilterAccepts(const std::array<uint8_t, kDocumentFilterCount>& flags,
                           int warehouseKind, int salesKind, bool fiscalReceipt);

// "FiscDocumentFilter": for which sales document kinds (none, then 7 to 13) a fiscal receipt
// may be printed. All default to 1.
inline constexpr int kFiscDocumentFilterCount = 8;
std::array<uint8_t, kFiscDocumentFilterCount> FiscDocumentFilter();
int SetFiscDocumentFilter(const std::array<uint8_t, kFiscDocumentFilterCount>& flags);
bool FiscalReceiptAllowed(int salesKind);

// Reads a stored list of flags "%u %u ...": as many numbers as are there replace the defaults
// in order, the rest keep them; reading stops at the first thing that is not a number.
void ParseFlagList(std::string_view stored, uint8_t* flags, int count);
std::string FormatFlagList(const uint8_t* flags, int count);
