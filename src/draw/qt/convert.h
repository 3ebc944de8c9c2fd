// The drawing layer's types as Qt's, for the Qt hosts of the controls and the Qt window: texts,
// colours, fonts, pixel buffers and regions. Linux only (built with the Qt body).
#pragma once

#include <string>
#include <string_view>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QRegion>
#include <QString>

#include "draw/colour.h"
#include "draw/font.h"
#include "draw/image.h"
#include "draw/region.h"

namespace velquin::draw::qt {

// UTF-8 (with lone surrogates, see utf.h) to and from QString, losing nothing either way.
QString ToQString(std::string_view text);
std::string FromQString(const QString& text);

// The pixels of `image` as a QImage that shares its bytes (no copy): Format_RGB32, or
// Format_ARGB32 for a picture with alpha. It is valid while `image` lives and keeps its size.
QImage AsQImage(Image& image);
QImage AsQImage(const Image& image);  // read-only
// A copy of `image`'s pixels; an image with an alpha channel keeps its (straight) alpha.
Image FromQImage(const QImage& image);

// The resolved colour (system colour references become their current RGB).
QColor ToQColor(Colour c);
Colour FromQColor(const QColor& c);

// The face actually drawn for a stored face name: the classic user-interface faces ("MS Sans
// Serif", "Microsoft Sans Serif", "Tahoma", "Segoe UI", "Arial", an empty name, ...) are drawn
// with "DejaVu Sans", so that text metrics are the same on every machine.
QString ConcreteFace(std::string_view face);
// The Qt font that draws `f`: concrete face, pixel size, no anti-aliasing (text pixels are exactly
// the text colour, as on the classic desktop).
QFont ToQFont(const FontSpec& f);

QRegion ToQRegion(const Region& region);
Region FromQRegion(const QRegion& region);

// The system colours a palette stands for (the mapping the Qt body reads the desktop through);
// unknown indices give 0.
Colour SystemColourOf(const QPalette& palette, int index);
SystemColourTable SystemColoursOf(const QPalette& palette);

}  // namespace velquin::draw::qt
