// The widget tests need a QApplication; every test pins the classic palette.
#include <QApplication>
#include <QtGlobal>

#include <gtest/gtest.h>

#include "draw/colour.h"

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
      qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype/dejavu");
    static int argc = 1;
    static char name[] = "velquin_progressbar_tests";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
    velquin::draw::PinSystemColours(velquin::draw::ClassicSystemColours());
  }
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
