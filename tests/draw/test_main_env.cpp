// The canvas draws text and reads the palette, which need a Qt application object.
#include <QGuiApplication>
#include <QtGlobal>

#include <gtest/gtest.h>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "velquin_draw_tests";
    static char* argv[] = {name, nullptr};
    // Headless whatever the runner passes on: offscreen platform, the bundled font folder.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
      qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype/dejavu");
    if (QGuiApplication::instance() == nullptr) app_ = new QGuiApplication(argc, argv);
  }

 private:
  QGuiApplication* app_ = nullptr;
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
