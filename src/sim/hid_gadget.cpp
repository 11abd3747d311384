#include "sim/hid_gadget.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "state/text_format.hpp"

namespace veyra::sim {

const uint8_t kGadgetReportDescriptor[28] = {
    0x06, 0x00, 0xFF,  // usage page: vendor defined 0xFF00
    0x09, 0x01,        // usage 1
    0xA1, 0x01,        // collection: application
    0x15, 0x00,        //   logical minimum 0
    0x26, 0xFF, 0x00,  //   logical maximum 255
    0x75, 0x08,        //   report size: 8 bits
    0x95, 0x40,        //   report count: 64
    0x09, 0x01,        //   usage 1
    0x81, 0x02,        //   input: data, variable, absolute
    0x95, 0x40,        //   report count: 64
    0x09, 0x01,        //   usage 1
    0x91, 0x02,        //   output: data, variable, absolute
    0xC0,              // end collection
};

namespace {

namespace fs = std::filesystem;

constexpr int kPollMs = 100;        // how often the reader looks at the stop flag
constexpr int kWriteWaitMs = 1000;  // a host that does not read gets no reply
constexpr auto kNodeDeadline = std::chrono::seconds(10);

bool WriteFile(const std::string& path, const void* data, size_t size, std::string& error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) {
    error = "Cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  const ssize_t n = ::write(fd, data, size);
  const int saved = errno;
  ::close(fd);
  if (n != static_cast<ssize_t>(size)) {
    error = "Cannot write " + path + ": " + std::strerror(n < 0 ? saved : EIO);
    return false;
  }
  return true;
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
  return WriteFile(path, text.data(), text.size(), error);
}

bool MakeDir(const std::string& path, std::string& error) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  error = "Cannot create " + path + ": " + std::strerror(errno);
  return false;
}

std::string ReadLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

}  // namespace

HidGadget::HidGadget(std::shared_ptr<SimulatorEngine> engine, std::string configfsRoot)
    : engine_(std::move(engine)), root_(std::move(configfsRoot)) {}

HidGadget::~HidGadget() {
  Remove();
}

bool HidGadget::Create(const GadgetIdentity& identity, std::string& error) {
  std::error_code ec;
  if (!fs::is_directory(root_, ec)) {
    error = root_ + " is missing: mount configfs on /sys/kernel/config and load libcomposite and usb_f_hid.";
    return false;
  }
  dir_ = root_ + "/veyra-" + std::to_string(::getpid());
  const std::string function = dir_ + "/functions/hid.usb0";
  const std::string config = dir_ + "/configs/c.1";
  const bool built =
      MakeDir(dir_, error) && WriteText(dir_ + "/idVendor", Format("0x%04x", kVendorId), error) &&
      WriteText(dir_ + "/idProduct", Format("0x%04x", kProductId), error) &&
      WriteText(dir_ + "/bcdDevice", Format("0x%04x", identity.Release), error) &&
      WriteText(dir_ + "/bcdUSB", "0x0200", error) && MakeDir(dir_ + "/strings/0x409", error) &&
      WriteText(dir_ + "/strings/0x409/serialnumber", identity.Serial, error) &&
      WriteText(dir_ + "/strings/0x409/manufacturer", identity.Manufacturer, error) &&
      WriteText(dir_ + "/strings/0x409/product", identity.Product, error) && MakeDir(config, error) &&
      MakeDir(config + "/strings/0x409", error) &&
      WriteText(config + "/strings/0x409/configuration", "Veyra QL", error) &&
      WriteText(config + "/MaxPower", "100", error) && MakeDir(function, error) &&
      WriteText(function + "/protocol", "0", error) && WriteText(function + "/subclass", "0", error) &&
      WriteText(function + "/report_length", "64", error) &&
      WriteFile(function + "/report_desc", kGadgetReportDescriptor, sizeof kGadgetReportDescriptor, error);
  if (!built) {
    Remove();
    return false;
  }
  if (::symlink(function.c_str(), (config + "/hid.usb0").c_str()) != 0) {
    error = "Cannot add the HID function to the configuration: " + std::string(std::strerror(errno));
    Remove();
    return false;
  }
  if (!Bind(identity.Udc, error) || !OpenNode(error)) {
    Remove();
    return false;
  }
  engine_->Connect(
      [this](std::span<const uint8_t> report) {
        // The host's hidraw hands the data bytes over; the report id stays here.
        if (report.size() < 2 || fd_ < 0) return;
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, kWriteWaitMs) <= 0) return;
        [[maybe_unused]] const ssize_t n = ::write(fd_, report.data() + 1, report.size() - 1);
      },
      [] {});
  return true;
}

bool HidGadget::Bind(const std::string& udc, std::string& error) {
  std::vector<std::string> candidates;
  if (!udc.empty()) {
    candidates.push_back(udc);
  } else {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/sys/class/udc", ec))
      candidates.push_back(entry.path().filename().string());
    std::sort(candidates.begin(), candidates.end());
  }
  if (candidates.empty()) {
    error = "No USB device controller is present (/sys/class/udc is empty).";
    return false;
  }
  for (const std::string& name : candidates) {
    // A controller that carries another gadget refuses (busy); try the next.
    if (WriteText(dir_ + "/UDC", name, error)) {
      udc_ = name;
      return true;
    }
  }
  return false;
}

bool HidGadget::OpenNode(std::string& error) {
  // The function's dev attribute names the character device; its node in
  // /dev is made by devtmpfs or udev a moment later.
  const std::string dev = ReadLine(dir_ + "/functions/hid.usb0/dev");
  unsigned major = 0, minor = 0;
  if (std::sscanf(dev.c_str(), "%u:%u", &major, &minor) != 2) {
    error = "The HID function has no device number (\"" + dev + "\").";
    return false;
  }
  const dev_t wanted = makedev(major, minor);
  const auto deadline = std::chrono::steady_clock::now() + kNodeDeadline;
  while (std::chrono::steady_clock::now() < deadline) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/dev", ec)) {
      const std::string name = entry.path().filename().string();
      struct stat st {};
      if (name.rfind("hidg", 0) != 0 || ::stat(entry.path().c_str(), &st) != 0) continue;
      if (!S_ISCHR(st.st_mode) || st.st_rdev != wanted) continue;
      fd_ = ::open(entry.path().c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
      if (fd_ < 0) {
        error = "Cannot open " + entry.path().string() + ": " + std::strerror(errno);
        return false;
      }
      node_ = entry.path().string();
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  error = "No /dev/hidg node appeared for device " + dev + ".";
  return false;
}

void HidGadget::Serve(const std::atomic<bool>& stopFlag) {
  Report report{};
  while (!stopFlag && fd_ >= 0) {
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, kPollMs);
    if (ready < 0 && errno != EINTR) return;
    if (ready <= 0) continue;
    const ssize_t n = ::read(fd_, report.data() + 1, kReportDataBytes);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) return;
    // As it travels on the bridge: report id 0, then the data bytes.
    report[0] = 0;
    std::fill(report.begin() + 1 + n, report.end(), 0);
    engine_->Submit(report);
  }
}

void HidGadget::Remove() {
  engine_->Disconnect();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (dir_.empty()) return;
  std::string ignored;
  if (!udc_.empty()) WriteText(dir_ + "/UDC", "\n", ignored);
  udc_.clear();
  // configfs takes a gadget apart from the inside out.
  ::unlink((dir_ + "/configs/c.1/hid.usb0").c_str());
  for (const char* sub :
       {"/configs/c.1/strings/0x409", "/configs/c.1", "/functions/hid.usb0", "/strings/0x409", ""})
    ::rmdir((dir_ + sub).c_str());
  dir_.clear();
}

}  // namespace veyra::sim
