// The positions of a stored transaction: the window "POZYCJE PRZYCHODU" / "POZYCJE ROZCHODU"
// listing them with their totals, the position form ("POZYCJA PRZYCHODU" / "POZYCJA
// ROZCHODU") with its rules, and the price change of positions ("PRZECENA POZYCJI").
//
// The window keeps the record numbers of its positions and totals that follow each change
// (business/running_totals.h), so adding the ten-thousandth position costs what adding the
// first did. The sums are stored after every change with "TraRecalc" on (by the position
// writes), and once more from all positions when the window is left.
//
//   positions_window(Tra.ID);        // " &Pozycje... " of the transaction form, once it is saved
#pragma once

#include "business/running_totals.h"
#include "common/amount.h"
#include "db/schema.h"

// Runs the window over the positions of transaction id. 0, or -1 when the transaction or its
// positions could not be read. Afterwards Tra holds the transaction with its sums.
int positions_window(AMOUNT transactionId);

// The position form over a new position (*recno < 0; the new record number comes back) or
// position *recno of transaction t. 0 when the position was stored, -1 when left.
int position_form_edit(const TRA_RECORD& t, long* recno, RUNNING_TOTALS* running);

// " &Przecena " over the positions of t: all of recnos, or recnos[current]; Esc stops the walk
// between positions. 0, or -1 when the rights refused it or a position could not be written.
int reprice_positions(const TRA_RECORD& t, const long* recnos, long count, long current,
                      RUNNING_TOTALS* running);

// " &Kalkulacja... " of the position form: the price calculation, installed by its owner. It
// gets the transaction and the position being edited and answers 0 when the position took a
// new price, VAT and discount. Without one the button says the function is not there yet.
typedef int (*PositionCalculationFn)(const TRA_RECORD& t, POZ_RECORD* position);
void SetPositionCalculation(PositionCalculationFn fn);
PositionCalculationFn PositionCalculation();

void ResetPositionsWindow();
