#include "info_report.hpp"

#include "state/device_text.hpp"
#include "state/models.hpp"
#include "state/text_format.hpp"
#include "text_table.hpp"

namespace veyra::ctl {

namespace {

std::string ModelName(const ParameterStore& store) {
  const ModelInfo* model = FindModel(store.CurrentModel);
  return model ? std::string(model->Name) : Format("model %d", store.CurrentModel);
}

}  // namespace

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (const char ch : utf8) {
    const auto byte = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (byte < 0x20) {
      out += Format("\\u%04x", byte);
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string InfoText(const ParameterStore& store) {
  const SystemSettings& sys = store.System;
  std::vector<std::vector<std::string>> grid{
      {"Model", ModelName(store)},
      {"Version", DecodeField(sys.VersionText1)},
      {"", DecodeField(sys.VersionText2)},
      {"Device id", Format("%d", store.DeviceId)},
      {"Lock", sys.LockState != 0 ? "locked" : "unlocked"},
      {"Current program", Format("%d", sys.CurrentProgram)},
  };
  std::string text = AlignedText(grid) + "Programs:\n";
  std::vector<std::vector<std::string>> programs;
  for (int p = 1; p <= kPresetCount; ++p)
    programs.push_back({Format("%d", p), DecodeField(store.Presets[p].Name)});
  return text + AlignedText(programs, {true});
}

std::string InfoJson(const ParameterStore& store) {
  const SystemSettings& sys = store.System;
  std::string json = "{\"model\":" + JsonString(ModelName(store));
  json += ",\"versions\":[" + JsonString(DecodeField(sys.VersionText1)) + "," +
          JsonString(DecodeField(sys.VersionText2)) + "]";
  json += Format(",\"device_id\":%d,\"locked\":%s,\"current_program\":%d", store.DeviceId,
                 sys.LockState != 0 ? "true" : "false", sys.CurrentProgram);
  json += ",\"programs\":[";
  for (int p = 1; p <= kPresetCount; ++p) {
    if (p > 1) json += ",";
    json += JsonString(DecodeField(store.Presets[p].Name));
  }
  return json + "]}\n";
}

}  // namespace veyra::ctl
