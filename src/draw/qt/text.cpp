// Text on Linux: Qt's text layout, with the fonts of ToQFont (no anti-aliasing).
#include <algorithm>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include "draw/platform.h"
#include "draw/qt/convert.h"

namespace velquin::draw::platform {
namespace {

int QtTextFlags(TextFormat format) {
  int f = Qt::AlignAbsolute;
  if (Has(format, TextFormat::Center)) {
    f |= Qt::AlignHCenter;
  } else if (Has(format, TextFormat::Right)) {
    f |= Qt::AlignRight;
  } else {
    f |= Qt::AlignLeft;
  }
  if (Has(format, TextFormat::SingleLine)) {
    f |= Qt::TextSingleLine;
    if (Has(format, TextFormat::VCenter)) {
      f |= Qt::AlignVCenter;
    } else if (Has(format, TextFormat::Bottom)) {
      f |= Qt::AlignBottom;
    } else {
      f |= Qt::AlignTop;
    }
  } else {
    f |= Qt::AlignTop;
    if (Has(format, TextFormat::WordBreak)) f |= Qt::TextWordWrap;
  }
  if (Has(format, TextFormat::ExpandTabs)) f |= Qt::TextExpandTabs;
  if (Has(format, TextFormat::NoClip)) f |= Qt::TextDontClip;
  if (!Has(format, TextFormat::NoPrefix))
    f |= Has(format, TextFormat::HidePrefix) ? Qt::TextHideMnemonic : Qt::TextShowMnemonic;
  return f;
}

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

Size MeasureTextLine(const FontSpec& font, std::string_view text, TextFormat format) {
  QFontMetrics fm(qt::ToQFont(font));
  QSize s = fm.size(QtTextFlags(format | TextFormat::SingleLine) & ~Qt::AlignAbsolute,
                    qt::ToQString(text));
  return {s.width(), s.height()};
}

int CalculateTextRect(const FontSpec& font, std::string_view text, Rect& rect, TextFormat format) {
  QFontMetrics fm(qt::ToQFont(font));
  const int flags = QtTextFlags(format);
  const bool wrapped = Has(format, TextFormat::WordBreak) && !Has(format, TextFormat::SingleLine);
  QRect area = wrapped ? QRect(0, 0, std::max(rect.Width(), 1), 1 << 20) : QRect(0, 0, 1 << 20, 1 << 20);
  QRect br = fm.boundingRect(
      area,
      (flags & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom)) |
          Qt::AlignLeft | Qt::AlignTop,
      qt::ToQString(text));
  rect.right = rect.left + br.width();
  rect.bottom = rect.top + br.height();
  return br.height();
}

int RenderText(Image& pixels, const FontSpec& font, std::string_view text, const Rect& rect,
               TextFormat format, const TextInk& ink) {
  const QFont qfont = qt::ToQFont(font);
  if (rect.IsEmpty() && !Has(format, TextFormat::NoClip)) return QFontMetrics(qfont).height();
  const int flags = QtTextFlags(format);
  const QString qtext = qt::ToQString(text);
  QImage target = qt::AsQImage(pixels);
  QPainter p(&target);
  p.setFont(qfont);
  p.setLayoutDirection(Has(format, TextFormat::RtlReading) ? Qt::RightToLeft : Qt::LeftToRight);
  const QRect qr = ToQRect(rect);
  QRect br = p.boundingRect(qr, flags, qtext);
  if (ink.opaque) {
    QRect fill = Has(format, TextFormat::NoClip) ? br : br.intersected(qr);
    p.fillRect(fill, QColor::fromRgb(ToPixel(ink.background)));
  }
  p.setPen(QColor::fromRgb(ToPixel(ink.colour)));
  p.drawText(qr, flags, qtext);
  return br.height();
}

bool FontFaceInstalled(std::string_view face) {
  return QFontDatabase::families().contains(qt::ToQString(face), Qt::CaseInsensitive);
}

}  // namespace velquin::draw::platform
