// Starts the process-wide graphics layer once per process, however many
// guards exist. The first guard to start it is marked by a per-process name
// ("GDIPlusInitID=<pid in hex>"); every guard that starts counts one user;
// only the guard that started the layer stops it, when the last user is gone.
// Qt needs no separate graphics start-up, so by default starting and stopping
// run no code; SetPlatformHooks puts the platform's own start and stop there.
#pragma once

#include <functional>
#include <string>

namespace veyra {

class GdiplusGuard {
 public:
  explicit GdiplusGuard(bool autoStart = false);
  ~GdiplusGuard();
  GdiplusGuard(const GdiplusGuard&) = delete;
  GdiplusGuard& operator=(const GdiplusGuard&) = delete;

  void Start();
  void Stop();
  bool Started() const { return started_; }  // this guard started the layer

  static std::string ProcessName();  // "GDIPlusInitID=%x" with the process id
  static int Users();
  static bool LayerRunning();
  // Replaces what starting and stopping the layer do (tests, other platforms).
  static void SetPlatformHooks(std::function<void()> start, std::function<void()> stop);

 private:
  bool autoStart_;
  bool started_ = false;
  bool counted_ = false;  // this guard holds one of the users
};

}  // namespace veyra
