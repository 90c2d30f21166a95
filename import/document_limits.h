#pragma once

#include <string>

#include "import/power_flow_model.h"

// What the core can take of a power-flow document, checked before the document is written: a
// document that a run refuses, or that does not read back as written, is no import at all.

// Whether every value of the model lies within the values the solver computes with (magnitudes
// below its largest value; a stored value the document leaves out counts too, as a file holding
// one is no sound case) and the capacity a run of its document needs within the largest there
// is. False with the reason in error.
bool CheckModelFitsRun(const PowerFlowModel& model, std::string& error);

// Whether a run reads the written document whole (its size bound) and compiles every one of its
// equations (the code one equation may take). False with the reason in error.
bool CheckDocumentFitsRun(const std::string& document, std::string& error);
