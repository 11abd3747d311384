#include "editors/parts/entry_field.hpp"

#include <QWidget>

#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"

namespace veyra {

BoundField* MakeEntryField(EditContext& context, const ParamDescriptor& param, int channel, int fieldNumber,
                           QObject* owner, QWidget* parent, CodeText text, int pointSize) {
  auto* field = new ValueEntryField(parent);
  field->Attach(owner, fieldNumber);
  field->setAlignment(Qt::AlignCenter);
  field->setFont(skin::ControlFont(pointSize));
  auto* bound = new BoundField(context, param, channel, field);
  if (text) bound->SetText(std::move(text));
  return bound;
}

}  // namespace veyra
