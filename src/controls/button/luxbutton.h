// luxbutton: the owner-drawn push, check and option button of the scan console, without a toolkit.
// It holds its persisted properties, drives its visual state from plain input calls, raises its
// events through callbacks and, at every change, paints its whole face into its own canvas
// through a face painter (face.h). A host window (host.h) delivers the input, presents the
// canvas, applies the window region and carries out the control's requests: the tooltip, the
// drop-down menu, the mouse capture and pointer, the focus movement.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/button/button_types.h"
#include "controls/button/face.h"
#include "controls/button/host.h"
#include "draw/canvas.h"
#include "draw/colour.h"
#include "draw/font.h"
#include "draw/picture.h"
#include "draw/property_bag.h"
#include "draw/region.h"

namespace velquin::button {

// The Caption a bag entry is measured against, in both directions.
inline constexpr char kDefaultCaption[] = "luxbutton1";
// The size rule: no side shorter than 220 twips, at 15 twips per pixel.
inline constexpr int kMinimumTwips = 220;
inline constexpr int kTwipsPerPixel = 15;
// The about box of About(): its title and text.
inline constexpr char kAboutTitle[] = "About";
inline constexpr char kAboutText[] =
    "luxbutton\nOwner-drawn push, check and option button with fourteen styles.";

// The events the control raises to the form's code; an empty one is not raised.
struct ButtonEvents {
  std::function<void()> Click;
  std::function<void()> DblClick;
  std::function<void()> MouseEnter;  // on every mouse move over the control
  std::function<void()> MouseLeave;
  std::function<void(int Button, int Shift, float X, float Y)> MouseMove;  // declared, never raised
  std::function<void(int Button, int Shift, float X, float Y)> MouseDown;
  std::function<void(int Button, int Shift, float X, float Y)> MouseUp;
  std::function<void(int KeyCode, int Shift)> KeyDown;
  std::function<void(int KeyCode, int Shift)> KeyUp;
  std::function<void(int KeyAcsii)> KeyPress;
  // The design-time change notification, with the persisted name of the property.
  std::function<void(std::string_view name)> PropertyChanged;
};

// What the form tells its controls (ambient values).
struct Ambient {
  draw::FontSpec font;       // the form's font: the default of Font
  std::string display_name;  // the instance's name on the form: a new instance's Caption
  bool user_mode = true;     // the form runs (false while it is being designed)
  bool display_as_default = false;  // this control is the form's default button
};

class luxbutton {
 public:
  // A control of `width` x `height` client pixels, not yet loaded; `host` may come later.
  explicit luxbutton(ButtonHost* host = nullptr, int width = 0, int height = 0);
  ~luxbutton();
  luxbutton(const luxbutton&) = delete;
  luxbutton& operator=(const luxbutton&) = delete;

  void SetHost(ButtonHost* host) { host_ = host; }
  ButtonEvents events;

  // ---- Life cycle ----
  // A new instance placed on a form at design time.
  void InitProperties();
  // Loads the persisted settings (an empty bag gives every default); when the form runs, asks
  // the host for the hooks of the parent form and of the control window.
  void ReadProperties(const draw::PropertyBag& bag);
  void WriteProperties(draw::PropertyBag& bag) const;

  // ---- Container side ----
  // Takes the ambient values; read when loading. AmbientChanged re-reads the default-button flag
  // and redraws for "DisplayAsDefault" and "BackColor" (names without regard to case).
  void SetAmbient(const Ambient& ambient) { ambient_ = ambient; }
  const Ambient& ambient() const { return ambient_; }
  void AmbientChanged(std::string_view name);
  // The form's default button changed (the ambient "DisplayAsDefault").
  void SetDefault(bool is_default);
  bool isDefault() const { return is_default_; }

  // ---- Input from the host window (host.h lists the messages they stand for) ----
  void MouseMove();
  void MouseDown(int button, int shift, float x, float y);
  void MouseUp(int button, int shift, float x, float y);
  void DblClick();
  // `repeat`: the key is held and repeats; a repeated space bar does not press again.
  void KeyDown(int key_code, int shift, bool repeat = false);
  void KeyUp(int key_code, int shift);
  void KeyPress(int key_ascii);
  void AccessKeyPress(int key_ascii);
  void GotFocus();
  void LostFocus();
  void MouseLeave();
  void ThemeChanged();
  void SysColorChanged();
  void ParentActivate(bool active);
  void Resize(int width, int height);
  void Show();
  void Hide();
  // The face to present: painted again first when the client size changed since the last paint.
  const draw::Canvas& Paint();

  // ---- Properties ----
  ButtonStyle buttonStyle() const { return style_; }
  void setButtonStyle(ButtonStyle style);
  bool showFocusRect() const { return show_focus_rect_; }
  void setShowFocusRect(bool on);
  const draw::FontSpec& font() const { return font_; }
  void setFont(const draw::FontSpec& font);
  Colour backColor() const { return back_color_; }
  void setBackColor(Colour c);
  bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  const std::string& caption() const { return caption_; }  // UTF-8
  void setCaption(std::string_view caption);
  bool value() const { return value_; }
  void setValue(bool value);
  int mousePointer() const { return mouse_pointer_; }
  void setMousePointer(int pointer);
  bool handPointer() const { return hand_pointer_; }
  void setHandPointer(bool on);
  const draw::Picture& mouseIcon() const { return mouse_icon_; }
  void setMouseIcon(const draw::Picture& icon);
  const draw::Picture& pictureNormal() const { return picture_normal_; }
  void setPictureNormal(const draw::Picture& picture);
  const draw::Picture& pictureHot() const { return picture_hot_; }
  void setPictureHot(const draw::Picture& picture);
  const draw::Picture& pictureDown() const { return picture_down_; }
  void setPictureDown(const draw::Picture& picture);
  bool pictureShadow() const { return picture_shadow_; }
  void setPictureShadow(bool on);
  int pictureOpacity() const { return picture_opacity_; }
  void setPictureOpacity(int opacity);
  int pictureOpacityOnOver() const { return picture_opacity_on_over_; }
  void setPictureOpacityOnOver(int opacity);
  DisabledPictureMode disabledPictureMode() const { return disabled_picture_mode_; }
  void setDisabledPictureMode(DisabledPictureMode mode);
  bool picturePushOnHover() const { return picture_push_on_hover_; }
  void setPicturePushOnHover(bool on);
  PictureEffect pictureEffectOnOver() const { return picture_effect_on_over_; }
  void setPictureEffectOnOver(PictureEffect effect);
  PictureEffect pictureEffectOnDown() const { return picture_effect_on_down_; }
  void setPictureEffectOnDown(PictureEffect effect);
  Colour maskColor() const { return mask_color_; }
  void setMaskColor(Colour c);
  bool useMaskColor() const { return use_mask_color_; }
  void setUseMaskColor(bool on);
  PictureAlign pictureAlign() const { return picture_align_; }
  void setPictureAlign(PictureAlign align);
  CaptionEffects captionEffects() const { return caption_effects_; }
  void setCaptionEffects(CaptionEffects effects);
  ButtonMode mode() const { return mode_; }
  void setMode(ButtonMode mode);
  CaptionAlign captionAlign() const { return caption_align_; }
  void setCaptionAlign(CaptionAlign align);
  Colour foreColor() const { return fore_color_; }
  void setForeColor(Colour c);
  Colour foreColorHover() const { return fore_color_hover_; }
  void setForeColorHover(Colour c);
  bool dropDownSeparator() const { return drop_down_separator_; }
  void setDropDownSeparator(bool on);
  const std::string& tooltipTitle() const { return tooltip_title_; }
  void setTooltipTitle(std::string_view title);
  const std::string& toolTip() const { return tooltip_; }
  void setToolTip(std::string_view text);
  int toolTipIcon() const { return tooltip_icon_; }
  void setToolTipIcon(int icon);
  ToolTipType toolTipType() const { return tooltip_type_; }
  void setToolTipType(ToolTipType type);
  Colour tooltipBackColor() const { return tooltip_back_color_; }
  void setTooltipBackColor(Colour c);
  bool rightToLeft() const { return right_to_left_; }
  void setRightToLeft(bool on);
  int dropDownSymbol() const { return drop_down_symbol_; }
  void setDropDownSymbol(int symbol);
  ColorScheme colorScheme() const { return scheme_; }
  void setColorScheme(ColorScheme scheme);

  // Size in twips: the window is Nearest(twips / 15) pixels a side; the size rule applies.
  draw::Size sizeTwips() const { return {twips_w_, twips_h_}; }
  void setSizeTwips(int width, int height);
  int width() const { return width_; }  // client pixels
  int height() const { return height_; }

  // ---- Methods ----
  // Attaches a drop-down menu of the form (0 is ignored). `align` 0..7 picks where it opens,
  // `flags` are the popup call's flags, `default_item` (may be 0) its default entry.
  void SetPopupMenu(MenuHandle menu, int align, int flags, MenuHandle default_item = 0);
  void UnsetPopupMenu();
  // Paints the whole button for the current state and asks the host to show it.
  void RedrawButton();

  // ---- Inspection ----
  ButtonState buttonState() const { return state_; }
  bool isOver() const { return over_; }
  bool isMouseHeld() const { return mouse_held_; }
  bool isSpaceHeld() const { return space_held_; }
  bool hasFocusFlag() const { return has_focus_; }
  bool isParentActive() const { return parent_active_; }
  bool isMenuAttached() const { return menu_attached_; }
  bool isMenuOpening() const { return menu_opening_; }
  bool isHeldAfterMenu() const { return held_after_menu_; }
  int popupFlags() const { return popup_flags_; }
  std::optional<char32_t> accessKey() const { return access_key_; }
  bool hooksInstalled() const { return hooks_installed_; }
  const draw::Canvas& faceCanvas() const { return canvas_; }
  const draw::Region& windowRegion() const { return region_; }
  int redrawCount() const { return redraw_count_; }
  const draw::Rect& captionRect() const { return caption_rect_; }
  const draw::Rect& pictureRect() const { return picture_rect_; }
  const draw::Rect& dropDownRect() const { return drop_down_rect_; }
  // Whether the desktop draws style 13 with a visual style; found out at the first paint that
  // needs it and kept. Tests pin it.
  void setThemesAvailable(std::optional<bool> available) { themes_available_ = available; }
  // Goes out of date when the control is destroyed: what a caller holds across an event.
  std::weak_ptr<const luxbutton*> lifeToken() const { return life_; }

 private:
  struct LastPress {
    int button = 0;
    int shift = 0;
    float x = 0;
    float y = 0;
  };

  void ShowDropDownMenu();
  void CreateTooltip();
  void ApplyStyleDefaults();
  void ApplySchemeColors();
  bool ClearOptionGroup();
  void UpdateAccessKey();
  void UpdateRegion();
  void ApplyRegion(const draw::Region& region);
  void ApplySizeRule(bool from_pixels);
  bool ApplyMousePointer();
  void InstallHooks();

  // Calls `event` unless it is empty; false when the control was destroyed meanwhile.
  template <typename Event, typename... Args>
  bool Raise(const Event& event, Args... args) {
    if (!event) return true;
    const std::weak_ptr<const luxbutton*> alive = life_;
    const Event handler = event;  // the handler may destroy the control, and `event` with it
    handler(args...);
    return !alive.expired();
  }

  void SetState(ButtonState s);           // assign and repaint
  void SetStateIfChanged(ButtonState s);  // repaint only when it differs
  bool StoreValue(bool value);            // a user toggle: field and notification; false when gone
  bool Notify(std::string_view name);     // false when the notified form destroyed the control
  void RedrawWhenPictureSet();
  void RenderFace();
  ButtonFace BuildFace() const;

  ButtonHost* host_ = nullptr;
  Ambient ambient_;
  std::shared_ptr<const luxbutton*> life_;

  // Persisted properties.
  ButtonStyle style_ = ButtonStyle::ClassicThin;
  bool show_focus_rect_ = false;
  draw::FontSpec font_;
  Colour back_color_ = 0;
  bool enabled_ = true;
  std::string caption_ = kDefaultCaption;
  bool value_ = false;
  int mouse_pointer_ = 0;
  bool hand_pointer_ = false;
  draw::Picture mouse_icon_;
  draw::Picture picture_normal_;
  draw::Picture picture_hot_;
  draw::Picture picture_down_;
  FacePicture face_normal_;
  FacePicture face_hot_;
  FacePicture face_down_;
  bool picture_shadow_ = false;
  int picture_opacity_ = 255;
  int picture_opacity_on_over_ = 255;
  DisabledPictureMode disabled_picture_mode_ = DisabledPictureMode::Faint;
  bool picture_push_on_hover_ = false;
  PictureEffect picture_effect_on_over_ = PictureEffect::Brighten;
  PictureEffect picture_effect_on_down_ = PictureEffect::Darken;
  Colour mask_color_ = 0xE0E0E0;
  bool use_mask_color_ = true;
  PictureAlign picture_align_ = PictureAlign::LeftOfCaption;
  CaptionEffects caption_effects_ = CaptionEffects::None;
  ButtonMode mode_ = ButtonMode::Push;
  CaptionAlign caption_align_ = CaptionAlign::Center;
  Colour fore_color_ = 0;
  Colour fore_color_hover_ = 0;
  bool drop_down_separator_ = false;
  std::string tooltip_title_;
  std::string tooltip_;
  int tooltip_icon_ = 0;
  ToolTipType tooltip_type_ = ToolTipType::Standard;
  Colour tooltip_back_color_ = 0;
  bool right_to_left_ = false;
  int drop_down_symbol_ = 0;
  ColorScheme scheme_ = ColorScheme::Blue;

  std::optional<char32_t> access_key_;

  // Visual state and the flags that drive it.
  ButtonState state_ = ButtonState::Normal;
  bool over_ = false;
  bool mouse_held_ = false;
  bool space_held_ = false;
  bool has_focus_ = false;
  bool parent_active_ = false;
  bool is_default_ = false;
  bool menu_attached_ = false;
  bool menu_opening_ = false;
  bool held_after_menu_ = false;
  LastPress last_press_;

  // The drop-down menu.
  MenuHandle menu_ = 0;
  MenuHandle menu_default_ = 0;
  int menu_align_ = 0;
  int popup_flags_ = 0;

  // Hooks.
  bool loaded_ = false;  // InitProperties or ReadProperties has run
  bool hooks_installed_ = false;
  bool hook_sys_colours_ = false;  // WM_SYSCOLORCHANGE repaints: themes were active at load

  // Drawing.
  EffectTables effect_tables_;
  std::optional<bool> themes_available_;
  draw::Canvas canvas_;
  draw::Region region_;
  bool region_applied_ = false;
  draw::Rect caption_rect_;
  draw::Rect picture_rect_;
  draw::Rect drop_down_rect_;
  int redraw_count_ = 0;

  int width_ = 0;
  int height_ = 0;
  int twips_w_ = 0;
  int twips_h_ = 0;
  bool in_size_rule_ = false;
};

}  // namespace velquin::button
