// The Qt body draws text and reads the palette and the widget style, which need an application
// object: a widget application on the offscreen platform, with the bundled fonts.
#include <QApplication>
#include <QtGlobal>

#include <gtest/gtest.h>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "velquin_draw_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
      qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype/dejavu");
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
  }
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
