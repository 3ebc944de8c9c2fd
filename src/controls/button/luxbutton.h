// luxbutton: the owner-drawn push, check and option button of the scan console. It holds its
// persisted properties, drives the visual state from mouse, keyboard, focus and window activation,
// raises its events as signals and paints itself through a face painter (face.h) into an image
// that the widget shows.
#pragma once

#include <optional>

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include "controls/button/button_types.h"
#include "controls/button/face.h"
#include "draw/colour.h"
#include "draw/font.h"
#include "draw/image.h"
#include "draw/property_bag.h"

class QAction;
class QMenu;

namespace velquin::button {

// Mouse buttons and shift states as the events report them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// The Caption a new bag entry is measured against, in both directions.
inline constexpr char kDefaultCaption[] = "luxbutton1";
// The size rule: no side shorter than 220 twips, at 15 twips per pixel.
inline constexpr int kMinimumTwips = 220;
inline constexpr int kTwipsPerPixel = 15;

class luxbutton : public QWidget {
  Q_OBJECT

 public:
  explicit luxbutton(QWidget* parent = nullptr);
  ~luxbutton() override;

  // ---- Life cycle ----
  // A new instance placed on a form at design time.
  void InitProperties();
  // Loads the persisted settings (an empty bag gives every default). Call once the control sits
  // on its form: it takes the form for its activation hook and, when the form runs, installs the
  // hooks that report the cursor leaving, window activation and palette or style changes (a
  // button that is shown without ever being loaded installs them when first shown).
  void ReadProperties(const draw::PropertyBag& bag);
  void WriteProperties(draw::PropertyBag& bag) const;

  // ---- Container side ----
  // Whether the form runs (true) or is being designed; read when loading.
  void setUserMode(bool user_mode) { user_mode_ = user_mode; }
  bool userMode() const { return user_mode_; }
  // The form's default button: Enter pressed anywhere in the window reaches it as its access key.
  void setDefault(bool is_default);
  bool isDefault() const { return is_default_; }
  // The form's cancel button: Escape reaches it as its access key.
  void setCancel(bool is_cancel);
  bool isCancel() const { return is_cancel_; }
  // An ambient value of the container changed ("DisplayAsDefault", "BackColor", ...).
  void AmbientChanged(const QString& name);

  // ---- Properties ----
  ButtonStyle buttonStyle() const { return style_; }
  void setButtonStyle(ButtonStyle style);
  bool showFocusRect() const { return show_focus_rect_; }
  void setShowFocusRect(bool on);
  const draw::FontSpec& buttonFont() const { return font_; }
  void setButtonFont(const draw::FontSpec& font);
  Colour backColor() const { return back_color_; }
  void setBackColor(Colour c);
  // Enabled is QWidget::setEnabled / isEnabled; a change redraws and is notified.
  const QString& caption() const { return caption_; }
  void setCaption(const QString& caption);
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
  const QString& tooltipTitle() const { return tooltip_title_; }
  void setTooltipTitle(const QString& title);
  // The control's own tooltip text (QWidget's toolTip is the container's, kept empty while shown).
  const QString& buttonToolTip() const { return tooltip_; }
  void setButtonToolTip(const QString& text);
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

  // Size in twips: the widget is Nearest(twips / 15) pixels; the size rule applies.
  QSize sizeTwips() const { return {twips_w_, twips_h_}; }
  void setSizeTwips(int width, int height);
  // Position and size in twips within the parent, as form data stores them.
  void setGeometryTwips(int left, int top, int width, int height);

  // ---- Methods ----
  // Attaches a drop-down menu: `menu` must be a QMenu, anything else is ignored. `align` 0..7
  // picks where it opens, `flags` are the popup call's alignment bits, `default_item` (may be
  // null) is shown as the menu's default entry.
  void SetPopupMenu(QObject* menu, int align, int flags, QAction* default_item = nullptr);
  void UnsetPopupMenu();
  // Opens an address with the desktop's handler; the outcome is not reported.
  void OpenWebsite(const QString& address);
  void About();

  // Paints the whole button for the current state and shows it.
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
  std::optional<QChar> accessKey() const { return access_key_; }
  const draw::Image& faceImage() const { return image_; }
  int redrawCount() const { return redraw_count_; }
  QObject* tooltipWindow() const { return tooltip_window_; }
  bool hooksInstalled() const { return hooks_installed_; }
  const QRect& captionRect() const { return caption_rect_; }
  const QRect& pictureRect() const { return picture_rect_; }
  const QRect& dropDownRect() const { return drop_down_rect_; }
  // Whether the desktop style draws style 13; pinned by tests, otherwise the painter decides.
  void setThemesAvailable(std::optional<bool> available) { themes_available_ = available; }

 signals:
  void Click();
  void DblClick();
  void MouseEnter();
  void MouseLeave();
  void MouseMove(int Button, int Shift, float X, float Y);  // declared, never raised
  void MouseDown(int Button, int Shift, float X, float Y);
  void MouseUp(int Button, int Shift, float X, float Y);
  void KeyDown(int KeyCode, int Shift);
  void KeyUp(int KeyCode, int Shift);
  void KeyPress(int KeyAcsii);
  // The design-time change notification, with the persisted name of the property.
  void PropertyChanged(const QString& name);

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  struct LastPress {
    int button = 0;
    int shift = 0;
    float x = 0;
    float y = 0;
  };

  // Input handlers, in the control's own terms.
  void OnMouseMove(QPoint global);
  void OnMouseDown(int button, int shift, float x, float y);
  void OnMouseUp(int button, int shift, float x, float y);
  void OnDblClick();
  void OnKeyDown(int key_code, int shift, bool auto_repeat);
  void OnKeyUp(int key_code, int shift);
  void OnAccessKeyPress(int key_ascii);
  void OnGotFocus();
  void OnLostFocus();
  void OnMouseLeave();
  void OnParentActivate(bool active);
  void ShowDropDownMenu();

  void ApplyStyleDefaults();
  void ApplySchemeColors();
  void ClearOptionGroup();
  void UpdateAccessKey();
  void UpdateShortcuts();
  void UpdateRegion();
  void ApplySizeRule(bool from_pixels);
  void ApplyCursor();
  void CreateTooltip();
  void InstallHooks();
  void RemoveHooks();

  void SetState(ButtonState s);           // assign and repaint
  void SetStateIfChanged(ButtonState s);  // repaint only when it differs
  void StoreValue(bool value);            // a user toggle: field and notification
  void RenderFace();
  ButtonFace BuildFace() const;
  bool CursorOverControl(QPoint global) const;
  void Notify(const char* name);
  void RedrawWhenPictureSet();

  // Persisted properties.
  ButtonStyle style_ = ButtonStyle::ClassicThin;
  bool show_focus_rect_ = false;
  draw::FontSpec font_;
  Colour back_color_ = 0;
  QString caption_ = QString::fromLatin1(kDefaultCaption);
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
  QString tooltip_title_;
  QString tooltip_;
  int tooltip_icon_ = 0;
  ToolTipType tooltip_type_ = ToolTipType::Standard;
  Colour tooltip_back_color_ = 0;
  bool right_to_left_ = false;
  int drop_down_symbol_ = 0;
  ColorScheme scheme_ = ColorScheme::Blue;

  // Container state.
  bool user_mode_ = true;
  bool is_default_ = false;
  bool is_cancel_ = false;
  std::optional<QChar> access_key_;
  QList<int> shortcut_ids_;

  // Visual state and the flags that drive it.
  ButtonState state_ = ButtonState::Normal;
  bool over_ = false;
  bool mouse_held_ = false;
  bool space_held_ = false;
  bool has_focus_ = false;
  bool parent_active_ = false;
  bool menu_attached_ = false;
  bool menu_opening_ = false;
  bool held_after_menu_ = false;
  bool in_menu_ = false;  // inside the modal popup call of the drop-down menu
  LastPress last_press_;

  // The drop-down menu.
  QPointer<QMenu> menu_;
  QPointer<QAction> menu_default_;
  int menu_align_ = 0;
  int popup_flags_ = 0;

  // Hooks.
  bool loaded_ = false;  // InitProperties or ReadProperties has run
  bool hooks_installed_ = false;
  bool hook_palette_ = false;
  QPointer<QWidget> hooked_form_;
  QPointer<QWidget> parent_form_;

  // Drawing.
  EffectTables effect_tables_;
  std::optional<bool> themes_available_;
  draw::Image image_;
  QRect caption_rect_;
  QRect picture_rect_;
  QRect drop_down_rect_;
  int redraw_count_ = 0;
  QPointer<QObject> tooltip_window_;

  int twips_w_ = 0;
  int twips_h_ = 0;
  bool in_size_rule_ = false;
};

}  // namespace velquin::button
