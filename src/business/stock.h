// The effects of positions on the goods and on their transaction, for code that writes positions
// itself (the demonstration data); the positions window writes through business/position_store.h,
// which keeps position, stock and sums together.
#pragma once

#include "common/amount.h"

// Moves the stock of goods goods_id by quantity: up for kind 'D' (income), down for 'S'. Nothing
// for identifier or quantity 0 and for goods whose kind keeps no stock. 0 or -1.
int ApplyStockChange(AMOUNT goods_id, AMOUNT quantity, char kind);

// Sums the positions of the transaction in the global transaction structure; when the gross or
// VAT total changed, stores them, lets cash take up the difference to the amount due and
// rewrites the transaction. 0 or -1.
int RecalculateTransaction();
