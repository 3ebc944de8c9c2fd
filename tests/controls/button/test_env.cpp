// Every button test program (model and input, faces, tooltip) needs a widget application on the
// offscreen platform and a fixed palette, so that system colours are the same on every machine.
#include <QApplication>
#include <QtGlobal>

#include <gtest/gtest.h>

#include "draw/colour.h"

namespace {

class QtWidgetsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "velquin_button_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
      qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype/dejavu");
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
    velquin::draw::PinSystemColours(velquin::draw::ClassicSystemColours());
  }
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new QtWidgetsEnvironment);

}  // namespace
