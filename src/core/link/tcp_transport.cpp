#include "link/tcp_transport.hpp"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "state/text_format.hpp"

namespace veyra {
namespace {

// Connects one address within the timeout; returns the socket or -1 with errno set.
int ConnectWithTimeout(const addrinfo& ai, std::chrono::milliseconds timeout) {
  const int fd = ::socket(ai.ai_family, ai.ai_socktype | SOCK_CLOEXEC, ai.ai_protocol);
  if (fd < 0) return -1;
  const int flags = ::fcntl(fd, F_GETFL);
  ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  int rc = ::connect(fd, ai.ai_addr, ai.ai_addrlen);
  if (rc < 0 && errno == EINPROGRESS) {
    pollfd p{fd, POLLOUT, 0};
    rc = ::poll(&p, 1, static_cast<int>(timeout.count()));
    if (rc == 0) {
      errno = ETIMEDOUT;
      rc = -1;
    } else if (rc > 0) {
      int error = 0;
      socklen_t len = sizeof error;
      ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len);
      errno = error;
      rc = error == 0 ? 0 : -1;
    }
  }
  if (rc < 0) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
  }
  ::fcntl(fd, F_SETFL, flags);
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

}  // namespace

TcpTransport::TcpTransport(std::string host, uint16_t port, std::chrono::milliseconds connectTimeout)
    : host_(std::move(host)), port_(port), connectTimeout_(connectTimeout) {}

TcpTransport::~TcpTransport() {
  Close();
}

std::string TcpTransport::Address() const {
  return "tcp:" + Path();
}

std::string TcpTransport::Path() const {
  const bool v6 = host_.find(':') != std::string::npos;
  return Format(v6 ? "[%s]:%u" : "%s:%u", host_.c_str(), static_cast<unsigned>(port_));
}

OpenResult TcpTransport::Open(ReportHandler onReport, RemovalHandler onRemoved) {
  Close();
  addrinfo hints{};
  hints.ai_family = 0;  // IPv4 or IPv6, whichever the host resolves to
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  const std::string service = std::to_string(port_);
  if (const int rc = ::getaddrinfo(host_.c_str(), service.c_str(), &hints, &list); rc != 0) {
    return {OpenStatus::Failed, Format("Cannot resolve %s: %s", host_.c_str(), ::gai_strerror(rc))};
  }
  int lastError = 0;
  for (addrinfo* ai = list; ai != nullptr && fd_ < 0; ai = ai->ai_next) {
    fd_ = ConnectWithTimeout(*ai, connectTimeout_);
    if (fd_ < 0) lastError = errno;
  }
  ::freeaddrinfo(list);
  if (fd_ < 0) {
    if (lastError == ECONNREFUSED) return {OpenStatus::NotFound, "Nothing is listening at " + Path() + "."};
    if (lastError == ETIMEDOUT) return {OpenStatus::Failed, "Connecting to " + Path() + " timed out."};
    return {OpenStatus::Failed, Format("Cannot connect to %s: %s", Path().c_str(), std::strerror(lastError))};
  }
  reception_.Start(std::move(onReport), std::move(onRemoved),
                   [this](ReceptionThread& reception) { ReceiveLoop(reception); });
  return OpenResult::Success();
}

void TcpTransport::Close() {
  if (fd_ < 0) return;
  reception_.Stop([this] { ::shutdown(fd_, SHUT_RDWR); });  // wakes the reader's recv
  ::close(fd_);
  fd_ = -1;
}

bool TcpTransport::WriteReport(std::span<const uint8_t, kReportBytes> report) {
  if (fd_ < 0 || reception_.Removed()) return false;
  size_t sent = 0;
  while (sent < report.size()) {
    const ssize_t n = ::send(fd_, report.data() + sent, report.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (errno == EPIPE || errno == ECONNRESET) reception_.ReportRemoved();
      return false;
    }
    sent += static_cast<size_t>(n);
  }
  return true;
}

void TcpTransport::ReceiveLoop(ReceptionThread& reception) {
  Report report{};
  size_t have = 0;
  for (;;) {
    const ssize_t n = ::recv(fd_, report.data() + have, report.size() - have, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // End of stream or reset; a report cut off by it is not delivered.
      reception.ReportRemoved();
      return;
    }
    have += static_cast<size_t>(n);
    if (have == report.size()) {
      reception.Deliver(report);
      have = 0;
    }
  }
}

}  // namespace veyra
