// The face and tooltip tests draw text, read system colours and create popups: they need a
// widget application on the offscreen platform and the fixed classic palette.
#include <gtest/gtest.h>

#include <QApplication>
#include <QtGlobal>

#include "draw/colour.h"

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "velquin_button_face_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
      qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype/dejavu");
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
    velquin::draw::PinSystemPalette(velquin::draw::ClassicPalette());
  }
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
