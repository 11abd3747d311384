// The band operations both EQ editors and the filter import share: RESET, a
// type change, BYPASS through the saved-gain slots, and what a band change
// sends and repeats on linked channels. Qt-free, so the command-line tool
// rewrites settings files with exactly the editors' rules.
#pragma once

#include <cstdint>
#include <vector>

#include "groups/channel_kind.hpp"
#include "groups/copy_to_group.hpp"
#include "state/records.hpp"

namespace veyra {

struct ParameterStore;

inline constexpr int kEditorBands = 6;        // bands 1..6 are edited and imported
inline constexpr int kShelfSplitFrequency = 2000;  // low shelves at most, high shelves at least
inline constexpr int kResetWidth = 25;        // 0.30 octave

// Band 1..10 of a channel.
EqBand& BandRecord(ParameterStore& store, ChannelKind kind, int channel, int band);
const EqBand& BandRecord(const ParameterStore& store, ChannelKind kind, int channel, int band);

// The message group of band 1..8: inputs 7 + b - 1, outputs 5 + b - 1.
uint8_t BandGroup(ChannelKind kind, int band);
// What a linked channel receives of a change of band 1..6 (the parameter
// table's rule: inputs leave the shelf slope out, outputs repeat it).
const std::vector<FieldSpan>& BandLinkFields(ChannelKind kind, int band);

// The frequency a shelf of this type may have (low shelves at most 2000 Hz,
// high shelves at least 2000 Hz); other types keep it.
int ShelfLimitedFrequency(int type, int hertz);

// ---- The saved-gain slots of BYPASS ----------------------------------------
// One 32-bit word per band in the editor-side bytes right after the band
// records, at the same offset in both record kinds: 100 + 4 * (band - 1).
// A slot holds the gain a BYPASS took away; 600 (or any code outside the
// editors' gain range, as in a record that was never edited) means the band
// is not bypassed. A band whose gain is no longer 0 dB (it was set anew) is
// not bypassed either, whatever its slot holds. The slots travel in settings
// and preset files with the record, so a bypass survives saving and loading.
FieldSpan SavedGainField(ChannelKind kind, int band);
int SavedGain(const ParameterStore& store, ChannelKind kind, int channel, int band);
bool BandBypassed(const ParameterStore& store, ChannelKind kind, int channel, int band);

// BYPASS pressed on a band that is not bypassed: its gain goes to the slot
// and the gain becomes 0 dB. Pressed on a bypassed one: the gain comes back
// and the slot holds 600 again.
void BypassBand(ParameterStore& store, ChannelKind kind, int channel, int band);
void RestoreBand(ParameterStore& store, ChannelKind kind, int channel, int band);
// Forgets a saved gain (RESET and an import set the gain anew).
void ClearBypass(ParameterStore& store, ChannelKind kind, int channel, int band);

// RESET: 0 dB, 0.30 octave, peaking, 6 dB slope; the frequency stays.
void ResetBand(ParameterStore& store, ChannelKind kind, int channel, int band);
// A type change: the type, byte 6 cleared, the shelf frequency limit written back.
void SetBandType(ParameterStore& store, ChannelKind kind, int channel, int band, int type);

}  // namespace veyra
