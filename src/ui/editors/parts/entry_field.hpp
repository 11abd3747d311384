// The typed-entry field every editor puts beside a control: a value entry
// field bound to one parameter of the edited channel, read by the
// parameter's typed-entry rule and committed as one undo step. Editors differ
// in the field number, the text and where it sits, not in how it works.
#pragma once

#include "editing/param_binding.hpp"

class QWidget;

namespace veyra {

// A field in parent reporting to owner (the dialog) as fieldNumber; text shows
// a code when not by the parameter's own text. The field is parent's child.
BoundField* MakeEntryField(EditContext& context, const ParamDescriptor& param, int channel, int fieldNumber,
                           QObject* owner, QWidget* parent, CodeText text = {}, int pointSize = 11);

}  // namespace veyra
