// Writes the form-data files in tests/draw/data with the property bag as it stands: every kind of
// value, texts with awkward characters, pictures in several pixel formats, and the bags the two
// controls and the main window write. The bag's reader and writer must keep reading these files
// back and writing them byte for byte. Usage: form_data_fixture_writer OUTPUT-FOLDER
#include <cstdio>
#include <limits>

#include <QApplication>
#include <QFile>
#include <QPainter>

#include "controls/button/luxbutton.h"
#include "controls/progressbar/xp_progressbar.h"
#include "draw/colour.h"
#include "draw/property_bag.h"
#include "ui/main/form_data.h"

using namespace velquin;
using draw::FontSpec;
using draw::PropertyValue;

namespace {

QImage Gradient(int w, int h, QImage::Format format) {
  QImage img(w, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgba(x * 255 / w, y * 255 / h, 90, 255 - x * 7));
  return img.convertToFormat(format);
}

QImage Disc() {
  QImage img(24, 24, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(40, 150, 60));
  p.setPen(QPen(Qt::white, 2));
  p.drawEllipse(2, 2, 20, 20);
  return img;
}

FontSpec Font(const QString& face, double points, int weight, bool italic, bool underline,
              bool strikeout, int charset, int pixel_height) {
  FontSpec f;
  f.face = face;
  f.points = points;
  f.weight = weight;
  f.italic = italic;
  f.underline = underline;
  f.strikeout = strikeout;
  f.charset = charset;
  f.pixel_height = pixel_height;
  return f;
}

QString Chars(std::initializer_list<char16_t> units) {
  QString s;
  for (char16_t u : units) s += QChar(u);
  return s;
}

draw::FormData EveryKind() {
  draw::FormData form;
  auto& numbers = form.Control("Numbers");
  numbers.Set("zero", 0);
  numbers.Set("one", 1);
  numbers.Set("Minus", -1);
  numbers.Set("int32max", std::numeric_limits<std::int32_t>::max());
  numbers.Set("int32min", std::numeric_limits<std::int32_t>::min());
  numbers.Set("int64max", std::numeric_limits<std::int64_t>::max());
  numbers.Set("int64min", std::numeric_limits<std::int64_t>::min());
  numbers.Set("yes", true);
  numbers.Set("no", false);

  auto& colours = form.Control("Colours");
  colours.Set("green", PropertyValue::OfColour(0x0000FF00u));
  colours.Set("buttonface", PropertyValue::OfColour(0x8000000Fu));
  colours.Set("black", PropertyValue::OfColour(0));
  colours.Set("all", PropertyValue::OfColour(0xFFFFFFFFu));
  colours.Set("odd", PropertyValue::OfColour(0x00ABCDEFu));

  auto& fonts = form.Control("Fonts");
  fonts.Set("default", draw::DefaultFont());
  fonts.Set("tahoma", Font("Tahoma", 8.25, 700, true, true, true, 0, 0));
  fonts.Set("symbol", Font("Marlett", 8.25, 400, false, false, false, 2, 14));
  fonts.Set("odd_face", Font(QString::fromUtf8("Ün \"quoted\" \\ face \xE2\x80\x94"), 0.1, 100,
                             false, false, false, 255, 0));
  fonts.Set("tiny", Font("Arial", 1e-07, 900, false, true, false, 1, -3));
  fonts.Set("huge", Font("Arial", 12345.678, 400, false, false, false, 0, 0));
  fonts.Set("negative", Font("", -3, 0, false, false, false, -1, 0));
  fonts.Set("third", Font("Segoe UI", 1.0 / 3.0, 400, false, false, false, 0, 0));

  auto& texts = form.Control("Texts");
  texts.Set("empty", QString());
  texts.Set("plain", QString("Start Scan"));
  texts.Set("access", QString("&Start && Stop &"));
  texts.Set("escapes", QString("a \"quoted\" \\ line\nnext\r\ttab"));
  QString controls;
  for (char16_t u = 1; u < 0x20; ++u) controls += QChar(u);
  controls += QChar(0x7F);
  texts.Set("controls", controls);
  texts.Set("nul", Chars({u'a', 0, u'b'}));
  texts.Set("latin", QString::fromUtf8("\xC3\xA9\xC3\x9F\xC3\xBF caf\xC3\xA9"));
  texts.Set("cjk", QString::fromUtf8("\xE6\x89\xAB\xE6\x8F\x8F"));
  texts.Set("emoji", QString::fromUtf8("\xF0\x9F\x98\x80 \xF0\x9F\x9B\xA1"));
  texts.Set("lone_high", Chars({u'x', 0xD800, u'y'}));
  texts.Set("lone_low", Chars({0xDC00}));
  texts.Set("reversed_pair", Chars({0xDE00, 0xD83D}));
  texts.Set("high_at_end", Chars({u'z', 0xDBFF}));
  texts.Set("specials", Chars({0xFFFD, 0xFEFF, 0x00A0, 0x2028, 0x2029, 0x0085, 0xFFFF}));
  texts.Set("spaces", QString("  both ends  "));
  texts.Set("syntax", QString("= [x] # ' Font(\"a\", 1) Picture(AA==) &H00FF00& Nothing"));
  texts.Set("long", QString("Scans the chosen folder and removes every detected file; ").repeated(8));
  texts.Set("rtl", QString::fromUtf8("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D abc!"));

  auto& pictures = form.Control("Pictures");
  QImage rgb(3, 2, QImage::Format_RGB32);
  rgb.fill(Qt::red);
  rgb.setPixel(1, 1, qRgb(1, 2, 3));
  pictures.Set("rgb", rgb);
  pictures.Set("alpha", Gradient(5, 4, QImage::Format_ARGB32));
  pictures.Set("grey", Gradient(6, 3, QImage::Format_Grayscale8));
  pictures.Set("indexed", Gradient(4, 4, QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8));
  pictures.Set("mono", Gradient(9, 2, QImage::Format_Mono));
  pictures.Set("one", Gradient(1, 1, QImage::Format_RGB32));
  pictures.Set("disc", Disc());
  pictures.Set("nothing", PropertyValue());

  form.Control(QString::fromUtf8("A name with spaces & \xC3\xBC")).Set("k", 1);
  form.Control("Empty");
  return form;
}

draw::FormData Controls() {
  draw::FormData form;

  button::luxbutton scan;
  scan.ReadProperties({});
  scan.setButtonStyle(button::ButtonStyle::RoundedScheme);
  scan.setColorScheme(button::ColorScheme::Olive);
  scan.setCaption(QString::fromUtf8("&Start Scan \xE2\x80\x94 \xC3\xBC"));
  draw::FontSpec bold = draw::DefaultFont();
  bold.weight = 700;
  scan.setButtonFont(bold);
  scan.setPictureNormal(draw::Picture::FromImage(Disc()));
  scan.setPictureHot(draw::Picture::FromImage(Gradient(16, 16, QImage::Format_RGB32)));
  scan.setPictureDown(draw::Picture::FromImage(Gradient(8, 8, QImage::Format_Indexed8)));
  scan.setMouseIcon(draw::Picture::FromImage(Gradient(4, 4, QImage::Format_ARGB32)));
  scan.setPictureShadow(true);
  scan.setPictureOpacity(200);
  scan.setPictureAlign(button::PictureAlign::RightOfCaption);
  scan.setCaptionEffects(button::CaptionEffects::DarkHalo);
  scan.setMode(button::ButtonMode::Check);
  scan.setValue(true);
  scan.setForeColorHover(0x000000FFu);
  scan.setTooltipTitle(QString("Start \"Scan\""));
  scan.setButtonToolTip(QString("Scans the folder.\nRemoves what it finds."));
  scan.setToolTipIcon(2);
  scan.setToolTipType(button::ToolTipType::Balloon);
  scan.setTooltipBackColor(0x80000018u);
  scan.setRightToLeft(true);
  scan.setDropDownSymbol(6);
  scan.setDropDownSeparator(true);
  scan.WriteProperties(form.Control("Scan"));

  button::luxbutton plain;
  plain.ReadProperties({});
  plain.WriteProperties(form.Control("Browser"));

  progressbar::XP_ProgressBar bar(489, 17);
  bar.SetScrolling(8);
  bar.SetOrientation(1);
  bar.SetBrushStyle(3);
  bar.SetColor(0x0000FF00u);
  bar.SetImage(Gradient(8, 8, QImage::Format_RGB32));
  bar.SetMax(10);
  bar.SetShowText(true);
  (void)bar.SetValue(3);
  bar.WriteProperties(form.Control("P2"));

  progressbar::XP_ProgressBar plain_bar(9, 41);
  plain_bar.WriteProperties(form.Control("o"));
  return form;
}

// Writes `text` and checks that it reads back to the same text.
bool Save(const QString& path, const QString& text) {
  QString error;
  auto back = draw::FormData::FromText(text, &error);
  if (!back || back->ToText() != text) {
    std::fprintf(stderr, "%s does not read back: %s\n", qPrintable(path), qPrintable(error));
    return false;
  }
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = text.toUtf8();
  return f.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  draw::PinSystemPalette(draw::ClassicPalette());
  const QString dir = QString::fromLocal8Bit(argv[1]);
  bool ok = Save(dir + "/every-kind.txt", EveryKind().ToText());
  ok = Save(dir + "/controls.txt", Controls().ToText()) && ok;
  ok = Save(dir + "/form1.txt", ui::Form1Data().ToText()) && ok;
  if (!ok) std::fprintf(stderr, "form_data_fixture_writer: cannot write to %s\n", argv[1]);
  return ok ? 0 : 1;
}
