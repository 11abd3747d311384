#include "editing/undo_step.hpp"

#include <algorithm>
#include <cstring>
#include <span>
#include <type_traits>

namespace veyra {
namespace {

constexpr int kRecords = 4 * kChannelSlots;

// Record r of a store or of an image (both name their arrays alike).
template <typename Records>
auto RecordSpan(Records& records, int record) {
  using Byte = std::conditional_t<std::is_const_v<Records>, const uint8_t, uint8_t>;
  auto bytes = [](auto& r) { return std::span<Byte>(reinterpret_cast<Byte*>(&r), sizeof r); };
  const int i = record % kChannelSlots;
  switch (record / kChannelSlots) {
    case 0:
      return bytes(records.Inputs[i]);
    case 1:
      return bytes(records.Outputs[i]);
    case 2:
      return bytes(records.InputGroups[i]);
    default:
      return bytes(records.OutputGroups[i]);
  }
}

}  // namespace

EditableRecords EditableRecords::From(const ParameterStore& store) {
  EditableRecords records;
  std::memcpy(records.Inputs, store.Inputs, sizeof records.Inputs);
  std::memcpy(records.Outputs, store.Outputs, sizeof records.Outputs);
  std::memcpy(records.InputGroups, store.InputGroups, sizeof records.InputGroups);
  std::memcpy(records.OutputGroups, store.OutputGroups, sizeof records.OutputGroups);
  return records;
}

RefreshScope RefreshScope::Of(const std::vector<RecordImage>& images) {
  RefreshScope scope;
  scope.Everything = false;
  for (const RecordImage& image : images) {
    if (image.Record < kChannelSlots) {
      scope.Inputs |= static_cast<uint8_t>(1u << image.Record);
    } else if (image.Record < 2 * kChannelSlots) {
      scope.Outputs |= static_cast<uint8_t>(1u << (image.Record - kChannelSlots));
    } else {
      return All();
    }
  }
  return scope;
}

std::vector<RecordImage> ChangedRecords(const EditableRecords& before, const ParameterStore& after) {
  std::vector<RecordImage> changed;
  for (int record = 0; record < kRecords; ++record) {
    const auto a = RecordSpan(before, record);
    const auto b = RecordSpan(after, record);
    if (std::equal(a.begin(), a.end(), b.begin())) continue;
    changed.push_back({record, {a.begin(), a.end()}, {b.begin(), b.end()}});
  }
  return changed;
}

void PutImages(ParameterStore& store, const std::vector<RecordImage>& images, bool after) {
  for (const RecordImage& image : images) {
    const auto target = RecordSpan(store, image.Record);
    const auto& bytes = after ? image.After : image.Before;
    std::copy(bytes.begin(), bytes.end(), target.begin());
  }
}

UndoStep::UndoStep(EditContext& context, const QString& label, const QString& mergeKey,
                   std::vector<RecordImage> images, std::vector<SendAddress> sent)
    : QUndoCommand(label), context_(context), mergeKey_(mergeKey), images_(std::move(images)),
      sent_(std::move(sent)) {
  lastChange_.start();
}

void UndoStep::undo() {
  Put(false);
}

void UndoStep::redo() {
  if (applied_) {  // the change itself was the first redo
    applied_ = false;
    return;
  }
  Put(true);
}

void UndoStep::Put(bool after) {
  PutImages(context_.Store(), images_, after);
  context_.SendAll(sent_);
  context_.Refresh(RefreshScope::Of(images_));
  sealed_ = true;  // a step that was undone or redone is complete
}

bool UndoStep::mergeWith(const QUndoCommand* other) {
  const auto* next = static_cast<const UndoStep*>(other);
  if (sealed_ || next->mergeKey_ != mergeKey_ ||
      (lastChange_.elapsed() > EditContext::kMergeWindowMs && !context_.InGesture()))
    return false;
  for (const RecordImage& image : next->images_) {
    auto mine = std::find_if(images_.begin(), images_.end(),
                             [&](const RecordImage& r) { return r.Record == image.Record; });
    if (mine == images_.end()) {
      images_.push_back(image);
    } else {
      mine->After = image.After;
    }
  }
  for (const SendAddress& address : next->sent_)
    if (std::find(sent_.begin(), sent_.end(), address) == sent_.end()) sent_.push_back(address);
  // A merged step whose change went back to where it started is still a step:
  // QUndoStack keeps it, and undo then changes nothing visible.
  lastChange_.restart();
  return true;
}

}  // namespace veyra
