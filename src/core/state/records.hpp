// Fixed-layout device records. These layouts are also the layouts of the
// settings and preset files, so every size and landmark offset is pinned by a
// static_assert. All multi-byte fields are little-endian on the wire and in the
// files; the static_assert below keeps this code on little-endian hosts.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace veyra {

static_assert(std::endian::native == std::endian::little,
              "records are stored and filed in little-endian byte order");

inline constexpr int kChannelSlots = 8;   // records per kind, whatever the model
inline constexpr int kPresetCount = 30;   // stored programs 1..30
inline constexpr int kBandRecords = 10;   // EQ band records per channel
inline constexpr int kNameBytes = 8;      // channel name characters (device encoding)
inline constexpr int kPresetNameBytes = 16;
inline constexpr int kGroupNameBytes = 16;

struct EqBand {
  uint16_t Freq;       // Hz
  uint16_t Gain;       // 0.1 dB steps, 600 = 0 dB
  uint16_t Width;      // octaves = 0.05 + 0.01 * code
  uint8_t BandOff;     // 1 = band switched off in the response curves; never sent
  uint8_t ShelfSlope;  // 0 = 6 dB/oct, 1 = 12 dB/oct
  uint8_t Type;        // 0 peaking, 1 low shelf, 2 high shelf
  uint8_t Reserved9;
};
static_assert(sizeof(EqBand) == 10);
static_assert(offsetof(EqBand, Gain) == 2 && offsetof(EqBand, Width) == 4);
static_assert(offsetof(EqBand, BandOff) == 6 && offsetof(EqBand, ShelfSlope) == 7);
static_assert(offsetof(EqBand, Type) == 8);

// A crossover or input filter section as it travels: frequency, family, slope.
struct FilterSection {
  uint16_t Freq;
  uint8_t CrossoverType;   // 0 L-R, 1 Bessel, 2 Butterworth
  uint8_t CrossoverSlope;  // 0..6 = 12..48 dB/oct
};
static_assert(sizeof(FilterSection) == 4);

struct InputChannel {
  EqBand Bands[kBandRecords];  // bands 1..8 travel; 9 and 10 belong to the editor
  uint8_t EditorArea[336];     // editor-side and reserved, filed, never sent
  uint32_t EqEditorWord;       // band count written by the main window refresh
  uint8_t MicEditorByte;
  uint8_t Reserved441;
  uint16_t MicEditorWord;
  uint8_t Reserved444[4];
  uint32_t GroupNumber;  // 0 = no group
  uint8_t Mute;          // 1 = signal passes, 0 = muted
  uint8_t Polarity;      // non-zero = inverted
  uint16_t Gain;
  uint16_t Delay;
  uint16_t LevelExtra;
  FilterSection InputFilter[2];
  uint8_t NoiseGate[8];  // byte 6 is the threshold
  uint8_t InputMix[8];   // one flag per output 1..8
  uint8_t MicEditorLevels[8];
  uint16_t InputGroup4Words[3];
  uint8_t InputGroup4Bytes[2];
  uint16_t Threshold;  // compressor
  uint16_t Attack;
  uint16_t Release;
  uint8_t Reserved506[2];
  uint16_t Ratio;  // only the low byte travels
  char Name[kNameBytes + 1];
  uint8_t Reserved519;
};
static_assert(sizeof(InputChannel) == 520);
static_assert(offsetof(InputChannel, EditorArea) == 100);
static_assert(offsetof(InputChannel, EqEditorWord) == 436);
static_assert(offsetof(InputChannel, MicEditorByte) == 440);
static_assert(offsetof(InputChannel, MicEditorWord) == 442);
static_assert(offsetof(InputChannel, GroupNumber) == 448);
static_assert(offsetof(InputChannel, Mute) == 452);
static_assert(offsetof(InputChannel, Polarity) == 453);
static_assert(offsetof(InputChannel, Gain) == 454);
static_assert(offsetof(InputChannel, Delay) == 456);
static_assert(offsetof(InputChannel, LevelExtra) == 458);
static_assert(offsetof(InputChannel, InputFilter) == 460);
static_assert(offsetof(InputChannel, NoiseGate) == 468);
static_assert(offsetof(InputChannel, InputMix) == 476);
static_assert(offsetof(InputChannel, MicEditorLevels) == 484);
static_assert(offsetof(InputChannel, InputGroup4Words) == 492);
static_assert(offsetof(InputChannel, InputGroup4Bytes) == 498);
static_assert(offsetof(InputChannel, Threshold) == 500);
static_assert(offsetof(InputChannel, Attack) == 502);
static_assert(offsetof(InputChannel, Release) == 504);
static_assert(offsetof(InputChannel, Ratio) == 508);
static_assert(offsetof(InputChannel, Name) == 510);

inline constexpr int kNoiseGateThresholdByte = 6;

struct OutputChannel {
  EqBand Bands[kBandRecords];  // 1..8 travel singly, 9 only in whole-channel messages
  uint8_t Reserved100[52];
  uint32_t EqEditorWord;  // offset 152: band count written by the main window refresh
  uint32_t EditorWord156;
  uint8_t Reserved160[56];
  uint32_t EditorWord216;
  uint32_t EditorWord220;
  uint8_t Mute;
  uint8_t Polarity;
  uint8_t Reserved226[2];
  uint16_t Gain;
  uint8_t Reserved230[2];
  uint32_t Delay;  // only the low 16 bits travel
  uint16_t RoutingScratch;
  uint8_t Reserved238[2];
  uint32_t GroupNumber;
  uint8_t Bytes244[8];  // set to 1 by the store initialisation, otherwise carried
  uint8_t Bytes252[8];  // set to 0 by the store initialisation
  uint8_t Reserved260[8];
  uint8_t Routing[8];  // one flag per input A..H; A..D travel
  uint8_t Byte276;     // reset to 0 by the factory defaults
  uint8_t Reserved277;
  FilterSection Crossover[2];  // high-pass, low-pass
  uint16_t Threshold;          // limiter
  uint16_t Attack;
  uint16_t Release;
  uint8_t Reserved292[2];
  uint16_t Ratio;  // kept, not sent
  uint16_t OutputGroup3Words[3];
  uint8_t OutputGroup3Byte;
  uint8_t Reserved303;
  char Name[kNameBytes + 1];
  uint8_t Reserved313[3];
};
static_assert(sizeof(OutputChannel) == 316);
static_assert(offsetof(OutputChannel, EqEditorWord) == 152);
static_assert(offsetof(OutputChannel, EditorWord156) == 156);
static_assert(offsetof(OutputChannel, EditorWord216) == 216);
static_assert(offsetof(OutputChannel, EditorWord220) == 220);
static_assert(offsetof(OutputChannel, Mute) == 224);
static_assert(offsetof(OutputChannel, Polarity) == 225);
static_assert(offsetof(OutputChannel, Gain) == 228);
static_assert(offsetof(OutputChannel, Delay) == 232);
static_assert(offsetof(OutputChannel, RoutingScratch) == 236);
static_assert(offsetof(OutputChannel, GroupNumber) == 240);
static_assert(offsetof(OutputChannel, Bytes244) == 244);
static_assert(offsetof(OutputChannel, Bytes252) == 252);
static_assert(offsetof(OutputChannel, Routing) == 268);
static_assert(offsetof(OutputChannel, Byte276) == 276);
static_assert(offsetof(OutputChannel, Crossover) == 278);
static_assert(offsetof(OutputChannel, Threshold) == 286);
static_assert(offsetof(OutputChannel, Attack) == 288);
static_assert(offsetof(OutputChannel, Release) == 290);
static_assert(offsetof(OutputChannel, Ratio) == 294);
static_assert(offsetof(OutputChannel, OutputGroup3Words) == 296);
static_assert(offsetof(OutputChannel, OutputGroup3Byte) == 302);
static_assert(offsetof(OutputChannel, Name) == 304);

inline constexpr int kHighPass = 0;
inline constexpr int kLowPass = 1;

struct PresetSlot {
  InputChannel Inputs[kChannelSlots];
  OutputChannel Outputs[kChannelSlots];
  char Name[kPresetNameBytes];
};
static_assert(sizeof(PresetSlot) == 6704);
static_assert(offsetof(PresetSlot, Outputs) == 4160);
static_assert(offsetof(PresetSlot, Name) == 6688);

// Keeps one model's live records while another model is selected. Same layout
// as a program so that the byte copies line up.
struct ModelBank {
  InputChannel Inputs[kChannelSlots];
  OutputChannel Outputs[kChannelSlots];
  char Unused[kPresetNameBytes];
};
static_assert(sizeof(ModelBank) == sizeof(PresetSlot));

struct SystemSettings {
  uint8_t Reserved0;
  uint8_t InputMeters[8];
  uint8_t OutputMeters[8];
  uint8_t Reserved17;
  char VersionText1[80];
  char VersionText2[80];
  char ModelCode[8];
  uint8_t Reserved186[4];
  char LockPassword[6];
  uint8_t Reserved196[6];
  uint8_t LockState;  // 0 = unlocked
  uint8_t DeviceIdSetting;
  uint8_t BackLight;
  uint8_t Temperature;  // degrees Celsius
  uint8_t Reserved206[18];
  uint8_t CurrentProgram;
  uint8_t Reserved225;
};
static_assert(sizeof(SystemSettings) == 226);
static_assert(offsetof(SystemSettings, InputMeters) == 1);
static_assert(offsetof(SystemSettings, OutputMeters) == 9);
static_assert(offsetof(SystemSettings, VersionText1) == 18);
static_assert(offsetof(SystemSettings, VersionText2) == 98);
static_assert(offsetof(SystemSettings, ModelCode) == 178);
static_assert(offsetof(SystemSettings, LockPassword) == 190);
static_assert(offsetof(SystemSettings, LockState) == 202);
static_assert(offsetof(SystemSettings, DeviceIdSetting) == 203);
static_assert(offsetof(SystemSettings, BackLight) == 204);
static_assert(offsetof(SystemSettings, Temperature) == 205);
static_assert(offsetof(SystemSettings, CurrentProgram) == 224);

// A group of channels of one kind; input and output groups share the layout,
// bytes 25 and 26 carry a different flag for each kind.
struct ChannelGroup {
  uint32_t Word0;  // reserved; the store initialisation writes 9 (inputs) or the group number (outputs)
  char Name[kGroupNameBytes];
  uint8_t LinkEq;
  uint8_t LinkMute;
  uint8_t LinkGain;
  uint8_t LinkPolarity;
  uint8_t LinkDelay;
  union {
    uint8_t LinkMic;  // input groups
    uint8_t LinkMix;  // output groups
  };
  union {
    uint8_t LinkCompressor;  // input groups
    uint8_t LinkLimiter;     // output groups
  };
  uint8_t LinkCrossover;  // output groups only
};
static_assert(sizeof(ChannelGroup) == 28);
static_assert(offsetof(ChannelGroup, Name) == 4);
static_assert(offsetof(ChannelGroup, LinkEq) == 20);
static_assert(offsetof(ChannelGroup, LinkMute) == 21);
static_assert(offsetof(ChannelGroup, LinkGain) == 22);
static_assert(offsetof(ChannelGroup, LinkPolarity) == 23);
static_assert(offsetof(ChannelGroup, LinkDelay) == 24);
static_assert(offsetof(ChannelGroup, LinkMix) == 25);
static_assert(offsetof(ChannelGroup, LinkLimiter) == 26);
static_assert(offsetof(ChannelGroup, LinkCrossover) == 27);

// The live part of the settings file: channels, system block and groups.
inline constexpr size_t kSettingsFileBytes = sizeof(InputChannel) * kChannelSlots +
                                             sizeof(OutputChannel) * kChannelSlots +
                                             sizeof(SystemSettings) + sizeof(ChannelGroup) * 16;
static_assert(kSettingsFileBytes == 7362);

}  // namespace veyra
