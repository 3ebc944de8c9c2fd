// The canvas draws text and reads the palette, which need a Qt application object.
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "velquin_draw_tests";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) app_ = new QGuiApplication(argc, argv);
  }

 private:
  QGuiApplication* app_ = nullptr;
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
