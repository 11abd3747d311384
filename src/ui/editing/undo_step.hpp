// One undoable step of the change path: the before and after images of the
// records a change touched and the messages it sent. Undo puts the before
// images back, redo the after images; both send the same messages again so
// that the processor ends where the store is.
#pragma once

#include <QElapsedTimer>
#include <QUndoCommand>
#include <cstdint>
#include <vector>

#include "editing/edit_context.hpp"
#include "editing/refresh_scope.hpp"

namespace veyra {

// The records a step can touch: the live channels and the group records.
// (Programs and the system block change only through wholesale operations
// and the administration dialogs, which clear the history or keep out of it.)
struct EditableRecords {
  InputChannel Inputs[kChannelSlots];
  OutputChannel Outputs[kChannelSlots];
  ChannelGroup InputGroups[kChannelSlots];
  ChannelGroup OutputGroups[kChannelSlots];

  static EditableRecords From(const ParameterStore& store);
};

struct RecordImage {
  int Record = 0;  // index into the 32 records: inputs, outputs, input groups, output groups
  std::vector<uint8_t> Before;
  std::vector<uint8_t> After;
};

// The records that differ between two images, with both images of each.
std::vector<RecordImage> ChangedRecords(const EditableRecords& before, const ParameterStore& after);
// Writes the before (or after) images back into the store.
void PutImages(ParameterStore& store, const std::vector<RecordImage>& images, bool after);

class UndoStep : public QUndoCommand {
 public:
  static constexpr int kMergeableId = 0x5645;  // one id: MergeKey decides

  UndoStep(EditContext& context, const QString& label, const QString& mergeKey, std::vector<RecordImage> images,
           std::vector<SendAddress> sent);

  void undo() override;
  void redo() override;
  int id() const override { return mergeKey_.isEmpty() ? -1 : kMergeableId; }
  bool mergeWith(const QUndoCommand* other) override;

  const std::vector<RecordImage>& Images() const { return images_; }
  const std::vector<SendAddress>& Sent() const { return sent_; }

 private:
  void Put(bool after);

  EditContext& context_;
  QString mergeKey_;
  std::vector<RecordImage> images_;
  std::vector<SendAddress> sent_;
  QElapsedTimer lastChange_;
  bool applied_ = true;  // pushed after the change was made: the first redo does nothing
  bool sealed_ = false;
};

}  // namespace veyra
