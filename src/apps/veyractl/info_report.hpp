// What info prints about a connected processor, as text or as JSON.
#pragma once

#include <string>

#include "state/parameter_store.hpp"

namespace veyra::ctl {

// Model, the two version texts, device id, lock state, current program and
// the 30 program names; names and texts as UTF-8.
std::string InfoText(const ParameterStore& store);
// The same as one JSON object:
// {"model":"Orvane","versions":["...","..."],"device_id":1,"locked":false,
//  "current_program":1,"programs":["...", ... 30 names]}
std::string InfoJson(const ParameterStore& store);

// A JSON string literal, quotes included.
std::string JsonString(const std::string& utf8);

}  // namespace veyra::ctl
