#pragma once

struct CoreState;

// The advanced operations, selected by a key sequence (the menu "ADVOP"):
//   'A' save the equations with the document's comments and layout    'T' save them alone
//   'I' save them with the current values as starting values          'V', 'X' nothing
//   'S' Jacobians and linearizations (the next key picks one)         'D' differential and
//   'L' list-file operations: 'R' least squares, 'G' one set per row      integral equations
//   'F' filters: 'S' simplify, 'B'/'E' eliminate, 'C' complex to real, 'H' start-system
//       homotopy, 'K'/'L' Lagrangian (to base.KTK / base.SJC), 'N' homotopy transformation
// Saves go to base.SJC unless said otherwise. The Jacobian requested flag is cleared first;
// an operation that needs the symbolic Jacobian and finds none sets it and writes nothing.
// Returns whether the operation did its work: it wrote its file (and, for the eliminations,
// eliminated every variable asked for).
bool AdvancedOperations(CoreState& s, const char* keys);
