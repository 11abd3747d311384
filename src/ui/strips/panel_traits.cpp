#include "strips/panel_traits.hpp"

#include <array>

namespace veyra {
namespace {

constexpr BlockTraits kInputStripBlocks[] = {
    {"MIC", 1008, WindowKind::MicLineEditor, Readout::MicLine},
    {"GAIN", 1009, WindowKind::InputGainEditor, Readout::Gain},
    {"EQ", 1000, WindowKind::InputEqEditor, Readout::BandCount},
    {"DLY", 1001, WindowKind::DelayEditor, Readout::Delay},
    {"COMP", 1005, WindowKind::CompressorEditor, Readout::Compressor},
};
constexpr BlockTraits kOutputStripBlocks[] = {
    {"EQ", 1000, WindowKind::OutputEqEditor, Readout::BandCount},
    {"XOVR", 1009, WindowKind::OutputEqEditor, Readout::Crossover},
    {"DLY", 1001, WindowKind::DelayEditor, Readout::Delay},
    {"LIMIT", 1008, WindowKind::LimiterEditor, Readout::Limiter},
    {"MIX", 1018, std::nullopt, Readout::Sources},
    {"GAIN", 1019, WindowKind::OutputGainEditor, Readout::Gain},
};
constexpr BlockTraits kInputRowBlocks[] = {
    {"GAIN", 1268, WindowKind::InputGainEditor, Readout::GainOrOff},
    {"EQ", 1269, WindowKind::InputEqEditor, Readout::BandCount},
    {"DLY", 1270, WindowKind::DelayEditor, Readout::Delay},
    {"MIC", 1271, WindowKind::MicLineEditor, Readout::MicLine},
    {"COMP", 1272, WindowKind::CompressorEditor, Readout::Compressor},
};
constexpr BlockTraits kOutputRowBlocks[] = {
    {"GAIN", 1268, WindowKind::OutputGainEditor, Readout::GainOrOff},
    {"EQ", 1269, WindowKind::OutputEqEditor, Readout::BandCount},
    {"DLY", 1270, WindowKind::DelayEditor, Readout::Delay},
    {"LIMIT", 1271, WindowKind::LimiterEditor, Readout::Limiter},
    {"XOVR", 1272, WindowKind::OutputEqEditor, Readout::Crossover},
    {"MIX", 1273, std::nullopt, Readout::Sources},
};

// The row panels' mute buttons show their state only; their caption stays.
const PanelTraits kInputStrip{
    ChannelKind::Input, false,        kInputStripBlocks, "POL+", "POL-", "MUTE", "MUTED",
    "Output Select",    "INPUTGROUP", "INPUTS"};
const PanelTraits kOutputStrip{
    ChannelKind::Output, false,         kOutputStripBlocks, "POL+", "POL-", "MUTE", "MUTED",
    "Input Select",      "OUTPUTFROUP", "OUTPUTS"};
const PanelTraits kInputRow{ChannelKind::Input, true, kInputRowBlocks, "POL+", "POL-", "MUTE", "MUTE",
                            "OUT SEL",          "",   "INPUT"};
const PanelTraits kOutputRow{
    ChannelKind::Output, true, kOutputRowBlocks, "POL +", "POL -", "MUTE", "MUTE", "IN SEL", "", "OUTPUT"};

constexpr std::array<QRgb, 8> kInputColours{qRgb(255, 51, 51), qRgb(153, 204, 204), qRgb(255, 255, 255),
                                            qRgb(0, 153, 204), qRgb(204, 51, 153),  qRgb(255, 255, 0),
                                            qRgb(125, 128, 0), qRgb(0, 0, 255)};

}  // namespace

const PanelTraits& InputStripTraits() {
  return kInputStrip;
}
const PanelTraits& OutputStripTraits() {
  return kOutputStrip;
}
const PanelTraits& InputRowTraits() {
  return kInputRow;
}
const PanelTraits& OutputRowTraits() {
  return kOutputRow;
}
const PanelTraits& StripTraits(ChannelKind kind) {
  return kind == ChannelKind::Input ? kInputStrip : kOutputStrip;
}
const PanelTraits& RowTraits(ChannelKind kind) {
  return kind == ChannelKind::Input ? kInputRow : kOutputRow;
}

QString ChannelCaption(ChannelKind kind, int channel) {
  return kind == ChannelKind::Input ? QString(QChar('A' + channel)) : QString::number(channel + 1);
}

QString RoutingCaption(ChannelKind kind, int button) {
  return ChannelCaption(kind == ChannelKind::Input ? ChannelKind::Output : ChannelKind::Input, button);
}

QColor InputColour(int input) {
  return QColor(kInputColours[static_cast<size_t>(input) % kInputColours.size()]);
}

}  // namespace veyra
