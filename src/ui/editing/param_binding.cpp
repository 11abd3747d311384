#include "editing/param_binding.hpp"

#include <algorithm>

#include "controls/skin_button.hpp"
#include "controls/skin_slider.hpp"
#include "controls/value_entry_field.hpp"
#include "editing/edit_context.hpp"
#include "state/scales.hpp"

namespace veyra {

int SliderMax(const ParamDescriptor& param) {
  switch (param.Scale) {
    case ParamScale::Frequency:
      return kFrequencySliderMax;
    case ParamScale::Width:
      return kWidthSliderMax;
    default:
      return param.Max - param.Min;
  }
}

int PositionOfCode(const ParamDescriptor& param, int code, bool opposite) {
  int position = 0;
  switch (param.Scale) {
    case ParamScale::Frequency:
      position = SliderPositionFromFrequency(code);
      break;
    case ParamScale::Width:
      position = SliderPositionFromWidth(code);
      break;
    default:
      position = code - param.Min;
      break;
  }
  position = std::clamp(position, 0, SliderMax(param));
  return opposite ? SliderMax(param) - position : position;
}

int CodeOfPosition(const ParamDescriptor& param, int position, bool opposite) {
  position = std::clamp(position, 0, SliderMax(param));
  if (opposite) position = SliderMax(param) - position;
  switch (param.Scale) {
    case ParamScale::Frequency:
      return RoundFrequencyFromSliderPosition(position);
    case ParamScale::Width:
      return WidthFromSliderPosition(position);
    default:
      return param.Min + position;
  }
}

ParamBinding::ParamBinding(EditContext& context, const ParamDescriptor& param, int channel, QObject* parent)
    : QObject(parent), context_(context), param_(&param), channel_(channel) {}

int ParamBinding::Code() const {
  return ReadCode(context_.Store(), *param_, channel_);
}

QString ParamBinding::Text(int code) const {
  return text_ ? text_(code) : QString::fromStdString(ParamText(*param_, context_.Store(), code));
}

void ParamBinding::Commit(int code) {
  // The key keeps a drag's, the wheel's or the arrow keys' steps of this
  // control on this channel together as one undo step.
  const QString key = QString("%1/%2/%3").arg(int(param_->Kind)).arg(channel_).arg(param_->Name.c_str());
  context_.SetParam(*param_, channel_, code, key);
}

bool ParamBinding::CommitTyped(const QString& typed) {
  const std::optional<int> code =
      typed_ ? typed_(typed.trimmed()) : ParseParam(*param_, typed.trimmed().toStdString());
  if (!code) return false;
  context_.SetParam(*param_, channel_, *code);
  return true;
}

BoundSlider::BoundSlider(EditContext& context, const ParamDescriptor& param, int channel, SkinSlider* slider,
                         bool opposite)
    : ParamBinding(context, param, channel, slider), slider_(slider), opposite_(opposite) {
  connect(slider_, &SkinSlider::sliderChanging, this, [this] {
    int code = CodeAtThumb();
    if (live_) {
      if (!dragging_) Context().BeginGesture();
      dragging_ = true;
      Commit(code);
      code = Code();  // what the store took: a limit holds the thumb where the value stopped
    }
    emit codeShown(code, Text(code));
  });
  connect(slider_, &SkinSlider::sliderChanged, this, [this] {
    // The release of a live drag: its last step was stored and sent already.
    if (!dragging_ || CodeAtThumb() != Code()) Commit(CodeAtThumb());
    if (dragging_) Context().EndGesture();  // the next drag is a step of its own
    dragging_ = false;
  });
}

int BoundSlider::CodeAtThumb() const {
  return CodeOfPosition(Param(), slider_->GetPos(), opposite_);
}

void BoundSlider::Reload() {
  slider_->SetRange(0, SliderMax(Param()), false);
  const int code = Code();
  slider_->SetPos(PositionOfCode(Param(), code, opposite_));
  emit codeShown(code, Text(code));
}

BoundField::BoundField(EditContext& context, const ParamDescriptor& param, int channel, ValueEntryField* field)
    : ParamBinding(context, param, channel, field), field_(field) {
  connect(field_, &ValueEntryField::valueEntered, this, [this] {
    field_->setModified(false);
    if (!CommitTyped(field_->text())) Reload();  // unreadable: the stored value again
  });
}

void BoundField::Reload() {
  if (field_->hasFocus() && field_->isModified()) return;  // the operator is typing
  field_->setText(Text(Code()));
}

BoundToggle::BoundToggle(EditContext& context, const ParamDescriptor& param, int channel, SkinButton* button,
                         int downCode, QString upCaption, QString downCaption)
    : ParamBinding(context, param, channel, button),
      button_(button),
      downCode_(downCode),
      captions_{std::move(upCaption), std::move(downCaption)} {
  connect(button_, &SkinButton::clicked, this, [this] {
    const bool wasDown = Code() == downCode_;
    // The other code of the two: Min and Max of a two-state parameter.
    const int up = downCode_ == Param().Min ? Param().Max : Param().Min;
    // Two clicks are two steps: merged, they would undo as nothing.
    Context().SetParam(Param(), Channel(), wasDown ? up : downCode_);
  });
}

void BoundToggle::SetCaptions(QString upCaption, QString downCaption) {
  captions_[0] = std::move(upCaption);
  captions_[1] = std::move(downCaption);
}

void BoundToggle::Reload() {
  const bool down = Code() == downCode_;
  button_->SetDown(down);
  button_->setText(captions_[down ? 1 : 0]);
}

}  // namespace veyra
