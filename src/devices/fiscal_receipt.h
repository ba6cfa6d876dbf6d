// The fiscal receipt of a sale ("Paragon fiskalny", key P of the transactions view). The
// transaction side (the document filter, the reprint question, the items in the positions file
// order, the mark DOKFISKAL) is the transactions' own PrintFiscalReceipt; this side installs the
// printer it hands the items to and runs the device steps around it: the scanner stopped, the
// configured printer opened, the lines sent, the receipt ended only when every line was taken,
// cancelled otherwise.
//
//   RegisterDeviceCommands();               // at start-up: key P and the receipt printer
//   PrintSaleReceipt();                     // key P on the current transaction
#pragma once

// Key P: a purchase never gets a receipt; "Drukować paragon fiskalny?", then the transaction's
// receipt. 0 when printed and marked; -1 when refused, cancelled or failed (the user was told).
int PrintSaleReceipt();

// Registers key P for the transactions view and installs the fiscal printer as the receipt
// printer of the transactions (again after a reset).
void RegisterDeviceCommands();
