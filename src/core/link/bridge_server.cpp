#include "link/bridge_server.hpp"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>

namespace veyra {
namespace {

constexpr int kPollMs = 100;  // how often a waiting server looks at its stop flag
constexpr auto kReopenInterval = std::chrono::seconds(1);
// Texts a refused client reads before the connection closes. Shorter than a
// report, so a bridge client takes them for a closed connection, never a reply.
constexpr char kBusyText[] = "Busy: another client is using this processor.\n";
constexpr char kNoDeviceText[] = "No processor is connected to this bridge.\n";

bool IsLoopback(const sockaddr* address) {
  if (address->sa_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
    return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
  }
  if (address->sa_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
    return IN6_IS_ADDR_LOOPBACK(&v6->sin6_addr);
  }
  return false;
}

// Writes all bytes; false when the connection is gone.
bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

void SendText(int fd, const char* text) {
  WriteAll(fd, reinterpret_cast<const uint8_t*>(text), std::strlen(text));
}

}  // namespace

bool ParseAllowedNetwork(std::string_view text, AllowedNetwork& network, std::string& error) {
  network = {};
  const size_t slash = text.find('/');
  const std::string host(text.substr(0, slash));
  if (::inet_pton(AF_INET, host.c_str(), network.Address.data()) == 1) {
    network.V6 = false;
    network.PrefixBits = 32;
  } else if (::inet_pton(AF_INET6, host.c_str(), network.Address.data()) == 1) {
    network.V6 = true;
    network.PrefixBits = 128;
  } else {
    error = "\"" + std::string(text) +
            "\" is not an address or network (e.g. 192.168.1.0/24, 10.0.0.7, fd00::/8).";
    return false;
  }
  if (slash != std::string_view::npos) {
    const std::string_view bits = text.substr(slash + 1);
    int value = -1;
    const auto [end, ec] = std::from_chars(bits.data(), bits.data() + bits.size(), value);
    if (bits.empty() || ec != std::errc{} || end != bits.data() + bits.size() || value < 0 ||
        value > network.PrefixBits) {
      error = "The prefix length in \"" + std::string(text) + "\" must be a number from 0 to " +
              std::to_string(network.PrefixBits) + ".";
      return false;
    }
    network.PrefixBits = value;
  }
  return true;
}

bool NetworkContains(const AllowedNetwork& network, const sockaddr* address) {
  const uint8_t* bytes = nullptr;
  bool v6 = false;
  if (address->sa_family == AF_INET) {
    bytes = reinterpret_cast<const uint8_t*>(&reinterpret_cast<const sockaddr_in*>(address)->sin_addr);
  } else if (address->sa_family == AF_INET6) {
    const auto& in6 = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
    bytes = reinterpret_cast<const uint8_t*>(&in6);
    if (IN6_IS_ADDR_V4MAPPED(&in6)) {
      bytes += 12;
    } else {
      v6 = true;
    }
  } else {
    return false;
  }
  if (v6 != network.V6) return false;
  int bits = network.PrefixBits;
  for (size_t i = 0; bits > 0; ++i, bits -= 8) {
    const uint8_t mask = bits >= 8 ? 0xFF : static_cast<uint8_t>(0xFF << (8 - bits));
    if ((bytes[i] & mask) != (network.Address[i] & mask)) return false;
  }
  return true;
}

std::string SocketAddressText(const sockaddr* address) {
  char host[INET6_ADDRSTRLEN] = "?";
  if (address->sa_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
    ::inet_ntop(AF_INET, &v4->sin_addr, host, sizeof host);
    return std::string(host) + ":" + std::to_string(ntohs(v4->sin_port));
  }
  if (address->sa_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
    if (IN6_IS_ADDR_V4MAPPED(&v6->sin6_addr)) {
      ::inet_ntop(AF_INET, reinterpret_cast<const uint8_t*>(&v6->sin6_addr) + 12, host, sizeof host);
      return std::string(host) + ":" + std::to_string(ntohs(v6->sin6_port));
    }
    ::inet_ntop(AF_INET6, &v6->sin6_addr, host, sizeof host);
    return "[" + std::string(host) + "]:" + std::to_string(ntohs(v6->sin6_port));
  }
  return host;
}

ReportBridgeServer::ReportBridgeServer(std::unique_ptr<Transport> device, LogSink log)
    : device_(std::move(device)), log_(std::move(log)) {}

ReportBridgeServer::~ReportBridgeServer() {
  if (device_) device_->Close();
  if (listenFd_ >= 0) ::close(listenFd_);
}

void ReportBridgeServer::Log(const std::string& line) const {
  if (log_) log_(line);
}

bool ReportBridgeServer::Listen(const std::string& host, uint16_t port, bool allowRemote,
                                std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (const int rc = ::getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found)) {
    error = "Cannot resolve \"" + host + "\": " + ::gai_strerror(rc);
    return false;
  }
  error = "Nothing to listen on at \"" + host + "\".";
  for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
    if (!allowRemote && !IsLoopback(a->ai_addr)) {
      error = "\"" + host + "\" is not a loopback address; give --allow-remote to serve other machines.";
      continue;
    }
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 4) != 0) {
      error = "Cannot listen on " + SocketAddressText(a->ai_addr) + ": " + std::strerror(errno) +
              (errno == EADDRINUSE ? " (another program serves that port)." : ".");
      ::close(fd);
      continue;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                              : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    listenFd_ = fd;
    break;
  }
  ::freeaddrinfo(found);
  if (listenFd_ < 0) return false;
  error.clear();
  return true;
}

bool ReportBridgeServer::Stopping(const std::atomic<bool>* stopFlag) const {
  return stop_ || (stopFlag != nullptr && stopFlag->load());
}

bool ReportBridgeServer::EnsureDeviceOpen(bool logFailure) {
  if (device_->IsOpen() && !device_->Removed()) return true;
  device_->Close();
  deviceLost_ = false;
  const OpenResult opened = device_->Open(
      [this](std::span<const uint8_t> report) {
        std::lock_guard lock(clientMutex_);
        if (clientFd_ < 0) return;  // nobody listens: the report is dropped
        if (transcript_) transcript_->Record(TranscriptDirection::Received, report);
        WriteAll(clientFd_, report.data(), report.size());
      },
      [this] {
        // The device went away: so does the client's connection.
        deviceLost_ = true;
        std::lock_guard lock(clientMutex_);
        if (clientFd_ >= 0) ::shutdown(clientFd_, SHUT_RDWR);
      });
  if (opened.ok()) {
    if (deviceAbsentLogged_) Log("Processor " + device_->Path() + " is back.");
    deviceAbsentLogged_ = false;
    return true;
  }
  if (logFailure && !deviceAbsentLogged_) {
    Log("No processor (" + (opened.Detail.empty() ? std::string("cannot open it") : opened.Detail) +
        "); waiting for it.");
    deviceAbsentLogged_ = true;
  }
  return false;
}

void ReportBridgeServer::Serve(const std::atomic<bool>* stopFlag) {
  EnsureDeviceOpen(true);
  auto nextTry = std::chrono::steady_clock::now() + kReopenInterval;
  while (listenFd_ >= 0 && !Stopping(stopFlag)) {
    if (std::chrono::steady_clock::now() >= nextTry) {
      EnsureDeviceOpen(true);
      nextTry = std::chrono::steady_clock::now() + kReopenInterval;
    }
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, kPollMs) <= 0) continue;
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    const int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
    if (fd < 0) continue;
    Accept(fd, SocketAddressText(reinterpret_cast<sockaddr*>(&peer)), stopFlag);
    ::close(fd);
  }
  device_->Close();
}

void ReportBridgeServer::Accept(int fd, const std::string& who, const std::atomic<bool>* stopFlag) {
  sockaddr_storage peer{};
  socklen_t length = sizeof peer;
  ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length);
  if (!allowed_.empty()) {
    bool allowed = false;
    for (const AllowedNetwork& network : allowed_)
      allowed = allowed || NetworkContains(network, reinterpret_cast<const sockaddr*>(&peer));
    if (!allowed) {
      Log("Refused " + who + ": not in the allowed networks.");
      return;
    }
  }
  if (!EnsureDeviceOpen(true)) {
    SendText(fd, kNoDeviceText);
    Log("Refused " + who + ": no processor.");
    return;
  }
  // Replies are small and latency is what the bridge is measured by.
  const int yes = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  ++clients_;
  Log("Client " + who + " connected.");
  ServeClient(fd, who, stopFlag);
}

void ReportBridgeServer::RefuseWhileBusy(const std::string& current) {
  sockaddr_storage peer{};
  socklen_t length = sizeof peer;
  const int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
  if (fd < 0) return;
  SendText(fd, kBusyText);
  ::close(fd);
  Log("Refused " + SocketAddressText(reinterpret_cast<sockaddr*>(&peer)) + ": busy with " + current + ".");
}

void ReportBridgeServer::ServeClient(int fd, const std::string& who, const std::atomic<bool>* stopFlag) {
  {
    std::lock_guard lock(clientMutex_);
    clientFd_ = fd;
  }
  Report report{};
  size_t filled = 0;
  std::string why = "disconnected";
  while (true) {
    if (Stopping(stopFlag)) {
      why = "disconnected (the server stops)";
      break;
    }
    if (deviceLost_ || device_->Removed()) {
      why = "disconnected: the processor went away";
      break;
    }
    pollfd p[2] = {{fd, POLLIN, 0}, {listenFd_, POLLIN, 0}};
    const int ready = ::poll(p, 2, kPollMs);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    if (p[1].revents & POLLIN) RefuseWhileBusy(who);
    if (!(p[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    const ssize_t n = ::recv(fd, report.data() + filled, report.size() - filled, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (deviceLost_) why = "disconnected: the processor went away";
      break;
    }
    filled += static_cast<size_t>(n);
    if (filled < report.size()) continue;
    filled = 0;
    if (transcript_) transcript_->Record(TranscriptDirection::Sent, report);
    if (!device_->WriteReport(report)) {
      why = "disconnected: the processor went away";
      break;
    }
  }
  {
    std::lock_guard lock(clientMutex_);
    clientFd_ = -1;
  }
  Log("Client " + who + " " + why + ".");
}

}  // namespace veyra
