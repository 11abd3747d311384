// Feeds arbitrary text to the filter text reader. Whatever it accepts holds
// a literal copy of at most six bands of codes within the editors' ranges,
// refused as a copy exactly when more filters are active; the file's response
// and the copy's error are finite numbers; the copy applies to a channel and
// exports to text that reads back to the same bands.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "files/filter_import.hpp"
#include "files/filter_text.hpp"
#include "state/parameter_store.hpp"
#include "state/scales.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const veyra::EqImport import = veyra::ReadFilterText(text);
  if (!import.ok()) {
    Check(import.Bands.empty());
    return 0;
  }
  Check(import.Bands.size() <= 6 && import.Bands.size() == std::min<size_t>(import.Filters.size(), 6));
  Check(veyra::LiteralRefusal(import).empty() == (import.Filters.size() <= 6));
  veyra::ResponseArray target;
  veyra::FileResponse(import, target);
  for (double db : target) Check(std::isfinite(db));
  const veyra::EqImportChoice literal = veyra::LiteralChoice(import);
  Check(std::isfinite(literal.LiteralRmsDb) && literal.LiteralRmsDb >= 0);
  for (const veyra::ImportedBand& band : import.Bands) {
    Check(band.Freq >= veyra::kFrequencyMin && band.Freq <= veyra::kFrequencyMax);
    Check(band.Gain >= veyra::kEqGainMin && band.Gain <= veyra::kEqGainMax);
    Check(band.Width >= 0 && band.Width <= veyra::kWidthMax);
    Check(band.Type >= 0 && band.Type <= 2 && (band.ShelfSlope == 0 || band.ShelfSlope == 1));
  }
  auto store = std::make_unique<veyra::ParameterStore>();
  veyra::InitialiseStore(*store);
  veyra::ApplyEqImport(*store, veyra::ChannelKind::Output, 0, import.Bands);
  const veyra::EqImport again =
      veyra::ReadFilterText(veyra::WriteFilterText(*store, veyra::ChannelKind::Output, 0));
  Check(again.ok() && again.Bands.size() == 6);
  for (size_t i = 0; i < import.Bands.size(); ++i) {
    const veyra::ImportedBand& a = import.Bands[i];
    const veyra::ImportedBand& b = again.Bands[i];
    Check(a.Freq == b.Freq && a.Gain == b.Gain && a.Type == b.Type);
    Check(a.Type == 0 ? a.Width == b.Width : a.ShelfSlope == b.ShelfSlope);
  }
  return 0;
}
