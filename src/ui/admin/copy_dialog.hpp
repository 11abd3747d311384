// The Copy dialog: one input's settings onto another input ("Copy In"), one
// output's onto another output ("Copy Out"). A copy is one step of the change
// path: it writes the store, sends the target channel (and for inputs every
// output's level group, which carries the routing) while online, refreshes and
// can be undone. The dialog stays open.
#pragma once

#include "editing/editor_dialog.hpp"

class QWidget;

namespace veyra {

class SkinButton;
class SkinDropDown;

class CopyDialog : public EditorDialog {
  Q_OBJECT

 public:
  CopyDialog(EditContext& context, QWidget* parent = nullptr);

  SkinDropDown* InputSource() const { return inSource_; }
  SkinDropDown* InputTarget() const { return inTarget_; }
  SkinDropDown* OutputSource() const { return outSource_; }
  SkinDropDown* OutputTarget() const { return outTarget_; }
  SkinButton* CopyInButton() const { return copyIn_; }
  SkinButton* CopyOutButton() const { return copyOut_; }

 public slots:
  void CopyIn();
  void CopyOut();

 protected:
  void Reload() override;  // channel names may have changed (an undo, a connection)

 private:
  SkinDropDown* inSource_;
  SkinDropDown* inTarget_;
  SkinDropDown* outSource_;
  SkinDropDown* outTarget_;
  SkinButton* copyIn_;
  SkinButton* copyOut_;
};

QDialog* MakeCopyDialog(EditContext& context, int channel, QWidget* parent);

}  // namespace veyra
