#include "mainwin/processor_choice.hpp"

#include "link/hid_transport.hpp"

namespace veyra {

ProcessorChoice UsableProcessors() {
  ProcessorChoice choice;
  for (const HidInterfaceInfo& info : EnumerateProcessorInterfaces()) {
    if (!info.matches()) continue;
    const QString path = QString::fromStdString(info.Path);
    const QString serial = QString::fromStdString(info.Serial);
    choice.Labels << (serial.isEmpty() ? path : serial + "  (" + path + ")");
    // A serial number follows the processor from one socket to the next; a
    // path is all there is without one.
    choice.Addresses << (serial.isEmpty() ? "usb:" + path : "usb:serial=" + serial);
  }
  return choice;
}

std::optional<QString> ChooseUsbAddress(const AskProcessor& ask) {
  const ProcessorChoice choice = UsableProcessors();
  if (choice.Addresses.size() < 2) return QString("usb");
  const std::optional<int> picked = ask(choice.Labels);
  if (!picked || *picked < 0 || *picked >= choice.Addresses.size()) return std::nullopt;
  return choice.Addresses[*picked];
}

QString SerialForAddress(const QString& address) {
  if (address != "usb" && !address.startsWith("usb:")) return {};
  UsbSelector selector;
  std::string error;
  if (!ParseUsbAddress(address.mid(address.startsWith("usb:") ? 4 : 3).toStdString(), selector, error))
    return {};
  for (const HidInterfaceInfo& info : EnumerateProcessorInterfaces()) {
    if (info.matches() && SelectorPicks(selector, info)) return QString::fromStdString(info.Serial);
  }
  return {};
}

}  // namespace veyra
