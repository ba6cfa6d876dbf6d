#include "devices/device_holder.h"

#include "devices/device_config.h"
#include "devices/printers/fpr_df301.h"
#include "devices/printers/fpr_fp600.h"
#include "devices/printers/fpr_mb270.h"
#include "devices/registers/fcr_elzab.h"
#include "devices/registers/fcr_optimus.h"
#include "devices/registers/fcr_posnet.h"
#include "devices/registers/fcr_sharp.h"

std::unique_ptr<FCR> CreateFiscalRegister(int type) {
  switch (type) {
    case 0: return std::make_unique<FCRSHARP>();
    case 1: return std::make_unique<FCRELZAB_SYSTEM600>();
    case 2: return std::make_unique<FCRELZAB_ALFA>();
    case 3: return std::make_unique<FCRELZAB_ALFAPLUS>();
    case 4: return std::make_unique<FCRELZAB_FP600XCEL>();
    case 5: return std::make_unique<FCRELZAB_ALFASUPER767>();
    case 6: return std::make_unique<FCRELZAB_ALFASUPER1279>();
    case 7: return std::make_unique<FCRELZAB_ALFASUPER2047>();
    case 8: return std::make_unique<FCRELZAB_ALFASUPER4095>();
    case 9: return std::make_unique<FCRELZAB_ALFALUX1279>();
    case 10: return std::make_unique<FCRELZAB_ALFALUX2047>();
    case 11: return std::make_unique<FCRELZAB_ALFALUX4095>();
    case 12: return std::make_unique<FCRELZAB_DELTA9983>();
    case 13: return std::make_unique<FCRELZAB_DELTA20479>();
    case 14: return std::make_unique<FCROPTIMUS_TANGO>();
    case 15: return std::make_unique<FCROPTIMUS_SYSTEM>();
    case 16: return std::make_unique<FCROPTIMUS_FIESTA>();
    case 17: return std::make_unique<FCROPTIMUS_RUMBA>();
    case 18: return std::make_unique<FCROPTIMUS_BONITA>();
    case 19: return std::make_unique<FCROPTIMUS_BRAVO>();
    case 20: return std::make_unique<FCROPTIMUS_FRIGO>();
    case 21: return std::make_unique<FCRPOSNET>();
    case 22: return std::make_unique<FCRPECR2>();
    case 23: return std::make_unique<FCRBINGO>();
    case 24: return std::make_unique<FCRBINGOPLUS>();
    default: return nullptr;
  }
}

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

int DeviceHolder::openFiscalRegister() {
  close();
  const DeviceConfig c = ReadDeviceConfig(kDeviceRegister);
  register_ = CreateFiscalRegister(c.type);
  if (!register_) return -1;
  const int rc = register_->open(c.port, c.portDefaultProperties == 0 ? &c.settings : nullptr);
  if (rc != 0) close();
  return rc;
}

int DeviceHolder::beginTransfer(int kind) {
  return register_ ? register_->beginTransfer(kind) : -1;
}
int DeviceHolder::endTransfer() { return register_ ? register_->endTransfer() : -1; }
int DeviceHolder::abortTransfer() { return register_ ? register_->abortTransfer() : -1; }
int DeviceHolder::sendGoods(const RegisterGoods& g) {
  return register_ ? register_->sendGoods(g) : -1;
}
int DeviceHolder::readGoods(RegisterGoods* g) { return register_ ? register_->readGoods(g) : -1; }
int DeviceHolder::readSale(RegisterGoods* s) { return register_ ? register_->readSale(s) : -1; }
int DeviceHolder::deleteSales() { return register_ ? register_->deleteSales() : -1; }
int DeviceHolder::deleteGoods() { return register_ ? register_->deleteGoods() : -1; }
int DeviceHolder::fiscalReport() { return register_ ? register_->fiscalReport() : -1; }
int DeviceHolder::display(const char* text) { return register_ ? register_->display(text) : -1; }
int DeviceHolder::validateGoods(const RegisterGoods& g) {
  return register_ ? register_->validateGoods(g) : -1;
}

int DeviceHolder::beginReceipt() { return printer_ ? printer_->beginReceipt() : -1; }
int DeviceHolder::addLine(const ReceiptLine& line) {
  return printer_ ? printer_->addLine(line) : -1;
}
int DeviceHolder::endReceipt() { return printer_ ? printer_->endReceipt() : -1; }
int DeviceHolder::cancelReceipt() { return printer_ ? printer_->cancelReceipt() : -1; }
int DeviceHolder::readTaxRates() { return printer_ ? printer_->readTaxRates() : -1; }

int DeviceHolder::close() {
  if (!printer_ && !register_) return -1;
  if (printer_) printer_->close();
  if (register_) register_->close();
  printer_.reset();
  register_.reset();
  return 0;
}
