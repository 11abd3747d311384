// Filter text files as measurement programs write them, read into EQ bands
// and written from them:
//
//   the "Filter Settings file" format
//     Filter  1: ON  PK       Fc   321.0 Hz  Gain  -1.90 dB  Q  1.554
//     Filter  2: ON  LS 12dB  Fc   80.00 Hz  Gain   3.00 dB
//     Filter  3: OFF PK ...          Filter  4: ON  None
//   and the one-line-per-filter format
//     Preamp: -4.5 dB
//     Filter: ON PK Fc 100 Hz Gain -3.0 dB Q 1.41
//
// Every active filter is kept as the file's author designed it (the
// response it stands for, curves/target_curve.hpp). The literal copy of the
// first six maps them one to one: peaking filters become PEQ bands, their Q
// turned into the nearest width code (N = 2/ln 2 * asinh(1/(2Q)) octaves);
// shelves (LS, HS, LSC, HSC, LSQ, HSQ, with a "6dB"/"12dB" slope, a Q or
// neither) become LSHLF/HSHLF bands with the nearest slope. Disabled and empty
// filters are skipped. Text before the first filter line is a header and is
// ignored; after it every line must be a filter, the preamp, a comment (# or
// ;) or empty. Lines end in LF or CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "curves/eq_fit.hpp"
#include "groups/channel_kind.hpp"

namespace veyra {

// One band's codes as an import writes them.
using ImportedBand = BandCodes;

// An active filter of the file and the line it is on.
struct ImportedFilter {
  int Line = 0;
  TargetFilter Filter;
};

struct EqImport {
  // Empty unless the file was refused; names the line ("line 7: ...").
  std::string Error;
  std::vector<ImportedFilter> Filters;   // every active filter, in file order
  std::vector<ImportedBand> Bands;       // the literal copy of the first six
  std::vector<std::string> Notices;      // about the file as a whole (the preamp)
  std::vector<std::string> CopyNotices;  // values the literal copy clamped or moved
  bool ok() const { return Error.empty(); }
};

// Reads a filter text file's contents.
EqImport ReadFilterText(std::string_view text);

// Empty when the literal copy holds every active filter, else the refusal
// that names the first filter without a band.
std::string LiteralRefusal(const EqImport& import);

// Writes the bands into bands 1..6 of the channel; the rest are reset (the
// editors' RESET, frequency kept). Saved bypass gains are forgotten.
void ApplyEqImport(ParameterStore& store, ChannelKind kind, int channel, const std::vector<ImportedBand>& bands);

// Bands 1..6 of the channel in the one-line format, one "Filter N:" line per
// band; importing the text gives the same codes.
std::string WriteFilterText(const ParameterStore& store, ChannelKind kind, int channel);

// The width conversions of the import and the export.
int WidthCodeFromQ(double q);
double QFromWidthCode(int code);

}  // namespace veyra
