// What the veyractl tests share: the built tool run as a child process in a
// scratch folder, paths and text files in that folder, and a store to write
// files from.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/files/test_files.hpp"
#include "sim/tool_process.hpp"
#include "state/parameter_store.hpp"

namespace veyra::testing {

class VeyractlTest : public ::testing::Test {
 protected:
  ToolRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), VEYRACTL_EXE);
    return RunTool(args, dir_ / "");
  }
  // On a device; the simulators answer at once, so no pause between reports.
  ToolRun Run(const std::string& device, std::vector<std::string> args) {
    args.insert(args.begin(), {"--report-gap", "0", "--device", device});
    return Run(std::move(args));
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name) << text;
    return Path(name);
  }

  ScratchDir dir_;
  std::unique_ptr<ParameterStore> store_ = std::make_unique<ParameterStore>();
  ParameterStore& s = *store_;
};

}  // namespace veyra::testing
