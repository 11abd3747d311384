#include "editing/ab_comparison.hpp"

#include <QUndoStack>
#include <cstring>

#include "controls/message_box.hpp"
#include "editing/edit_context.hpp"
#include "editing/prompts.hpp"
#include "editing/undo_step.hpp"

namespace veyra {
namespace {

bool Same(const LiveChannels& a, const LiveChannels& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

template <typename Record>
std::vector<uint8_t> Bytes(const Record& r) {
  const auto* p = reinterpret_cast<const uint8_t*>(&r);
  return {p, p + sizeof r};
}

// The channel records in which to differs from from, as undo images
// (records 0..7 the inputs, 8..15 the outputs, as the undo steps number them).
std::vector<RecordImage> ChannelImages(const LiveChannels& from, const LiveChannels& to) {
  std::vector<RecordImage> images;
  for (int i = 0; i < kChannelSlots; ++i) {
    if (std::memcmp(&from.Inputs[i], &to.Inputs[i], sizeof(InputChannel)) != 0)
      images.push_back({i, Bytes(from.Inputs[i]), Bytes(to.Inputs[i])});
  }
  for (int j = 0; j < kChannelSlots; ++j) {
    if (std::memcmp(&from.Outputs[j], &to.Outputs[j], sizeof(OutputChannel)) != 0)
      images.push_back({kChannelSlots + j, Bytes(from.Outputs[j]), Bytes(to.Outputs[j])});
  }
  return images;
}

}  // namespace

AbComparison::AbComparison(EditContext& context) : QObject(&context), context_(context) {}

AbComparison::~AbComparison() = default;

bool AbComparison::SidesDiffer() const {
  return active_ && !Same(*other_, LiveChannelsOf(context_.Store()));
}

bool AbComparison::Start() {
  if (active_ || context_.Locked() || context_.OperationRunning()) return false;
  context_.EndMerge();
  other_ = std::make_unique<LiveChannels>(LiveChannelsOf(context_.Store()));
  // A keeps the history that led here; B starts its own.
  otherHistory_ = new QUndoStack(&context_);
  otherHistory_->setUndoLimit(EditContext::kHistoryLimit);
  context_.AddHistory(*otherHistory_);
  active_ = true;
  shown_ = Side::A;
  emit stateChanged();
  return true;
}

bool AbComparison::Switch() {
  if (!active_ || context_.Locked() || context_.OperationRunning()) return false;
  ShowOther();
  emit stateChanged();
  return true;
}

void AbComparison::ShowOther() {
  context_.EndMerge();
  ParameterStore& store = context_.Store();
  const LiveChannels leaving = LiveChannelsOf(store);
  PutLiveChannels(store, *other_);
  *other_ = leaving;
  QUndoStack& shownHistory = context_.History();
  context_.UseHistory(*otherHistory_);
  otherHistory_ = &shownHistory;
  shown_ = shown_ == Side::A ? Side::B : Side::A;
  if (context_.Online()) {
    // The device holds the side that was shown (the writes queued before
    // this job reach it first); the job works on a copy of the store as it is now.
    auto work = std::make_shared<ParameterStore>(store);
    auto from = std::make_shared<LiveChannels>(leaving);
    context_.RunDeviceJob([work, from](DeviceLink& link) { SendChangedGroups(*work, link, *from); });
  }
  context_.Refresh();
}

bool AbComparison::CopyShownToOther() {
  if (!active_ || context_.Locked() || context_.OperationRunning()) return false;
  const LiveChannels shown = LiveChannelsOf(context_.Store());
  if (Same(*other_, shown)) return false;
  context_.EndMerge();
  const ParameterStore& store = context_.Store();
  const QString label =
      QString("Copy %1 to %2").arg(Letter(shown_)).arg(Letter(shown_ == Side::A ? Side::B : Side::A));
  // Pushed after the copy is made: the step's first redo does nothing, and
  // undoing it on the other side brings back what that side held.
  auto* step = new UndoStep(context_, label, {}, ChannelImages(*other_, shown),
                            WritesFor(ChangedGroups(*other_, shown, store.CurrentModel)));
  *other_ = shown;
  otherHistory_->push(step);
  emit stateChanged();
  return true;
}

bool AbComparison::Keep(Side side) {
  if (!active_) return false;
  if (side != shown_) {
    if (context_.Locked() || context_.OperationRunning()) return false;
    ShowOther();
  }
  End();
  return true;
}

QString AbComparison::EndQuestion(Side shown) {
  return QString("End the A/B comparison and keep %1?").arg(Letter(shown));
}

bool AbComparison::ConfirmEnd(QWidget* owner) {
  if (!SidesDiffer()) return true;
  return context_.Prompts().Ask(owner, EndQuestion(shown_), "Warning", kStyleYesNo | kIconQuestion) ==
         kResultYes;
}

void AbComparison::End() {
  if (!active_) return;
  active_ = false;
  other_.reset();
  delete otherHistory_;  // leaves the history group with it
  otherHistory_ = nullptr;
  emit stateChanged();
}

}  // namespace veyra
