#include "files/filter_text.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "params/eq_bands.hpp"
#include "state/parameter_store.hpp"
#include "state/scales.hpp"
#include "state/text_format.hpp"

namespace veyra {
namespace {

enum class Shape { Peaking, LowShelf, HighShelf };

// One active filter as the file states it.
struct TextFilter {
  int Line = 0;
  Shape Kind = Shape::Peaking;
  double Hz = 0;
  double GainDb = 0;
  std::optional<double> Q;
  std::optional<double> Octaves;   // "BW Oct N" instead of a Q
  std::optional<double> SlopeDb;   // "LS 6dB", "LSC 12 dB"
};

bool Same(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && Same(text.substr(0, prefix.size()), prefix);
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    const size_t start = i;
    while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (i > start) words.push_back(s.substr(start, i - start));
  }
  return words;
}

// A whole word that is a finite decimal number ("+3.0", "-1.90", "321").
std::optional<double> Number(std::string_view word) {
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  if (word.empty() || word.front() == '+') return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// "12dB" or "12" followed by "dB": a shelf's slope after its type.
std::optional<double> SlopeAt(const std::vector<std::string_view>& words, size_t& i) {
  if (i >= words.size()) return std::nullopt;
  std::string_view word = words[i];
  if (word.size() > 2 && Same(word.substr(word.size() - 2), "dB")) {
    if (const auto n = Number(word.substr(0, word.size() - 2))) {
      ++i;
      return n;
    }
  }
  if (i + 1 < words.size() && Same(words[i + 1], "dB")) {
    if (const auto n = Number(word)) {
      i += 2;
      return n;
    }
  }
  return std::nullopt;
}

// "Filter 3:" / "Filter:" at the start of a line: the text after the colon.
std::optional<std::string_view> FilterBody(std::string_view line) {
  if (!StartsWith(line, "Filter")) return std::nullopt;
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view number = Trim(line.substr(6, colon - 6));
  if (!number.empty() && !std::all_of(number.begin(), number.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
    return std::nullopt;
  return line.substr(colon + 1);
}

struct LineResult {
  std::optional<TextFilter> Filter;  // none: a disabled or empty filter
  std::string Error;
};

LineResult ReadFilterLine(std::string_view body, int line, std::string_view whole) {
  const std::string unreadable = Format("line %d: cannot read \"%s\"", line, std::string(Trim(whole)).c_str());
  const std::vector<std::string_view> words = Words(body);
  if (words.empty()) return {};  // "Filter 5:" with nothing set
  size_t i = 0;
  if (Same(words[0], "OFF")) return {};
  if (!Same(words[0], "ON")) return {.Error = unreadable};
  ++i;
  if (i >= words.size() || Same(words[i], "None")) return {};
  TextFilter filter;
  filter.Line = line;
  const std::string_view type = words[i++];
  if (Same(type, "PK") || Same(type, "PEQ")) {
    filter.Kind = Shape::Peaking;
  } else if (Same(type, "LS") || Same(type, "LSC") || Same(type, "LSQ") || Same(type, "HS") ||
             Same(type, "HSC") || Same(type, "HSQ")) {
    filter.Kind = StartsWith(type, "L") ? Shape::LowShelf : Shape::HighShelf;
    filter.SlopeDb = SlopeAt(words, i);
  } else {
    return {.Error = Format("line %d: the processor has no \"%s\" filter (it has peaking and shelving bands)", line,
                            std::string(type).c_str())};
  }
  bool haveFc = false, haveGain = false;
  while (i < words.size()) {
    const std::string_view key = words[i++];
    if (Same(key, "BW") && i < words.size() && Same(words[i], "Oct")) ++i;
    const std::optional<double> value = i < words.size() ? Number(words[i]) : std::nullopt;
    if (!value) return {.Error = unreadable};
    ++i;
    const std::string_view unit = i < words.size() ? words[i] : std::string_view();
    if (Same(key, "Fc")) {
      if (Same(unit, "Hz")) ++i;
      filter.Hz = *value;
      haveFc = true;
    } else if (Same(key, "Gain")) {
      if (Same(unit, "dB")) ++i;
      filter.GainDb = *value;
      haveGain = true;
    } else if (Same(key, "Q")) {
      if (*value <= 0) return {.Error = unreadable};
      filter.Q = value;
    } else if (Same(key, "BW")) {
      if (*value <= 0) return {.Error = unreadable};
      filter.Octaves = value;
    } else {
      return {.Error = unreadable};
    }
  }
  // A peaking filter needs its width; every filter its frequency and gain.
  if (!haveFc || !haveGain || (filter.Kind == Shape::Peaking && !filter.Q && !filter.Octaves))
    return {.Error = unreadable};
  return {.Filter = filter};
}

// The nearest shelf slope code: an explicit slope, or the slope a Q gives a
// second-order shelf (S = 1 is 12 dB per octave; the slope follows S), or
// 12 dB per octave for a shelf that states neither.
int ShelfSlopeOf(const TextFilter& f, std::vector<std::string>& notices) {
  double db = 12;
  if (f.SlopeDb) {
    db = *f.SlopeDb;
    if (db != 6 && db != 12)
      notices.push_back(Format("line %d: shelf slope %g dB/oct set to %d dB/oct", f.Line, db, db < 9 ? 6 : 12));
  } else if (f.Q) {
    const double a = std::pow(10.0, f.GainDb / 40);
    const double denominator = (1 / (*f.Q * *f.Q) - 2) / (a + 1 / a) + 1;
    db = denominator > 0 ? 12 / denominator : 12;
  }
  return db < 9 ? 0 : 1;
}

int Clamped(int value, int low, int high, const char* what, const char* unit, int line, std::vector<std::string>& notices,
            double shown) {
  const int clamped = std::clamp(value, low, high);
  if (clamped != value) {
    notices.push_back(Format("line %d: %s %g %s outside the editor's range, set to the %s", line, what, shown, unit,
                             value < low ? "lowest" : "highest"));
  }
  return clamped;
}

ImportedBand BandOf(const TextFilter& f, std::vector<std::string>& notices) {
  ImportedBand band;
  const long hz = std::lround(std::clamp(f.Hz, -1e9, 1e9));
  band.Freq = Clamped(static_cast<int>(hz), kFrequencyMin, kFrequencyMax, "frequency", "Hz", f.Line, notices, f.Hz);
  const long gain = std::lround(std::clamp(f.GainDb, -1e6, 1e6) * 10);
  band.Gain = Clamped(kGainZero + static_cast<int>(gain), kEqGainMin, kEqGainMax, "gain", "dB", f.Line, notices,
                      f.GainDb);
  if (f.Kind == Shape::Peaking) {
    const double octaves = f.Octaves ? *f.Octaves : 2 / std::log(2.0) * std::asinh(1 / (2 * *f.Q));
    const long code = std::lround(std::clamp((octaves - 0.05) * 100, -1e6, 1e6));
    band.Width = Clamped(static_cast<int>(code), 0, kWidthMax, "width", "oct", f.Line, notices, octaves);
    return band;
  }
  band.Type = static_cast<int>(f.Kind == Shape::LowShelf ? EqType::LowShelf : EqType::HighShelf);
  band.ShelfSlope = ShelfSlopeOf(f, notices);
  const int limited = ShelfLimitedFrequency(band.Type, band.Freq);
  if (limited != band.Freq) {
    notices.push_back(Format("line %d: %s shelf at %d Hz moved to %d Hz, the %s", f.Line,
                             band.Type == 1 ? "low" : "high", band.Freq, limited,
                             band.Type == 1 ? "highest a low shelf can have" : "lowest a high shelf can have"));
    band.Freq = limited;
  }
  return band;
}

// The filter as its program designs it: a peak with its Q (or the Q of its
// bandwidth), a shelf with its Q, first order for a stated slope below 9 dB,
// else second order with Q 0.7071 when it states no Q.
TargetFilter TargetOf(const TextFilter& f) {
  TargetFilter t;
  t.Hz = f.Hz;
  t.GainDb = f.GainDb;
  if (f.Kind == Shape::Peaking) {
    t.Q = f.Q ? *f.Q : 1 / (2 * std::sinh(std::log(2.0) / 2 * *f.Octaves));
    return t;
  }
  t.Shape = f.Kind == Shape::LowShelf ? TargetShape::LowShelf : TargetShape::HighShelf;
  t.FirstOrder = f.SlopeDb && *f.SlopeDb < 9;
  if (f.Q && !t.FirstOrder) t.Q = *f.Q;
  return t;
}

}  // namespace

int WidthCodeFromQ(double q) {
  if (!(q > 0)) return kWidthMax;
  const double octaves = 2 / std::log(2.0) * std::asinh(1 / (2 * q));
  return static_cast<int>(std::clamp<long>(std::lround((octaves - 0.05) * 100), 0, kWidthMax));
}

double QFromWidthCode(int code) {
  const double octaves = WidthOctaves(code);
  return 1 / (2 * std::sinh(std::log(2.0) / 2 * octaves));
}

EqImport ReadFilterText(std::string_view text) {
  EqImport result;
  std::vector<TextFilter> filters;
  bool inFilters = false;
  int line = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++line;
    if (line == 1 && raw.substr(0, 3) == "\xEF\xBB\xBF") raw.remove_prefix(3);  // a byte-order mark
    const std::string_view trimmed = Trim(raw);
    if (trimmed.empty() || trimmed.front() == '#' || trimmed.front() == ';') continue;
    if (StartsWith(trimmed, "Preamp:")) {
      inFilters = true;
      const std::vector<std::string_view> words = Words(trimmed.substr(7));
      const std::optional<double> db = words.empty() ? std::nullopt : Number(words[0]);
      if (!db || words.size() > 2 || (words.size() == 2 && !Same(words[1], "dB"))) {
        result.Error = Format("line %d: cannot read \"%s\"", line, std::string(trimmed).c_str());
        return result;
      }
      if (*db != 0)
        result.Notices.push_back(
            Format("line %d: preamp %0.1f dB not imported: set it with the channel gain", line, *db));
      continue;
    }
    const std::optional<std::string_view> body = FilterBody(trimmed);
    if (!body) {
      if (!inFilters) continue;  // the header: program, date, notes
      result.Error = Format("line %d: cannot read \"%s\"", line, std::string(trimmed).c_str());
      return result;
    }
    inFilters = true;
    LineResult read = ReadFilterLine(*body, line, trimmed);
    if (!read.Error.empty()) {
      result.Error = std::move(read.Error);
      return result;
    }
    if (read.Filter) filters.push_back(*read.Filter);
  }
  if (!inFilters) {
    result.Error = "no filter lines (\"Filter 1: ON PK Fc 100 Hz Gain -3.0 dB Q 1.41\") in the file";
    return result;
  }
  for (const TextFilter& f : filters) {
    result.Filters.push_back({f.Line, TargetOf(f)});
    if (result.Bands.size() < static_cast<size_t>(kEditorBands))
      result.Bands.push_back(BandOf(f, result.CopyNotices));
  }
  return result;
}

std::string LiteralRefusal(const EqImport& import) {
  if (import.Filters.size() <= static_cast<size_t>(kEditorBands)) return {};
  return Format("line %d: more than %d active filters; the EQ has %d bands",
                import.Filters[static_cast<size_t>(kEditorBands)].Line, kEditorBands, kEditorBands);
}

void ApplyEqImport(ParameterStore& store, ChannelKind kind, int channel,
                   const std::vector<ImportedBand>& bands) {
  for (int b = 1; b <= kEditorBands; ++b) {
    ResetBand(store, kind, channel, b);
    if (static_cast<size_t>(b) > bands.size()) continue;
    const ImportedBand& in = bands[static_cast<size_t>(b - 1)];
    SetBandType(store, kind, channel, b, in.Type);
    EqBand& band = BandRecord(store, kind, channel, b);
    band.Freq = static_cast<uint16_t>(ShelfLimitedFrequency(band.Type, in.Freq));
    band.Gain = static_cast<uint16_t>(in.Gain);
    band.Width = static_cast<uint16_t>(in.Width);
    band.ShelfSlope = static_cast<uint8_t>(in.ShelfSlope);
  }
}

std::string WriteFilterText(const ParameterStore& store, ChannelKind kind, int channel) {
  std::string text;
  for (int b = 1; b <= kEditorBands; ++b) {
    const EqBand& band = BandRecord(store, kind, channel, b);
    const double gain = GainDb(band.Gain);
    if (band.Type == static_cast<int>(EqType::LowShelf) || band.Type == static_cast<int>(EqType::HighShelf)) {
      text += Format("Filter %d: ON %s %ddB Fc %d Hz Gain %0.1f dB\n", b, band.Type == 1 ? "LS" : "HS",
                     ShelfSlopeDbPerOctave(band.ShelfSlope != 0 ? 1 : 0), band.Freq, gain);
    } else {
      text += Format("Filter %d: ON PK Fc %d Hz Gain %0.1f dB Q %0.4f\n", b, band.Freq, gain,
                     QFromWidthCode(band.Width));
    }
  }
  return text;
}

}  // namespace veyra
