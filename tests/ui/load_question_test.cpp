// The question before a file that fails the file check is loaded: File >
// Open and Upload All from PC ask (Recall Preset from File reads its file as
// the upload does), Cancel leaves the store as it was and Load anyway loads it.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "editor_test_support.hpp"
#include "files/preset_operations.hpp"
#include "files/store_files.hpp"

namespace veyra::testing {
namespace {

class LoadQuestionTest : public EditorTest {
 protected:
  QString Path(const char* name) { return dir_.filePath(name); }
  QTemporaryDir dir_;
};

TEST_F(LoadQuestionTest, CancelKeepsTheStoreAndLoadAnywayLoads) {
  StartOn("orvane,fast", false);
  struct Case {
    const char* File;
    std::function<void(ParameterStore&, const QString&)> Write;  // a file with one field out of range
    std::function<bool(const QString&)> Load;
    std::function<bool(const ParameterStore&)> Loaded;
    const char* Question;
  };
  const Case cases[] = {
      {"damaged.dat",
       [](ParameterStore& s, const QString& path) {
         s.Inputs[0].Gain = 61000;
         ASSERT_TRUE(WriteSettingsFile(s, path.toStdString()).ok());
       },
       [this](const QString& path) { return rig_->window->OpenSettingsFile(path); },
       [](const ParameterStore& s) { return s.Inputs[0].Gain == 61000; },
       "damaged.dat has 1 field outside the ranges the editors can set (Input A Gain +6040.0dB). "
       "It may be damaged or not a settings file.\n\nLoad it anyway?"},
      {"damaged.dama",
       [](ParameterStore& s, const QString& path) {
         std::copy_n(s.Inputs, kChannelSlots, s.Presets[30].Inputs);
         s.Presets[30].Inputs[1].GroupNumber = 77;
         ASSERT_TRUE(WriteBankFile(s, path.toStdString()).ok());
       },
       [this](const QString& path) { return PresetOperations::Of(Context()).UploadAll(path); },
       [](const ParameterStore& s) { return s.Presets[30].Inputs[1].GroupNumber == 77; },
       "damaged.dama has 1 field outside the ranges the editors can set (Program 30 Input B Group 77). "
       "It may be damaged or not a program file."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.File);
    const QString path = Path(c.File);
    const auto file = std::make_unique<ParameterStore>();
    InitialiseStore(*file);
    c.Write(*file, path);
    Prompts().loadQuestions.clear();
    const ParameterStore before = Store();
    EXPECT_FALSE(c.Load(path));
    EXPECT_TRUE(SameStore(Store(), before));
    EXPECT_FALSE(PresetOperations::Of(Context()).Busy());
    ASSERT_EQ(Prompts().loadQuestions.size(), 1u);
    EXPECT_TRUE(Prompts().loadQuestions[0].startsWith(c.Question))
        << Prompts().loadQuestions[0].toStdString();

    QSignalSpy finished(&PresetOperations::Of(Context()), &PresetOperations::finished);
    Prompts().loadAnswers = {true};
    EXPECT_TRUE(c.Load(path));
    if (PresetOperations::Of(Context()).Busy()) {
      EXPECT_TRUE(finished.wait(10000));
    }
    EXPECT_TRUE(c.Loaded(Store()));
    EXPECT_EQ(Prompts().loadQuestions.size(), 2u);
  }
}

}  // namespace
}  // namespace veyra::testing
