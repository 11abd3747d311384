#include "mainwin/link_thread.hpp"

#include <QMetaObject>
#include <algorithm>

namespace veyra {

LinkThread::LinkThread(LinkTiming timing, QObject* parent)
    : QObject(parent),
      timing_(timing),
      link_(std::make_unique<DeviceLink>(timing)),
      scratch_(std::make_unique<ParameterStore>()) {
  // The transport reports a removal on its reception thread; the window hears
  // of it on its own thread.
  link_->SetRemovalHandler([this] { PostToOwner([this] { emit deviceRemoved(); }); });
  thread_ = std::thread([this] { Loop(); });
}

LinkThread::~LinkThread() {
  Stop();
}

void LinkThread::Stop() {
  if (stopped_.exchange(true)) return;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  idle_.notify_all();  // nobody waits for idleness past the shutdown
  if (thread_.joinable()) thread_.join();
  // The link thread closed the link on its way out: no removal report can
  // start after this.
  link_->SetRemovalHandler({});
}

void LinkContext::Post(std::function<void()> fn) const {
  Thread.PostToOwner(std::move(fn));
}

bool LinkThread::Enqueue(LinkJob job) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_ || queue_.size() >= kMaxQueuedJobs) return false;
    Job entry;
    entry.Run = std::move(job);
    queue_.push_back(std::move(entry));
  }
  wake_.notify_one();
  return true;
}

uint64_t LinkThread::EnqueueWrite(const WriteKey& key, std::vector<uint8_t> frame) {
  uint64_t serial = 0;
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return 0;
    serial = nextSerial_++;
    // Only a write with nothing of another kind queued behind it may be
    // replaced: jumping over a later job would change the order the device sees.
    for (auto it = queue_.rbegin(); it != queue_.rend() && it->IsWrite; ++it) {
      if (it->Key == key) {
        it->Frame = std::move(frame);
        it->Serial = serial;
        // Keep the queue in serial order: the replaced write moves to the end.
        Job moved = std::move(*it);
        queue_.erase(std::next(it).base());
        queue_.push_back(std::move(moved));
        ++writesSuperseded_;
        wake_.notify_one();
        return serial;
      }
    }
    if (queue_.size() >= kMaxQueuedJobs) return 0;
    Job entry;
    entry.IsWrite = true;
    entry.Key = key;
    entry.Frame = std::move(frame);
    entry.Serial = serial;
    queue_.push_back(std::move(entry));
  }
  wake_.notify_one();
  return serial;
}

void LinkThread::DropPendingWrites() {
  std::lock_guard lock(mutex_);
  std::erase_if(queue_, [](const Job& job) { return job.IsWrite; });
  if (queue_.empty() && !running_) idle_.notify_all();
}

void LinkThread::PostToOwner(std::function<void()> fn) {
  if (stopped_) return;
  // Checked again where it runs: Stop() may come between posting and running.
  // A function still queued when this object goes is dropped by Qt.
  QMetaObject::invokeMethod(
      this,
      [this, fn = std::move(fn)] {
        if (!stopped_) fn();
      },
      Qt::QueuedConnection);
}

size_t LinkThread::QueuedJobs() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

bool LinkThread::Idle() const {
  std::lock_guard lock(mutex_);
  return queue_.empty() && !running_;
}

void LinkThread::WaitUntilIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return (queue_.empty() && !running_) || stopping_; });
}

void LinkThread::Loop() {
  LinkContext context{*link_, *scratch_, *this};
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) break;
    Job job = std::move(queue_.front());
    queue_.pop_front();
    running_ = true;
    lock.unlock();
    if (job.IsWrite) {
      RunWrite(job);
    } else if (job.Run) {
      job.Run(context);
    }
    lock.lock();
    running_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
  running_ = false;
  idle_.notify_all();
  lock.unlock();
  // Every call on the device but the read comes from this thread, the close too.
  link_->Close();
}

void LinkThread::RunWrite(Job& job) {
  const bool accepted = link_->Exchange(*scratch_, job.Frame).accepted();
  ++writesSent_;
  bool moreWrites = false;
  {
    std::lock_guard lock(mutex_);
    moreWrites = std::any_of(queue_.begin(), queue_.end(), [](const Job& j) { return j.IsWrite; });
  }
  if (!moreWrites) {
    const uint64_t serial = job.Serial;
    PostToOwner([this, serial, accepted] { emit writeBurstFinished(serial, accepted); });
  }
}

}  // namespace veyra
