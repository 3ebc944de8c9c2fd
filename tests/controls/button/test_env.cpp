// Every button test program pins the classic system colours, so that face colours are the same
// on every machine and under Wine.
#include <gtest/gtest.h>

#include "draw/colour.h"

namespace {

class PinnedColours : public ::testing::Environment {
 public:
  void SetUp() override { velquin::draw::PinSystemColours(velquin::draw::ClassicSystemColours()); }
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new PinnedColours);

}  // namespace
