// luxbutton's life cycle, properties, persistence, style and scheme rules and drawing; its input
// handling is in luxbutton_input.cpp.
#include "controls/button/luxbutton.h"

#include <algorithm>
#include <cctype>

#include "controls/button/access_key.h"
#include "controls/button/scheme.h"
#include "draw/rounding.h"

namespace velquin::button {

namespace {

FacePicture Decode(const draw::Picture& p) { return FacePicture{p.ToImage(), false}; }

bool SameName(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

int ToPixels(int twips) { return draw::Nearest(twips / double(kTwipsPerPixel)); }

}  // namespace

luxbutton::luxbutton(ButtonHost* host, int width, int height)
    : host_(host),
      life_(std::make_shared<const luxbutton*>(this)),
      effect_tables_(MakeEffectTables()),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      twips_w_(width_ * kTwipsPerPixel),
      twips_h_(height_ * kTwipsPerPixel) {
  back_color_ = draw::SystemColour(draw::kColourButtonFace);
  fore_color_ = draw::SystemColour(draw::kColourButtonText);
  fore_color_hover_ = fore_color_;
  tooltip_back_color_ = draw::SystemColour(draw::kColourInfoBackground);
  font_ = ambient_.font;
}

luxbutton::~luxbutton() {
  life_.reset();
  UnsetPopupMenu();
  if (hooks_installed_ && host_) host_->RemoveHooks();
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
  enabled_ = true;
  if (host_) host_->EnableWindow(true);
  style_ = ButtonStyle::SystemTheme;
  caption_ = ambient_.display_name.empty() ? std::string(kDefaultCaption) : ambient_.display_name;
  font_ = ambient_.font;
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
  font_ = bag.ReadFont("Font", ambient_.font);
  back_color_ = bag.ReadColour("BackColor", SystemColour(draw::kColourButtonFace));
  const bool enabled = bag.ReadBool("Enabled", true);
  caption_ = bag.ReadText("Caption", kDefaultCaption);
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
  picture_opacity_ =
      static_cast<int>(std::clamp<std::int64_t>(bag.ReadInt("PictureOpacity", 255), 0, 255));
  picture_opacity_on_over_ =
      static_cast<int>(std::clamp<std::int64_t>(bag.ReadInt("PictureOpacityOnOver", 255), 0, 255));
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
  tooltip_title_ = bag.ReadText("TooltipTitle", "");
  tooltip_ = bag.ReadText("ToolTip", "");
  tooltip_icon_ = static_cast<int>(bag.ReadInt("TooltipIcon", 0));
  tooltip_type_ = static_cast<ToolTipType>(bag.ReadInt("TooltipType", 0));
  tooltip_back_color_ =
      bag.ReadColour("TooltipBackColor", SystemColour(draw::kColourInfoBackground));
  right_to_left_ = bag.ReadBool("RightToLeft", false);
  drop_down_symbol_ = static_cast<int>(bag.ReadInt("DropDownSymbol", 0));
  scheme_ = static_cast<ColorScheme>(bag.ReadInt("ColorScheme", 0));

  loaded_ = true;
  enabled_ = enabled;
  if (host_) host_->EnableWindow(enabled);
  UpdateAccessKey();
  is_default_ = ambient_.display_as_default;
  // A hand pointer the system cannot show is turned off.
  if (!ApplyMousePointer() && hand_pointer_) {
    hand_pointer_ = false;
    ApplyMousePointer();
  }
  ApplySizeRule(true);
  if (ambient_.user_mode) InstallHooks();
}

void luxbutton::WriteProperties(draw::PropertyBag& bag) const {
  using draw::PropertyValue;
  using draw::SystemColour;
  auto colour = [](Colour c) { return PropertyValue::OfColour(c); };
  const Colour text = SystemColour(draw::kColourButtonText);
  bag.Write("ButtonStyle", static_cast<int>(style_), 1);
  bag.Write("ShowFocusRect", show_focus_rect_, false);
  bag.Write("Enabled", enabled_, true);
  bag.Write("Font", font_, ambient_.font);
  bag.Write("BackColor", colour(back_color_), colour(SystemColour(draw::kColourButtonFace)));
  bag.Write("Caption", caption_, kDefaultCaption);
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
  bag.Write("ToolTip", tooltip_, "");
  bag.Write("TooltipType", static_cast<int>(tooltip_type_), 0);
  bag.Write("TooltipIcon", tooltip_icon_, 0);
  bag.Write("TooltipTitle", tooltip_title_, "");
  bag.Write("TooltipBackColor", colour(tooltip_back_color_),
            colour(SystemColour(draw::kColourInfoBackground)));
  bag.Write("RightToLeft", right_to_left_, false);
  bag.Write("DropDownSymbol", drop_down_symbol_, 0);
  bag.Write("DropDownSeparator", drop_down_separator_, false);
  bag.Write("ColorScheme", static_cast<int>(scheme_), 0);
}

// ---- Container side ----

void luxbutton::AmbientChanged(std::string_view name) {
  is_default_ = ambient_.display_as_default;
  if (SameName(name, "DisplayAsDefault") || SameName(name, "BackColor")) RedrawButton();
}

void luxbutton::SetDefault(bool is_default) {
  if (ambient_.display_as_default == is_default) return;
  ambient_.display_as_default = is_default;
  AmbientChanged("DisplayAsDefault");
}

// ---- Properties ----

bool luxbutton::Notify(std::string_view name) { return Raise(events.PropertyChanged, name); }

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

void luxbutton::setFont(const draw::FontSpec& font) {
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

void luxbutton::setEnabled(bool on) {
  enabled_ = on;
  if (host_) host_->EnableWindow(on);
  RedrawButton();
  Notify("Enabled");
}

void luxbutton::setCaption(std::string_view caption) {
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
  ApplyMousePointer();
  Notify("MousePointer");
}

void luxbutton::setHandPointer(bool on) {
  hand_pointer_ = on;
  if (on) mouse_pointer_ = 0;
  ApplyMousePointer();
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
  ApplyMousePointer();
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
  if (Notify("Value")) Notify("Mode");
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

void luxbutton::setTooltipTitle(std::string_view title) {
  tooltip_title_ = title;
  RedrawButton();
  Notify("TooltipTitle");
}

void luxbutton::setToolTip(std::string_view text) {
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

void luxbutton::UpdateAccessKey() {
  access_key_ = AccessKeyOf(caption_);
  if (host_) host_->SetAccessKey(access_key_);
}

void luxbutton::ApplyRegion(const draw::Region& region) {
  if (region_applied_ && region == region_) return;
  region_ = region;
  region_applied_ = true;
  if (host_) host_->SetWindowRegion(region_);
}

void luxbutton::UpdateRegion() { ApplyRegion(ButtonRegion(style_, width_, height_)); }

void luxbutton::ApplySizeRule(bool from_pixels) {
  if (in_size_rule_) return;
  in_size_rule_ = true;
  if (from_pixels) {
    // A size in pixels that does not match the twips held replaces them.
    if (ToPixels(twips_w_) != width_) twips_w_ = width_ * kTwipsPerPixel;
    if (ToPixels(twips_h_) != height_) twips_h_ = height_ * kTwipsPerPixel;
  }
  twips_w_ = std::max(twips_w_, kMinimumTwips);
  twips_h_ = std::max(twips_h_, kMinimumTwips);
  const int w = ToPixels(twips_w_);
  const int h = ToPixels(twips_h_);
  if (w != width_ || h != height_) {
    width_ = w;
    height_ = h;
    if (host_) host_->ResizeWindow(w, h);
  }
  in_size_rule_ = false;
  UpdateRegion();
  RedrawButton();
}

bool luxbutton::ApplyMousePointer() {
  if (!host_) return true;
  MousePointerRequest pointer;
  pointer.mouse_pointer = mouse_pointer_;
  pointer.hand = hand_pointer_;
  if (mouse_pointer_ == 99) pointer.icon = mouse_icon_;
  return host_->SetMousePointer(pointer);
}

// ---- Methods ----

void luxbutton::SetPopupMenu(MenuHandle menu, int align, int flags, MenuHandle default_item) {
  if (menu == 0) return;
  menu_ = menu;
  menu_align_ = align;
  popup_flags_ = flags;
  menu_default_ = default_item;
  menu_attached_ = true;
}

void luxbutton::UnsetPopupMenu() {
  menu_ = 0;
  menu_default_ = 0;
  menu_attached_ = false;
  held_after_menu_ = false;
}

// ---- Drawing ----

ButtonFace luxbutton::BuildFace() const {
  ButtonFace f;
  f.width = width_;
  f.height = height_;
  f.state = state_;
  f.style = style_;
  f.scheme = scheme_;
  f.back_color = back_color_;
  f.fore_color = fore_color_;
  f.fore_color_hover = fore_color_hover_;
  f.enabled = enabled_;
  f.mode = mode_;
  f.value = value_;
  f.show_focus_rect = show_focus_rect_;
  f.has_focus = has_focus_;
  f.is_default = is_default_;
  f.parent_active = parent_active_;
  f.over = over_;
  f.mouse_held = mouse_held_;
  f.user_mode = ambient_.user_mode;
  f.caption = caption_;
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
  // Cleared to the control window's own background colour.
  canvas_ = draw::Canvas(width_, height_, draw::SystemColour(draw::kColourButtonFace));
  PaintButtonFace(canvas_, face);
  state_ = face.state;
  themes_available_ = face.themes_available;
  if (face.fell_back_to_rounded_scheme) {
    style_ = ButtonStyle::RoundedScheme;
    scheme_ = ColorScheme::Blue;
    ApplySchemeColors();
  }
  if (face.fore_color_after_paint) fore_color_ = *face.fore_color_after_paint;
  if (face.window_region) ApplyRegion(*face.window_region);
  caption_rect_ = face.caption_rect;
  picture_rect_ = face.picture_rect;
  drop_down_rect_ = face.drop_down_rect;
}

void luxbutton::RedrawButton() {
  RenderFace();
  if (host_) host_->Invalidate();
}

const draw::Canvas& luxbutton::Paint() {
  if (canvas_.Width() != width_ || canvas_.Height() != height_) RenderFace();
  return canvas_;
}

}  // namespace velquin::button
