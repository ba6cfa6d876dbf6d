#include "business/documents/document_menu.h"

#include "business/document_kinds.h"
#include "business/documents/cash_document.h"
#include "business/documents/document_parts.h"
#include "business/documents/transaction_document.h"
#include "business/documents/transfer_order.h"
#include "business/read_access.h"
#include "business/transaction_commands.h"
#include "business/transaction_edit.h"
#include "common/text.h"
#include "db/table.h"
#include "ui/record_list.h"

namespace {

int g_last_item = 0;

bool HasCurrentTransaction() {
  return TableIsOpen(kTableTransactions) && TableRecNo(kTableTransactions) >= 0;
}

int SalesCommand(int, int) { return PrintSalesDocument(); }
int WarehouseCommand(int, int) { return WarehouseDocumentCommand(); }
int CashCommand(int, int) { return CashDocumentCommand(); }
int TransferCommand(int, int arg) {
  return TransferOrderCommand(arg != 0 && HasCurrentTransaction());
}
int MenuCommand(int, int) { return documents_menu(); }
void MenuAfterSave() { documents_menu(); }

}  // namespace

std::vector<bool> DocumentMenuEnabled(const TRA_RECORD& t) {
  return {DocumentKindByCode(t.DOKMAGTYP) != 0, DocumentKindByCode(t.DOKTRATYP) != 0,
          t.RODZAJ[0] == 'S', AnyPaymentForm(t), true};
}

int documents_menu() {
  if (!HasCurrentTransaction()) return -1;
  TRA_RECORD t;
  {
    READ_ACCESS access;
    if (!access || CurrentTransaction(&t) != 0) return -1;
  }
  static const char* const kItems[kDocumentMenuItems] = {
      " Dokument magazynowy  &M ", " Dokument sprzedaży   &F "_pl, " Paragon fiskalny     &P ",
      " Dokument kasowy      &S ", " Polecenie przelewu   &L "};
  const std::vector<const char*> items(kItems, kItems + kDocumentMenuItems);
  const int r =
      menu_with_disabled("DOKUMENTY TRANSAKCJI", items, DocumentMenuEnabled(t), g_last_item, 30);
  if (r < 0) return -1;
  g_last_item = r;
  switch (r) {
    case 0: return WarehouseDocumentCommand();
    case 1: return PrintSalesDocument();
    case 2: return PrintFiscalReceipt();
    case 3: return CashDocumentCommand();
    default: return TransferOrderCommand(true);
  }
}

void RegisterDocumentCommands() {
  set_record_command(kViewTransactions, kRecordSalesDocument, SalesCommand);
  set_record_command(kViewTransactions, kRecordWarehouseDocument, WarehouseCommand);
  set_record_command(kViewTransactions, kRecordCashDocument, CashCommand);
  set_record_command(kViewTransactions, kRecordTransferOrder, TransferCommand);
  set_record_command(kViewTransactions, kRecordDocuments, MenuCommand);
  SetTransactionDocumentsMenu(MenuAfterSave);
}

void ResetDocuments() { g_last_item = 0; }
