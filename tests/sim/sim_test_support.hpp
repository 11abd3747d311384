// A link to an in-process simulated processor, with the requests it was sent
// recorded, and the comparison of an application store with the device.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/device_link.hpp"
#include "link/messages.hpp"
#include "sim/sim_transport.hpp"
#include "sync/connection.hpp"

namespace veyra::testing {

// The address of one request as the device got it.
struct Request {
  uint8_t Command, Slot, Block, Channel, Group;
  bool operator==(const Request&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Request& r) {
  return os << "{" << int(r.Command) << " " << int(r.Slot) << " " << int(r.Block) << " " << int(r.Channel)
            << " " << int(r.Group) << "}";
}

// Passes reports through to the simulator and notes every frame start.
class RecordingTransport : public Transport {
 public:
  explicit RecordingTransport(std::unique_ptr<Transport> inner) : inner_(std::move(inner)) {}
  OpenResult Open(ReportHandler onReport, RemovalHandler onRemoved) override {
    return inner_->Open(std::move(onReport), std::move(onRemoved));
  }
  void Close() override { inner_->Close(); }
  bool WriteReport(std::span<const uint8_t, kReportBytes> report) override {
    // Every frame starts a report; a continuation report never starts with a header here.
    if (report[1] == 0x5A && report[2] == 0x5A && report[3] == 0x5A && report[4] == 0xEE) {
      std::lock_guard lock(mutex_);
      requests_.push_back({report[5], report[7], report[8], report[9], report[10]});
    }
    return inner_->WriteReport(report);
  }
  bool IsOpen() const override { return inner_->IsOpen(); }
  bool Removed() const override { return inner_->Removed(); }
  std::string Address() const override { return inner_->Address(); }
  std::string Path() const override { return inner_->Path(); }

  std::vector<Request> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  void Forget() { requests_.clear(); }  // only between exchanges

 private:
  std::unique_ptr<Transport> inner_;
  mutable std::mutex mutex_;
  std::vector<Request> requests_;
};

// Short deadlines: the simulator answers in microseconds unless told otherwise.
inline LinkTiming TestTiming(int deadlineMs = 150) {
  LinkTiming t;
  t.ReportGap = std::chrono::microseconds(0);
  t.RetryGap = std::chrono::microseconds(0);
  t.ReplyDeadline = std::chrono::milliseconds(deadlineMs);
  return t;
}

inline sim::SimOptions Options(const std::string& address) {
  sim::SimOptions options;
  std::string error;
  EXPECT_TRUE(sim::ParseSimAddress(address, options, error)) << error;
  return options;
}

// An application store (initialised as at start-up) and a link to a simulator.
struct SimRig {
  explicit SimRig(const std::string& address, LinkTiming timing = TestTiming())
      : options(Options(address)),
        engine(std::make_shared<sim::SimulatorEngine>(options)),
        link(std::make_unique<RecordingTransport>(std::make_unique<sim::SimulatorTransport>(engine, options)),
             timing),
        store(std::make_unique<ParameterStore>()) {
    InitialiseStore(*store);
  }
  RecordingTransport& Recorder() { return *static_cast<RecordingTransport*>(link.GetTransport()); }
  std::unique_ptr<ParameterStore> Device() {
    return engine->WithDevice(
        [](sim::SimulatedProcessor& p) { return std::make_unique<ParameterStore>(p.Memory()); });
  }
  template <typename F>
  void ChangeDevice(F&& f) {
    engine->WithDevice([&](sim::SimulatedProcessor& p) {
      f(p.Memory());
      return 0;
    });
  }

  sim::SimOptions options;
  std::shared_ptr<sim::SimulatorEngine> engine;
  DeviceLink link;
  std::unique_ptr<ParameterStore> store;
};

inline bool SameStore(const ParameterStore& a, const ParameterStore& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// A rig that has connected already, with the connection's requests forgotten.
inline std::unique_ptr<SimRig> Online(const std::string& address) {
  auto rig = std::make_unique<SimRig>(address);
  EXPECT_EQ(ConnectionSequence(*rig->store, rig->link).Status, SyncStatus::Success);
  rig->Recorder().Forget();
  return rig;
}

inline bool SameInput(const InputChannel& a, const InputChannel& b) {
  return BuildInputChannelPayload(a) == BuildInputChannelPayload(b);
}
// The application keeps its own ninth band record; the rest must agree.
inline bool SameOutput(const OutputChannel& a, const OutputChannel& b) {
  auto pa = BuildOutputChannelPayload(a), pb = BuildOutputChannelPayload(b);
  pa.resize(kOutputChannelPayloadBytes - kGroupPayloadBytes);
  pb.resize(kOutputChannelPayloadBytes - kGroupPayloadBytes);
  return pa == pb;
}

// Live channels and every program of the model, the names and the system
// items: what a complete read of the device must have copied.
inline ::testing::AssertionResult StoreMatchesDevice(const ParameterStore& app, const ParameterStore& dev) {
  if (app.CurrentModel != dev.CurrentModel)
    return ::testing::AssertionFailure() << "model " << app.CurrentModel;
  for (int slot = 0; slot <= kPresetCount; ++slot) {
    const InputChannel* ai = slot ? app.Preset(slot).Inputs : app.Inputs;
    const InputChannel* di = slot ? dev.Preset(slot).Inputs : dev.Inputs;
    const OutputChannel* ao = slot ? app.Preset(slot).Outputs : app.Outputs;
    const OutputChannel* dout = slot ? dev.Preset(slot).Outputs : dev.Outputs;
    for (int i = 0; i < dev.InputCount; ++i)
      if (!SameInput(ai[i], di[i])) return ::testing::AssertionFailure() << "slot " << slot << " input " << i;
    for (int j = 0; j < dev.OutputCount; ++j)
      if (!SameOutput(ao[j], dout[j]))
        return ::testing::AssertionFailure() << "slot " << slot << " output " << j;
    if (slot && std::memcmp(app.Preset(slot).Name, dev.Preset(slot).Name, kPresetNameBytes) != 0)
      return ::testing::AssertionFailure() << "name of program " << slot;
  }
  const SystemSettings &a = app.System, &d = dev.System;
  if (std::memcmp(a.ModelCode, d.ModelCode, sizeof a.ModelCode) ||
      std::strcmp(a.VersionText1, d.VersionText1) || std::strcmp(a.VersionText2, d.VersionText2) ||
      std::memcmp(a.LockPassword, d.LockPassword, sizeof a.LockPassword) || a.LockState != d.LockState ||
      a.BackLight != d.BackLight || a.DeviceIdSetting != d.DeviceIdSetting ||
      a.Temperature != d.Temperature || a.CurrentProgram != d.CurrentProgram || app.DeviceId != dev.DeviceId)
    return ::testing::AssertionFailure() << "system items";
  return ::testing::AssertionSuccess();
}

}  // namespace veyra::testing
