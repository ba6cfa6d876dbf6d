// The documents of a transaction from the main screen: the menu "DOKUMENTY TRANSAKCJI" (key K,
// and after a transaction is saved when "DocumentPrompt" is on) and the keys of its items:
// M the warehouse document, F the sales document, P the fiscal receipt (the devices'), S the cash
// document, L the transfer order.
//
//   RegisterDocumentCommands();   // at start-up, after the devices registered key P
#pragma once

#include <vector>

#include "db/schema.h"

// Which items of the menu a transaction enables, in the menu's order (warehouse document, sales
// document, fiscal receipt, cash document, transfer order).
inline constexpr int kDocumentMenuItems = 5;
std::vector<bool> DocumentMenuEnabled(const TRA_RECORD& t);

// The menu for the current transaction; it opens on the item chosen last time. 0 when an item
// ran.
int documents_menu();

// Registers the keys F, M, S, L, K of the transactions view and the menu offered after a save.
void RegisterDocumentCommands();
void ResetDocuments();
