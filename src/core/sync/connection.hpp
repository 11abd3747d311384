// Bringing the application online, the meter poll, and the two operations
// that write the whole live store to the device.
#pragma once

#include "link/device_link.hpp"
#include "sync/sync_result.hpp"

namespace veyra {

struct ConnectionResult : SyncResult {
  bool ModelChanged = false;  // the device's model was switched to: move the model selector
  int Model = 0;              // CurrentModel afterwards
  bool DeviceOpen = false;    // the link is left open (only after a success)
};

// Opens the link, checks the device's model (switching to it when it differs
// from CurrentModel), then reads, in this order: the two version texts, the
// lock, the 30 program names, every program's input and output channels, the
// backlight, device id, temperature and current program, and the live
// channels. On success the store holds the device and Online is set; the
// caller shows the online state, refreshes and restarts the meter poll at
// RestartPollMs (1000). For an Orvane that is 410 exchanges.
//
// Failures (the store is left as it was, the link closed):
//   OpenFailed    "Connection failed, please check the device." and the detail
//   NoModelCode   no message
//   UnknownModel  "Device type is not selected."
//   ConnectError  "Connect error."
//   NoReply       no message
//   AlreadyOnline "Already connect!" (the link is not touched)
ConnectionResult ConnectionSequence(ParameterStore& store, DeviceLink& link, const SyncControl& control = {});

// Reads the meter levels while online. Only the meters of the store change,
// and only when the reply came; a failed poll is NoReply and shows nothing.
SyncResult PollMeters(ParameterStore& store, DeviceLink& link);

// The factory defaults in the live records; while online, every live input
// and then every live output channel of the model goes to the device. An
// unanswered channel does not stop the others (Unanswered counts them; the
// status is then NoReply); a device that went away does. Refused while locked.
SyncResult FactoryReset(ParameterStore& store, DeviceLink& link, const SyncControl& control = {});

// While online, sends every live input and then every live output channel of
// the model (after a settings file was loaded); offline it does nothing.
// Unanswered channels as for FactoryReset.
SyncResult DownloadLiveSettings(ParameterStore& store, DeviceLink& link, const SyncControl& control = {});

// The connection sequence's exchange count for a model.
int ConnectionExchanges(int inputs, int outputs);

}  // namespace veyra
