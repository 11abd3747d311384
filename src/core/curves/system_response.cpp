#include "curves/system_response.hpp"

namespace veyra {

namespace {

std::string InputName(int input) {
  return std::string("input ") + static_cast<char>('A' + input);
}

}  // namespace

PathAbsence PathAbsenceOf(const InputChannel& input, const OutputChannel& output, int inputIndex) {
  if (inputIndex < 0 || inputIndex >= kChannelSlots || output.Routing[inputIndex] == 0)
    return PathAbsence::NotRouted;
  if (input.Mute == 0) return PathAbsence::InputMuted;
  if (input.Gain <= kGainOffCode) return PathAbsence::InputOff;
  if (output.Mute == 0) return PathAbsence::OutputMuted;
  if (output.Gain <= kGainOffCode) return PathAbsence::OutputOff;
  return PathAbsence::None;
}

std::string AbsenceText(PathAbsence absence, int inputIndex) {
  switch (absence) {
    case PathAbsence::None:
      return "present";
    case PathAbsence::NotRouted:
      return "not routed from " + InputName(inputIndex);
    case PathAbsence::InputMuted:
      return InputName(inputIndex) + " muted";
    case PathAbsence::InputOff:
      return InputName(inputIndex) + " gain OFF";
    case PathAbsence::OutputMuted:
      return "muted";
    case PathAbsence::OutputOff:
      return "gain OFF";
  }
  return "absent";
}

void SystemResponse::Attach(const InputChannel* inputs, const OutputChannel* outputs) {
  inputs_ = inputs;
  outputs_ = outputs;
}

void SystemResponse::Select(int input, uint8_t outputMask) {
  input_ = input >= 0 && input < kChannelSlots ? input : 0;
  mask_ = outputMask;
  ComputeAll();
}

int SystemResponse::PresentCount() const {
  int n = 0;
  for (int k = 0; k < kChannelSlots; ++k) n += Present(k) ? 1 : 0;
  return n;
}

void SystemResponse::ComputeAll() {
  if (inputs_ == nullptr || outputs_ == nullptr) return;
  ChainResponse(inputs_[input_], input_chain_);
  for (int k = 0; k < kChannelSlots; ++k) ComputeOutput(k);
  ComputePaths();
}

void SystemResponse::InputChanged() {
  if (inputs_ == nullptr || outputs_ == nullptr) return;
  ChainResponse(inputs_[input_], input_chain_);
  // Mute and gain of the input decide every path.
  for (int k = 0; k < kChannelSlots; ++k)
    absence_[Slot(k)] = PathAbsenceOf(inputs_[input_], outputs_[k], input_);
  ComputePaths();
}

void SystemResponse::OutputChanged(int output) {
  if (inputs_ == nullptr || outputs_ == nullptr || output < 0 || output >= kChannelSlots) return;
  ComputeOutput(output);
  ComputePaths();
}

void SystemResponse::ComputeOutput(int output) {
  const size_t k = Slot(output);
  absence_[k] = PathAbsenceOf(inputs_[input_], outputs_[output], input_);
  // Outputs that are not considered cost nothing.
  if (Considered(output)) ChainResponse(outputs_[output], output_chains_[k]);
}

void SystemResponse::ComputePaths() {
  sum_.fill(0.0);
  for (int k = 0; k < kChannelSlots; ++k) {
    if (!Present(k)) continue;
    ComplexArray& path = paths_[Slot(k)];
    const ComplexArray& out = output_chains_[Slot(k)];
    for (int i = 0; i < kFrequencyPoints; ++i) {
      path[i] = input_chain_[i] * out[i];
      sum_[i] += path[i];
    }
  }
}

}  // namespace veyra
