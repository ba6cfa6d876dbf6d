// Finding goods by number and by barcode ("WYSZUKANIE TOWARU"): the typed text is looked up in
// the number or barcode index; the goods that has exactly that text becomes the current record
// of the goods table, and when none has it the user may add one with the text filled in.
#pragma once

// 0 when a goods was found (or added through the form) and is current; -1 otherwise, the goods
// table where it was.
int FindGoodsByNumber();
int FindGoodsByBarcode();
