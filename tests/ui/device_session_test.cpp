// A device session torn down while its link thread runs one of the session's
// jobs (the window closing mid-poll, mid-connection, mid-download). Whatever
// the job still does may reach neither the session nor its store once the
// teardown has begun; what it posted back is dropped. The sanitizer build is
// what sees a job that gets this wrong, so each case runs many rounds.
#include "mainwin/device_session.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>

#include "link/messages.hpp"
#include "mainwin_test_support.hpp"

namespace veyra::testing {
namespace {

enum class Busy { Connecting, Polling, Downloading, WritingThenPolling };

struct TeardownCase {
  const char* Name;
  Busy What;
  int Rounds;
};

// Lets the window's events run until the link thread has taken everything
// queued and is still inside a job.
bool WaitUntilAJobRuns(LinkThread& link) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 10000) {
    QCoreApplication::processEvents();
    if (link.QueuedJobs() == 0 && !link.Idle()) return true;
  }
  return false;
}

// Starts the session's work for the case and returns once a job of it runs.
void StartWork(const TeardownCase& c, TestDevice& device, ParameterStore& store, DeviceSession& session) {
  if (c.What == Busy::Connecting) {
    // Real device time: the sequence takes far longer than the first percent.
    QSignalSpy progress(&session, &DeviceSession::connectionProgress);
    ASSERT_EQ(session.Connect("testsim:"), DeviceSession::Start::Started);
    ASSERT_TRUE(progress.wait(10000));
    return;
  }
  QSignalSpy finished(&session, &DeviceSession::connectionFinished);
  ASSERT_EQ(session.Connect("testsim:"), DeviceSession::Start::Started);
  ASSERT_TRUE(finished.wait(10000));
  ASSERT_TRUE(session.Online());
  device.slow->DelayMs = 3;  // every reply takes a while from now on
  switch (c.What) {
    case Busy::Polling:
      session.PollTimer().start(0);
      break;
    case Busy::Downloading:
      ASSERT_TRUE(session.DownloadLive());
      break;
    case Busy::WritingThenPolling:
      for (uint8_t ch = 0; ch < 4; ++ch) {
        store.Inputs[ch].Gain = static_cast<uint16_t>(600 + ch);
        ASSERT_TRUE(session.SendWrite(0, ch, InputBlock, InputGroup::Level));
      }
      session.PollTimer().start(0);  // the poll queues behind the writes
      break;
    case Busy::Connecting:
      break;
  }
  ASSERT_TRUE(WaitUntilAJobRuns(session.Link()));
}

class DeviceSessionTeardown : public ::testing::TestWithParam<TeardownCase> {
 protected:
  void TearDown() override { UseTestDevice(nullptr); }
};

TEST_P(DeviceSessionTeardown, EndsWhileAJobRunsWithoutTheJobReachingTheSession) {
  const TeardownCase& c = GetParam();
  for (int round = 0; round < c.Rounds; ++round) {
    SCOPED_TRACE(round);
    TestDevice device(c.What == Busy::Connecting ? "orvane" : "orvane,fast");
    UseTestDevice(&device);
    auto store = std::make_unique<ParameterStore>();
    store->CurrentModel = 1;
    auto session = std::make_unique<DeviceSession>(*store, TestTiming(2000));
    StartWork(c, device, *store, *session);
    if (HasFatalFailure()) return;
    session.reset();
    // Results the job posted on its way out are dropped with the link thread;
    // one that ran would reach the freed session.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    store.reset();
    UseTestDevice(nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(Jobs, DeviceSessionTeardown,
                         ::testing::Values(TeardownCase{"Connecting", Busy::Connecting, 8},
                                           TeardownCase{"Polling", Busy::Polling, 12},
                                           TeardownCase{"Downloading", Busy::Downloading, 6},
                                           TeardownCase{"WritingThenPolling", Busy::WritingThenPolling, 6}),
                         [](const ::testing::TestParamInfo<TeardownCase>& param) {
                           return param.param.Name;
                         });

}  // namespace
}  // namespace veyra::testing
