#include "devices/device_holder.h"

#include "devices/device_config.h"
#include "devices/printers/fpr_df301.h"
#include "devices/printers/fpr_fp600.h"
#include "devices/printers/fpr_mb270.h"

std::unique_ptr<FPR> CreateFiscalPrinter(int type) {
  std::unique_ptr<FPR> p;
  switch (type) {
    case 0: p = std::make_unique<FPRFP600>(); break;
    case 1: p = std::make_unique<FPREMAR>(); break;
    case 2: p = std::make_unique<FPRMB270>(); break;
    case 3: p = std::make_unique<FPROPTIMUS_WIKING>(); break;
    case 4: p = std::make_unique<FPROPTIMUS_VEGA>(); break;
    case 5: p = std::make_unique<FPROPTIMUS_VIVO>(); break;
    case 6: p = std::make_unique<FPROPTIMUS_VENTO>(); break;
    case 7: p = std::make_unique<FPRDF301>(); break;
    case 9: p = std::make_unique<FPRINNOVA>(); break;
    case 10: p = std::make_unique<FPRTORELL>(); break;
    default: return nullptr;  // 8 "Upos CSF-1" is listed but has no driver
  }
  return p;
}

int DeviceHolder::openFiscalPrinter() {
  close();
  const DeviceConfig c = ReadDeviceConfig(kDevicePrinter);
  printer_ = CreateFiscalPrinter(c.type);
  if (!printer_) return -1;
  const int rc = printer_->open(c.port, c.portDefaultProperties == 0 ? &c.settings : nullptr);
  if (rc != 0) close();
  return rc;
}

int DeviceHolder::beginReceipt() { return printer_ ? printer_->beginReceipt() : -1; }
int DeviceHolder::addLine(const ReceiptLine& line) { return printer_ ? printer_->addLine(line) : -1; }
int DeviceHolder::endReceipt() { return printer_ ? printer_->endReceipt() : -1; }
int DeviceHolder::cancelReceipt() { return printer_ ? printer_->cancelReceipt() : -1; }
int DeviceHolder::readTaxRates() { return printer_ ? printer_->readTaxRates() : -1; }

int DeviceHolder::close() {
  if (!printer_) return -1;
  printer_->close();
  printer_.reset();
  return 0;
}
