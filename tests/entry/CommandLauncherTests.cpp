// The command table of the server module: kept sorted by name, names
// compared without regard to case, the first registration of a name wins.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vexal/server/ServerModule.h"

namespace {

std::vector<std::string> gRuns;

int32_t First(clientabi::IHostView*, const char* parameters) {
  gRuns.push_back(std::string("first:") + parameters);
  return 11;
}

int32_t Second(clientabi::IHostView*, const char* parameters) {
  gRuns.push_back(std::string("second:") + parameters);
  return 22;
}

void State(clientabi::IHostView*, const char* parameters, int32_t* a, int32_t* b, int32_t* c, uint8_t* d,
           uint8_t* e) {
  gRuns.push_back(std::string("state:") + parameters + ":" + std::to_string(*a) + std::to_string(*b) +
                  std::to_string(*c) + std::to_string(*d) + std::to_string(*e));
  *b = 5;
  *e = 1;
}

TEST(CommandLauncher, KeepsNamesSortedAndTheFirstRoutineOfAName) {
  gRuns.clear();
  vexal::TCommandLauncher launcher;
  EXPECT_TRUE(launcher.Register("Zeta", Second, nullptr));
  EXPECT_TRUE(launcher.Register("alpha", First, State));
  EXPECT_TRUE(launcher.Register("Beta", Second, nullptr));
  EXPECT_FALSE(launcher.Register("ALPHA", Second, nullptr));
  EXPECT_FALSE(launcher.Register("Zeta", First, nullptr));

  std::vector<std::string> names;
  for (const vexal::TCommandHandler& command : launcher.Commands()) names.push_back(command.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Beta", "Zeta"}));

  EXPECT_EQ(launcher.LaunchCommand("AlPhA", "X=1", 0, nullptr), 11);
  EXPECT_EQ(launcher.LaunchCommand("zeta", nullptr, 0, nullptr), 22);
  EXPECT_EQ(launcher.LaunchCommand("alph", "", 0, nullptr), 0);
  EXPECT_EQ(launcher.LaunchCommand("alphaa", "", 0, nullptr), 0);
  EXPECT_EQ(gRuns, (std::vector<std::string>{"first:X=1", "second:"}));

  // The state routine sees the defaults and may change them.
  gRuns.clear();
  int32_t a = 9, b = 9, c = 9;
  uint8_t d = 9, e = 9;
  launcher.GetCommandState("ALPHA", "P", nullptr, &a, &b, &c, &d, &e);
  EXPECT_EQ(gRuns, (std::vector<std::string>{"state:P:-10-100"}));
  EXPECT_EQ(b, 5);
  EXPECT_EQ(e, 1);
}

}  // namespace
