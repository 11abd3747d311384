// Controls bound to the parameter table: a fader's range and the position of
// a code, the text a readout shows and the rule of a typed entry all come
// from the parameter's descriptor, and a committed value goes through the
// editing context's change path. The editors' columns are built on these.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "params/param_table.hpp"

namespace veyra {

class EditContext;
class SkinButton;
class SkinSlider;
class ValueEntryField;

// How a fader lays out a parameter: positions 0..SliderMax. Opposite: the
// position runs against the code (a vertical fader's top is the largest value).
int SliderMax(const ParamDescriptor& param);
int PositionOfCode(const ParamDescriptor& param, int code, bool opposite);
int CodeOfPosition(const ParamDescriptor& param, int position, bool opposite);

// What a binding shows for a code; the descriptor's text unless an editor
// shows the same code another way (a number without its unit, say).
using CodeText = std::function<QString(int code)>;
// How a field reads a typed text, when not by the parameter's own rule (a
// delay typed as a distance); nullopt when the text cannot be read.
using TypedRule = std::function<std::optional<int>(const QString& typed)>;

// The parameter and channel a control edits; the editor may move it to
// another channel (its Control row) or parameter (a slider's mode).
class ParamBinding : public QObject {
  Q_OBJECT

 public:
  ParamBinding(EditContext& context, const ParamDescriptor& param, int channel, QObject* parent);

  EditContext& Context() { return context_; }
  const ParamDescriptor& Param() const { return *param_; }
  int Channel() const { return channel_; }
  void SetParam(const ParamDescriptor& param) { param_ = &param; }
  void SetChannel(int channel) { channel_ = channel; }
  void SetText(CodeText text) { text_ = std::move(text); }
  void SetTyped(TypedRule typed) { typed_ = std::move(typed); }

  int Code() const;
  QString Text(int code) const;
  // Commits a code: stored (limited to the range), sent, copied to the linked
  // members, one undo step; consecutive commits of one binding merge.
  void Commit(int code);
  // Commits a typed text by the parameter's rule; false (nothing changed)
  // when the text cannot be read.
  bool CommitTyped(const QString& typed);

 private:
  EditContext& context_;
  const ParamDescriptor* param_;
  int channel_;
  CodeText text_;
  TypedRule typed_;
};

// A fader bound to a parameter. While the thumb moves only the readout text
// changes (changing); on release, a key or a wheel notch the code is committed.
// A live fader commits every step of a drag as well (stored, sent, copied to
// the linked members and redrawn while it moves); the whole drag is one undo
// step.
class BoundSlider : public ParamBinding {
  Q_OBJECT

 public:
  BoundSlider(EditContext& context, const ParamDescriptor& param, int channel, SkinSlider* slider, bool opposite);

  SkinSlider* Slider() const { return slider_; }
  void SetLive(bool live) { live_ = live; }
  // Range and position from the store.
  void Reload();
  int CodeAtThumb() const;

 signals:
  // The code under the thumb and its text, while dragging and after a commit or reload.
  void codeShown(int code, const QString& text);

 private:
  SkinSlider* slider_;
  bool opposite_;
  bool live_ = false;
  bool dragging_ = false;
};

// An entry field bound to a parameter: Enter commits the typed value; the
// field shows the stored value again when the text cannot be read or after
// every refresh (unless the operator is typing in it).
class BoundField : public ParamBinding {
  Q_OBJECT

 public:
  BoundField(EditContext& context, const ParamDescriptor& param, int channel, ValueEntryField* field);

  ValueEntryField* Field() const { return field_; }
  void Reload();

 private:
  ValueEntryField* field_;
};

// A two-state button bound to a parameter with two codes: down shows
// downCode; a click commits the other code. Its captions follow the state.
class BoundToggle : public ParamBinding {
  Q_OBJECT

 public:
  BoundToggle(EditContext& context, const ParamDescriptor& param, int channel, SkinButton* button, int downCode,
              QString upCaption, QString downCaption);

  SkinButton* Button() const { return button_; }
  // Other captions for the two states (shown from the next reload).
  void SetCaptions(QString upCaption, QString downCaption);
  void Reload();

 private:
  SkinButton* button_;
  int downCode_;
  QString captions_[2];
};

}  // namespace veyra
