#include "strips/channel_texts.hpp"

#include "state/scales.hpp"
#include "state/text_format.hpp"

namespace veyra {

std::string SourceLetters(const ParameterStore& store, int output) {
  std::string letters;
  for (int k = 0; k < store.InputCount && k < kChannelSlots; ++k)
    if (Routed(store, output, k)) letters += static_cast<char>('A' + k);
  return letters;
}

std::string ReadoutText(const ParameterStore& store, ChannelKind kind, int channel, Readout readout) {
  const bool input = kind == ChannelKind::Input;
  const InputChannel& in = store.Inputs[channel];
  const OutputChannel& out = store.Outputs[channel];
  switch (readout) {
    case Readout::BandCount:
      return Format("%d", input ? CountActiveBands(in.Bands) : CountActiveBands(out.Bands));
    case Readout::Delay:
      return DelayNumberText(static_cast<int>(input ? in.Delay : out.Delay));
    case Readout::Compressor:
      return input ? ThresholdNumberText(in.Threshold) : std::string();
    case Readout::Limiter:
      return input ? std::string() : ThresholdNumberText(out.Threshold);
    case Readout::MicLine:
      if (!input) return {};
      return in.MicEditorByte == 0 ? "OFF" : GainNumberText(in.MicEditorWord);
    case Readout::Gain:
      return GainNumberText(input ? in.Gain : out.Gain);
    case Readout::GainOrOff: {
      const int code = input ? in.Gain : out.Gain;
      return code == kChannelGainMin ? "OFF" : GainNumberText(code);
    }
    case Readout::Crossover:
      return input ? std::string()
                   : CrossoverShapeText(out.Crossover[kHighPass].Freq, out.Crossover[kLowPass].Freq);
    case Readout::Sources:
      return input ? std::string() : SourceLetters(store, channel);
  }
  return {};
}

}  // namespace veyra
