#include <gtest/gtest.h>

#include "link/transport.hpp"
#include "sim/sim_options.hpp"
#include "sim/sim_transport.hpp"

namespace veyra::sim {
namespace {

// The fault options are exercised by the sync tests; here the defaults, the
// names that differ from their fields, and what is refused.
TEST(SimOptions, Addresses) {
  SimOptions o;
  std::string error;
  ASSERT_TRUE(ParseSimAddress("", o, error));
  EXPECT_TRUE(o.Model == 3 && o.ReportInterval == Micros(1000) && o.ProcessingDelay == Micros(1000));
  ASSERT_TRUE(ParseSimAddress("Merial,fast,report-interval=0.25,late=12,drop-chance=5", o, error)) << error;
  EXPECT_TRUE(o.Model == 2 && o.ProcessingDelay.count() == 0 && o.ReportInterval == Micros(250));
  EXPECT_TRUE(o.LateBy == Micros(12000) && o.DropPercent == 5);
  for (const char* bad : {"zedra", "orvane,drop-every=", "orvane,drop-chance=101", "orvane,silent=2",
                          "orvane,model-code=NineBytes", "orvane,frobnicate=1"}) {
    error.clear();
    EXPECT_FALSE(ParseSimAddress(bad, o, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(SimOptions, SchemeIsRegisteredOnRequest) {
  RegisterSimulatorTransport();
  auto made = CreateTransport("sim:merial,fast");
  ASSERT_TRUE(made.transport) << made.error;
  EXPECT_EQ(made.transport->Path(), "sim:merial");
  auto bad = CreateTransport("sim:merial,drop-every=x");
  EXPECT_FALSE(bad.transport);
  EXPECT_NE(bad.error.find("drop-every"), std::string::npos);
  auto absent = CreateTransport("sim:orvane,absent");
  ASSERT_TRUE(absent.transport);
  EXPECT_EQ(absent.transport->Open({}, {}).Status, OpenStatus::NotFound);
}

}  // namespace
}  // namespace veyra::sim
