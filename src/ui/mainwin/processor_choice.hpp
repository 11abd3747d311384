// Which USB processor Connection > Connect takes when several are plugged in,
// and the serial number the window title shows for a connected one.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace veyra {

// One entry per usable processor: "SERIAL  (PATH)", or the path alone.
struct ProcessorChoice {
  QStringList Labels;
  QStringList Addresses;  // "usb:serial=..." or "usb:PATH", in the same order
};
ProcessorChoice UsableProcessors();

// The address to connect to: "usb" with fewer than two processors, else the
// one that ask picks from the labels (its index), or nothing when cancelled.
using AskProcessor = std::function<std::optional<int>(const QStringList& labels)>;
std::optional<QString> ChooseUsbAddress(const AskProcessor& ask);

// The serial number of the processor a USB address reaches now; empty for
// other addresses and for processors without one.
QString SerialForAddress(const QString& address);

}  // namespace veyra
