#include "shell/gdiplus_guard.hpp"

#include <unistd.h>

#include <mutex>
#include <set>

#include "state/text_format.hpp"

namespace veyra {
namespace {

// The process's named objects and the user count, shared by all guards.
struct GuardRegistry {
  std::mutex mutex;
  std::set<std::string> names;
  int users = 0;
  bool running = false;
  std::function<void()> start;
  std::function<void()> stop;
};

GuardRegistry& Registry() {
  static GuardRegistry registry;
  return registry;
}

}  // namespace

GdiplusGuard::GdiplusGuard(bool autoStart) : autoStart_(autoStart) {
  if (autoStart_) Start();
}

GdiplusGuard::~GdiplusGuard() {
  if (autoStart_) Stop();
}

std::string GdiplusGuard::ProcessName() {
  return Format("GDIPlusInitID=%x", static_cast<unsigned>(getpid()));
}

void GdiplusGuard::Start() {
  // A guard counts once: starting it again must not leave a user behind that
  // no Stop would ever take away.
  if (counted_) return;
  GuardRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  if (registry.names.insert(ProcessName()).second) {
    started_ = true;
    registry.running = true;
    if (registry.start) registry.start();
  }
  ++registry.users;
  counted_ = true;
}

void GdiplusGuard::Stop() {
  if (!counted_) return;  // never started: nothing of ours to give back
  GuardRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  --registry.users;
  counted_ = false;
  if (started_ && registry.users == 0) {
    if (registry.stop) registry.stop();
    registry.running = false;
    registry.names.erase(ProcessName());
    started_ = false;
  }
}

int GdiplusGuard::Users() {
  std::lock_guard lock(Registry().mutex);
  return Registry().users;
}

bool GdiplusGuard::LayerRunning() {
  std::lock_guard lock(Registry().mutex);
  return Registry().running;
}

void GdiplusGuard::SetPlatformHooks(std::function<void()> start, std::function<void()> stop) {
  std::lock_guard lock(Registry().mutex);
  Registry().start = std::move(start);
  Registry().stop = std::move(stop);
}

}  // namespace veyra
