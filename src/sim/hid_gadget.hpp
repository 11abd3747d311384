// The simulated processor on a real USB cable (Linux): a configfs HID gadget
// with the processor's identity, whose reports the firmware model answers on
// /dev/hidgN exactly as on the report bridge. Any Linux machine with a USB
// device controller can carry it (and dummy_hcd gives one to any kernel, for
// tests of the host side). The gadget is taken down again when this goes.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "sim/engine.hpp"

namespace veyra::sim {

struct GadgetIdentity {
  std::string Serial = "VQSIM0001";
  uint16_t Release = kReleaseNumber;  // bcdDevice; another one is not used by the program
  std::string Udc;                    // empty: the first device controller that is free
  std::string Manufacturer = "Veyra";
  std::string Product = "Veyra QL";
};

// The report descriptor: one vendor-defined application collection with a
// 64-byte input and a 64-byte output report, no report ids.
extern const uint8_t kGadgetReportDescriptor[28];

class HidGadget {
 public:
  explicit HidGadget(std::shared_ptr<SimulatorEngine> engine,
                     std::string configfsRoot = "/sys/kernel/config/usb_gadget");
  ~HidGadget();
  HidGadget(const HidGadget&) = delete;
  HidGadget& operator=(const HidGadget&) = delete;

  // Builds the gadget, binds it to a device controller and opens its report
  // node. False with error set (and nothing left behind).
  bool Create(const GadgetIdentity& identity, std::string& error);
  // Answers the host's reports until stopFlag is set.
  void Serve(const std::atomic<bool>& stopFlag);

  const std::string& Udc() const { return udc_; }
  const std::string& Node() const { return node_; }

 private:
  bool Bind(const std::string& udc, std::string& error);
  bool OpenNode(std::string& error);
  void Remove();

  std::shared_ptr<SimulatorEngine> engine_;
  std::string root_;
  std::string dir_;  // the gadget's configfs folder once made
  std::string udc_;
  std::string node_;
  int fd_ = -1;
};

}  // namespace veyra::sim
