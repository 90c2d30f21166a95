#pragma once

struct CoreState;

// The minimum of the document's objective (constrained: under its constraints), found by the
// route the settings choose, after the command has written its files (base.SJC, base.KTK):
//   direct   trust-region Newton steps ('O') or interior-point steps ('K') on the document's
//            own objective, with the exact gradient and Hessian built once as code;
//   rewrite  Newton's method on the stationarity equations the command wrote to base.SJC.
// Either way the point reached is judged by the same tests (core/numeric/optimality.h) and the
// run is solved only when it is a minimum; otherwise the console says what failed. Returns
// whether it was.
bool MinimizeDocument(CoreState& s, bool constrained);
