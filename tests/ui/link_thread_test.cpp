// The link thread on its own: order, supersession of queued writes, the
// burst report, and stopping with work queued or running.
#include "mainwin/link_thread.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <future>
#include <thread>

#include "sim/sim_test_support.hpp"

namespace veyra::testing {
namespace {

struct ThreadRig {
  ThreadRig() : options(Options("orvane,fast")), engine(std::make_shared<sim::SimulatorEngine>(options)) {
    auto recording =
        std::make_unique<RecordingTransport>(std::make_unique<sim::SimulatorTransport>(engine, options));
    recorder = recording.get();
    auto transport = std::make_shared<std::unique_ptr<Transport>>(std::move(recording));
    thread.Enqueue([transport](LinkContext& context) {
      context.Link.SetTransport(std::move(*transport));
      context.Link.Open();
    });
    thread.WaitUntilIdle();
  }
  // Holds the link thread in a running job until Release.
  void Hold() {
    auto started = std::make_shared<std::promise<void>>();
    thread.Enqueue([started, future = release.get_future().share()](LinkContext&) {
      started->set_value();
      future.wait();
    });
    started->get_future().wait();
  }
  void Release() { release.set_value(); }
  std::vector<uint8_t> GainWrite(ParameterStore& store, uint8_t channel, uint16_t gain) {
    store.Inputs[channel].Gain = gain;
    return BuildFrame(WriteCommand, 1, 0, InputBlock, channel, InputGroup::Level,
                      *BuildWritePayload(store, 0, InputBlock, channel, InputGroup::Level));
  }

  sim::SimOptions options;
  std::shared_ptr<sim::SimulatorEngine> engine;
  RecordingTransport* recorder = nullptr;
  std::promise<void> release;  // outlives the thread, which may still wait on it
  LinkThread thread{TestTiming()};
};

TEST(LinkThread, QueuedWritesToOneAddressCollapseButNeverJumpAnotherJob) {
  ThreadRig rig;
  ParameterStore store;
  InitialiseStore(store);
  rig.Hold();
  QSignalSpy burst(&rig.thread, &LinkThread::writeBurstFinished);
  const uint64_t first =
      rig.thread.EnqueueWrite({0, InputBlock, 0, InputGroup::Level}, rig.GainWrite(store, 0, 501));
  rig.thread.EnqueueWrite({0, InputBlock, 1, InputGroup::Level}, rig.GainWrite(store, 1, 502));
  const uint64_t third =
      rig.thread.EnqueueWrite({0, InputBlock, 0, InputGroup::Level}, rig.GainWrite(store, 0, 503));
  EXPECT_GT(third, first);
  EXPECT_EQ(rig.thread.QueuedJobs(), 2u);  // input 1, input 0 (the hold is running)
  std::atomic<int> marks{0};
  rig.thread.Enqueue([&marks](LinkContext&) { ++marks; });
  // Behind another job a write to the same address is a new one: the device
  // sees it after that job, as the window made it.
  const uint64_t last =
      rig.thread.EnqueueWrite({0, InputBlock, 0, InputGroup::Level}, rig.GainWrite(store, 0, 504));
  EXPECT_EQ(rig.thread.QueuedJobs(), 4u);
  EXPECT_EQ(rig.thread.WritesSuperseded(), 1u);
  rig.Release();
  rig.thread.WaitUntilIdle();

  const std::vector<Request> expected{{WriteCommand, 0, InputBlock, 1, InputGroup::Level},
                                      {WriteCommand, 0, InputBlock, 0, InputGroup::Level},
                                      {WriteCommand, 0, InputBlock, 0, InputGroup::Level}};
  EXPECT_EQ(rig.recorder->Requests(), expected);
  EXPECT_EQ(marks.load(), 1);
  EXPECT_EQ(rig.engine->WithDevice([](sim::SimulatedProcessor& p) { return p.Memory().Inputs[0].Gain; }),
            504);
  // The end of the writes is reported once, when none is left queued, with
  // the newest write.
  for (int k = 0; k < 20 && burst.count() < 1; ++k) QTest::qWait(5);
  QTest::qWait(5);
  ASSERT_EQ(burst.count(), 1);
  EXPECT_EQ(burst[0][0].toULongLong(), last);
  EXPECT_TRUE(burst[0][1].toBool());
}

TEST(LinkThread, TheQueueIsBoundedAndShutdownDropsWhatIsQueued) {
  auto* rig = new ThreadRig();
  rig->Hold();
  std::atomic<int> ran{0};
  size_t accepted = 0;
  for (size_t k = 0; k < LinkThread::kMaxQueuedJobs + 10; ++k)
    if (rig->thread.Enqueue([&ran](LinkContext&) { ++ran; })) ++accepted;
  EXPECT_LT(accepted, LinkThread::kMaxQueuedJobs + 10);
  EXPECT_EQ(rig->thread.EnqueueWrite({0, OutputBlock, 0, OutputGroup::Level}, {1, 2, 3}), 0u);
  // Writes are bounded by their addresses instead: a queued one is replaced.
  rig->thread.DropPendingWrites();
  // Shut down while the held job runs: the queue is dropped first, then the
  // held job is let go, so none of the queued jobs may run.
  std::thread destroyer([rig] { delete rig; });
  rig->thread.WaitUntilIdle();  // returns once the shutdown has begun
  rig->Release();
  destroyer.join();
  EXPECT_EQ(ran.load(), 0);
}

TEST(LinkThread, StopLetsTheRunningJobEndAndDropsWhatItPosts) {
  ThreadRig rig;
  bool postedBefore = false, postedDuring = false;  // read and written on this thread only
  std::atomic<bool> jobEnded{false};
  std::atomic<int> queuedRan{0};
  auto started = std::make_shared<std::promise<void>>();
  auto gate = std::make_shared<std::promise<void>>();
  rig.thread.Enqueue([&, started, go = gate->get_future().share()](LinkContext& context) {
    context.Post([&postedBefore] { postedBefore = true; });  // still queued at the stop
    started->set_value();
    go.wait();
    context.Post([&postedDuring] { postedDuring = true; });  // posted while stopping
    jobEnded = true;
  });
  started->get_future().wait();
  rig.thread.Enqueue([&queuedRan](LinkContext&) { ++queuedRan; });

  std::thread stopper([&rig] { rig.thread.Stop(); });
  rig.thread.WaitUntilIdle();  // returns once the stop has begun
  gate->set_value();
  stopper.join();
  EXPECT_TRUE(jobEnded.load());
  rig.thread.Stop();  // a second stop does nothing
  EXPECT_FALSE(rig.thread.Enqueue([&queuedRan](LinkContext&) { ++queuedRan; }));
  EXPECT_EQ(rig.thread.EnqueueWrite({0, OutputBlock, 0, OutputGroup::Level}, {1, 2, 3}), 0u);
  // The object is still there, but nothing posted runs once it has stopped.
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_FALSE(postedBefore);
  EXPECT_FALSE(postedDuring);
  EXPECT_EQ(queuedRan.load(), 0);
}

}  // namespace
}  // namespace veyra::testing
