// The gallery on Linux: a widget application on the offscreen platform with the bundled fonts and
// the classic system colours, labels in Qt's own text, tooltips from the Qt host's popup.
#include <QApplication>
#include <QPainter>
#include <QtGlobal>

#include "controls/button/qt/tooltip_window.h"
#include "draw/colour.h"
#include "draw/qt/convert.h"
#include "gallery/gallery.h"

namespace velquin::button::gallery {

void StartPlatform(int& argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
    qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype/dejavu");
  static QApplication app(argc, argv);
  // The desktop's palette would make every render different.
  draw::PinSystemColours(draw::ClassicSystemColours());
}

void DrawLabel(draw::Canvas& sheet, const draw::Rect& box, std::string_view text,
               LabelPlace place) {
  QImage target = draw::qt::AsQImage(sheet.Pixels());
  QPainter p(&target);
  p.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
  p.setPen(Qt::black);
  const int align = place == LabelPlace::Centre ? Qt::AlignCenter
                    : place == LabelPlace::Left ? Qt::AlignVCenter | Qt::AlignLeft
                                                : Qt::AlignTop | Qt::AlignLeft;
  p.drawText(QRect(box.left, box.top, box.Width(), box.Height()), align,
             draw::qt::ToQString(text));
}

int DrawTooltip(draw::Canvas& sheet, int x, int y, const TooltipData& tooltip) {
  QWidget control;
  control.resize(tooltip.tool_rect.Width(), tooltip.tool_rect.Height());
  control.show();
  qt::TooltipWindow tip(&control, tooltip);
  tip.popUp(control.mapToGlobal(QPoint(20, 20)));
  QImage shot(tip.size(), QImage::Format_ARGB32_Premultiplied);
  shot.fill(Qt::transparent);
  tip.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
  QImage target = draw::qt::AsQImage(sheet.Pixels());
  QPainter p(&target);
  p.drawImage(QPoint(x, y), shot);
  return shot.width();
}

}  // namespace velquin::button::gallery
