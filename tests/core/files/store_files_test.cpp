#include "files/store_files.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

#include "state/device_text.hpp"
#include "test_files.hpp"

namespace veyra {
namespace {

namespace fs = std::filesystem;
using testing::FillRandom;
using testing::RandomBytes;
using testing::ReadAll;
using testing::ScratchDir;
using testing::WriteAll;

constexpr int kProgram = 7;

// The three file kinds, so that every rule is checked on each of them.
struct FileKind {
  const char* name;
  size_t size;
  size_t storedFrom;  // image bytes before this are not kept in the store (the program index)
  std::function<std::vector<std::byte>(const ParameterStore&)> image;
  std::function<SaveResult(const ParameterStore&, const fs::path&, const SaveOptions&)> write;
  std::function<LoadResult(ParameterStore&, const fs::path&)> read;
};

const FileKind kKinds[] = {
    {"settings", 7362, 0, SettingsFileBytes, WriteSettingsFile, ReadSettingsFile},
    {"preset", 6708, 4, [](const ParameterStore& s) { return PresetFileBytes(s, kProgram); },
     [](const ParameterStore& s, const fs::path& p, const SaveOptions& o) {
       return WritePresetFile(s, kProgram, p, o);
     },
     [](ParameterStore& s, const fs::path& p) { return ReadPresetFile(s, kProgram, p); }},
    {"bank", 201120, 0, BankFileBytes, WriteBankFile, ReadBankFile},
};

void PrintTo(const FileKind& kind, std::ostream* out) {
  *out << kind.name;
}

std::unique_ptr<ParameterStore> RandomStore(unsigned seed) {
  auto store = std::make_unique<ParameterStore>();
  FillRandom(*store, seed);
  return store;
}

bool SameStore(const ParameterStore& a, const ParameterStore& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

class StoreFiles : public ::testing::TestWithParam<FileKind> {
 protected:
  ScratchDir dir_;
};

TEST_P(StoreFiles, RoundTripIsByteForByte) {
  const FileKind& kind = GetParam();
  const auto original = RandomStore(1);
  const fs::path path = dir_ / "a.file";
  ASSERT_TRUE(kind.write(*original, path, {}).ok());
  const auto written = ReadAll(path);
  EXPECT_EQ(written.size(), kind.size);
  EXPECT_EQ(written, kind.image(*original));

  auto loaded = RandomStore(2);
  const LoadResult result = kind.read(*loaded, path);
  EXPECT_TRUE(result.complete()) << result.Error;
  EXPECT_EQ(result.BytesRead, kind.size);
  EXPECT_EQ(LoadNotice(result), "");
  EXPECT_EQ(kind.image(*loaded), written);

  // A complete file of any content, loaded and saved again, comes back identical.
  auto foreign = RandomBytes(kind.size, 3);
  if (kind.storedFrom > 0) std::memcpy(foreign.data(), written.data(), kind.storedFrom);
  WriteAll(path, foreign);
  ASSERT_TRUE(kind.read(*loaded, path).complete());
  ASSERT_TRUE(kind.write(*loaded, dir_ / "b.file", {}).ok());
  EXPECT_EQ(ReadAll(dir_ / "b.file"), foreign);
}

TEST_P(StoreFiles, ShortAndLongFilesTouchOnlyTheBytesTheyHold) {
  const FileKind& kind = GetParam();
  const fs::path path = dir_ / "short.file";
  for (const size_t length :
       {size_t{0}, size_t{1}, size_t{5}, kind.size / 2 + 3, kind.size - 1, kind.size + 100}) {
    SCOPED_TRACE(length);
    const auto store = RandomStore(4);
    const auto before = kind.image(*store);
    const auto file = RandomBytes(length, 5);
    WriteAll(path, file);

    const LoadResult result = kind.read(*store, path);
    ASSERT_TRUE(result.ok()) << result.Error;
    const size_t used = std::min(length, kind.size);
    EXPECT_EQ(result.BytesRead, used);
    EXPECT_EQ(result.BytesExpected, kind.size);
    EXPECT_EQ(result.TrailingData, length > kind.size);
    EXPECT_FALSE(result.complete());

    auto expected = before;
    for (size_t i = kind.storedFrom; i < used; ++i) expected[i] = file[i];
    EXPECT_EQ(kind.image(*store), expected);
    const std::string notice = LoadNotice(result);
    EXPECT_NE(notice.find(length > kind.size ? "longer than" : "Only " + std::to_string(used) + " of"),
              std::string::npos)
        << notice;
    EXPECT_NE(notice.find(path.string()), std::string::npos);
  }
}

TEST_P(StoreFiles, UnreadableFilesLeaveTheStoreAlone) {
  const FileKind& kind = GetParam();
  const auto store = RandomStore(6);
  const auto copy = std::make_unique<ParameterStore>(*store);
  struct Case {
    fs::path path;
    const char* reason;
  };
  fs::create_directory(dir_ / "folder");
  for (const Case& c :
       {Case{dir_ / "missing.file", "No such file or directory"}, Case{dir_ / "folder", "Is a directory"}}) {
    const LoadResult result = kind.read(*store, c.path);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.Error.find(c.path.string()), std::string::npos) << result.Error;
    EXPECT_NE(result.Error.find(c.reason), std::string::npos) << result.Error;
    EXPECT_EQ(result.BytesRead, 0u);
    EXPECT_EQ(LoadNotice(result), "");
    EXPECT_TRUE(SameStore(*store, *copy));
  }
}

TEST_P(StoreFiles, WriteProtectedFilesStillLoad) {
  const FileKind& kind = GetParam();
  const auto source = RandomStore(7);
  const fs::path path = dir_ / "protected.file";
  ASSERT_TRUE(kind.write(*source, path, {}).ok());
  fs::permissions(path, fs::perms::owner_read);
  auto store = std::make_unique<ParameterStore>();
  EXPECT_TRUE(kind.read(*store, path).complete());
  EXPECT_EQ(kind.image(*store), kind.image(*source));
}

TEST_P(StoreFiles, AFailedSaveKeepsThePreviousFile) {
  const FileKind& kind = GetParam();
  const fs::path path = dir_ / "kept.file";
  const auto old = RandomBytes(kind.size, 8);
  WriteAll(path, old);
  const auto store = RandomStore(9);

  // The disk fills up after half of the first chunk.
  SaveOptions full;
  full.Write = [](std::FILE* file, std::span<const std::byte> chunk) {
    const size_t half = std::fwrite(chunk.data(), 1, chunk.size() / 2, file);
    errno = ENOSPC;
    return half;
  };
  const SaveResult result = kind.write(*store, path, full);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.Error.find(path.string()), std::string::npos) << result.Error;
  EXPECT_NE(result.Error.find("No space left on device"), std::string::npos) << result.Error;
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"kept.file"});

  // A target that is a folder cannot be replaced; the folder stays.
  fs::create_directory(dir_ / "folder");
  EXPECT_FALSE(kind.write(*store, dir_ / "folder", {}).ok());
  EXPECT_TRUE(fs::is_directory(dir_ / "folder"));

  // A folder that does not exist.
  const SaveResult nowhere = kind.write(*store, dir_ / "no" / "such.file", {});
  EXPECT_NE(nowhere.Error.find("No such file or directory"), std::string::npos) << nowhere.Error;

  // And a save that works replaces the file whole.
  ASSERT_TRUE(kind.write(*store, path, {}).ok());
  EXPECT_EQ(ReadAll(path), kind.image(*store));
  EXPECT_EQ(dir_.Entries().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, StoreFiles, ::testing::ValuesIn(kKinds),
                         [](const auto& test) { return std::string(test.param.name); });

template <class T>
T At(const std::vector<std::byte>& bytes, size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

std::string TextAt(const std::vector<std::byte>& bytes, size_t offset) {
  return std::string(reinterpret_cast<const char*>(bytes.data() + offset));
}

TEST(SettingsFile, LandmarksLieWhereOtherProgramsLookForThem) {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  store->Inputs[5].GroupNumber = 0x04030201;
  ASSERT_TRUE(SetFieldBytes(store->Inputs[5].Name, "Vocal"));
  store->Outputs[2].GroupNumber = 0x0A0B0C0D;
  store->Outputs[2].Routing[3] = 1;
  ASSERT_TRUE(SetFieldBytes(store->Outputs[2].Name, "Sub L"));
  store->System.LockState = 1;
  store->System.CurrentProgram = 17;
  ASSERT_TRUE(SetFieldBytes(store->InputGroups[3].Name, "Drums"));
  ASSERT_TRUE(SetFieldBytes(store->OutputGroups[7].Name, "Fills"));

  ScratchDir dir;
  ASSERT_TRUE(WriteSettingsFile(*store, dir / "s.dat").ok());
  const auto file = ReadAll(dir / "s.dat");
  ASSERT_EQ(file.size(), 7362u);
  EXPECT_EQ(At<uint32_t>(file, 5 * 520 + 448), 0x04030201u);
  EXPECT_EQ(TextAt(file, 5 * 520 + 510), "Vocal");
  EXPECT_EQ(TextAt(file, 0 * 520 + 510), "IN A");
  EXPECT_EQ(At<uint32_t>(file, 4160 + 2 * 316 + 240), 0x0A0B0C0Du);
  EXPECT_EQ(At<uint8_t>(file, 4160 + 2 * 316 + 268 + 3), 1);
  EXPECT_EQ(TextAt(file, 4160 + 2 * 316 + 304), "Sub L");
  EXPECT_EQ(TextAt(file, 4160 + 7 * 316 + 304), "OUT 8");
  EXPECT_EQ(At<uint8_t>(file, 6688 + 202), 1);
  EXPECT_EQ(At<uint8_t>(file, 6688 + 224), 17);
  EXPECT_EQ(At<uint8_t>(file, 6688 + 205), 28);  // the initial temperature
  EXPECT_EQ(TextAt(file, 6914 + 3 * 28 + 4), "Drums");
  EXPECT_EQ(TextAt(file, 7138 + 7 * 28 + 4), "Fills");
  EXPECT_EQ(At<uint32_t>(file, 7138 + 4 * 28), 5u);  // output group 5's first word
}

TEST(PresetFile, IndexIsWrittenAndIgnoredOnLoading) {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  FillRandom(store->Presets[5].Inputs, 10);
  FillRandom(store->Presets[5].Outputs, 11);
  ASSERT_TRUE(SetFieldBytes(store->Presets[5].Name, "Sunday Service"));
  const auto program12 = store->Presets[12];

  ScratchDir dir;
  ASSERT_TRUE(WritePresetFile(*store, 5, dir / "p.preset").ok());
  const auto file = ReadAll(dir / "p.preset");
  ASSERT_EQ(file.size(), 6708u);
  EXPECT_EQ(At<uint32_t>(file, 0), 4u);
  EXPECT_EQ(TextAt(file, 4), "Sunday Service");
  EXPECT_EQ(std::memcmp(file.data() + 20, &store->Presets[5].Inputs, 4160), 0);
  EXPECT_EQ(std::memcmp(file.data() + 4180, &store->Presets[5].Outputs, 2528), 0);

  // Recalled while program 12 is chosen, it lands in program 12 and nowhere else.
  const auto before = std::make_unique<ParameterStore>(*store);
  ASSERT_TRUE(ReadPresetFile(*store, 12, dir / "p.preset").complete());
  EXPECT_EQ(std::memcmp(&store->Presets[12], &store->Presets[5], sizeof(PresetSlot)), 0);
  EXPECT_NE(std::memcmp(&program12, &store->Presets[12], sizeof(PresetSlot)), 0);
  store->Presets[12] = program12;
  EXPECT_TRUE(SameStore(*store, *before));
}

TEST(PresetFile, ProgramsOutsideOneToThirtyAreRefused) {
  auto store = std::make_unique<ParameterStore>();
  const auto copy = std::make_unique<ParameterStore>(*store);
  ScratchDir dir;
  WriteAll(dir / "p.preset", RandomBytes(6708, 12));
  for (const int program : {0, 31, -1}) {
    EXPECT_FALSE(WritePresetFile(*store, program, dir / "q.preset").ok());
    EXPECT_FALSE(ReadPresetFile(*store, program, dir / "p.preset").ok());
    EXPECT_TRUE(PresetFileBytes(*store, program).empty());
  }
  EXPECT_TRUE(SameStore(*store, *copy));
  EXPECT_FALSE(fs::exists(dir / "q.preset"));
}

TEST(BankFile, HoldsProgramsOneToThirtyInOrder) {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  ScratchDir dir;
  ASSERT_TRUE(WriteBankFile(*store, dir / "b.dama").ok());
  const auto file = ReadAll(dir / "b.dama");
  for (int p = 1; p <= kPresetCount; ++p) {
    EXPECT_EQ(TextAt(file, (p - 1) * 6704 + 6688), "Preset " + std::to_string(p));
  }
}

}  // namespace
}  // namespace veyra
