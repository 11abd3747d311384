#include "sim/sim_options.hpp"

#include <gtest/gtest.h>

#include "link/transport.hpp"
#include "sim/sim_transport.hpp"

namespace veyra::sim {
namespace {

TEST(SimOptions, Addresses) {
  struct Case {
    const char* text;
    bool ok;
    bool (*check)(const SimOptions&);
  } cases[] = {
      {"", true, [](const SimOptions& o) { return o.Model == 3 && o.ReportInterval == Micros(1000); }},
      {"orvane", true, [](const SimOptions& o) { return o.Model == 3 && o.ProcessingDelay == Micros(1000); }},
      {"Merial,drop-every=40", true, [](const SimOptions& o) { return o.Model == 2 && o.DropEvery == 40; }},
      {"sistel,fast,seed=7", true,
       [](const SimOptions& o) { return o.Model == 1 && o.Seed == 7 && o.ReportInterval.count() == 0; }},
      {"orvane,report-interval=0.25,late=12", true,
       [](const SimOptions& o) { return o.ReportInterval == Micros(250) && o.LateBy == Micros(12000); }},
      {"orvane,ignored-reply,noise=5,silent-after=3", true,
       [](const SimOptions& o) { return o.IgnoredReply && o.NoiseBytes == 5 && o.SilentAfter == 3; }},
      {"orvane,model-code=Zedra,disconnect-after=9", true,
       [](const SimOptions& o) { return o.ModelCode == "Zedra" && o.DisconnectAfter == 9; }},
      {"orvane,drop-chance=5,corrupt-chance=3,corrupt-every=11", true,
       [](const SimOptions& o) { return o.DropPercent == 5 && o.CorruptPercent == 3 && o.CorruptEvery == 11; }},
      {"zedra", false, nullptr},
      {"orvane,drop-every=", false, nullptr},
      {"orvane,drop-every=-1", false, nullptr},
      {"orvane,drop-chance=101", false, nullptr},
      {"orvane,late=soon", false, nullptr},
      {"orvane,silent=2", false, nullptr},
      {"orvane,model-code=NineBytes", false, nullptr},
      {"orvane,frobnicate=1", false, nullptr},
      {"orvane,,seed=1", false, nullptr},
  };
  for (const Case& c : cases) {
    SimOptions o;
    std::string error;
    EXPECT_EQ(ParseSimAddress(c.text, o, error), c.ok) << c.text << ": " << error;
    if (c.ok) {
      EXPECT_TRUE(c.check(o)) << c.text;
    } else {
      EXPECT_FALSE(error.empty()) << c.text;
    }
  }
}

TEST(SimOptions, DescriptionParsesBack) {
  SimOptions o;
  std::string error;
  ASSERT_TRUE(ParseSimAddress("merial,seed=9,drop-every=4,late=2.5,ignored-reply,model-code=X", o, error));
  SimOptions again;
  ASSERT_TRUE(ParseSimAddress(DescribeSimOptions(o), again, error)) << error;
  EXPECT_EQ(DescribeSimOptions(again), DescribeSimOptions(o));
  EXPECT_EQ(again.LateBy, Micros(2500));
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
