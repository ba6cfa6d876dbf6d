// The fiscal cash register operations (key N, menu "KASA FISKALNA"): the price list sent to the
// configured register, read from it or deleted there; the sales read (optionally deleted in the
// register afterwards, and the fiscal report started); the sales deleted; the fiscal report.
//
// Every operation runs in one frame: its question, the scanner stopped, the status line
// "Transmisja danych... Przygotowanie", the register opened, the banner handed to its display,
// the operation, the closing banner, the register closed, the status line closed, the closing
// message, the scanner back. What is read from the register goes into the database whole or
// not at all (devices/register_store.h); sales are deleted in the register only once they are
// safely stored.
#pragma once

// The menu and the operation chosen; 0 when it ended without a failure.
int FiscalRegisterMenu();

// The six operations, as the menu runs them (0 success, -1 failure or refusal).
int SendPriceList();
int ReadPriceList();
int DeletePriceList();
// choice: 0 without deleting, 1 deleting the sales in the register, 2 also the fiscal report.
int ReadSales(int choice);
int DeleteSales();
int FiscalReport();
