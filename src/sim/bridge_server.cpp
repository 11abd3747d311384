#include "sim/bridge_server.hpp"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace veyra::sim {
namespace {

constexpr int kPollMs = 100;  // how often a waiting server looks at its stop flag

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

}  // namespace

ReportBridgeServer::ReportBridgeServer(std::shared_ptr<SimulatorEngine> engine) : engine_(std::move(engine)) {}

ReportBridgeServer::~ReportBridgeServer() {
  if (listenFd_ >= 0) ::close(listenFd_);
}

void ReportBridgeServer::SetTranscript(std::shared_ptr<TranscriptRecorder> transcript) {
  transcript_ = std::move(transcript);
  if (transcript_) {
    engine_->SetTrace([t = transcript_](const std::string& line) { t->Note(line); });
  } else {
    engine_->SetTrace({});
  }
}

bool ReportBridgeServer::Listen(const std::string& host, uint16_t port, bool allowRemote, std::string& error) {
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
      error = "Cannot listen on " + host + ":" + service + ": " + std::strerror(errno);
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

void ReportBridgeServer::Serve(const std::atomic<bool>* stopFlag) {
  while (listenFd_ >= 0 && !Stopping(stopFlag)) {
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, kPollMs) <= 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    // Replies are small and latency is what the bridge is measured by.
    const int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    ++clients_;
    ServeClient(fd, stopFlag);
    ::close(fd);
  }
}

void ReportBridgeServer::ServeClient(int fd, const std::atomic<bool>* stopFlag) {
  std::mutex sending;
  const auto transcript = transcript_;
  engine_->Connect(
      [fd, &sending, transcript](std::span<const uint8_t> report) {
        if (transcript) transcript->Record(TranscriptDirection::Received, report);
        std::lock_guard lock(sending);
        WriteAll(fd, report.data(), report.size());
      },
      [fd, transcript] {
        // The device went away: so does the connection.
        if (transcript) transcript->Note("device removed");
        ::shutdown(fd, SHUT_RDWR);
      });
  Report report{};
  size_t filled = 0;
  while (!Stopping(stopFlag)) {
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, kPollMs);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    const ssize_t n = ::recv(fd, report.data() + filled, report.size() - filled, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    filled += static_cast<size_t>(n);
    if (filled < report.size()) continue;
    filled = 0;
    if (transcript) transcript->Record(TranscriptDirection::Sent, report);
    if (!engine_->Submit(report)) break;
  }
  engine_->Disconnect();
}

}  // namespace veyra::sim
