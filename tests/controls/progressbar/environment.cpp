// Every test paints with the classic system colours, whatever the desktop's theme.
#include <gtest/gtest.h>

#include "draw/colour.h"

namespace {

class ClassicColours : public ::testing::Environment {
 public:
  void SetUp() override { velquin::draw::PinSystemColours(velquin::draw::ClassicSystemColours()); }
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new ClassicColours);

}  // namespace
