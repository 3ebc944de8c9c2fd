#include "controls/button/luxbutton.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QUrl>

#include "controls/button/access_key.h"
#include "controls/button/container.h"
#include "controls/button/scheme.h"
#include "controls/button/tooltip.h"
#include "draw/canvas.h"
#include "draw/qt/convert.h"
#include "draw/rounding.h"

namespace velquin::button {

namespace {

using draw::qt::FromQString;
using draw::qt::ToQString;

QRect ToQRect(const draw::Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;

// The desktop's virtual key code for a Qt key, as KeyDown and KeyUp report it.
int VirtualKeyCode(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;  // 'A'..'Z'
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;  // '0'..'9'
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kKeyEnter;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_Space: return kKeySpace;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Down: return kKeyDown;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Menu: return 93;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    default: return key > 0 && key < 128 ? key : 0;
  }
}

int ShiftState(Qt::KeyboardModifiers m) {
  int shift = 0;
  if (m & Qt::ShiftModifier) shift |= kShiftMask;
  if (m & Qt::ControlModifier) shift |= kCtrlMask;
  if (m & Qt::AltModifier) shift |= kAltMask;
  return shift;
}

int ButtonNumber(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return kLeftButton;
    case Qt::RightButton: return kRightButton;
    case Qt::MiddleButton: return kMiddleButton;
    default: return 0;
  }
}

FacePicture Decode(const draw::Picture& p) { return FacePicture{p.ToImage(), false}; }

// The classic pointer numbers of MousePointer (99 is the custom MouseIcon).
Qt::CursorShape CursorShapeOf(int pointer) {
  switch (pointer) {
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5:
    case 15: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 14: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

EffectTables MakeEffectTables() {
  EffectTables t;
  for (int i = 0; i < 256; ++i) {
    t.brighten[i] = static_cast<std::uint8_t>(std::min(255, i * 293 / 255));
    t.darken[i] = static_cast<std::uint8_t>(i * 217 / 255);
  }
  return t;
}

luxbutton::luxbutton(QWidget* parent) : QWidget(parent), effect_tables_(MakeEffectTables()) {
  back_color_ = draw::SystemColour(draw::kColourButtonFace);
  fore_color_ = draw::SystemColour(draw::kColourButtonText);
  fore_color_hover_ = fore_color_;
  tooltip_back_color_ = draw::SystemColour(draw::kColourInfoBackground);
  font_ = AmbientFont(*this);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  twips_w_ = width() * kTwipsPerPixel;
  twips_h_ = height() * kTwipsPerPixel;
}

luxbutton::~luxbutton() {
  UnsetPopupMenu();
  if (hooks_installed_) RemoveHooks();
}

// ---- Life cycle ----

void luxbutton::InitProperties() {
  loaded_ = true;
  // A fresh instance starts from blank fields; only what is set here has a value.
  picture_effect_on_over_ = PictureEffect::None;
  picture_effect_on_down_ = PictureEffect::None;
  back_color_ = 0;
  fore_color_hover_ = 0;
  tooltip_back_color_ = 0;
  scheme_ = ColorScheme::Blue;

  show_focus_rect_ = true;
  setEnabled(true);
  style_ = ButtonStyle::SystemTheme;
  caption_ = objectName().isEmpty() ? QString::fromLatin1(kDefaultCaption) : objectName();
  font_ = AmbientFont(*this);
  font_.face = "Tahoma";
  picture_opacity_ = 255;
  picture_opacity_on_over_ = 255;
  picture_align_ = PictureAlign::LeftOfCaption;
  caption_align_ = CaptionAlign::Center;
  use_mask_color_ = true;
  mask_color_ = 0xE0E0E0;
  ApplyStyleDefaults();
  ApplySchemeColors();
  UpdateAccessKey();
  RedrawButton();
}

void luxbutton::ReadProperties(const draw::PropertyBag& bag) {
  using draw::SystemColour;
  style_ = static_cast<ButtonStyle>(bag.ReadInt("ButtonStyle", 1));
  show_focus_rect_ = bag.ReadBool("ShowFocusRect", false);
  font_ = bag.ReadFont("Font", AmbientFont(*this));
  back_color_ = bag.ReadColour("BackColor", SystemColour(draw::kColourButtonFace));
  const bool enabled = bag.ReadBool("Enabled", true);
  caption_ = ToQString(bag.ReadText("Caption", kDefaultCaption));
  value_ = bag.ReadBool("Value", false);
  mouse_pointer_ = static_cast<int>(bag.ReadInt("MousePointer", 0));
  hand_pointer_ = bag.ReadBool("HandPointer", false);
  mouse_icon_ = bag.ReadPicture("MouseIcon");
  picture_normal_ = bag.ReadPicture("PictureNormal");
  picture_hot_ = bag.ReadPicture("PictureHot");
  picture_down_ = bag.ReadPicture("PictureDown");
  face_normal_ = Decode(picture_normal_);
  face_hot_ = Decode(picture_hot_);
  face_down_ = Decode(picture_down_);
  picture_shadow_ = bag.ReadBool("PictureShadow", false);
  // Opacities are bytes; a stored value beyond them is held at the nearest end.
  picture_opacity_ = static_cast<int>(std::clamp<std::int64_t>(
      bag.ReadInt("PictureOpacity", 255), 0, 255));
  picture_opacity_on_over_ = static_cast<int>(std::clamp<std::int64_t>(
      bag.ReadInt("PictureOpacityOnOver", 255), 0, 255));
  disabled_picture_mode_ =
      static_cast<DisabledPictureMode>(bag.ReadInt("DisabledPictureMode", 0));
  picture_push_on_hover_ = bag.ReadBool("PicturePushOnHover", false);
  picture_effect_on_over_ = static_cast<PictureEffect>(bag.ReadInt("PictureEffectOnOver", 1));
  picture_effect_on_down_ = static_cast<PictureEffect>(bag.ReadInt("PictureEffectOnDown", 2));
  mask_color_ = bag.ReadColour("MaskColor", 0xE0E0E0);
  use_mask_color_ = bag.ReadBool("UseMaskColor", true);
  caption_effects_ = static_cast<CaptionEffects>(bag.ReadInt("CaptionEffects", 0));
  mode_ = static_cast<ButtonMode>(bag.ReadInt("Mode", 0));
  picture_align_ = static_cast<PictureAlign>(bag.ReadInt("PictureAlign", 1));
  caption_align_ = static_cast<CaptionAlign>(bag.ReadInt("CaptionAlign", 1));
  fore_color_ = bag.ReadColour("ForeColor", SystemColour(draw::kColourButtonText));
  fore_color_hover_ = bag.ReadColour("ForeColorHover", SystemColour(draw::kColourButtonText));
  drop_down_separator_ = bag.ReadBool("DropDownSeparator", false);
  tooltip_title_ = ToQString(bag.ReadText("TooltipTitle", ""));
  tooltip_ = ToQString(bag.ReadText("ToolTip", ""));
  tooltip_icon_ = static_cast<int>(bag.ReadInt("TooltipIcon", 0));
  tooltip_type_ = static_cast<ToolTipType>(bag.ReadInt("TooltipType", 0));
  tooltip_back_color_ =
      bag.ReadColour("TooltipBackColor", SystemColour(draw::kColourInfoBackground));
  right_to_left_ = bag.ReadBool("RightToLeft", false);
  drop_down_symbol_ = static_cast<int>(bag.ReadInt("DropDownSymbol", 0));
  scheme_ = static_cast<ColorScheme>(bag.ReadInt("ColorScheme", 0));

  loaded_ = true;
  setEnabled(enabled);
  UpdateAccessKey();
  parent_form_ = ParentForm(*this);
  ApplyCursor();
  ApplySizeRule(true);
  if (user_mode_) InstallHooks();
}

void luxbutton::WriteProperties(draw::PropertyBag& bag) const {
  using draw::PropertyValue;
  using draw::SystemColour;
  auto colour = [](Colour c) { return PropertyValue::OfColour(c); };
  const Colour text = SystemColour(draw::kColourButtonText);
  bag.Write("ButtonStyle", static_cast<int>(style_), 1);
  bag.Write("ShowFocusRect", show_focus_rect_, false);
  bag.Write("Enabled", !testAttribute(Qt::WA_ForceDisabled), true);
  bag.Write("Font", font_, AmbientFont(*this));
  bag.Write("BackColor", colour(back_color_), colour(SystemColour(draw::kColourButtonFace)));
  bag.Write("Caption", FromQString(caption_), kDefaultCaption);
  bag.Write("ForeColor", colour(fore_color_), colour(text));
  bag.Write("ForeColorHover", colour(fore_color_hover_), colour(text));
  bag.Write("Mode", static_cast<int>(mode_), 0);
  bag.Write("Value", value_, false);
  bag.Write("MousePointer", mouse_pointer_, 0);
  bag.Write("HandPointer", hand_pointer_, false);
  bag.Write("MouseIcon", mouse_icon_, PropertyValue());
  bag.Write("PictureNormal", picture_normal_, PropertyValue());
  bag.Write("PictureHot", picture_hot_, PropertyValue());
  bag.Write("PictureDown", picture_down_, PropertyValue());
  bag.Write("PictureAlign", static_cast<int>(picture_align_), 1);
  bag.Write("PictureEffectOnOver", static_cast<int>(picture_effect_on_over_), 1);
  bag.Write("PictureEffectOnDown", static_cast<int>(picture_effect_on_down_), 2);
  bag.Write("PicturePushOnHover", picture_push_on_hover_, false);
  bag.Write("PictureShadow", picture_shadow_, false);
  bag.Write("PictureOpacity", picture_opacity_, 255);
  bag.Write("PictureOpacityOnOver", picture_opacity_on_over_, 255);
  bag.Write("DisabledPictureMode", static_cast<int>(disabled_picture_mode_), 0);
  bag.Write("CaptionEffects", static_cast<int>(caption_effects_), 0);
  bag.Write("UseMaskColor", use_mask_color_, true);
  bag.Write("MaskColor", colour(mask_color_), colour(0xE0E0E0));
  bag.Write("CaptionAlign", static_cast<int>(caption_align_), 1);
  bag.Write("ToolTip", FromQString(tooltip_), "");
  bag.Write("TooltipType", static_cast<int>(tooltip_type_), 0);
  bag.Write("TooltipIcon", tooltip_icon_, 0);
  bag.Write("TooltipTitle", FromQString(tooltip_title_), "");
  bag.Write("TooltipBackColor", colour(tooltip_back_color_),
            colour(SystemColour(draw::kColourInfoBackground)));
  bag.Write("RightToLeft", right_to_left_, false);
  bag.Write("DropDownSymbol", drop_down_symbol_, 0);
  bag.Write("DropDownSeparator", drop_down_separator_, false);
  bag.Write("ColorScheme", static_cast<int>(scheme_), 0);
}

// ---- Container side ----

void luxbutton::setDefault(bool is_default) {
  if (is_default_ == is_default) return;
  is_default_ = is_default;
  UpdateShortcuts();
  AmbientChanged(QStringLiteral("DisplayAsDefault"));
}

void luxbutton::setCancel(bool is_cancel) {
  if (is_cancel_ == is_cancel) return;
  is_cancel_ = is_cancel;
  UpdateShortcuts();
}

void luxbutton::AmbientChanged(const QString& name) {
  if (name.compare(QLatin1String("DisplayAsDefault"), Qt::CaseInsensitive) == 0 ||
      name.compare(QLatin1String("BackColor"), Qt::CaseInsensitive) == 0) {
    RedrawButton();
  }
}

// ---- Properties ----

void luxbutton::Notify(const char* name) { emit PropertyChanged(QString::fromLatin1(name)); }

void luxbutton::RedrawWhenPictureSet() {
  if (!picture_normal_.IsEmpty()) RedrawButton();
}

void luxbutton::setButtonStyle(ButtonStyle style) {
  style_ = style;
  ApplyStyleDefaults();
  ApplySchemeColors();
  UpdateRegion();
  RedrawButton();
  Notify("ButtonStyle");
}

void luxbutton::setShowFocusRect(bool on) {
  show_focus_rect_ = on;
  Notify("ShowFocusRect");
}

void luxbutton::setButtonFont(const draw::FontSpec& font) {
  font_ = font;
  RedrawButton();
  Notify("Font");
}

void luxbutton::setBackColor(Colour c) {
  back_color_ = c;
  if (style_ != ButtonStyle::FlatFill) scheme_ = ColorScheme::Custom;
  RedrawButton();
  Notify("BackColor");
}

void luxbutton::setCaption(const QString& caption) {
  caption_ = caption;
  UpdateAccessKey();
  RedrawButton();
  Notify("Caption");
}

void luxbutton::setValue(bool value) {
  if (mode_ == ButtonMode::Push) {
    state_ = ButtonState::Normal;
  } else {
    value_ = value;
    if (!value) state_ = ButtonState::Normal;
  }
  RedrawButton();
  Notify("Value");
}

void luxbutton::setMousePointer(int pointer) {
  mouse_pointer_ = pointer;
  ApplyCursor();
  Notify("MousePointer");
}

void luxbutton::setHandPointer(bool on) {
  hand_pointer_ = on;
  if (on) mouse_pointer_ = 0;
  ApplyCursor();
  RedrawButton();
  Notify("HandPointer");
}

void luxbutton::setMouseIcon(const draw::Picture& icon) {
  mouse_icon_ = icon;
  if (!icon.IsEmpty()) {
    hand_pointer_ = false;
    mouse_pointer_ = 99;
  } else {
    mouse_pointer_ = 0;
  }
  ApplyCursor();
  Notify("MouseIcon");
}

void luxbutton::setPictureNormal(const draw::Picture& picture) {
  picture_normal_ = picture;
  face_normal_ = Decode(picture);
  if (picture.IsEmpty()) {
    picture_hot_ = picture_down_ = draw::Picture();
    face_hot_ = face_down_ = FacePicture();
    ApplySizeRule(false);
  }
  RedrawButton();
  Notify("PictureNormal");
}

void luxbutton::setPictureHot(const draw::Picture& picture) {
  if (picture_normal_.IsEmpty()) {
    picture_normal_ = picture;
    face_normal_ = Decode(picture);
  } else {
    picture_hot_ = picture;
    face_hot_ = Decode(picture);
  }
  RedrawButton();
  Notify("PictureHot");
}

void luxbutton::setPictureDown(const draw::Picture& picture) {
  if (picture_normal_.IsEmpty()) {
    picture_normal_ = picture;
    face_normal_ = Decode(picture);
  } else {
    picture_down_ = picture;
    face_down_ = Decode(picture);
  }
  RedrawButton();
  Notify("PictureDown");
}

void luxbutton::setPictureShadow(bool on) {
  picture_shadow_ = on;
  RedrawButton();
  Notify("PictureShadow");
}

void luxbutton::setPictureOpacity(int opacity) {
  picture_opacity_ = std::clamp(opacity, 0, 255);
  RedrawButton();
  Notify("PictureOpacity");
}

void luxbutton::setPictureOpacityOnOver(int opacity) {
  picture_opacity_on_over_ = std::clamp(opacity, 0, 255);
  RedrawButton();
  Notify("PictureOpacityOnOver");
}

void luxbutton::setDisabledPictureMode(DisabledPictureMode mode) {
  disabled_picture_mode_ = mode;
  RedrawButton();
  Notify("DisabledPictureMode");
}

void luxbutton::setPicturePushOnHover(bool on) {
  picture_push_on_hover_ = on;
  RedrawButton();
  Notify("PicturePushOnHover");
}

void luxbutton::setPictureEffectOnOver(PictureEffect effect) {
  picture_effect_on_over_ = effect;
  RedrawButton();
  Notify("PictureEffectOnOver");
}

void luxbutton::setPictureEffectOnDown(PictureEffect effect) {
  picture_effect_on_down_ = effect;
  RedrawButton();
  Notify("PictureEffectOnDown");
}

void luxbutton::setMaskColor(Colour c) {
  mask_color_ = c;
  RedrawButton();
  Notify("MaskColor");
}

void luxbutton::setUseMaskColor(bool on) {
  use_mask_color_ = on;
  RedrawWhenPictureSet();
  Notify("UseMaskColor");
}

void luxbutton::setPictureAlign(PictureAlign align) {
  picture_align_ = align;
  RedrawWhenPictureSet();
  Notify("PictureAlign");
}

void luxbutton::setCaptionEffects(CaptionEffects effects) {
  caption_effects_ = effects;
  RedrawButton();
  Notify("CaptionEffects");
}

void luxbutton::setMode(ButtonMode mode) {
  mode_ = mode;
  if (mode == ButtonMode::Push) state_ = ButtonState::Normal;
  RedrawButton();
  Notify("Value");
  Notify("Mode");
}

void luxbutton::setCaptionAlign(CaptionAlign align) {
  caption_align_ = align;
  RedrawButton();
  Notify("CaptionAlign");
}

void luxbutton::setForeColor(Colour c) {
  fore_color_ = c;
  RedrawButton();
  Notify("ForeColor");
}

void luxbutton::setForeColorHover(Colour c) {
  fore_color_hover_ = c;
  RedrawButton();
  Notify("ForeColorHover");
}

void luxbutton::setDropDownSeparator(bool on) {
  drop_down_separator_ = on;
  RedrawButton();
  Notify("DropDownSeparator");
}

void luxbutton::setTooltipTitle(const QString& title) {
  tooltip_title_ = title;
  RedrawButton();
  Notify("TooltipTitle");
}

void luxbutton::setButtonToolTip(const QString& text) {
  tooltip_ = text;
  RedrawButton();
  Notify("ToolTip");
}

void luxbutton::setToolTipIcon(int icon) {
  tooltip_icon_ = icon;
  RedrawButton();
  Notify("TooltipIcon");
}

void luxbutton::setToolTipType(ToolTipType type) {
  tooltip_type_ = type;
  RedrawButton();
  Notify("ToolTipType");
}

void luxbutton::setTooltipBackColor(Colour c) {
  tooltip_back_color_ = c;
  RedrawButton();
  Notify("TooltipBackcolor");
}

void luxbutton::setRightToLeft(bool on) {
  right_to_left_ = on;
  RedrawButton();
  Notify("RightToLeft");
}

void luxbutton::setDropDownSymbol(int symbol) {
  drop_down_symbol_ = symbol;
  RedrawButton();
  Notify("DropDownSymbol");
}

void luxbutton::setColorScheme(ColorScheme scheme) {
  scheme_ = scheme;
  ApplySchemeColors();
  RedrawButton();
  Notify("ColorScheme");
}

void luxbutton::setSizeTwips(int width, int height) {
  twips_w_ = width;
  twips_h_ = height;
  ApplySizeRule(false);
}

void luxbutton::setGeometryTwips(int left, int top, int width, int height) {
  move(draw::Nearest(left / double(kTwipsPerPixel)), draw::Nearest(top / double(kTwipsPerPixel)));
  setSizeTwips(width, height);
}

// ---- Rules ----

void luxbutton::ApplyStyleDefaults() {
  if (auto scheme = StyleDefaultScheme(style_)) scheme_ = *scheme;
}

void luxbutton::ApplySchemeColors() {
  const SchemeColors c = SchemeColorsFor(style_, scheme_);
  if (c.back_color) back_color_ = *c.back_color;
  fore_color_ = c.fore_color;
  show_focus_rect_ = c.show_focus_rect;
  if (c.picture_push_on_hover) picture_push_on_hover_ = true;
}

void luxbutton::ClearOptionGroup() {
  QWidget* form = parent_form_ ? parent_form_.data() : ParentForm(*this);
  // Guarded: the form's handlers of the notifications may remove buttons meanwhile.
  QList<QPointer<luxbutton>> controls;
  for (luxbutton* b : FormControls(*form)) controls << b;
  for (const QPointer<luxbutton>& other : controls) {
    if (other && other != this && other->parentWidget() == parentWidget() &&
        other->mode() == ButtonMode::Option) {
      other->setValue(false);
    }
  }
}

void luxbutton::UpdateAccessKey() {
  access_key_ = AccessKeyOf(caption_);
  UpdateShortcuts();
}

// The access key is Alt plus the key; the default and cancel buttons also take Enter and Escape
// from anywhere in their window.
void luxbutton::UpdateShortcuts() {
  for (int id : shortcut_ids_) releaseShortcut(id);
  shortcut_ids_.clear();
  if (access_key_) {
    shortcut_ids_ << grabShortcut(QKeySequence::mnemonic(QStringLiteral("&") + *access_key_));
  }
  if (is_default_) {
    shortcut_ids_ << grabShortcut(QKeySequence(Qt::Key_Return));
    shortcut_ids_ << grabShortcut(QKeySequence(Qt::Key_Enter));
  }
  if (is_cancel_) shortcut_ids_ << grabShortcut(QKeySequence(Qt::Key_Escape));
}

void luxbutton::UpdateRegion() {
  const QRegion region = draw::qt::ToQRegion(ButtonRegion(style_, width(), height()));
  if (mask() != region) setMask(region);
}

void luxbutton::ApplySizeRule(bool from_pixels) {
  if (in_size_rule_) return;
  in_size_rule_ = true;
  auto to_pixels = [](int twips) { return draw::Nearest(twips / double(kTwipsPerPixel)); };
  if (from_pixels) {
    // A resize in pixels that does not match the twips held replaces them.
    if (to_pixels(twips_w_) != width()) twips_w_ = width() * kTwipsPerPixel;
    if (to_pixels(twips_h_) != height()) twips_h_ = height() * kTwipsPerPixel;
  }
  twips_w_ = std::max(twips_w_, kMinimumTwips);
  twips_h_ = std::max(twips_h_, kMinimumTwips);
  const QSize pixels(to_pixels(twips_w_), to_pixels(twips_h_));
  if (pixels != size()) resize(pixels);
  in_size_rule_ = false;
  UpdateRegion();
  RedrawButton();
}

void luxbutton::ApplyCursor() {
  if (hand_pointer_) {
    setCursor(Qt::PointingHandCursor);
  } else if (mouse_pointer_ == 99 && !mouse_icon_.IsEmpty()) {
    const draw::Image icon = mouse_icon_.ToImage();
    setCursor(QCursor(QPixmap::fromImage(draw::qt::AsQImage(icon))));
  } else if (mouse_pointer_ == 0) {
    unsetCursor();
  } else {
    setCursor(CursorShapeOf(mouse_pointer_));
  }
}

void luxbutton::CreateTooltip() {
  if (!isEnabled() || held_after_menu_ || state_ == ButtonState::Down) return;
  delete tooltip_window_.data();
  TooltipSettings s;
  s.text = tooltip_;
  s.title = tooltip_title_;
  s.icon = tooltip_icon_;
  s.type = tooltip_type_;
  s.back_color = tooltip_back_color_;
  s.right_to_left = right_to_left_;
  tooltip_window_ = CreateTooltipWindow(*this, s);
}

// ---- Methods ----

void luxbutton::SetPopupMenu(QObject* menu, int align, int flags, QAction* default_item) {
  auto* m = qobject_cast<QMenu*>(menu);
  if (!m) return;
  menu_ = m;
  menu_align_ = align;
  popup_flags_ = flags;
  menu_default_ = default_item;
  menu_attached_ = true;
}

void luxbutton::UnsetPopupMenu() {
  menu_ = nullptr;
  menu_default_ = nullptr;
  menu_attached_ = false;
  held_after_menu_ = false;
}

void luxbutton::OpenWebsite(const QString& address) {
  QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void luxbutton::About() {
  QMessageBox::information(this, QStringLiteral("About"),
                           QStringLiteral("luxbutton\nOwner-drawn push, check and option button "
                                          "with fourteen styles."));
}

// ---- Drawing ----

ButtonFace luxbutton::BuildFace() const {
  ButtonFace f;
  f.width = width();
  f.height = height();
  f.state = state_;
  f.style = style_;
  f.scheme = scheme_;
  f.back_color = back_color_;
  f.fore_color = fore_color_;
  f.fore_color_hover = fore_color_hover_;
  f.enabled = isEnabled();
  f.mode = mode_;
  f.value = value_;
  f.show_focus_rect = show_focus_rect_;
  f.has_focus = has_focus_;
  f.is_default = is_default_;
  f.parent_active = parent_active_;
  f.over = over_;
  f.mouse_held = mouse_held_;
  f.user_mode = user_mode_;
  f.caption = FromQString(caption_);
  f.font = font_;
  f.right_to_left = right_to_left_;
  f.caption_align = caption_align_;
  f.caption_effects = caption_effects_;
  f.picture_normal = face_normal_;
  f.picture_hot = face_hot_;
  f.picture_down = face_down_;
  f.picture_align = picture_align_;
  f.picture_shadow = picture_shadow_;
  f.picture_opacity = picture_opacity_;
  f.picture_opacity_on_over = picture_opacity_on_over_;
  f.picture_effect_on_over = picture_effect_on_over_;
  f.picture_effect_on_down = picture_effect_on_down_;
  f.disabled_picture_mode = disabled_picture_mode_;
  f.picture_push_on_hover = picture_push_on_hover_;
  f.mask_color = mask_color_;
  f.use_mask_color = use_mask_color_;
  f.drop_down_symbol = drop_down_symbol_;
  f.drop_down_separator = drop_down_separator_;
  f.effect_tables = &effect_tables_;
  f.themes_available = themes_available_;
  return f;
}

void luxbutton::RenderFace() {
  ++redraw_count_;
  // A set check or option button is drawn pressed, except in the styles with a set face.
  if (mode_ != ButtonMode::Push && value_ && style_ != ButtonStyle::Classic &&
      style_ != ButtonStyle::Toolbar) {
    state_ = ButtonState::Down;
  }
  ButtonFace face = BuildFace();
  draw::Canvas canvas(std::max(face.width, 0), std::max(face.height, 0),
                      draw::SystemColour(draw::kColourButtonFace));
  PaintButtonFace(canvas, face);
  state_ = face.state;
  themes_available_ = face.themes_available;
  if (face.fell_back_to_rounded_scheme) {
    style_ = ButtonStyle::RoundedScheme;
    scheme_ = ColorScheme::Blue;
    ApplySchemeColors();
  }
  if (face.fore_color_after_paint) fore_color_ = *face.fore_color_after_paint;
  if (face.window_region) {
    const QRegion region = draw::qt::ToQRegion(*face.window_region);
    if (mask() != region) setMask(region);
  }
  caption_rect_ = ToQRect(face.caption_rect);
  picture_rect_ = ToQRect(face.picture_rect);
  drop_down_rect_ = ToQRect(face.drop_down_rect);
  image_ = std::move(canvas.Pixels());
}

void luxbutton::RedrawButton() {
  RenderFace();
  update();
}

void luxbutton::SetState(ButtonState s) {
  state_ = s;
  RedrawButton();
}

void luxbutton::SetStateIfChanged(ButtonState s) {
  if (state_ != s) SetState(s);
}

void luxbutton::StoreValue(bool value) {
  value_ = value;
  Notify("Value");
}

// ---- Input ----

bool luxbutton::CursorOverControl(QPoint global) const {
  QWidget* at = QApplication::widgetAt(global);
  if (at && at->window()->windowType() == Qt::ToolTip) {
    // A tooltip is never hit by the mouse: look at the control beneath it.
    const QPoint local = mapFromGlobal(global);
    return rect().contains(local) && (mask().isEmpty() || mask().contains(local));
  }
  return at == this;
}

void luxbutton::OnMouseMove(QPoint global) {
  if (CursorOverControl(global)) {
    over_ = true;
    emit MouseEnter();
  } else {
    over_ = false;
  }
  if (space_held_) return;
  if (over_ && !mouse_held_) {
    if (state_ != ButtonState::Hot) {
      SetState(ButtonState::Hot);
      if (state_ != ButtonState::Down) CreateTooltip();
    }
  } else if (over_) {
    SetStateIfChanged(ButtonState::Down);
  } else {
    SetStateIfChanged(ButtonState::Normal);
  }
}

void luxbutton::OnMouseDown(int button, int shift, float x, float y) {
  last_press_ = {button, shift, x, y};
  if (button != kLeftButton && !held_after_menu_) return;
  has_focus_ = true;
  mouse_held_ = true;
  if (!space_held_) SetStateIfChanged(ButtonState::Down);
  if (!menu_attached_) {
    emit MouseDown(button, shift, x, y);
  } else if (!held_after_menu_) {
    ShowDropDownMenu();
  }
}

void luxbutton::OnMouseUp(int button, int shift, float x, float y) {
  if (menu_attached_) {
    mouse_held_ = false;
    held_after_menu_ = false;
    SetState(ButtonState::Normal);
    return;
  }
  if (button == kLeftButton) {
    mouse_held_ = false;
    // Strictly inside: a release on the first row or column is not a click.
    if (x > 0 && x < width() && y > 0 && y < height()) {
      if (mode_ == ButtonMode::Check) {
        StoreValue(!value_);
        RedrawButton();
      } else if (mode_ == ButtonMode::Option) {
        ClearOptionGroup();
        StoreValue(true);
      }
      SetState(ButtonState::Normal);
      QPointer<luxbutton> self(this);
      emit Click();
      if (!self) return;  // the form's handler deleted the button
    }
  }
  emit MouseUp(button, shift, x, y);
}

void luxbutton::OnDblClick() {
  if (last_press_.button != kLeftButton) return;
  if (isVisible()) grabMouse();
  SetState(ButtonState::Down);
  const LastPress p = last_press_;
  QPointer<luxbutton> self(this);
  OnMouseDown(p.button, p.shift, p.x, p.y);
  if (!self) return;
  if (!menu_attached_) {
    emit DblClick();
  } else if (!held_after_menu_) {
    ShowDropDownMenu();
  }
}

void luxbutton::OnKeyDown(int key_code, int shift, bool auto_repeat) {
  QPointer<luxbutton> self(this);
  switch (key_code) {
    case kKeyEnter:
      emit Click();
      if (!self) return;
      break;
    case kKeySpace:
      if (shift == kAltMask) return;
      if (mouse_held_) {
        SetStateIfChanged(over_ ? ButtonState::Down : ButtonState::Normal);
      } else if (!(auto_repeat && space_held_)) {
        // A held space bar repeats its key; the toggle belongs to the first press only.
        space_held_ = true;
        if (mode_ == ButtonMode::Check) {
          StoreValue(!value_);
        } else if (mode_ == ButtonMode::Option) {
          ClearOptionGroup();
          StoreValue(true);
        }
        SetStateIfChanged(ButtonState::Down);
      }
      if (QWidget::mouseGrabber() != this && isVisible()) {
        if (QWidget* other = QWidget::mouseGrabber()) other->releaseMouse();
        grabMouse();
      }
      break;
    case kKeyLeft:
    case kKeyUp:
    case kKeyRight:
    case kKeyDown: {
      // Like a typed Tab or Shift+Tab: the focus moves once this key has been handled.
      const bool next = key_code == kKeyRight || key_code == kKeyDown;
      QMetaObject::invokeMethod(
          this, [this, next] { focusNextPrevChild(next); }, Qt::QueuedConnection);
      break;
    }
    default:
      if (space_held_) {
        space_held_ = false;
        SetState(ButtonState::Normal);
      }
  }
  emit KeyDown(key_code, shift);
}

void luxbutton::OnKeyUp(int key_code, int shift) {
  if (key_code != kKeySpace) return;
  if (QWidget::mouseGrabber() == this) releaseMouse();
  if (over_ && mouse_held_) {
    SetStateIfChanged(ButtonState::Down);
  } else {
    SetStateIfChanged(over_ ? ButtonState::Hot : ButtonState::Normal);
    QPointer<luxbutton> self(this);
    if (!mouse_held_ && space_held_) emit Click();
    if (!self) return;
  }
  emit KeyUp(key_code, shift);
  space_held_ = false;
  mouse_held_ = false;
}

void luxbutton::OnAccessKeyPress(int key_ascii) {
  if (!isEnabled()) return;
  if (space_held_) {
    space_held_ = false;
    mouse_held_ = false;
  }
  const bool enter_or_escape = key_ascii == kKeyEscape || key_ascii == kKeyEnter;
  if (mode_ == ButtonMode::Check) {
    if (enter_or_escape) return;
    const bool was_set = value_;
    StoreValue(!value_);
    if (was_set) state_ = ButtonState::Normal;
    RedrawButton();
  } else if (mode_ == ButtonMode::Option) {
    if (enter_or_escape) return;
    ClearOptionGroup();
    StoreValue(true);
    RedrawButton();
  }
  QPointer<luxbutton> self(this);
  QCoreApplication::processEvents();
  if (self) emit Click();
}

void luxbutton::OnGotFocus() { has_focus_ = true; }

void luxbutton::OnLostFocus() {
  has_focus_ = mouse_held_ = space_held_ = false;
  SetState(parent_active_ && over_ ? ButtonState::Hot : ButtonState::Normal);
  if (is_default_) RedrawButton();
}

void luxbutton::OnMouseLeave() {
  over_ = false;
  if (menu_attached_) {
    if (menu_opening_) {
      // The menu opening over the button takes the cursor; the button stays pressed.
      menu_opening_ = false;
      held_after_menu_ = true;
      return;
    }
    held_after_menu_ = false;
  }
  if (!space_held_) {
    SetStateIfChanged(ButtonState::Normal);
    emit MouseLeave();
  }
}

void luxbutton::OnParentActivate(bool active) {
  if (active) {
    parent_active_ = true;
    SetState(ButtonState::Normal);
    if (is_default_) RedrawButton();
  } else {
    mouse_held_ = space_held_ = has_focus_ = parent_active_ = false;
    SetState(ButtonState::Normal);
  }
}

void luxbutton::ShowDropDownMenu() {
  const int w = width();
  const int h = height();
  menu_opening_ = true;
  QPoint at;
  switch (menu_align_) {
    case 0: at = {0, h}; break;
    case 1: at = {0, 0}; popup_flags_ = kPopupBottomAlign; break;
    case 2: at = {0, 0}; popup_flags_ |= kPopupRightAlign; break;
    case 3: at = {w, 0}; break;
    case 4: at = {0, 0}; popup_flags_ = kPopupBottomAlign | kPopupRightAlign; break;
    case 5: at = {0, h}; popup_flags_ |= kPopupRightAlign; break;
    case 6: at = {w, 0}; popup_flags_ = kPopupBottomAlign; break;
    case 7: at = {w, h}; break;
    default: menu_opening_ = false; return;
  }
  if (!menu_) {  // the menu object is gone: nothing to show
    menu_opening_ = false;
    return;
  }
  QPointer<luxbutton> self(this);
  in_menu_ = true;
  PopupMenu(*this, *menu_, popup_flags_, at, menu_default_);
  if (!self) return;  // an action of the menu closed the form
  in_menu_ = false;
  if (CursorOverControl(QCursor::pos())) {
    held_after_menu_ = true;
  } else {
    mouse_held_ = over_ = space_held_ = false;
    state_ = ButtonState::Normal;
    held_after_menu_ = menu_opening_ = false;
    RedrawButton();
  }
}

// ---- Hooks ----

void luxbutton::InstallHooks() {
  if (hooks_installed_) return;
  hooks_installed_ = true;
  // Palette changes repaint only when the desktop style is themed.
  hook_palette_ = themes_available_.value_or(true);
  installEventFilter(this);
  hooked_form_ = parent_form_ ? parent_form_.data() : ParentForm(*this);
  if (hooked_form_ && hooked_form_ != this) hooked_form_->installEventFilter(this);
  parent_active_ = hooked_form_ && hooked_form_->isActiveWindow();
}

void luxbutton::RemoveHooks() {
  removeEventFilter(this);
  if (hooked_form_) hooked_form_->removeEventFilter(this);
  hooked_form_ = nullptr;
  hooks_installed_ = false;
}

bool luxbutton::eventFilter(QObject* watched, QEvent* e) {
  const bool own = watched == this;
  const bool form = watched == hooked_form_.data();
  switch (e->type()) {
    case QEvent::Leave:
      if (own) OnMouseLeave();
      break;
    case QEvent::StyleChange:
    case QEvent::ThemeChange:
      if (own) RedrawButton();
      break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
      if (own && hook_palette_) RedrawButton();
      break;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      // Some desktops move the activation to the popup menu and back; the form itself stays
      // the active window while its button's menu is open.
      if (form && !in_menu_) OnParentActivate(e->type() == QEvent::WindowActivate);
      break;
    default:
      break;
  }
  return false;  // every hooked event goes on to its normal handling
}

// ---- Qt events ----

bool luxbutton::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::Shortcut: {
      auto* se = static_cast<QShortcutEvent*>(e);
      const QKeySequence& k = se->key();
      if (k == QKeySequence(Qt::Key_Return) || k == QKeySequence(Qt::Key_Enter)) {
        OnAccessKeyPress(kKeyEnter);
      } else if (k == QKeySequence(Qt::Key_Escape)) {
        OnAccessKeyPress(kKeyEscape);
      } else if (access_key_) {
        OnAccessKeyPress(access_key_->unicode());
      }
      return true;
    }
    case QEvent::ShortcutOverride: {
      // With the focus, Enter is this control's own key, not the default button's shortcut.
      auto* ke = static_cast<QKeyEvent*>(e);
      if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) &&
          ke->modifiers() == Qt::NoModifier) {
        e->accept();
        return true;
      }
      break;
    }
    default:
      break;
  }
  return QWidget::event(e);
}

void luxbutton::paintEvent(QPaintEvent*) {
  if (image_.Width() != width() || image_.Height() != height()) RenderFace();
  QPainter p(this);
  p.drawImage(0, 0, draw::qt::AsQImage(image_));
}

void luxbutton::resizeEvent(QResizeEvent*) { ApplySizeRule(true); }

void luxbutton::showEvent(QShowEvent*) {
  setToolTip(QString());
  // A button built in code and shown without being loaded still gets its hooks, as loading
  // would have installed them.
  if (!loaded_ && user_mode_ && !hooks_installed_) {
    parent_form_ = ParentForm(*this);
    InstallHooks();
  }
}

void luxbutton::hideEvent(QHideEvent*) { setToolTip(tooltip_); }

void luxbutton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) {
    RedrawButton();
    Notify("Enabled");
  }
  QWidget::changeEvent(e);
}

void luxbutton::mousePressEvent(QMouseEvent* e) {
  const QPointF p = e->position();
  OnMouseDown(ButtonNumber(e->button()), ShiftState(e->modifiers()), float(p.x()), float(p.y()));
}

void luxbutton::mouseMoveEvent(QMouseEvent* e) { OnMouseMove(e->globalPosition().toPoint()); }

void luxbutton::mouseReleaseEvent(QMouseEvent* e) {
  // A capture taken for a double click or the space bar ends with the button's release.
  if (QWidget::mouseGrabber() == this && !space_held_) releaseMouse();
  const QPointF p = e->position();
  OnMouseUp(ButtonNumber(e->button()), ShiftState(e->modifiers()), float(p.x()), float(p.y()));
}

void luxbutton::mouseDoubleClickEvent(QMouseEvent*) { OnDblClick(); }

void luxbutton::keyPressEvent(QKeyEvent* e) {
  const int shift = ShiftState(e->modifiers());
  QPointer<luxbutton> self(this);
  OnKeyDown(VirtualKeyCode(e->key()), shift, e->isAutoRepeat());
  if (self && !e->text().isEmpty() && !(shift & kAltMask)) emit KeyPress(e->text().at(0).unicode());
}

void luxbutton::keyReleaseEvent(QKeyEvent* e) {
  // Some desktops report a held key as repeated release and press pairs; only the real
  // release counts.
  if (e->isAutoRepeat()) return;
  OnKeyUp(VirtualKeyCode(e->key()), ShiftState(e->modifiers()));
}

void luxbutton::focusInEvent(QFocusEvent* e) {
  if (!in_menu_ && e->reason() != Qt::PopupFocusReason) OnGotFocus();
  QWidget::focusInEvent(e);
}

void luxbutton::focusOutEvent(QFocusEvent* e) {
  // The button's own menu does not take the focus from it.
  if (!in_menu_ && e->reason() != Qt::PopupFocusReason) OnLostFocus();
  QWidget::focusOutEvent(e);
}

}  // namespace velquin::button
