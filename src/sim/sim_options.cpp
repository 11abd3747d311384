#include "sim/sim_options.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "state/device_text.hpp"
#include "state/models.hpp"
#include "state/records.hpp"
#include "state/text_format.hpp"

namespace veyra::sim {
namespace {

constexpr std::array<SimOptionInfo, 19> kOptions{{
    {"seed", "N", "fills the device and drives the random faults (default 1)"},
    {"fast", "", "no modelled time at all (report-interval=0, processing-delay=0)"},
    {"report-interval", "MS", "bus time of one 65-byte report, each way (default 1)"},
    {"processing-delay", "MS", "time from a request's last report to its reply (default 1)"},
    {"drop-every", "N", "every Nth request gets no reply"},
    {"corrupt-every", "N", "every Nth reply is sent corrupted first, then good"},
    {"drop-chance", "PERCENT", "each reply is lost with this chance"},
    {"corrupt-chance", "PERCENT", "each reply is sent corrupted first with this chance"},
    {"noise", "BYTES", "random bytes in front of every reply"},
    {"ignored-reply", "", "an IgnoredReply frame before every real reply"},
    {"late", "MS", "replies come this much later"},
    {"late-every", "N", "only every Nth reply is late (default 1: all)"},
    {"disconnect-after", "N", "the device goes away after answering N requests"},
    {"silent-after", "N", "answers the first N requests, then nothing"},
    {"silent", "", "never answers"},
    {"model-code", "TEXT", "reports this model code (at most 8 bytes)"},
    {"absent", "", "no processor is plugged in (opening fails)"},
    {"model", "NAME", "sistel, merial or orvane (default orvane)"},
    {"locked", "PASSWORD", "switched on locked with this password (at most 6 bytes; may be empty)"},
}};

bool ParseCount(std::string_view name, std::string_view value, int max, int& out, std::string& error) {
  int v = 0;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
  if (value.empty() || ec != std::errc{} || end != value.data() + value.size() || v < 0 || v > max) {
    error =
        Format("The simulator option %.*s needs a whole number from 0 to %d, not \"%.*s\".",
               static_cast<int>(name.size()), name.data(), max, static_cast<int>(value.size()), value.data());
    return false;
  }
  out = v;
  return true;
}

// Milliseconds with an optional fraction ("0.25"), kept in microseconds.
bool ParseMillis(std::string_view name, std::string_view value, Micros& out, std::string& error) {
  const std::string text(value);
  char* end = nullptr;
  const double ms = text.empty() ? -1 : std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !(ms >= 0) || ms > 600000) {
    error = Format("The simulator option %.*s needs a time in milliseconds from 0 to 600000, not \"%s\".",
                   static_cast<int>(name.size()), name.data(), text.c_str());
    return false;
  }
  out = Micros(std::llround(ms * 1000));
  return true;
}

bool NoValue(std::string_view name, std::string_view value, std::string& error) {
  if (value.empty() || value == "1" || value == "on") return true;
  error = Format("The simulator option %.*s takes no value.", static_cast<int>(name.size()), name.data());
  return false;
}

}  // namespace

std::span<const SimOptionInfo> SimOptionTable() {
  return kOptions;
}

bool SetSimOption(SimOptions& o, std::string_view name, std::string_view value, std::string& error) {
  constexpr int kMaxCount = 1000000000;
  if (name == "seed") {
    uint64_t v = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
    if (value.empty() || ec != std::errc{} || end != value.data() + value.size()) {
      error = "The simulator option seed needs a whole number, not \"" + std::string(value) + "\".";
      return false;
    }
    o.Seed = v;
    return true;
  }
  if (name == "model") {
    const auto model = ModelFromCliName(value);
    if (!model) {
      error = "Unknown simulated model \"" + std::string(value) + "\"; use sistel, merial or orvane.";
      return false;
    }
    o.Model = *model;
    return true;
  }
  if (name == "report-interval") return ParseMillis(name, value, o.ReportInterval, error);
  if (name == "processing-delay") return ParseMillis(name, value, o.ProcessingDelay, error);
  if (name == "late") return ParseMillis(name, value, o.LateBy, error);
  if (name == "fast") {
    if (!NoValue(name, value, error)) return false;
    o.ReportInterval = o.ProcessingDelay = Micros(0);
    return true;
  }
  if (name == "ignored-reply") return NoValue(name, value, error) && (o.IgnoredReply = true);
  if (name == "absent") return NoValue(name, value, error) && (o.Absent = true);
  if (name == "silent") return NoValue(name, value, error) && (o.Silent = true);
  if (name == "drop-every") return ParseCount(name, value, kMaxCount, o.DropEvery, error);
  if (name == "corrupt-every") return ParseCount(name, value, kMaxCount, o.CorruptEvery, error);
  if (name == "drop-chance") return ParseCount(name, value, 100, o.DropPercent, error);
  if (name == "corrupt-chance") return ParseCount(name, value, 100, o.CorruptPercent, error);
  if (name == "noise") return ParseCount(name, value, 1024, o.NoiseBytes, error);
  if (name == "late-every") {
    if (!ParseCount(name, value, kMaxCount, o.LateEvery, error)) return false;
    if (o.LateEvery == 0) o.LateEvery = 1;
    return true;
  }
  if (name == "disconnect-after") return ParseCount(name, value, kMaxCount, o.DisconnectAfter, error);
  if (name == "silent-after") return ParseCount(name, value, kMaxCount, o.SilentAfter, error);
  if (name == "model-code") {
    if (value.size() > 8) {
      error = "The simulator option model-code takes at most 8 bytes.";
      return false;
    }
    o.ModelCode = std::string(value);
    return true;
  }
  if (name == "locked") {
    const EncodedDeviceText password = EncodeDeviceText(value, sizeof SystemSettings::LockPassword);
    if (!password.ok()) {
      error = "The simulator option locked takes a password of at most 6 bytes in the device's text.";
      return false;
    }
    o.Locked = true;
    o.LockPassword = password.Bytes;
    return true;
  }
  error = "Unknown simulator option \"" + std::string(name) + "\".";
  return false;
}

bool ParseSimAddress(std::string_view text, SimOptions& options, std::string& error) {
  options = SimOptions{};
  bool first = true;
  while (true) {
    const size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    if (first) {
      if (!item.empty() && !SetSimOption(options, "model", item, error)) return false;
      first = false;
    } else {
      const size_t eq = item.find('=');
      const std::string_view name = item.substr(0, eq);
      const std::string_view value = eq == std::string_view::npos ? std::string_view{} : item.substr(eq + 1);
      if (name.empty() || name == "model" || (eq != std::string_view::npos && value.empty())) {
        error = "Bad simulator option \"" + std::string(item) + "\" in \"sim:" + std::string(text) + "\".";
        return false;
      }
      if (!SetSimOption(options, name, value, error)) return false;
    }
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

std::string DescribeSimOptions(const SimOptions& o) {
  const ModelInfo* info = FindModel(o.Model);
  std::string text(info ? info->CliName : "?");
  const SimOptions d;
  auto add = [&](const std::string& item) { text += "," + item; };
  auto ms = [](Micros v) { return Format("%g", static_cast<double>(v.count()) / 1000.0); };
  add(Format("seed=%llu", static_cast<unsigned long long>(o.Seed)));
  if (o.ReportInterval != d.ReportInterval) add("report-interval=" + ms(o.ReportInterval));
  if (o.ProcessingDelay != d.ProcessingDelay) add("processing-delay=" + ms(o.ProcessingDelay));
  if (o.DropEvery) add(Format("drop-every=%d", o.DropEvery));
  if (o.CorruptEvery) add(Format("corrupt-every=%d", o.CorruptEvery));
  if (o.DropPercent) add(Format("drop-chance=%d", o.DropPercent));
  if (o.CorruptPercent) add(Format("corrupt-chance=%d", o.CorruptPercent));
  if (o.NoiseBytes) add(Format("noise=%d", o.NoiseBytes));
  if (o.IgnoredReply) add("ignored-reply");
  if (o.LateBy != d.LateBy) add("late=" + ms(o.LateBy));
  if (o.LateEvery != 1) add(Format("late-every=%d", o.LateEvery));
  if (o.DisconnectAfter) add(Format("disconnect-after=%d", o.DisconnectAfter));
  if (o.SilentAfter) add(Format("silent-after=%d", o.SilentAfter));
  if (o.Silent) add("silent");
  if (o.Absent) add("absent");
  if (!o.ModelCode.empty()) add("model-code=" + o.ModelCode);
  if (o.Locked)
    add(o.LockPassword.empty() ? std::string("locked") : "locked=" + DecodeDeviceText(o.LockPassword));
  return text;
}

}  // namespace veyra::sim
