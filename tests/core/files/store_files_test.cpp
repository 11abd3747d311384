#include "files/store_files.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <memory>

#include "state/device_text.hpp"
#include "test_files.hpp"

namespace veyra {
namespace {

namespace fs = std::filesystem;
using namespace veyra::testing;

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
void PrintTo(const FileKind& kind, std::ostream* out) {
  *out << kind.name;
}

const FileKind kKinds[] = {
    {"settings", 7362, 0, SettingsFileBytes, WriteSettingsFile, ReadSettingsFile},
    {"preset", 6708, 4, [](const ParameterStore& s) { return PresetFileBytes(s, kProgram); },
     [](const ParameterStore& s, const fs::path& p, const SaveOptions& o) {
       return WritePresetFile(s, kProgram, p, o);
     },
     [](ParameterStore& s, const fs::path& p) { return ReadPresetFile(s, kProgram, p); }},
    {"bank", 201120, 0, BankFileBytes, WriteBankFile, ReadBankFile},
};

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
  const FileKind& kind = GetParam();
  ScratchDir dir;
  const fs::path path = dir / "a.file";
};

TEST_P(StoreFiles, RoundTripIsByteForByteAndNeedsNoWriteAccess) {
  const auto original = RandomStore(1);
  ASSERT_TRUE(kind.write(*original, path, {}).ok());
  const auto written = ReadAll(path);
  EXPECT_EQ(written.size(), kind.size);
  EXPECT_EQ(written, kind.image(*original));

  fs::permissions(path, fs::perms::owner_read);
  auto loaded = RandomStore(2);
  const LoadResult result = kind.read(*loaded, path);
  EXPECT_TRUE(result.complete()) << result.Error;
  EXPECT_EQ(LoadNotice(result), "");
  EXPECT_EQ(kind.image(*loaded), written);

  // A complete file of any content, loaded and saved again, comes back identical.
  auto foreign = RandomBytes(kind.size, 3);
  std::memcpy(foreign.data(), written.data(), kind.storedFrom);
  WriteAll(dir / "b.file", foreign);
  ASSERT_TRUE(kind.read(*loaded, dir / "b.file").complete());
  ASSERT_TRUE(kind.write(*loaded, dir / "b.file", {}).ok());
  EXPECT_EQ(ReadAll(dir / "b.file"), foreign);
}

TEST_P(StoreFiles, ShortAndLongFilesTouchOnlyTheBytesTheyHold) {
  for (const size_t length :
       {size_t{0}, size_t{1}, size_t{5}, kind.size / 2 + 3, kind.size - 1, kind.size + 100}) {
    SCOPED_TRACE(length);
    const auto store = RandomStore(4);
    auto expected = kind.image(*store);
    const auto file = RandomBytes(length, 5);
    WriteAll(path, file);
    const LoadResult result = kind.read(*store, path);
    ASSERT_TRUE(result.ok()) << result.Error;
    const size_t used = std::min(length, kind.size);
    EXPECT_EQ(result.BytesRead, used);
    EXPECT_EQ(result.BytesExpected, kind.size);
    EXPECT_EQ(result.TrailingData, length > kind.size);
    for (size_t i = kind.storedFrom; i < used; ++i) expected[i] = file[i];
    EXPECT_EQ(kind.image(*store), expected);
    const std::string notice = LoadNotice(result);
    EXPECT_NE(notice.find(length > kind.size ? "longer than"
                                             : std::to_string(used) + " bytes read, " +
                                                   std::to_string(kind.size) + " expected"),
              std::string::npos);
    EXPECT_NE(notice.find(path.string()), std::string::npos) << notice;
  }
}

TEST_P(StoreFiles, UnreadableFilesLeaveTheStoreAlone) {
  const auto store = RandomStore(6);
  const auto copy = std::make_unique<ParameterStore>(*store);
  fs::create_directory(dir / "folder");
  for (const auto& [target, reason] : {std::pair{dir / "missing", "No such file or directory"},
                                       std::pair{dir / "folder", "Is a directory"}}) {
    const LoadResult result = kind.read(*store, target);
    EXPECT_NE(result.Error.find(target.string() + "\": " + reason), std::string::npos) << result.Error;
    EXPECT_EQ(LoadNotice(result), "");
    EXPECT_TRUE(SameStore(*store, *copy));
  }
}

TEST_P(StoreFiles, AFailedSaveKeepsThePreviousFile) {
  const auto old = RandomBytes(kind.size, 8);
  WriteAll(path, old);
  const auto store = RandomStore(9);
  SaveOptions diskFull;  // fills up half-way through the first chunk
  diskFull.Write = [](std::FILE* file, std::span<const std::byte> chunk) {
    const size_t half = std::fwrite(chunk.data(), 1, chunk.size() / 2, file);
    errno = ENOSPC;
    return half;
  };
  const SaveResult result = kind.write(*store, path, diskFull);
  EXPECT_EQ(result.Error, "Cannot save \"" + path.string() + "\": No space left on device");
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_EQ(dir.Count(), 1u);

  fs::create_directory(dir / "folder");  // a folder is never replaced
  EXPECT_FALSE(kind.write(*store, dir / "folder", {}).ok());
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  EXPECT_EQ(dir.Count(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, StoreFiles, ::testing::ValuesIn(kKinds),
                         [](const auto& test) { return std::string(test.param.name); });

template <class T = std::string>
T At(const std::vector<std::byte>& bytes, size_t offset) {
  if constexpr (std::is_same_v<T, std::string>) {
    return reinterpret_cast<const char*>(bytes.data() + offset);
  } else {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
  }
}

TEST(StoreFileLayout, LandmarksLieWhereOtherProgramsLookForThem) {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  store->Inputs[5].GroupNumber = 0x04030201;
  store->Outputs[2].GroupNumber = 0x0A0B0C0D;
  store->Outputs[2].Routing[3] = 1;
  store->System.LockState = 1;
  store->System.CurrentProgram = 17;
  ASSERT_TRUE(SetFieldBytes(store->InputGroups[3].Name, "Drums"));
  ASSERT_TRUE(SetFieldBytes(store->OutputGroups[7].Name, "Fills"));
  const auto file = SettingsFileBytes(*store);
  EXPECT_EQ(At<uint32_t>(file, 5 * 520 + 448), 0x04030201u);
  EXPECT_EQ(At(file, 5 * 520 + 510), "IN F");
  EXPECT_EQ(At<uint32_t>(file, 4160 + 2 * 316 + 240), 0x0A0B0C0Du);
  EXPECT_EQ(At<uint8_t>(file, 4160 + 2 * 316 + 268 + 3), 1);
  EXPECT_EQ(At(file, 4160 + 7 * 316 + 304), "OUT 8");
  EXPECT_EQ(At<uint8_t>(file, 6688 + 202), 1);
  EXPECT_EQ(At<uint8_t>(file, 6688 + 224), 17);
  EXPECT_EQ(At(file, 6914 + 3 * 28 + 4), "Drums");
  EXPECT_EQ(At(file, 7138 + 7 * 28 + 4), "Fills");
  const auto bank = BankFileBytes(*store);
  EXPECT_EQ(At(bank, 0 * 6704 + 6688), "Preset 1");
  EXPECT_EQ(At(bank, 29 * 6704 + 6688), "Preset 30");
}

TEST(StoreFileLayout, AProgramFileLandsInTheChosenProgram) {
  auto store = std::make_unique<ParameterStore>();
  FillRandom(store->Presets[5], 10);
  const auto file = PresetFileBytes(*store, 5);
  EXPECT_EQ(At<uint32_t>(file, 0), 4u);  // the program's index, from 0
  auto expected = std::make_unique<ParameterStore>(*store);
  expected->Presets[12] = store->Presets[5];
  EXPECT_TRUE(ReadPresetData(*store, 12, file).complete());
  for (const int program : {0, 31}) {
    EXPECT_FALSE(ReadPresetData(*store, program, file).ok());
    EXPECT_FALSE(WritePresetFile(*store, program, "unused").ok());
    EXPECT_TRUE(PresetFileBytes(*store, program).empty());
  }
  EXPECT_TRUE(SameStore(*store, *expected));
}

}  // namespace
}  // namespace veyra
