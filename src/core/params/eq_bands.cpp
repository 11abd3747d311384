#include "params/eq_bands.hpp"

#include <algorithm>
#include <array>
#include <cstring>

#include "link/messages.hpp"
#include "params/param_table.hpp"
#include "state/parameter_store.hpp"
#include "state/scales.hpp"
#include "state/text_format.hpp"

namespace veyra {
namespace {

// Right after the ten band records; nothing else uses these bytes in
// either record (inputs: editor area 100..435; outputs: 100..151, below
// the editor words at 152 and 156).
constexpr size_t kSavedGainOffset = 100;
static_assert(kSavedGainOffset + 4 * kBandRecords <= offsetof(OutputChannel, EqEditorWord));
static_assert(offsetof(InputChannel, EditorArea) == kSavedGainOffset);
static_assert(offsetof(OutputChannel, Reserved100) == kSavedGainOffset);

int ClampBand(int band) {
  return std::clamp(band, 1, kBandRecords);
}

void WriteSlot(ParameterStore& store, ChannelKind kind, int channel, int band, uint32_t value) {
  const FieldSpan field = SavedGainField(kind, band);
  std::memcpy(RecordBytes(store, kind, channel).data() + field.Offset, &value, sizeof value);
}

}  // namespace

EqBand& BandRecord(ParameterStore& store, ChannelKind kind, int channel, int band) {
  return WithChannel(store, kind, channel, [band](auto& record) -> EqBand& { return record.Bands[ClampBand(band) - 1]; });
}

const EqBand& BandRecord(const ParameterStore& store, ChannelKind kind, int channel, int band) {
  return WithChannel(store, kind, channel,
                     [band](const auto& record) -> const EqBand& { return record.Bands[ClampBand(band) - 1]; });
}

uint8_t BandGroup(ChannelKind kind, int band) {
  return kind == ChannelKind::Input ? InputGroup::Band(band) : OutputGroup::Band(band);
}

const std::vector<FieldSpan>& BandLinkFields(ChannelKind kind, int band) {
  // The gain's descriptor carries the band's linked fields.
  static const auto fields = [] {
    std::array<std::array<std::vector<FieldSpan>, kEditorBands>, 2> all;
    for (const ChannelKind k : {ChannelKind::Input, ChannelKind::Output})
      for (int b = 1; b <= kEditorBands; ++b)
        all[static_cast<size_t>(k)][static_cast<size_t>(b - 1)] = FindParam(k, Format("eq%d.gain", b))->LinkFields;
    return all;
  }();
  return fields[static_cast<size_t>(kind)][static_cast<size_t>(std::clamp(band, 1, kEditorBands) - 1)];
}

int ShelfLimitedFrequency(int type, int hertz) {
  if (type == static_cast<int>(EqType::LowShelf)) return std::min(hertz, kShelfSplitFrequency);
  if (type == static_cast<int>(EqType::HighShelf)) return std::max(hertz, kShelfSplitFrequency);
  return hertz;
}

FieldSpan SavedGainField(ChannelKind, int band) {
  return {kSavedGainOffset + 4 * static_cast<size_t>(ClampBand(band) - 1), 4};
}

int SavedGain(const ParameterStore& store, ChannelKind kind, int channel, int band) {
  uint32_t value = 0;
  const FieldSpan field = SavedGainField(kind, band);
  WithChannel(store, kind, channel, [&](const auto& record) {
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(&record) + field.Offset, sizeof value);
  });
  return value > static_cast<uint32_t>(kEqGainMax) ? -1 : static_cast<int>(value);
}

bool BandBypassed(const ParameterStore& store, ChannelKind kind, int channel, int band) {
  // A gain set anew since (a slider, a typed value, a linked copy) ends the
  // bypass: the band is audible again and BYPASS saves that gain next time.
  const int saved = SavedGain(store, kind, channel, band);
  return saved >= kEqGainMin && saved <= kEqGainMax && saved != kGainZero &&
         BandRecord(store, kind, channel, band).Gain == kGainZero;
}

void BypassBand(ParameterStore& store, ChannelKind kind, int channel, int band) {
  if (BandBypassed(store, kind, channel, band)) return;
  EqBand& record = BandRecord(store, kind, channel, band);
  WriteSlot(store, kind, channel, band, std::clamp<int>(record.Gain, kEqGainMin, kEqGainMax));
  record.Gain = kGainZero;
}

void RestoreBand(ParameterStore& store, ChannelKind kind, int channel, int band) {
  if (!BandBypassed(store, kind, channel, band)) return;
  BandRecord(store, kind, channel, band).Gain = static_cast<uint16_t>(SavedGain(store, kind, channel, band));
  WriteSlot(store, kind, channel, band, kGainZero);
}

void ClearBypass(ParameterStore& store, ChannelKind kind, int channel, int band) {
  if (SavedGain(store, kind, channel, band) != kGainZero) WriteSlot(store, kind, channel, band, kGainZero);
}

void ResetBand(ParameterStore& store, ChannelKind kind, int channel, int band) {
  EqBand& record = BandRecord(store, kind, channel, band);
  record.Gain = kGainZero;
  record.Width = kResetWidth;
  record.Type = static_cast<uint8_t>(EqType::Peaking);
  record.ShelfSlope = 0;
  ClearBypass(store, kind, channel, band);
}

void SetBandType(ParameterStore& store, ChannelKind kind, int channel, int band, int type) {
  EqBand& record = BandRecord(store, kind, channel, band);
  record.Type = static_cast<uint8_t>(std::clamp(type, 0, 2));
  record.BandOff = 0;
  record.Freq = static_cast<uint16_t>(ShelfLimitedFrequency(record.Type, record.Freq));
}

}  // namespace veyra
