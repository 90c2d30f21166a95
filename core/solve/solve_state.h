#pragma once

// State of the numerical solution (Newton loop, grouping, IF search, results).
struct SolveState {
};
