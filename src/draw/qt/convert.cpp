#include "draw/qt/convert.h"

#include <cstring>
#include <vector>

#include <QStringList>

#include "draw/utf.h"

namespace velquin::draw::qt {

QString ToQString(std::string_view text) {
  const std::u16string utf16 = ToUtf16(text);
  return QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size()));
}

std::string FromQString(const QString& text) {
  return FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                       static_cast<std::size_t>(text.size())));
}

QImage AsQImage(Image& image) {
  return QImage(image.Bytes(), image.Width(), image.Height(), image.Stride(),
                image.HasAlpha() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

QImage AsQImage(const Image& image) {
  return QImage(image.Bytes(), image.Width(), image.Height(), image.Stride(),
                image.HasAlpha() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

Image FromQImage(const QImage& image) {
  if (image.isNull()) return {};
  const bool alpha = image.hasAlphaChannel();
  const QImage flat = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  Image out(flat.width(), flat.height());
  for (int y = 0; y < flat.height(); ++y)
    std::memcpy(out.Row(y), flat.constScanLine(y), static_cast<std::size_t>(flat.width()) * 4);
  out.SetHasAlpha(alpha);
  return out;
}

QColor ToQColor(Colour c) { return QColor::fromRgb(ToPixel(TranslateColor(c))); }

Colour FromQColor(const QColor& c) { return FromPixel(c.rgb()); }

QString ConcreteFace(std::string_view face) {
  static const QStringList kUiFaces = {
      QStringLiteral("ms sans serif"), QStringLiteral("microsoft sans serif"),
      QStringLiteral("ms shell dlg"),  QStringLiteral("ms shell dlg 2"),
      QStringLiteral("tahoma"),        QStringLiteral("segoe ui"),
      QStringLiteral("arial"),         QStringLiteral("verdana"),
      QStringLiteral("system"),        QStringLiteral("helvetica"),
      QStringLiteral("sans-serif"),    QStringLiteral("sans"),
  };
  const QString name = ToQString(face);
  const QString key = name.trimmed().toLower();
  if (key.isEmpty() || kUiFaces.contains(key)) return QStringLiteral("DejaVu Sans");
  return name.trimmed();
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

QRegion ToQRegion(const Region& region) {
  std::vector<QRect> rects;
  rects.reserve(region.Rects().size());
  for (const Rect& r : region.Rects()) rects.emplace_back(r.left, r.top, r.Width(), r.Height());
  QRegion out;
  out.setRects(rects.data(), static_cast<int>(rects.size()));
  return out;
}

Region FromQRegion(const QRegion& region) {
  std::vector<Rect> rects;
  for (const QRect& r : region) rects.push_back({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
  return Region::FromRects(std::move(rects));
}

namespace {

// Which palette entry stands for each system colour index.
struct RoleOf {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

bool RoleFor(int index, RoleOf& out) {
  using P = QPalette;
  switch (index) {
    case kColourScrollbar: out = {P::Active, P::Midlight}; return true;
    case kColourDesktop: out = {P::Active, P::Dark}; return true;
    case kColourActiveCaption: out = {P::Active, P::Highlight}; return true;
    case kColourInactiveCaption: out = {P::Active, P::Mid}; return true;
    case kColourMenu: out = {P::Active, P::Window}; return true;
    case kColourWindow: out = {P::Active, P::Base}; return true;
    case kColourWindowFrame: out = {P::Active, P::Shadow}; return true;
    case kColourMenuText: out = {P::Active, P::WindowText}; return true;
    case kColourWindowText: out = {P::Active, P::Text}; return true;
    case kColourCaptionText: out = {P::Active, P::HighlightedText}; return true;
    case kColourActiveBorder: out = {P::Active, P::Button}; return true;
    case kColourInactiveBorder: out = {P::Active, P::Button}; return true;
    case kColourAppWorkspace: out = {P::Active, P::Dark}; return true;
    case kColourHighlight: out = {P::Active, P::Highlight}; return true;
    case kColourHighlightText: out = {P::Active, P::HighlightedText}; return true;
    case kColourButtonFace: out = {P::Active, P::Button}; return true;
    case kColourButtonShadow: out = {P::Active, P::Dark}; return true;
    case kColourGrayText: out = {P::Disabled, P::Text}; return true;
    case kColourButtonText: out = {P::Active, P::ButtonText}; return true;
    case kColourInactiveCaptionText: out = {P::Disabled, P::WindowText}; return true;
    case kColourButtonHighlight: out = {P::Active, P::Light}; return true;
    case kColour3DDarkShadow: out = {P::Active, P::Shadow}; return true;
    case kColour3DLight: out = {P::Active, P::Midlight}; return true;
    case kColourInfoText: out = {P::Active, P::ToolTipText}; return true;
    case kColourInfoBackground: out = {P::Active, P::ToolTipBase}; return true;
    case kColourHotLight: out = {P::Active, P::Link}; return true;
    case kColourGradientActiveCaption: out = {P::Active, P::Highlight}; return true;
    case kColourGradientInactiveCaption: out = {P::Active, P::Mid}; return true;
    case kColourMenuHighlight: out = {P::Active, P::Highlight}; return true;
    case kColourMenuBar: out = {P::Active, P::Window}; return true;
    default: return false;
  }
}

}  // namespace

Colour SystemColourOf(const QPalette& palette, int index) {
  RoleOf role;
  if (!RoleFor(index, role)) return 0;
  return FromQColor(palette.color(role.group, role.role));
}

SystemColourTable SystemColoursOf(const QPalette& palette) {
  SystemColourTable table{};
  for (int i = 0; i < kSystemColourCount; ++i)
    table[static_cast<std::size_t>(i)] = SystemColourOf(palette, i);
  return table;
}

}  // namespace velquin::draw::qt
