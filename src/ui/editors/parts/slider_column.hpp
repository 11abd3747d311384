// SliderColumn: the column the dynamics, gain and mic editors are made of: a
// caption, a vertical fader bound to one parameter of the edited channel, its
// readout, and optionally an entry field and a pair of two-state buttons
// under it. What differs between editors (the parameter, captions, sizes,
// which parts are shown) is the column's configuration.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "editing/param_binding.hpp"

namespace veyra {

class SkinLabel;

struct SliderColumnLook {
  int Width = 70;
  int CaptionHeight = 20;
  int ReadoutHeight = 20;
  int FaderHeight = 220;
  int EntryHeight = 22;
  int ButtonHeight = 24;
  bool ReadoutAboveFader = false;  // the gain editors' readout sits over the fader
  bool EntryLast = false;          // the entry field under the buttons instead of above them
};

class SliderColumn : public QWidget {
  Q_OBJECT

 public:
  SliderColumn(EditContext& context, const ParamDescriptor& param, int channel, const QString& caption,
               const SliderColumnLook& look = {}, QWidget* parent = nullptr);
  ~SliderColumn() override;

  // An entry field under the readout, bound to the same parameter.
  ValueEntryField* AddEntryField(int fieldNumber);
  // A two-state button under the column, bound to another parameter of the channel.
  SkinButton* AddToggle(const ParamDescriptor& param, int downCode, const QString& upCaption,
                        const QString& downCaption);

  void SetChannel(int channel);
  void SetCaption(const QString& caption);
  // How the readout (and the entry field) show a code, when not the parameter's own text.
  void SetReadoutText(CodeText text);
  void SetEntryText(CodeText text);
  // Rewrites the fader, readout, field and buttons from the store.
  void Reload();

  BoundSlider& Fader() { return *fader_; }
  SkinLabel* Caption() const { return caption_; }
  SkinLabel* Readout() const { return readout_; }
  BoundField* Entry() const { return entry_; }
  BoundToggle* Toggle(size_t index) const { return toggles_.at(index); }

 signals:
  // While the thumb moves and after every reload: the code it shows.
  void codeShown(int code);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  SliderColumnLook look_;
  SkinLabel* caption_;
  SkinLabel* readout_;
  BoundSlider* fader_;
  BoundField* entry_ = nullptr;
  std::vector<BoundToggle*> toggles_;
};

// The dialogs made of one column per channel: the columns of the first count
// channels are shown `pitch` pixels apart from x = left and re-read from the
// store, the others hidden. Returns the size that holds the shown ones with
// a margin of `left` around them (the dialog is narrowed to it).
QSize ShowChannelColumns(const std::vector<SliderColumn*>& columns, int count, int left, int pitch);

}  // namespace veyra
