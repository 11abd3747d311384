// The editor dialogs on the real stack: a main window on a demo device of
// one model (online or not), the writes the device received, and groups to
// link channels with. The dialogs are made directly on the window's context.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include "controls/value_entry_field.hpp"
#include "editing/edit_context.hpp"
#include "link/messages.hpp"
#include "mainwin_test_support.hpp"
#include "state/models.hpp"
#include "ui_test_util.hpp"

namespace veyra::testing {

class EditorTest : public ::testing::Test {
 protected:
  // A demo device of the model; online when connect is set, else the window
  // switches to the model by itself.
  void Start(bool connect, const std::string& model = "orvane") { StartOn(model + ",fast", connect); }
  // The same with the simulator's whole address ("sistel,fast,drop-every=3");
  // offline the window takes the address's model, or model when given.
  void StartOn(const std::string& address, bool connect, int model = 0) {
    device_ = std::make_unique<TestDevice>(address);
    UseTestDevice(device_.get());
    rig_ = std::make_unique<WindowRig>();
    EXPECT_TRUE(test::ShowActive(rig_->window.get()));
    if (connect) {
      EXPECT_TRUE(rig_->Connect());
    } else {
      if (model == 0) model = ModelFromCliName(address.substr(0, address.find(','))).value_or(1);
      SwitchModel(*rig_->store, model, [this] { rig_->window->RefreshMainWindow(); });
    }
    rig_->Settle();
    device_->Forget();
  }
  void TearDown() override {
    rig_.reset();
    UseTestDevice(nullptr);
  }
  EditContext& Context() { return rig_->window->Context(); }
  ParameterStore& Store() { return *rig_->store; }
  ScriptedPrompts& Prompts() { return *rig_->prompts; }
  std::vector<Request> Writes() {
    rig_->Settle();
    std::vector<Request> writes;
    for (const Request& r : device_->Requests())
      if (r.Command == WriteCommand) writes.push_back(r);
    device_->Forget();
    return writes;
  }
  static Request Level(ChannelKind kind, int channel) {
    return {WriteCommand, 0, BlockOf(kind), static_cast<uint8_t>(channel), 1};
  }
  // Channels a and b in group 3 of the kind, with one link flag set.
  void Link(ChannelKind kind, int a, int b, uint8_t ChannelGroup::*flag) {
    ChannelGroup* groups = kind == ChannelKind::Input ? Store().InputGroups : Store().OutputGroups;
    groups[2] = ChannelGroup{};
    groups[2].*flag = 1;
    for (const int ch : {a, b}) WithChannel(Store(), kind, ch, [](auto& c) { c.GroupNumber = 3; });
  }
  // Key presses carrying each character, as a keyboard or an input method gives them.
  static void Type(QWidget* field, const QString& text) {
    field->setFocus();
    for (const QChar ch : text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
      QApplication::sendEvent(field, &press);
    }
  }
  static void Enter(ValueEntryField* field, const QString& text) {
    field->setText(text);
    field->setModified(true);
    QTest::keyClick(field, Qt::Key_Return);
  }

  std::unique_ptr<TestDevice> device_;
  std::unique_ptr<WindowRig> rig_;
};

}  // namespace veyra::testing
