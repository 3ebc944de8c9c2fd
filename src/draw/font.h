// A font as the controls store and select it: face, size in points (or a pixel height), weight and
// style. The classic user-interface faces are drawn with one concrete face so that text metrics
// are the same on every machine.
#pragma once

#include <QFont>
#include <QString>

namespace velquin::draw {

struct FontSpec {
  QString face = QStringLiteral("MS Sans Serif");
  double points = 8.25;
  int weight = 400;     // 400 normal, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  int charset = 0;
  int pixel_height = 0; // > 0: character height in pixels, used instead of `points`

  bool operator==(const FontSpec&) const = default;
};

// The default font of a new control: "MS Sans Serif", 8.25 points, normal weight.
FontSpec DefaultFont();

// Character height in pixels at 96 dots per inch (8.25 points -> 11).
int PixelHeight(const FontSpec& f);

// The face actually drawn for a stored face name ("MS Sans Serif", "Microsoft Sans Serif",
// "Tahoma", "Segoe UI", "Arial", an empty name, ... -> "DejaVu Sans").
QString ConcreteFace(const QString& face);

// The Qt font that draws `f`: concrete face, pixel size, no anti-aliasing (text pixels are exactly
// the text colour, as on the classic desktop).
QFont ToQFont(const FontSpec& f);

}  // namespace velquin::draw
