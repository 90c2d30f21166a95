#pragma once

struct CoreState;

// Rewrites every equation of the model into a pair of real equations (real part in place,
// imaginary part appended) over two real variables per variable. Returns false, leaving the
// model unchanged, when the result would pass the limits.
bool ConvertComplexToReal(CoreState& s);
