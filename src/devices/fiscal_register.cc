#include "devices/fiscal_register.h"

#include <vector>

#include "business/rights.h"
#include "common/text.h"
#include "db/schema.h"
#include "devices/device_holder.h"
#include "devices/register_store.h"
#include "devices/scanner_hooks.h"
#include "ui/dialog.h"
#include "ui/feedback.h"
#include "ui/message_box.h"
#include "ui/pick_list.h"
#include "ui/record_list.h"

namespace {

const char* const kBannerBefore[] = {
    "******************************",
    "* TAMSU - transmisja danych  *",
    "*     Proszę czekać !!!      *"_pl,
    "******************************",
};
const char* const kBannerAfter[] = {
    "******************************",
    "* TAMSU - koniec transmisji  *",
    "*       Kasa wolna !!!       *",
    "******************************",
};

// The banner goes to the register's display; a register that cannot show it is not asked again.
void Banner(DeviceHolder& h, const char* const (&lines)[4]) {
  for (const char* line : lines)
    if (h.display(line) != 0) return;
}

// The frame around every operation: steps runs on the open register and answers 0 or a code.
// question: asked first (nullptr for none). The result of steps, or -1 when nothing ran.
template <class Steps>
int Frame(const char* question, Steps steps) {
  if (question && message_box(1, "%s", question) != 1) return -1;
  StopScannerForDevice();
  status_line(0, "%s", "Transmisja danych... Przygotowanie");
  DeviceHolder h;
  int rc = h.openFiscalRegister();
  if (rc == -1) DEVICE::notify(kDevNoOption, 0);  // a type the list offers without a driver
  if (rc == 0) {
    Banner(h, kBannerBefore);
    rc = steps(h);
    Banner(h, kBannerAfter);
    h.close();
  } else {
    rc = -1;
  }
  status_line(2);
  ApplyScannerAfterDevice();
  return rc;
}

bool Cancelled() { return DEVICE::notify(kDevPoll, 0) != 0; }

const char* const kMenu[] = {
    " &Wysłanie cennika do kasy   "_pl,
    " &Odczyt cennika z kasy      ",
    " &Usunięcie cennika z kasy   "_pl,
    " O&dczyt sprzedaży z kasy    "_pl,
    " U&sunięcie sprzedaży z kasy "_pl,
    " &Raport fiskalny            ",
    nullptr,
};
const char* const kSalesMenu[] = {
    " &Bez usunięcia z kasy                     "_pl,
    " &Z usunięciem z kasy                      "_pl,
    " Z usunięciem z kasy i &raportem fiskalnym "_pl,
    nullptr,
};

// "WYSŁANIE CENNIKA DO KASY": 0 all goods, 1 a group, 2 one goods; -1 on Esc.
int ChooseGoods() {
  constexpr int kAll = 2, kGroup = 3, kOne = 4;
  ControlRecord dlg[6];
  dlg_frame(dlg, 0, 0, 0, 46, 10, "WYSŁANIE CENNIKA DO KASY"_pl);
  dlg_center(dlg);
  dlg_label(
      dlg, 1, 4, 1,
      "Uwaga! Wysłane zostaną tylko towary,\nktórych numer jest 6-cyfrowy i zawiera\nsię w przedziale 000001-999999."_pl);
  dlg_button(dlg, kAll, 13, 5, " &Wszystkie towary ");
  dlg_button(dlg, kGroup, 13, 6, " &Grupa towarów    "_pl);
  dlg_button(dlg, kOne, 13, 7, " &Jeden towar      ");
  dlg_end(dlg, 5);
  const int r = dlg_run(dlg, kAll, nullptr);
  return r == kAll ? 0 : r == kGroup ? 1 : r == kOne ? 2 : -1;
}

}  // namespace

int SendPriceList() {
  const int choice = ChooseGoods();
  AMOUNT group, goods;
  if (choice < 0) return -1;
  if (choice == 1) {
    if (record_list(kViewGroups) != 0) return -1;
    group = Gto.ID;
  }
  if (choice == 2) {
    if (record_list(kViewGoods) != 0) return -1;
    goods = Tow.ID;
  }
  std::vector<RegisterGoods> list;
  if (GoodsToSend(group, goods, &list) != 0) return -1;
  long sent = 0, rejected = 0;
  const int rc = Frame(nullptr, [&](DeviceHolder& h) {
    int rc = h.beginTransfer(kTransferSendGoods);
    if (rc != 0) return rc;
    for (RegisterGoods g : list) {
      if (Cancelled()) {
        rc = kDevCancelled;
        break;
      }
      if (g.amount < AMOUNT()) g.amount = -g.amount;
      // What the register itself would refuse is passed by as well: one goods does not stop a list.
      if (!RegisterGoodsAcceptable(g) || h.validateGoods(g) != 0) {
        ++rejected;
        continue;
      }
      if ((rc = h.sendGoods(g)) != 0) break;
      ++sent;
    }
    if (rc == 0) return h.endTransfer();
    h.abortTransfer();
    return rc;
  });
  if (rc != 0) return -1;
  message("  Towarów wysłanych: %6ld\nTowarów odrzuconych: %6ld"_pl, sent, rejected);
  return 0;
}

int ReadPriceList() {
  REGISTER_COUNTS n;
  int rc = Frame(nullptr, [&](DeviceHolder& h) {
    int rc = h.beginTransfer(kTransferReadGoods);
    if (rc != 0) return rc;
    std::vector<RegisterGoods> list;
    for (RegisterGoods g{}; (rc = h.readGoods(&g)) == 0; g = RegisterGoods{}) list.push_back(g);
    if (rc != kDevNoMoreRecords) {
      h.abortTransfer();
      return rc;
    }
    if ((rc = h.endTransfer()) != 0) return rc;
    return TakeOverGoods(list, &n);
  });
  if (rc == 0 || n.added || n.updated || n.rejected)
    message(
        "      Towarów dodanych: %6ld\nTowarów uaktualnionych: %6ld\n   Towarów odrzuconych: %6ld"_pl,
        n.added, n.updated, n.rejected);
  return rc == 0 ? 0 : -1;
}

int DeletePriceList() {
  const int rc = Frame("Usunąć towary z kasy?\t &Tak \t &Nie "_pl,
                       [](DeviceHolder& h) { return h.deleteGoods(); });
  if (rc != 0) return -1;
  message("%s", "Towary z kasy usunięte."_pl);
  return 0;
}

int ReadSales(int choice) {
  REGISTER_COUNTS n;
  const int rc = Frame(nullptr, [&](DeviceHolder& h) {
    int rc = h.beginTransfer(kTransferReadSales);
    if (rc != 0) return rc;
    std::vector<RegisterGoods> list;
    for (RegisterGoods s{}; (rc = h.readSale(&s)) == 0; s = RegisterGoods{}) list.push_back(s);
    if (rc != kDevNoMoreRecords) {
      h.abortTransfer();
      return rc;
    }
    if ((rc = h.endTransfer()) != 0) return rc;
    // The register's sales go only once the database holds them.
    if ((rc = TakeOverSales(list, &n)) != 0) return rc;
    if (choice >= 1) rc = h.deleteSales();
    if (rc == 0 && choice == 2) rc = h.fiscalReport();
    return rc;
  });
  if (rc == 0 || n.salesAdded || n.salesRejected || n.added)
    message(
        "   Pozycji sprzedaży dodanych: %6ld\nPozycji sprzedaży odrzuconych: %6ld\n             Towarów dodanych: %6ld"_pl,
        n.salesAdded, n.salesRejected, n.added);
  return rc == 0 ? 0 : -1;
}

int DeleteSales() {
  const int rc = Frame("Usunąć sprzedaże z kasy?\t &Tak \t &Nie "_pl,
                       [](DeviceHolder& h) { return h.deleteSales(); });
  if (rc != 0) return -1;
  message("%s", "Sprzedaże z kasy usunięte."_pl);
  return 0;
}

int FiscalReport() {
  return Frame("Drukować raport fiskalny?\t &Tak \t &Nie "_pl,
               [](DeviceHolder& h) { return h.fiscalReport(); }) == 0
             ? 0
             : -1;
}

int FiscalRegisterMenu() {
  if (CheckRights(kRightFiscalRegister, true) != 0) return -1;
  switch (menu_list(kMenu, 0, "KASA FISKALNA", -1, -1)) {
    case 0: return SendPriceList();
    case 1: return ReadPriceList();
    case 2: return DeletePriceList();
    case 3: {
      const int choice = menu_list(kSalesMenu, 0, "ODCZYT SPRZEDAŻY Z KASY"_pl, -1, -1);
      return choice < 0 ? -1 : ReadSales(choice);
    }
    case 4: return DeleteSales();
    case 5: return FiscalReport();
    default: return -1;
  }
}
