// The system response of one input: for every output that takes it, the path
// input gain * polarity * EQ * delay times output gain * polarity * EQ *
// crossover * delay, and the complex sum of the paths that are present. The
// dynamics blocks are left out: this is the small-signal view an installer
// aligns with.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "curves/complex_response.hpp"

namespace veyra {

// Why an output contributes nothing to an input's sum.
enum class PathAbsence : uint8_t {
  None,
  NotRouted,  // the output does not take the input
  InputMuted,
  InputOff,  // the input's gain shows OFF
  OutputMuted,
  OutputOff,  // the output's gain shows OFF
};

// A gain code at or below this shows OFF, and passes nothing.
inline constexpr int kGainOffCode = 240;

PathAbsence PathAbsenceOf(const InputChannel& input, const OutputChannel& output, int inputIndex);
// "not routed from input A", "input A muted", "gain OFF" ... (lower case, for
// a sentence such as "OUT 3: muted").
std::string AbsenceText(PathAbsence absence, int inputIndex);

class SystemResponse {
 public:
  // The records of the eight inputs and eight outputs; they must outlive the
  // object. Nothing is computed until Select.
  void Attach(const InputChannel* inputs, const OutputChannel* outputs);

  // The input (0..7) and the outputs considered (bit k = output k); computes
  // everything from scratch.
  void Select(int input, uint8_t outputMask);
  void ComputeAll();
  // After a change of the input's records, or of one output's: recomputes
  // only that channel's chain, then the paths and the sum.
  void InputChanged();
  void OutputChanged(int output);

  int Input() const { return input_; }
  uint8_t OutputMask() const { return mask_; }
  bool Considered(int output) const {
    return output >= 0 && output < kChannelSlots && (mask_ >> output & 1) != 0;
  }
  // An output that is considered and not absent.
  bool Present(int output) const { return Considered(output) && absence_[Slot(output)] == PathAbsence::None; }
  PathAbsence Absence(int output) const { return absence_[Slot(output)]; }
  int PresentCount() const;

  const ComplexArray& Path(int output) const { return paths_[Slot(output)]; }
  const ComplexArray& Sum() const { return sum_; }

 private:
  static size_t Slot(int channel) {
    return static_cast<size_t>(channel >= 0 && channel < kChannelSlots ? channel : 0);
  }
  void ComputeOutput(int output);
  void ComputePaths();

  const InputChannel* inputs_ = nullptr;
  const OutputChannel* outputs_ = nullptr;
  int input_ = 0;
  uint8_t mask_ = 0;
  ComplexArray input_chain_{};
  std::array<ComplexArray, kChannelSlots> output_chains_{};
  std::array<ComplexArray, kChannelSlots> paths_{};
  std::array<PathAbsence, kChannelSlots> absence_{};
  ComplexArray sum_{};
};

}  // namespace veyra
