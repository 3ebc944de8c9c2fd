// Renders every button style in its states, with a picture and with a drop-down, plus the two
// tooltip shapes, into one PNG for a visual check: button_gallery [output.png]
#include <QApplication>
#include <QPainter>
#include <QPainterPath>

#include "controls/button/face.h"
#include "controls/button/scheme.h"
#include "controls/button/tooltip.h"
#include "draw/colour.h"
#include "draw/qt/convert.h"

using namespace velquin;
using namespace velquin::button;

namespace {

constexpr int kW = 112;
constexpr int kH = 30;
constexpr int kCellW = kW + 14;
constexpr int kCellH = kH + 12;
constexpr int kLabelW = 130;
constexpr int kHeaderH = 24;

const char* const kStyleNames[] = {
    "0 Classic",          "1 ClassicThin",   "2 RoundedScheme",  "3 RoundedPanel",
    "4 FlatFill",         "5 SplitGradient", "6 Toolbar",        "7 RoundedSoft",
    "8 BandedGlass",      "9 RoundedGlass",  "10 RoundedShaded", "11 ClassicSunken",
    "12 ClassicThinFlat", "13 SystemTheme",
};

// A 16 x 16 picture: a green disc with a white tick on the default mask colour.
QImage SamplePicture() {
  QImage img(16, 16, QImage::Format_RGB32);
  img.fill(QColor(224, 224, 224));
  QPainter p(&img);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 150, 60));
  p.drawEllipse(1, 1, 14, 14);
  p.setPen(QPen(Qt::white, 2));
  p.drawLine(4, 8, 7, 11);
  p.drawLine(7, 11, 12, 5);
  return img;
}

struct Column {
  const char* name;
  ButtonState state;
  bool enabled = true;
  bool focused = false;
  bool picture = false;
  bool drop_down = false;
  bool set = false;
  bool shadow = false;        // picture shadow and the raised caption effect
  bool grey_picture = false;  // disabled, grey picture mode
};

ButtonFace FaceFor(int style, const Column& col, const EffectTables& tables) {
  ButtonFace f;
  f.width = kW;
  f.height = kH;
  f.style = static_cast<ButtonStyle>(style);
  f.scheme = StyleDefaultScheme(f.style).value_or(ColorScheme::Blue);
  const SchemeColors c = SchemeColorsFor(f.style, f.scheme);
  f.back_color = c.back_color.value_or(draw::SystemColour(draw::kColourButtonFace));
  f.fore_color = c.fore_color;
  f.fore_color_hover = c.fore_color;
  f.show_focus_rect = true;
  f.picture_push_on_hover = c.picture_push_on_hover;
  f.state = col.state;
  f.enabled = col.enabled;
  f.has_focus = col.focused;
  f.parent_active = true;
  f.over = col.state != ButtonState::Normal;
  f.caption = "&Start Scan";
  f.font = draw::DefaultFont();
  f.effect_tables = &tables;
  if (col.picture) f.picture_normal.image = draw::qt::FromQImage(SamplePicture());
  if (col.drop_down) {
    f.drop_down_symbol = 6;
    f.drop_down_separator = true;
    f.caption = "Browse...";
  }
  if (col.set) {
    f.mode = ButtonMode::Check;
    f.value = true;
  }
  if (col.shadow) {
    f.picture_shadow = true;
    f.caption_effects = CaptionEffects::Raised;
  }
  if (col.grey_picture) f.disabled_picture_mode = DisabledPictureMode::Grayscale;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
    qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype/dejavu");
  QApplication app(argc, argv);
  draw::PinSystemColours(draw::ClassicSystemColours());
  const QString out =
      argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("button-gallery.png");

  const Column columns[] = {
      {"Normal", ButtonState::Normal},
      {"Hot", ButtonState::Hot},
      {"Down", ButtonState::Down},
      {"Disabled", ButtonState::Normal, false},
      {"Focused", ButtonState::Normal, true, true},
      {"Set", ButtonState::Normal, true, false, false, false, true},
      {"Picture", ButtonState::Normal, true, false, true},
      {"Picture hot", ButtonState::Hot, true, false, true},
      {"Drop-down hot", ButtonState::Hot, true, false, false, true},
      {"Shadow, raised", ButtonState::Normal, true, false, true, false, false, true},
      {"Disabled grey", ButtonState::Normal, false, false, true, false, false, false, true},
  };
  const int ncol = int(std::size(columns));
  const int tooltip_band = 120;
  QImage sheet(kLabelW + ncol * kCellW, kHeaderH + 14 * kCellH + tooltip_band,
               QImage::Format_RGB32);
  sheet.fill(QColor(255, 255, 255));
  QPainter p(&sheet);
  p.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
  p.setPen(Qt::black);
  for (int c = 0; c < ncol; ++c)
    p.drawText(QRect(kLabelW + c * kCellW, 0, kCellW, kHeaderH), Qt::AlignCenter,
               QString::fromLatin1(columns[c].name));

  const EffectTables tables = MakeEffectTables();
  for (int style = 0; style < 14; ++style) {
    const int y = kHeaderH + style * kCellH + 6;
    p.setPen(Qt::black);
    p.drawText(QRect(6, y, kLabelW - 6, kH), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromLatin1(kStyleNames[style]));
    for (int c = 0; c < ncol; ++c) {
      ButtonFace face = FaceFor(style, columns[c], tables);
      draw::Canvas canvas(kW, kH, draw::SystemColour(draw::kColourButtonFace));
      PaintButtonFace(canvas, face);
      // The window region clips the face, as the control's mask does.
      const QRegion region =
          draw::qt::ToQRegion(face.window_region.value_or(ButtonRegion(face.style, kW, kH)));
      const QPoint at(kLabelW + c * kCellW + 7, y);
      p.save();
      p.setClipRegion(region.translated(at));
      p.drawImage(at, draw::qt::AsQImage(canvas.Pixels()));
      p.restore();
    }
  }

  // The two tooltip shapes, popped up over a plain control and grabbed.
  QWidget control;
  control.resize(120, 30);
  control.show();
  int x = kLabelW;
  const int ty = kHeaderH + 14 * kCellH + 8;
  p.setPen(Qt::black);
  p.drawText(QRect(6, ty, kLabelW - 6, 20), Qt::AlignLeft, QStringLiteral("Tooltips"));
  for (ToolTipType type : {ToolTipType::Standard, ToolTipType::Balloon}) {
    TooltipSettings s;
    s.text = QStringLiteral(
        "Scans the chosen folder and removes every detected file; long texts wrap at 240 pixels.");
    s.title = QStringLiteral("Start Scan");
    s.icon = type == ToolTipType::Balloon ? 2 : 1;
    s.type = type;
    auto* w = qobject_cast<TooltipWindow*>(CreateTooltipWindow(control, s));
    w->popUp(control.mapToGlobal(QPoint(20, 20)));
    QImage shot(w->size(), QImage::Format_ARGB32_Premultiplied);
    shot.fill(Qt::transparent);
    w->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    p.drawImage(QPoint(x, ty), shot);
    x += shot.width() + 30;
    delete w;
  }
  p.end();
  if (!sheet.save(out)) {
    qWarning("cannot write %s", qPrintable(out));
    return 1;
  }
  return 0;
}
