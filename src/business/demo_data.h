// The demonstration database offered on an empty start: three groups, sixteen goods, five
// contractors (identifiers 2 to 6; 1 is the user's own firm) and four transactions with their
// positions, stock and totals, as a new user would enter them.
#pragma once

// Adds the demonstration records to the open, empty tables, all locked for writing meanwhile.
// The first failure stops; what was added stays. 0 or -1.
int CreateDemoDatabase();
