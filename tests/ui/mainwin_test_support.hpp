// The main window on the real stack against an in-process simulated
// processor: a "testsim:" address that reaches the test's own simulator
// (so the test can look into the device and at every request it got), a
// switchable reply delay, and prompts that the test answers.
#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "mainwin/device_session.hpp"
#include "editing/prompts.hpp"
#include "mainwin/main_window.hpp"
#include "sim/sim_test_support.hpp"

namespace veyra::testing {

// Passes reports through; while Delay is set, every report from the device
// arrives that much later (a device that is slow to reply).
class SlowTransport : public Transport {
 public:
  explicit SlowTransport(std::unique_ptr<Transport> inner) : inner_(std::move(inner)) {
    thread_ = std::thread([this] { Run(); });
  }
  ~SlowTransport() override {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  OpenResult Open(ReportHandler onReport, RemovalHandler onRemoved) override {
    {
      std::lock_guard lock(mutex_);
      onReport_ = std::move(onReport);
    }
    return inner_->Open([this](std::span<const uint8_t> report) { Arrived(report); }, std::move(onRemoved));
  }
  // No report reaches the link after this returns.
  void Close() override {
    inner_->Close();
    std::unique_lock lock(mutex_);
    pending_.clear();
    idle_.wait(lock, [this] { return !delivering_; });
  }
  bool WriteReport(std::span<const uint8_t, kReportBytes> report) override {
    return inner_->WriteReport(report);
  }
  bool IsOpen() const override { return inner_->IsOpen(); }
  bool Removed() const override { return inner_->Removed(); }
  std::string Address() const override { return inner_->Address(); }
  std::string Path() const override { return inner_->Path(); }

  std::atomic<int> DelayMs{0};

 private:
  using Clock = std::chrono::steady_clock;
  void Arrived(std::span<const uint8_t> report) {
    std::lock_guard lock(mutex_);
    pending_.push_back(
        {Clock::now() + std::chrono::milliseconds(DelayMs.load()), {report.begin(), report.end()}});
    wake_.notify_all();
  }
  void Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
      if (pending_.empty()) {
        wake_.wait(lock);
        continue;
      }
      if (Clock::now() < pending_.front().first) {
        wake_.wait_until(lock, pending_.front().first);
        continue;
      }
      const std::vector<uint8_t> report = std::move(pending_.front().second);
      pending_.pop_front();
      ReportHandler deliver = onReport_;
      delivering_ = true;
      lock.unlock();
      if (deliver) deliver(report);
      lock.lock();
      delivering_ = false;
      idle_.notify_all();
    }
  }

  std::unique_ptr<Transport> inner_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  bool delivering_ = false;
  std::deque<std::pair<Clock::time_point, std::vector<uint8_t>>> pending_;
  ReportHandler onReport_;
  bool stop_ = false;
  std::thread thread_;
};

// The simulator behind "testsim:"; the address text after the scheme is ignored.
struct TestDevice {
  explicit TestDevice(const std::string& address)
      : options(Options(address)), engine(std::make_shared<sim::SimulatorEngine>(options)) {}

  std::vector<Request> Requests() const { return recorder ? recorder->Requests() : std::vector<Request>{}; }
  void Forget() {
    if (recorder) recorder->Forget();
  }
  template <typename F>
  void Change(F&& f) {
    engine->WithDevice([&](sim::SimulatedProcessor& p) {
      f(p.Memory());
      return 0;
    });
  }
  std::unique_ptr<ParameterStore> Memory() {
    return engine->WithDevice(
        [](sim::SimulatedProcessor& p) { return std::make_unique<ParameterStore>(p.Memory()); });
  }

  sim::SimOptions options;
  std::shared_ptr<sim::SimulatorEngine> engine;
  RecordingTransport* recorder = nullptr;  // made by the link thread at connection
  SlowTransport* slow = nullptr;
};

// Makes "testsim:" reach the given device (one device at a time).
void UseTestDevice(TestDevice* device);

// Answers the window's questions from a script and notes what it was asked.
class ScriptedPrompts : public MainWindowPrompts {
 public:
  void Notice(QWidget*, const QString& text) override { notices.push_back(text); }
  int Ask(QWidget*, const QString& text, const QString& caption, unsigned style) override {
    asked.push_back(text);
    captions.push_back(caption);
    styles.push_back(style);
    if (answers.empty()) return 2;  // Cancel
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  QString OpenSettingsPath(QWidget*) override { return NextPath(); }
  QString SaveSettingsPath(QWidget*) override { return NextPath(); }
  QString BridgeAddress(QWidget*) override { return NextPath(); }
  QString ProgramFilePath(QWidget*, ProgramFileKind, bool) override { return NextPath(); }
  std::optional<std::string> ChannelName(QWidget*, const QString& current) override {
    namesAsked.push_back(current);
    if (names.empty()) return std::nullopt;  // cancelled
    const std::optional<std::string> name = names.front();
    names.pop_front();
    return name;
  }

  // The question before a file that fails the check; Cancel unless scripted.
  bool LoadAnyway(QWidget*, const QString& text) override {
    loadQuestions.push_back(text);
    if (loadAnswers.empty()) return false;
    const bool load = loadAnswers.front();
    loadAnswers.pop_front();
    return load;
  }
  std::vector<QString> loadQuestions;
  std::deque<bool> loadAnswers;
  // File > Export report: the settings dialog's answers (nothing: cancelled)
  // and the path, from paths like the other file dialogs.
  std::optional<ReportChoice> ReportSettings(QWidget*, const QStringList& programNames) override {
    reportNames = programNames;
    if (reportChoices.empty()) return std::nullopt;
    const std::optional<ReportChoice> choice = reportChoices.front();
    reportChoices.pop_front();
    return choice;
  }
  QString ReportPath(QWidget*) override { return NextPath(); }
  // The Data View's export: the next path, with exportCsv as the chosen filter.
  QString ExportPath(QWidget*, bool& csvChosen) override {
    csvChosen = exportCsv;
    return NextPath();
  }
  bool exportCsv = false;
  std::deque<std::optional<ReportChoice>> reportChoices;
  QStringList reportNames;

  std::vector<QString> notices, asked, captions, namesAsked;
  std::deque<std::optional<std::string>> names;  // the Set Name dialog's answers
  std::vector<unsigned> styles;
  std::deque<int> answers;
  std::deque<QString> paths;  // an empty entry is a cancelled dialog

 private:
  QString NextPath() {
    if (paths.empty()) return {};
    const QString path = paths.front();
    paths.pop_front();
    return path;
  }
};

// Notes the longest gap between the ticks of a 5 ms timer: how long the
// window's event loop was held up while it ran.
class StallMeter {
 public:
  StallMeter() {
    tick_.setInterval(5);
    QObject::connect(&tick_, &QTimer::timeout, [this] {
      const qint64 now = clock_.elapsed();
      longest_ = std::max(longest_, now - last_);
      last_ = now;
    });
    clock_.start();
    tick_.start();
  }
  qint64 Stop() {
    tick_.stop();
    return longest_;
  }

 private:
  QElapsedTimer clock_;
  QTimer tick_;
  qint64 last_ = 0, longest_ = 0;
};

// A main window on its own store, with short link deadlines.
struct WindowRig {
  explicit WindowRig(int replyDeadlineMs = 400) : store(std::make_unique<ParameterStore>()) {
    store->CurrentModel = 1;
    MainWindowOptions options;
    auto scripted = std::make_unique<ScriptedPrompts>();
    prompts = scripted.get();
    options.Prompts = std::move(scripted);
    options.WatchDevices = false;
    options.Timing = std::make_shared<LinkTiming>(TestTiming(replyDeadlineMs));
    window = std::make_unique<MainWindow>(*store, std::move(options));
  }
  ~WindowRig() { window->CloseWithoutQuestion(); }

  DeviceSession& Session() { return window->Session(); }
  // Connects and waits for the end of the sequence; true when online.
  bool Connect(const QString& address = "testsim:") {
    QSignalSpy done(window.get(), &MainWindow::connectionDone);
    window->ConnectTo(address);
    if (done.isEmpty() && !done.wait(60000)) return false;
    return done.front().front().toBool();
  }
  // Waits until the link thread has run everything queued and its results arrived.
  void Settle() {
    Session().Link().WaitUntilIdle();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }

  std::unique_ptr<ParameterStore> store;
  ScriptedPrompts* prompts;
  std::unique_ptr<MainWindow> window;
};

}  // namespace veyra::testing
