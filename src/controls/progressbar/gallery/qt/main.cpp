// Qt's text engine needs an application object; no display is needed.
#include <QGuiApplication>

#include "controls/progressbar/gallery/gallery.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return velquin::progressbar::RunGallery(argc, argv);
}
