// The record rules of goods and groups that do not belong to a form: new identifiers, the
// automatic goods number, the stock recomputed from the positions, the references that keep a
// record from being deleted, and what a new record starts with.
//
//   Tow.NR <- NextGoodsNumber(0, group)   // "000001" in an empty file, "AL0005" after "AL0004"
#pragma once

#include <string>

#include "common/amount.h"
#include "db/records.h"
#include "db/schema.h"

// The number for goods goodsId (0 for a new one) of group groupId: the group's highest number
// counted on when it is free, else the highest number of the file counted on, else zeros as
// long as the digits of the goods count (6 to 13) counted on to 1. The goods table keeps its
// place and its record structure. 0, or -1 when the goods could not be read (reported).
int NextGoodsNumber(AMOUNT goodsId, AMOUNT groupId, std::string* number);
// The same as a text; empty when the goods could not be read.
std::string NextGoodsNumber(AMOUNT goodsId, AMOUNT groupId);

// The stock of the goods by its positions: income ('D') adds, expense ('S') subtracts. 0 and the
// stock in *stock; -1 when the user interrupted it with Esc or a position could not be read
// (*stock untouched: never a sum of some positions). The positions table keeps its place.
int RecomputeStock(AMOUNT goodsId, AMOUNT* stock);

// A group that goods refer to, goods that positions refer to: 1 in use, 0 not, -1 when that
// could not be read (reported; the caller must not delete).
int GroupInUse(AMOUNT groupId);
int GoodsInUse(AMOUNT goodsId);

// A new goods: kind "towar handlowy", the first unit of measure, one unit to a package, the
// basic VAT rate, in the offer.
TOW_RECORD NewGoodsRecord();
GTO_RECORD NewGroupRecord();
// The current record as the start of a new one (Shift+Ins): no identifier and no stock of its own.
TOW_RECORD PrefilledGoodsRecord(const TOW_RECORD& from);
GTO_RECORD PrefilledGroupRecord(const GTO_RECORD& from);
