#include "draw/font.h"

#include <QStringList>

#include "draw/rounding.h"

namespace velquin::draw {

FontSpec DefaultFont() { return FontSpec{}; }

int PixelHeight(const FontSpec& f) {
  if (f.pixel_height > 0) return f.pixel_height;
  int px = Nearest(f.points * 96.0 / 72.0);
  return px > 0 ? px : 1;
}

QString ConcreteFace(const QString& face) {
  static const QStringList kUiFaces = {
      QStringLiteral("ms sans serif"), QStringLiteral("microsoft sans serif"),
      QStringLiteral("ms shell dlg"),  QStringLiteral("ms shell dlg 2"),
      QStringLiteral("tahoma"),        QStringLiteral("segoe ui"),
      QStringLiteral("arial"),         QStringLiteral("verdana"),
      QStringLiteral("system"),        QStringLiteral("helvetica"),
      QStringLiteral("sans-serif"),    QStringLiteral("sans"),
  };
  QString key = face.trimmed().toLower();
  if (key.isEmpty() || kUiFaces.contains(key)) return QStringLiteral("DejaVu Sans");
  return face.trimmed();
}

QFont ToQFont(const FontSpec& f) {
  QFont q(ConcreteFace(f.face));
  q.setPixelSize(PixelHeight(f));
  q.setWeight(static_cast<QFont::Weight>(f.weight >= 100 && f.weight <= 900 ? f.weight : 400));
  q.setItalic(f.italic);
  q.setUnderline(f.underline);
  q.setStrikeOut(f.strikeout);
  q.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
  q.setHintingPreference(QFont::PreferFullHinting);
  q.setKerning(false);
  return q;
}

}  // namespace velquin::draw
