// Who belongs to a group: the channels of the kind below the model's count
// whose GroupNumber names it.
#include "groups/group_links.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "state/models.hpp"

namespace veyra {
namespace {

TEST(GroupMembers, AreTheModelsChannelsThatNameTheGroup) {
  struct Case {
    ChannelKind Kind;
    int Model;
    uint32_t Group;
    std::vector<int> Members;
  };
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  for (int c : {0, 2, 5, 7}) store->Outputs[c].GroupNumber = 3;
  for (int c : {1, 3}) store->Inputs[c].GroupNumber = 3;
  store->Inputs[2].GroupNumber = 1;
  for (const Case& c : {Case{ChannelKind::Output, 3, 3, {0, 2, 5, 7}},
                        Case{ChannelKind::Output, 1, 3, {0, 2}}, Case{ChannelKind::Input, 1, 3, {1}},
                        Case{ChannelKind::Input, 3, 3, {1, 3}}, Case{ChannelKind::Input, 3, 1, {2}},
                        Case{ChannelKind::Input, 3, 0, {}}, Case{ChannelKind::Output, 3, 2, {}}}) {
    // The counts alone: a model switch would swap the live records out.
    store->InputCount = FindModel(c.Model)->InputCount;
    store->OutputCount = FindModel(c.Model)->OutputCount;
    EXPECT_EQ(GroupMembers(*store, c.Kind, c.Group), c.Members) << c.Model << " group " << c.Group;
  }
}

}  // namespace
}  // namespace veyra
