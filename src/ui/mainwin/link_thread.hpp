// LinkThread: the one thread of the GUI that owns the device link. It runs
// jobs strictly one after another, so exchanges never interleave, and the
// window's thread never waits for the device.
//
// Jobs come in two kinds:
//   - single writes: a frame built from the store at the moment of the change.
//     A queued write that has not been sent yet is replaced by a newer one for
//     the same (slot, block, channel, group): the device ends in the same state
//     and a fader drag does not flood the link.
//   - any other job (the meter poll, the connection sequence, downloads): a
//     function that gets the link and the thread's own scratch store. Jobs that
//     read from the device take a private copy of the window's store with them
//     and hand their result back with LinkContext::Post; nothing here touches
//     the window's store.
//
// A job never reaches its owner's members on the link thread, not even the
// owner's pointer to this object: the owner's teardown may already be under
// way while the job finishes. Stop() ends the thread before the owner's members
// go; whatever a job posts from then on is dropped.
//
// The queue is bounded: writes by their addresses (at most one queued write per
// address), other jobs by kMaxQueuedJobs.
#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "link/device_link.hpp"
#include "link/messages.hpp"

namespace veyra {

class LinkThread;

struct LinkContext {
  DeviceLink& Link;
  ParameterStore& Scratch;  // the link thread's own store: replies to writes land here
  LinkThread& Thread;       // the thread the job runs on
  // Runs fn on the owner's thread later, unless the thread has been stopped by
  // then (fn is dropped, and so is everything it holds).
  void Post(std::function<void()> fn) const;
};
using LinkJob = std::function<void(LinkContext&)>;

// The address of one parameter group; writes to the same address supersede.
using WriteKey = MessageAddress;

class LinkThread : public QObject {
  Q_OBJECT

 public:
  static constexpr size_t kMaxQueuedJobs = 256;

  explicit LinkThread(LinkTiming timing = {}, QObject* parent = nullptr);
  // Stops.
  ~LinkThread() override;

  // Drops what is queued, lets the running job end (a cancel flag it watches
  // should be set first), joins the thread and closes the link. Nothing is
  // queued and nothing posted runs afterwards. Once is enough; later calls do
  // nothing. Called by the owner's thread.
  void Stop();
  LinkThread(const LinkThread&) = delete;
  LinkThread& operator=(const LinkThread&) = delete;

  // Queues a job behind everything queued before it. False when the queue is full.
  bool Enqueue(LinkJob job);
  // Queues one write exchange (replacing a queued one with the same key) and
  // returns its serial number (counting from 1); writeBurstFinished reports
  // serials back. 0 when the queue is full.
  uint64_t EnqueueWrite(const WriteKey& key, std::vector<uint8_t> frame);
  // Forgets the writes not sent yet (the device went away).
  void DropPendingWrites();

  // Runs fn on the thread this object lives on (the window's), later; dropped
  // when Stop() has been called by then or this object is gone.
  void PostToOwner(std::function<void()> fn);

  // Jobs queued and not yet started, and whether one is running.
  size_t QueuedJobs() const;
  bool Idle() const;
  // Blocks until the queue is empty and no job runs (tests and shutdown only).
  void WaitUntilIdle();

  // Exchanges by write jobs so far, and how many were superseded before sending.
  uint64_t WritesSent() const { return writesSent_; }
  uint64_t WritesSuperseded() const { return writesSuperseded_; }

 signals:
  // A write job ended and no other write is queued: lastSerial is the newest
  // write sent; accepted says whether its reply came.
  void writeBurstFinished(quint64 lastSerial, bool accepted);
  // The device went away (reported by the transport).
  void deviceRemoved();

 private:
  struct Job {
    LinkJob Run;           // other jobs
    bool IsWrite = false;  // write jobs
    WriteKey Key;
    std::vector<uint8_t> Frame;
    uint64_t Serial = 0;
  };

  void Loop();
  void RunWrite(Job& job);

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<Job> queue_;
  bool running_ = false;
  bool stopping_ = false;
  std::atomic<bool> stopped_{false};  // Stop() has begun: posted functions are dropped
  uint64_t nextSerial_ = 1;
  std::atomic<uint64_t> writesSent_{0};
  std::atomic<uint64_t> writesSuperseded_{0};

  LinkTiming timing_;
  std::unique_ptr<DeviceLink> link_;  // used on the link thread only
  std::unique_ptr<ParameterStore> scratch_;
  std::thread thread_;
};

}  // namespace veyra
