// luxbutton's input: the visual state driven by mouse, keyboard, focus and activation, the
// drop-down menu, the option group and the tooltip. Every handler leaves off at once when an
// event it raised destroyed the control.
#include <utility>

#include "controls/button/luxbutton.h"
#include "draw/theme.h"

namespace velquin::button {

void luxbutton::SetState(ButtonState s) {
  state_ = s;
  RedrawButton();
}

void luxbutton::SetStateIfChanged(ButtonState s) {
  if (state_ != s) SetState(s);
}

bool luxbutton::StoreValue(bool value) {
  value_ = value;
  return Notify("Value");
}

bool luxbutton::ClearOptionGroup() {
  if (!host_) return true;
  // Each cleared button notifies the form, whose code may remove buttons meanwhile.
  std::vector<std::pair<luxbutton*, std::weak_ptr<const luxbutton*>>> others;
  for (luxbutton* b : host_->ButtonsInContainer())
    if (b != nullptr && b != this) others.emplace_back(b, b->lifeToken());
  const std::weak_ptr<const luxbutton*> self = life_;
  for (const auto& [other, alive] : others) {
    if (alive.expired()) continue;
    if (other->mode() == ButtonMode::Option) other->setValue(false);
    if (self.expired()) return false;
  }
  return true;
}

void luxbutton::InstallHooks() {
  if (hooks_installed_ || !host_) return;
  hooks_installed_ = true;
  // System colour changes repaint only when the desktop draws with a visual style.
  if (!themes_available_) themes_available_ = draw::ThemesActive();
  hook_sys_colours_ = *themes_available_;
  parent_active_ = host_->InstallHooks();
}

void luxbutton::CreateTooltip() {
  if (!enabled_ || held_after_menu_ || state_ == ButtonState::Down || !host_) return;
  TooltipData tip;
  tip.text = tooltip_;
  tip.title = tooltip_title_;
  tip.icon = tooltip_icon_;
  tip.set_title = !tooltip_title_.empty() || tooltip_icon_ != 0;
  tip.balloon = tooltip_type_ == ToolTipType::Balloon;
  tip.right_to_left = right_to_left_;
  if (tooltip_back_color_ != 0) tip.back_color = draw::TranslateColor(tooltip_back_color_);
  tip.max_width = kTooltipMaxWidth;
  tip.tool_rect = {0, 0, width_, height_};
  host_->CreateTooltip(tip);
}

// ---- Mouse ----

void luxbutton::MouseMove() {
  if (host_ && host_->CursorOverControl()) {
    over_ = true;
    host_->TrackMouseLeave();
    if (!Raise(events.MouseEnter)) return;
  } else {
    over_ = false;
  }
  if (space_held_) return;
  if (over_ && !mouse_held_) {
    if (state_ != ButtonState::Hot) {
      SetState(ButtonState::Hot);
      // A set button's repaint has put it back to Down: no tooltip then.
      if (state_ != ButtonState::Down) CreateTooltip();
    }
  } else if (over_) {
    SetStateIfChanged(ButtonState::Down);
  } else {
    SetStateIfChanged(ButtonState::Normal);
  }
}

void luxbutton::MouseDown(int button, int shift, float x, float y) {
  last_press_ = {button, shift, x, y};
  if (button != kLeftButton && !held_after_menu_) return;
  has_focus_ = true;
  mouse_held_ = true;
  if (!space_held_) SetStateIfChanged(ButtonState::Down);
  if (!menu_attached_) {
    Raise(events.MouseDown, button, shift, x, y);
  } else if (!held_after_menu_) {
    ShowDropDownMenu();
  }
}

void luxbutton::MouseUp(int button, int shift, float x, float y) {
  // A capture taken for a double click ends with the release; one taken for the space bar stays.
  if (!space_held_ && host_) host_->ReleaseMouse();
  if (menu_attached_) {
    mouse_held_ = false;
    held_after_menu_ = false;
    SetState(ButtonState::Normal);
    return;
  }
  if (button == kLeftButton) {
    mouse_held_ = false;
    // Strictly inside: a release on the first row or column is not a click.
    if (x > 0 && x < width_ && y > 0 && y < height_) {
      if (mode_ == ButtonMode::Check) {
        if (!StoreValue(!value_)) return;
        RedrawButton();
      } else if (mode_ == ButtonMode::Option) {
        if (!ClearOptionGroup() || !StoreValue(true)) return;
      }
      SetState(ButtonState::Normal);
      if (!Raise(events.Click)) return;
    }
  }
  Raise(events.MouseUp, button, shift, x, y);
}

void luxbutton::DblClick() {
  if (last_press_.button != kLeftButton) return;
  if (host_) host_->CaptureMouse();
  SetState(ButtonState::Down);
  const LastPress p = last_press_;
  const std::weak_ptr<const luxbutton*> alive = life_;
  MouseDown(p.button, p.shift, p.x, p.y);
  if (alive.expired()) return;
  if (!menu_attached_) {
    Raise(events.DblClick);
  } else if (!held_after_menu_) {
    ShowDropDownMenu();
  }
}

void luxbutton::MouseLeave() {
  if (!hooks_installed_) return;
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
    Raise(events.MouseLeave);
  }
}

// ---- Keyboard ----

void luxbutton::KeyDown(int key_code, int shift, bool repeat) {
  switch (key_code) {
    case kKeyEnter:
      if (!Raise(events.Click)) return;
      break;
    case kKeySpace:
      if (shift == kAltMask) return;
      if (mouse_held_) {
        SetStateIfChanged(over_ ? ButtonState::Down : ButtonState::Normal);
      } else if (!(repeat && space_held_)) {
        // A held space bar repeats its key; the press belongs to the first one only.
        space_held_ = true;
        if (mode_ == ButtonMode::Check) {
          if (!StoreValue(!value_)) return;
        } else if (mode_ == ButtonMode::Option) {
          if (!ClearOptionGroup() || !StoreValue(true)) return;
        }
        SetStateIfChanged(ButtonState::Down);
      }
      if (host_) host_->CaptureMouse();
      break;
    case kKeyLeft:
    case kKeyUp:
      if (host_) host_->MoveFocus(false);
      break;
    case kKeyRight:
    case kKeyDown:
      if (host_) host_->MoveFocus(true);
      break;
    default:
      if (space_held_) {
        space_held_ = false;
        SetState(ButtonState::Normal);
      }
  }
  Raise(events.KeyDown, key_code, shift);
}

void luxbutton::KeyUp(int key_code, int shift) {
  if (key_code != kKeySpace) return;
  if (host_) host_->ReleaseMouse();
  if (over_ && mouse_held_) {
    SetStateIfChanged(ButtonState::Down);
  } else {
    SetStateIfChanged(over_ ? ButtonState::Hot : ButtonState::Normal);
    if (!mouse_held_ && space_held_ && !Raise(events.Click)) return;
  }
  if (!Raise(events.KeyUp, key_code, shift)) return;
  space_held_ = false;
  mouse_held_ = false;
}

void luxbutton::KeyPress(int key_ascii) { Raise(events.KeyPress, key_ascii); }

void luxbutton::AccessKeyPress(int key_ascii) {
  if (!enabled_) return;
  if (space_held_) {
    space_held_ = false;
    mouse_held_ = false;
  }
  const bool enter_or_escape = key_ascii == kKeyEscape || key_ascii == kKeyEnter;
  if (mode_ == ButtonMode::Check) {
    if (enter_or_escape) return;
    const bool was_set = value_;
    if (!StoreValue(!value_)) return;
    if (was_set) state_ = ButtonState::Normal;
    RedrawButton();
  } else if (mode_ == ButtonMode::Option) {
    if (enter_or_escape) return;
    if (!ClearOptionGroup() || !StoreValue(true)) return;
    RedrawButton();
  }
  const std::weak_ptr<const luxbutton*> alive = life_;
  if (host_) host_->ProcessPendingMessages();
  if (alive.expired()) return;
  Raise(events.Click);
}

// ---- Focus, activation, window ----

void luxbutton::GotFocus() { has_focus_ = true; }

void luxbutton::LostFocus() {
  has_focus_ = mouse_held_ = space_held_ = false;
  SetState(parent_active_ && over_ ? ButtonState::Hot : ButtonState::Normal);
  if (is_default_) RedrawButton();
}

void luxbutton::ParentActivate(bool active) {
  if (!hooks_installed_) return;
  if (active) {
    parent_active_ = true;
    SetState(ButtonState::Normal);
    if (is_default_) RedrawButton();
  } else {
    mouse_held_ = space_held_ = has_focus_ = parent_active_ = false;
    SetState(ButtonState::Normal);
  }
}

void luxbutton::ThemeChanged() {
  if (hooks_installed_) RedrawButton();
}

void luxbutton::SysColorChanged() {
  if (hooks_installed_ && hook_sys_colours_) RedrawButton();
}

void luxbutton::Resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  ApplySizeRule(true);  // nothing more while the rule itself resizes the window
}

void luxbutton::Show() {
  // The form's own tooltip would compete with the control's.
  if (host_) host_->SetContainerToolTip("");
  // A button placed and shown without being loaded still gets its hooks, as loading would.
  if (!loaded_ && ambient_.user_mode) InstallHooks();
}

void luxbutton::Hide() {
  if (host_) host_->SetContainerToolTip(tooltip_);
}

// ---- Drop-down menu ----

void luxbutton::ShowDropDownMenu() {
  menu_opening_ = true;
  const std::optional<MenuPlacement> placement =
      PlaceDropDownMenu(menu_align_, width_, height_, popup_flags_);
  if (!placement || !host_) {
    menu_opening_ = false;
    return;
  }
  popup_flags_ = placement->flags;
  const std::weak_ptr<const luxbutton*> alive = life_;
  host_->ShowPopupMenu({menu_, popup_flags_, placement->at, menu_default_});
  if (alive.expired()) return;  // an item of the menu closed the form
  if (host_->CursorOverControl()) {
    held_after_menu_ = true;  // down until the next release
  } else {
    mouse_held_ = over_ = space_held_ = false;
    state_ = ButtonState::Normal;
    held_after_menu_ = menu_opening_ = false;
    RedrawButton();
  }
}

}  // namespace velquin::button
