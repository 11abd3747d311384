// Many syncs against devices that lose and garble replies: each one either
// succeeds with the store equal to the device or fails with the store as it
// was, and none outlasts its deadlines.
#include <gtest/gtest.h>

#include <chrono>

#include "sim/random.hpp"
#include "sim_test_support.hpp"
#include "state/text_format.hpp"
#include "sync/programs.hpp"

namespace veyra::testing {
namespace {

using Clock = std::chrono::steady_clock;

TEST(Soak, EverySyncSucceedsWholeOrFailsCleanly) {
  const auto stopAt = Clock::now() + std::chrono::seconds(3);
  int succeeded = 0, failed = 0;
  for (uint64_t seed = 1; seed <= 40 && Clock::now() < stopAt; ++seed) {
    sim::Random r(seed);
    const std::string address = Format("orvane,fast,seed=%llu,drop-every=%d,corrupt-chance=%d,noise=%d%s",
                                       static_cast<unsigned long long>(seed), r.Between(200, 800),
                                       r.Between(1, 5), r.Below(20), r.Chance(30) ? ",ignored-reply" : "");
    SimRig rig(address, TestTiming(60));
    // Download All retries, so it mostly gets through the same faults the
    // connection met; the device changes in between.
    for (const bool download : {false, true}) {
      const auto before = std::make_unique<ParameterStore>(*rig.store);
      const auto started = Clock::now();
      const SyncResult result = download ? DownloadAllPresets(*rig.store, rig.link)
                                         : static_cast<SyncResult>(ConnectionSequence(*rig.store, rig.link));
      // At most one exchange waits out its deadline: the sequence stops there.
      EXPECT_LT(Clock::now() - started, std::chrono::seconds(2)) << address;
      if (!result.ok()) {
        failed += !download;
        EXPECT_EQ(result.Status, SyncStatus::NoReply) << address;
        EXPECT_TRUE(SameStore(*rig.store, *before)) << address;
        break;
      }
      succeeded += !download;
      ASSERT_TRUE(StoreMatchesDevice(*rig.store, *rig.Device())) << address;
      rig.ChangeDevice([](ParameterStore& d) { d.Preset(3).Outputs[1].Gain = 345; });
    }
  }
  EXPECT_GT(succeeded, 0);
  EXPECT_GT(failed, 0);
}

}  // namespace
}  // namespace veyra::testing
