// The report's system responses: for every input that feeds two or more
// outputs, the magnitude of each path and of their sum, and the phase.
#pragma once

#include <memory>

#include "report/report_flow.hpp"
#include "state/parameter_store.hpp"

namespace veyra::report {

// The inputs (of the first `inputs`) whose sums the report draws.
std::vector<int> SystemInputs(const ParameterStore& records, int inputs, int outputs);

// One page per such input, under the heading numbered `number`; nothing when
// no input feeds two outputs. records must hold the channels in its live records.
void PlaceSystemResponses(Flow& flow, const std::shared_ptr<ParameterStore>& records, int inputs, int outputs,
                          int number);

}  // namespace veyra::report
