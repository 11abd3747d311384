// The main window end to end: commands, connection, files and closing,
// against the simulated processor through the link thread.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "controls/message_box.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "editor_test_support.hpp"
#include "mainwin/about_box.hpp"
#include "mainwin/status_area.hpp"
#include "sync/connection.hpp"
#include "ui_test_util.hpp"

namespace veyra::testing {
namespace {

TestDevice* gDevice = nullptr;

}  // namespace

void UseTestDevice(TestDevice* device) {
  static const bool registered = [] {
    RegisterTransportScheme(
        "testsim", [](std::string_view, std::string& error) -> std::unique_ptr<Transport> {
          if (!gDevice) {
            error = "no test device";
            return nullptr;
          }
          auto recorder = std::make_unique<RecordingTransport>(
              std::make_unique<sim::SimulatorTransport>(gDevice->engine, gDevice->options));
          gDevice->recorder = recorder.get();
          auto slow = std::make_unique<SlowTransport>(std::move(recorder));
          gDevice->slow = slow.get();
          return slow;
        });
    return true;
  }();
  static_cast<void>(registered);
  gDevice = device;
}

namespace {

constexpr int kReplyDelayMs = 300;

// The window is made when a test first asks for it, on the device chosen
// before (if any).
class MainWindowTest : public EditorTest {
 protected:
  void Use(const std::string& address) {
    device_ = std::make_unique<TestDevice>(address);
    UseTestDevice(device_.get());
  }
  WindowRig& Rig(int replyDeadlineMs = 400) {
    if (!rig_) rig_ = std::make_unique<WindowRig>(replyDeadlineMs);
    return *rig_;
  }
};

TEST_F(MainWindowTest, StartsOfflineInTheMixerView) {
  WindowRig& rig = Rig();
  EXPECT_EQ(rig.window->windowTitle(), "Veyra QL Series Loudspeaker Control System");
  EXPECT_EQ(rig.window->Status()->StatusLine()->Text(), "System Status:OffLine");
  EXPECT_EQ(rig.window->ViewCaption()->Text(), "Device 1-Mixer View");
  EXPECT_EQ(rig.window->ModelSelector()->CurrentText(), "Sistel");
  EXPECT_EQ(rig.window->ViewState().ViewMode, 1);
  EXPECT_TRUE(rig.window->Button(kButtonMixer)->GetDown());
  EXPECT_TRUE(rig.window->Button(kButtonMixButton)->GetDown());
  EXPECT_FALSE(rig.Session().PollTimer().isActive());

  // MATRIX shows the matrix view; pressing it again changes nothing.
  QSignalSpy refreshed(rig.window.get(), &MainWindow::refreshed);
  rig.window->Button(kButtonMatrix)->click();
  EXPECT_EQ(rig.window->ViewCaption()->Text(), "Device 1-Matrix View");
  EXPECT_TRUE(rig.window->MatrixArea()->isVisibleTo(rig.window.get()));
  rig.window->Button(kButtonMatrix)->click();
  EXPECT_EQ(refreshed.count(), 1);
}

TEST_F(MainWindowTest, ConnectingToAnotherModelMovesTheSelectorAndReadsTheDevice) {
  Use("merial,fast");
  WindowRig& rig = Rig();
  QSignalSpy progress(&rig.Session(), &DeviceSession::connectionProgress);
  ASSERT_TRUE(rig.Connect());
  EXPECT_GT(progress.count(), 10);
  EXPECT_FALSE(rig.window->Status()->ProgressShown());
  EXPECT_EQ(rig.store->CurrentModel, 2);
  EXPECT_EQ(rig.store->InputCount, 3);
  EXPECT_EQ(rig.window->ModelSelector()->CurrentText(), "Merial");
  EXPECT_EQ(rig.window->Status()->StatusLine()->Text(), "System Status:OnLine");
  EXPECT_EQ(rig.window->Status()->StatusLine()->TextColor(), QColor(255, 0, 0));
  EXPECT_TRUE(rig.window->Status()->Indicator()->GetDown());
  EXPECT_EQ(rig.Session().PollTimer().interval(), kPollAfterConnectMs);
  EXPECT_TRUE(rig.Session().PollTimer().isActive());
  const auto device = device_->Memory();
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(SameInput(rig.store->Inputs[i], device->Inputs[i])) << i;
  for (int j = 0; j < 6; ++j) EXPECT_TRUE(SameOutput(rig.store->Outputs[j], device->Outputs[j])) << j;
  EXPECT_EQ(device_->Requests().size(), static_cast<size_t>(ConnectionExchanges(3, 6)));
  // The about box names the device's firmware while online.
  EXPECT_EQ(AboutBox(*rig.store).FirmwareText().toStdString(), std::string(device->System.VersionText1));
}

// Online the device's model stays too: one rule, taken here at its hardest
// (offline the selector switches the model; the undo tests take that path).
TEST_F(MainWindowTest, TheModelSelectorIsPutBackWhileAConnectionRuns) {
  // The device has the model the window starts with, so only the selector
  // could make the window and the store disagree once the sequence ends.
  Use("sistel,report-interval=2");
  WindowRig& rig = Rig();
  SkinDropDown* selector = rig.window->ModelSelector();
  QSignalSpy done(rig.window.get(), &MainWindow::connectionDone);
  rig.window->ConnectTo("testsim:");
  ASSERT_TRUE(rig.Session().Connecting());
  test::SendWheel(selector, -120);
  EXPECT_EQ(rig.store->CurrentModel, 1);
  EXPECT_EQ(selector->CurrentText(), "Sistel");
  if (done.isEmpty()) {
    ASSERT_TRUE(done.wait(60000));
  }
  ASSERT_TRUE(done.front().front().toBool());
  EXPECT_EQ(rig.store->CurrentModel, 1);
  EXPECT_EQ(selector->CurrentText(), "Sistel");
}

TEST_F(MainWindowTest, ConnectAndDisconnectTellTheOperatorWhenThereIsNothingToDo) {
  Use("orvane,fast");
  WindowRig& rig = Rig();
  rig.window->RunCommand(kCmdDisconnect);
  ASSERT_EQ(rig.prompts->notices.size(), 1u);
  EXPECT_EQ(rig.prompts->notices[0], "Cannot connect!");

  ASSERT_TRUE(rig.Connect());
  rig.window->RunCommand(kToolConnect);
  ASSERT_EQ(rig.prompts->notices.size(), 2u);
  EXPECT_EQ(rig.prompts->notices[1], "Already connect!");

  rig.window->RunCommand(kToolDisconnect);
  EXPECT_EQ(rig.window->Status()->StatusLine()->Text(), "System Status:OFFLine");
  EXPECT_EQ(rig.window->Status()->StatusLine()->TextColor(), QColor(255, 255, 255));
  EXPECT_FALSE(rig.window->Status()->Indicator()->GetDown());
  EXPECT_FALSE(rig.Session().PollTimer().isActive());
  rig.Settle();
  EXPECT_FALSE(device_->engine->Connected());
  EXPECT_EQ(rig.prompts->notices.size(), 2u);
}

TEST_F(MainWindowTest, AFailedOrCancelledConnectionLeavesTheStoreAndSaysWhatTheDeviceDid) {
  struct Case {
    std::string device;
    bool cancel;
    QString message;  // empty: nothing shown
  };
  const Case cases[] = {
      {"orvane,fast,model-code=Zeta", false, "Device type is not selected."},
      {"orvane,fast,absent", false, "Connection failed, please check the device."},
      {"orvane,fast,silent-after=1", false, "Connect error."},
      {"orvane,fast,silent-after=4", false, ""},
      {"orvane,report-interval=2", true, ""},
  };
  for (const Case& c : cases) {
    Use(c.device);
    rig_.reset();
    WindowRig& rig = Rig();
    const auto before = std::make_unique<ParameterStore>(*rig.store);
    QSignalSpy done(rig.window.get(), &MainWindow::connectionDone);
    rig.window->ConnectTo("testsim:");
    EXPECT_TRUE(rig.Session().Connecting());
    // A second start while one runs is not another sequence.
    EXPECT_EQ(rig.Session().Connect("testsim:"), DeviceSession::Start::AlreadyConnecting);
    if (c.cancel) {
      QSignalSpy progress(&rig.Session(), &DeviceSession::connectionProgress);
      ASSERT_TRUE(progress.wait(5000));
      rig.window->Status()->CancelButton()->click();
    }
    ASSERT_TRUE(done.wait(10000)) << c.device;
    EXPECT_FALSE(done.front().front().toBool());
    EXPECT_EQ(rig.store->Online, 0);
    EXPECT_EQ(std::memcmp(before.get(), rig.store.get(), sizeof(ParameterStore)), 0) << c.device;
    EXPECT_EQ(rig.window->Status()->StatusLine()->Text(), "System Status:OffLine");
    if (c.message.isEmpty()) {
      EXPECT_TRUE(rig.prompts->asked.empty()) << c.device;
    } else {
      ASSERT_EQ(rig.prompts->asked.size(), 1u) << c.device;
      EXPECT_TRUE(rig.prompts->asked[0].startsWith(c.message)) << rig.prompts->asked[0].toStdString();
      EXPECT_EQ(rig.prompts->captions[0], "Warning");
    }
    rig.Settle();
    EXPECT_FALSE(device_->engine->Connected()) << c.device;
  }
}

TEST_F(MainWindowTest, ALockedDeviceDisablesTheChannelControlsAndTheLockedCommands) {
  Use("orvane,fast");
  device_->Change([](ParameterStore& m) { m.System.LockState = 1; });
  WindowRig& rig = Rig();
  std::map<WindowKind, int> opened;
  for (int k = 0; k < kWindowKinds; ++k) {
    const auto kind = static_cast<WindowKind>(k);
    rig.window->SetWindowOpener(kind, [&opened, kind](QWidget*) { ++opened[kind]; });
  }
  ASSERT_TRUE(rig.Connect());
  EXPECT_FALSE(rig.window->ChannelControlsEnabled());

  for (const int key : {Qt::Key_F2, Qt::Key_F6, Qt::Key_F8}) EXPECT_TRUE(rig.window->HandleKey(key));
  rig.window->RunCommand(kCmdCopy);
  rig.window->RunCommand(kCmdProgram);
  rig.window->RunCommand(kToolProgram);
  rig.window->RunCommand(kCmdResetAll);
  EXPECT_TRUE(rig.prompts->asked.empty());  // Reset All does not even ask
  rig.window->RunCommand(kCmdData);
  rig.window->RunCommand(kCmdInterface);
  rig.window->RunCommand(kCmdSecurity);
  EXPECT_EQ(opened,
            (std::map<WindowKind, int>{
                {WindowKind::DataView, 1}, {WindowKind::SystemSetting, 1}, {WindowKind::Security, 1}}));

  // Unlocked: the editor keys open their editors, F1 and F4 only on model 4.
  opened.clear();
  rig.store->System.LockState = 0;
  for (const int key :
       {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8})
    EXPECT_TRUE(rig.window->HandleKey(key));
  EXPECT_EQ(opened.size(), 6u);
  EXPECT_EQ(opened.count(WindowKind::MicLineEditor), 0u);
  EXPECT_EQ(opened.count(WindowKind::CompressorEditor), 0u);
  EXPECT_FALSE(rig.window->HandleKey(Qt::Key_A));
}

TEST_F(MainWindowTest, EnterAndEscapeNeverReachTheWindowsControls) {
  WindowRig& rig = Rig();
  ASSERT_TRUE(test::ShowActive(rig.window.get()));
  SkinDropDown* selector = rig.window->ModelSelector();
  selector->setFocus();
  test::EventCounter reached(selector, QEvent::KeyPress);
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_F9, Qt::Key_F10}) {
    QTest::keyClick(selector, key);
    EXPECT_TRUE(rig.window->isVisible());
  }
  EXPECT_EQ(reached.count, 0);
  EXPECT_TRUE(rig.prompts->asked.empty());  // no close question either
  QTest::keyClick(selector, Qt::Key_Down);  // other keys reach the control
  EXPECT_EQ(reached.count, 1);
}

TEST_F(MainWindowTest, ResetAllSendsEveryChannelOnlyWhileOnline) {
  Use("orvane,fast");
  WindowRig& rig = Rig();
  rig.store->Inputs[0].Gain = 700;
  rig.prompts->answers = {kResultCancel, kResultOk};
  rig.window->RunCommand(kCmdResetAll);  // Cancel: nothing changes
  EXPECT_EQ(rig.store->Inputs[0].Gain, 700);
  rig.window->RunCommand(kCmdResetAll);  // offline: the store alone
  EXPECT_EQ(rig.store->Inputs[0].Gain, 600);
  EXPECT_EQ(rig.prompts->asked[0],
            "This will reset your Device to factory default setting.Are you sure you want to do this?");
  EXPECT_EQ(rig.prompts->styles[0], 0x41u);
  rig.Settle();
  EXPECT_EQ(rig.Session().Link().WritesSent(), 0u);  // no write job ever reached the link thread

  ASSERT_TRUE(rig.Connect());
  device_->Forget();
  rig.prompts->answers = {kResultOk};
  rig.window->RunCommand(kCmdResetAll);
  std::vector<Request> expected;
  for (uint8_t i = 0; i < 4; ++i) expected.push_back({WriteCommand, 0, InputBlock, i, 0});
  for (uint8_t j = 0; j < 8; ++j) expected.push_back({WriteCommand, 0, OutputBlock, j, 0});
  EXPECT_EQ(Writes(), expected);
  const auto device = device_->Memory();
  EXPECT_TRUE(SameOutput(rig.store->Outputs[7], device->Outputs[7]));
  EXPECT_EQ(rig.Session().PollTimer().interval(), kPollAfterWritesMs);
}

TEST_F(MainWindowTest, SettingsFilesRoundTripThroughTheCommands) {
  Use("orvane,fast");
  WindowRig& rig = Rig();
  QTemporaryDir dir;
  const QString path = dir.filePath("live.dat");
  rig.store->Inputs[1].Gain = 444;
  rig.store->System.CurrentProgram = 3;
  rig.prompts->paths = {path, "", path};
  rig.window->RunCommand(kToolSave);
  EXPECT_EQ(QFile(path).size(), 7362);
  rig.store->Inputs[1].Gain = 600;
  rig.window->RunCommand(kCmdOpenFile);  // a cancelled dialog changes nothing
  EXPECT_EQ(rig.store->Inputs[1].Gain, 600);
  rig.window->RunCommand(kToolOpen);
  EXPECT_EQ(rig.store->Inputs[1].Gain, 444);
  EXPECT_TRUE(rig.window->ProgramCaption()->Text().startsWith("Preset 3:"));
  EXPECT_TRUE(rig.prompts->notices.empty());

  // A short file loads what it holds, and the operator hears of it. Its
  // zeros fail the check: it loads when the operator says so.
  const QString shortPath = dir.filePath("short.dat");
  QFile shortFile(shortPath);
  ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
  shortFile.write(QByteArray(100, '\0'));
  shortFile.close();
  rig.prompts->loadAnswers = {true};
  ASSERT_TRUE(rig.window->OpenSettingsFile(shortPath));
  EXPECT_EQ(rig.prompts->loadQuestions.size(), 1u);
  ASSERT_EQ(rig.prompts->notices.size(), 1u);
  EXPECT_TRUE(rig.prompts->notices[0].contains("100 bytes read, 7362 expected"))
      << rig.prompts->notices[0].toStdString();
  EXPECT_EQ(rig.store->Inputs[1].Gain, 444);  // beyond the 100 bytes

  // A file that cannot be read is reported and changes nothing.
  EXPECT_FALSE(rig.window->OpenSettingsFile(dir.filePath("missing.dat")));
  EXPECT_EQ(rig.prompts->asked.size(), 1u);
}

TEST_F(MainWindowTest, AFileLoadedOnlineGoesToTheDeviceButKeepsTheDevicesLock) {
  Use("orvane,fast");
  WindowRig& rig = Rig();
  QTemporaryDir dir;
  const QString path = dir.filePath("unlocked.dat");
  rig.store->Outputs[2].Gain = 512;
  ASSERT_TRUE(rig.window->SaveSettingsFile(path));  // saved unlocked, password empty

  device_->Change([](ParameterStore& m) {
    m.System.LockState = 1;
    std::memcpy(m.System.LockPassword, "135790", 6);
  });
  ASSERT_TRUE(rig.Connect());
  device_->Forget();
  ASSERT_TRUE(rig.window->OpenSettingsFile(path));
  EXPECT_EQ(rig.store->System.LockState, 1);
  EXPECT_EQ(std::string(rig.store->System.LockPassword, 6), "135790");
  EXPECT_FALSE(rig.window->ChannelControlsEnabled());
  EXPECT_EQ(Writes().size(), 12u);
  EXPECT_EQ(device_->Memory()->Outputs[2].Gain, 512);
}

TEST_F(MainWindowTest, TheCloseQuestionHasThreeAnswers) {
  struct Case {
    std::deque<int> answers;
    std::deque<QString> paths;
    bool closes;
    bool saves;
  };
  QTemporaryDir dir;
  const QString path = dir.filePath("exit.dat");
  const Case cases[] = {
      {{kResultCancel}, {}, false, false},
      {{kResultNo}, {}, true, false},
      {{kResultYes}, {""}, false, false},  // the file dialog cancelled
      {{kResultYes}, {path}, true, true},
  };
  for (const Case& c : cases) {
    QFile::remove(path);
    rig_.reset();
    WindowRig& rig = Rig();
    rig.window->show();
    rig.prompts->answers = c.answers;
    rig.prompts->paths = c.paths;
    rig.window->RunCommand(kCmdExit);
    EXPECT_EQ(rig.window->isVisible(), !c.closes);
    EXPECT_EQ(QFile::exists(path), c.saves);
    ASSERT_EQ(rig.prompts->asked.size(), 1u);
    EXPECT_EQ(rig.prompts->asked[0], "Do you want to save your setting?");
    EXPECT_EQ(rig.prompts->styles[0], 0x23u);
  }
}

TEST_F(MainWindowTest, TheEventLoopKeepsRunningWhileASlowDeviceTakesABurstOfWrites) {
  Use("orvane,fast");
  WindowRig& rig = Rig(2000);
  ASSERT_TRUE(rig.Connect());
  rig.Settle();
  device_->slow->DelayMs = kReplyDelayMs;

  QSignalSpy burstDone(&rig.Session().Link(), &LinkThread::writeBurstFinished);
  StallMeter meter;
  QElapsedTimer clock;
  clock.start();

  // Twenty changes of four linked input gains, as a fader drag sends them.
  for (int step = 0; step < 20; ++step) {
    const int ch = step % 4;
    rig.store->Inputs[ch].Gain = static_cast<uint16_t>(500 + step);
    ASSERT_TRUE(rig.Session().SendWrite(0, static_cast<uint8_t>(ch), InputBlock, InputGroup::Level));
    EXPECT_FALSE(rig.Session().PollTimer().isActive());
    QTest::qWait(10);
  }
  while (rig.Session().PollTimer().isActive() == false && clock.elapsed() < 8000) QTest::qWait(20);
  const qint64 longest = meter.Stop();

  // A window that waited for the device would stall for a whole reply; a busy
  // machine may delay a tick by a fraction of one.
  EXPECT_LT(longest, kReplyDelayMs) << "the window waited for the device";
  EXPECT_GE(burstDone.count(), 1);
  EXPECT_EQ(rig.Session().PollTimer().interval(), kPollAfterWritesMs);
  // Superseded writes were not sent; the device still ends with the last values.
  EXPECT_LE(rig.Session().Link().WritesSent(), 8u);
  EXPECT_GE(rig.Session().Link().WritesSuperseded(), 12u);
  const auto device = device_->Memory();
  for (int ch = 0; ch < 4; ++ch) EXPECT_EQ(device->Inputs[ch].Gain, 516 + ch) << ch;
}

TEST_F(MainWindowTest, RemovalOfTheOpenDeviceGoesOfflineAndArrivalConnects) {
  Use("orvane,fast");
  WindowRig& rig = Rig();
  ASSERT_TRUE(rig.Connect());
  rig.Session().OnDeviceChange({HotplugEvent::Kind::Removed, "/dev/hidraw9"});  // another device
  EXPECT_TRUE(rig.Session().Online());
  rig.Session().OnDeviceChange({HotplugEvent::Kind::Arrived, "/dev/hidraw9"});  // online: ignored
  EXPECT_FALSE(rig.Session().Connecting());
  rig.Session().OnDeviceChange({HotplugEvent::Kind::Removed, "SIM:ORVANE"});
  EXPECT_FALSE(rig.Session().Online());
  EXPECT_FALSE(rig.Session().PollTimer().isActive());
  EXPECT_EQ(rig.window->Status()->StatusLine()->Text(), "System Status:OFFLine");

  // Offline, a processor that arrives is connected to.
  rig.Session().OnDeviceChange({HotplugEvent::Kind::Arrived, "/dev/hidraw-none"});
  EXPECT_TRUE(rig.Session().Connecting());
  EXPECT_EQ(rig.Session().Address(), "usb:/dev/hidraw-none");
  QSignalSpy done(rig.window.get(), &MainWindow::connectionDone);
  ASSERT_TRUE(done.wait(5000));
}

TEST_F(MainWindowTest, ADeviceThatGoesAwayByItselfTakesTheWindowOffline) {
  Use("orvane,fast,disconnect-after=" + std::to_string(ConnectionExchanges(4, 8) + 1));
  WindowRig& rig = Rig();
  ASSERT_TRUE(rig.Connect());
  QSignalSpy offline(&rig.Session(), &DeviceSession::wentOffline);
  rig.store->Outputs[0].Mute = 0;
  ASSERT_TRUE(rig.Session().SendWrite(0, 0, OutputBlock, OutputGroup::Level));
  ASSERT_TRUE(offline.wait(3000));
  EXPECT_EQ(rig.window->Status()->StatusLine()->Text(), "System Status:OFFLine");
  EXPECT_FALSE(rig.Session().SendWrite(0, 0, OutputBlock, OutputGroup::Level));  // nothing queued offline
}

}  // namespace
}  // namespace veyra::testing
