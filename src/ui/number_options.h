// The number format's place in the configuration ("NumDecimalSeparator" and
// "NumThousandSeparator", one-character texts in section "Tamsu"; an empty thousands separator
// switches grouping off) and the dialog "FORMAT LICZB" that changes it. The format itself and
// format_amount are in ui/number_format.h.
#pragma once

// Reads both keys; each present key gives its first character (an empty value gives 0) to
// set_number_format.
void load_number_format();
// Writes both current separators; 0 or -1.
int save_number_format();
// The dialog; on " &Ok " applies and writes both separators and returns 0; -1 when cancelled.
int number_format_options();
