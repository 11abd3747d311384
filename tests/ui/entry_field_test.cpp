#include <gtest/gtest.h>

#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QSignalSpy>

#include "controls/value_entry_field.hpp"
#include "ui/ui_test_util.hpp"

namespace veyra {
namespace {

struct Field {
  QDialog dialog;  // a dialog, so that Enter reaching it would close it
  ValueEntryField* field = new ValueEntryField(&dialog);
  QWidget* other = new QWidget(&dialog);
  Field(int number = 2) {
    field->Attach(&dialog, number);
    field->setGeometry(10, 10, 100, 22);
    other->setFocusPolicy(Qt::StrongFocus);
    other->setGeometry(10, 40, 20, 20);
    dialog.resize(140, 80);
  }
};

TEST(ValueEntryField, NinthCharacterIsRefusedButEditingKeysWork) {
  Field f;
  QSignalSpy typed(f.field, &ValueEntryField::valueTyped);
  QTest::keyClicks(f.field, "12345678");
  EXPECT_EQ(f.field->text(), "12345678");
  EXPECT_EQ(typed.count(), 8);
  EXPECT_EQ(typed.at(0).at(0).toInt(), 2);

  QTest::keyClick(f.field, '9');
  EXPECT_EQ(f.field->text(), "12345678");
  EXPECT_EQ(typed.count(), 8);

  QTest::keyClick(f.field, Qt::Key_Backspace);  // at full length editing still works
  EXPECT_EQ(f.field->text(), "1234567");
  f.field->setCursorPosition(0);
  QTest::keyClick(f.field, Qt::Key_Delete);
  EXPECT_EQ(f.field->text(), "234567");
  QTest::keyClicks(f.field, "abc");
  EXPECT_EQ(f.field->text(), "ab234567");

  f.field->selectAll();  // typing over a selection replaces it
  QTest::keyClick(f.field, 'x');
  EXPECT_EQ(f.field->text(), "x");
  // Owners may write longer readout texts; the limit is for typing only.
  f.field->setText("-30.0dB ms");
  EXPECT_EQ(f.field->text(), "-30.0dB ms");
}

// Pasted and input-method text counts against the limit as a whole.
TEST(ValueEntryField, PasteAndInputMethodTextMustFit) {
  Field f;
  f.field->setText("123");
  f.field->end(false);
  for (const char* paste : {"456789", "45"}) {
    QGuiApplication::clipboard()->setText(paste);
    QTest::keyClick(f.field, Qt::Key_V, Qt::ControlModifier);
  }
  EXPECT_EQ(f.field->text(), "12345");
  for (const char* commit : {"五六七八", "五六"}) {
    QInputMethodEvent event;
    event.setCommitString(QString::fromUtf8(commit));
    QApplication::sendEvent(f.field, &event);
  }
  EXPECT_EQ(f.field->text(), QString::fromUtf8("12345五六"));
}

TEST(ValueEntryField, EnterReportsTheFieldNumberAndIsNotInserted) {
  Field f(2);
  ASSERT_TRUE(test::ShowActive(&f.dialog));
  f.field->setFocus();
  f.field->setText("12.5");
  QSignalSpy entered(f.field, &ValueEntryField::valueEntered);
  QTest::keyClick(f.field, Qt::Key_Return);
  QTest::keyClick(f.field, Qt::Key_Enter, Qt::KeypadModifier);
  ASSERT_EQ(entered.count(), 2);
  EXPECT_EQ(entered.at(0).at(0).toInt(), 2);
  EXPECT_EQ(f.field->text(), "12.5");
  EXPECT_TRUE(f.dialog.isVisible()) << "Enter must not reach the dialog";
  EXPECT_EQ(f.field->Owner(), &f.dialog);
}

TEST(ValueEntryField, FocusTurnsTheFieldBlueAndReports) {
  Field f(5);
  ASSERT_TRUE(test::ShowActive(&f.dialog));
  f.other->setFocus();
  QSignalSpy focused(f.field, &ValueEntryField::fieldFocused);
  EXPECT_EQ(f.field->palette().color(QPalette::Base), QColor(Qt::white));
  f.field->setFocus();
  EXPECT_EQ(f.field->palette().color(QPalette::Base), QColor(2, 166, 227));
  ASSERT_EQ(focused.count(), 1);
  EXPECT_EQ(focused.at(0).at(0).toInt(), 5);
  f.other->setFocus();
  EXPECT_EQ(f.field->palette().color(QPalette::Base), QColor(Qt::white));
}

}  // namespace
}  // namespace veyra
