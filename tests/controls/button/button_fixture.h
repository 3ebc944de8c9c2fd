// A luxbutton on a fake host window that records every request, a form of such buttons in
// numbered containers, and a recorder of the events they raise.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "controls/button/host.h"
#include "controls/button/luxbutton.h"
#include "draw/property_bag.h"

namespace velquin::button::testing {

// Every control of a fake form, with the number of the container it sits in.
struct FakeForm {
  std::vector<std::pair<int, luxbutton*>> controls;
};

// The window of one control: answers what the control asks, as set by the test, and keeps what
// it was asked to do. Its window follows ResizeWindow as a real one does (the resize comes back).
class FakeHost : public ButtonHost {
 public:
  luxbutton* control = nullptr;
  FakeForm* form = nullptr;
  int container = 0;

  // Answers.
  bool cursor_over = false;
  bool parent_active = true;    // InstallHooks' answer
  bool hand_available = true;   // SetMousePointer's answer for a hand
  std::function<void()> during_menu;     // runs while the popup menu is open
  std::function<void()> during_pending;  // runs while pending messages are handled

  // Requests.
  int invalidations = 0;
  std::optional<draw::Region> region;
  std::vector<draw::Size> resizes;
  bool window_enabled = true;
  bool captured = false;
  int leave_requests = 0;
  MousePointerRequest pointer;
  std::vector<bool> focus_moves;  // true: next
  int pending_processed = 0;
  std::optional<char32_t> access_key;
  std::vector<PopupMenuRequest> menus;
  std::vector<TooltipData> tooltips;
  std::string container_tooltip;
  bool hooked = false;
  int hook_installs = 0;

  void Invalidate() override { ++invalidations; }
  void SetWindowRegion(const draw::Region& r) override { region = r; }
  void ResizeWindow(int width, int height) override {
    resizes.push_back({width, height});
    if (control) control->Resize(width, height);
  }
  void EnableWindow(bool enabled) override { window_enabled = enabled; }
  bool CursorOverControl() override { return cursor_over; }
  void TrackMouseLeave() override { ++leave_requests; }
  void CaptureMouse() override { captured = true; }
  void ReleaseMouse() override { captured = false; }
  bool SetMousePointer(const MousePointerRequest& p) override {
    pointer = p;
    return !p.hand || hand_available;
  }
  void MoveFocus(bool next) override { focus_moves.push_back(next); }
  void ProcessPendingMessages() override {
    ++pending_processed;
    if (const auto run = during_pending) run();  // a copy: it may destroy this host
  }
  void SetAccessKey(std::optional<char32_t> key) override { access_key = key; }
  void ShowPopupMenu(const PopupMenuRequest& request) override {
    menus.push_back(request);
    if (const auto run = during_menu) run();  // a copy: it may destroy this host
  }
  void CreateTooltip(const TooltipData& tooltip) override { tooltips.push_back(tooltip); }
  void SetContainerToolTip(std::string_view text) override { container_tooltip = text; }
  bool InstallHooks() override {
    hooked = true;
    ++hook_installs;
    return parent_active;
  }
  void RemoveHooks() override { hooked = false; }
  std::vector<luxbutton*> ButtonsInContainer() override {
    std::vector<luxbutton*> group;
    if (form)
      for (const auto& [c, b] : form->controls)
        if (c == container) group.push_back(b);
    return group;
  }
};

// Records every event of a button as "name" or "name(args)".
class EventLog {
 public:
  void Watch(luxbutton& b) {
    ButtonEvents& e = b.events;
    e.Click = [this] { Add("Click"); };
    e.DblClick = [this] { Add("DblClick"); };
    e.MouseEnter = [this] { Add("MouseEnter"); };
    e.MouseLeave = [this] { Add("MouseLeave"); };
    e.MouseDown = [this](int button, int shift, float, float) {
      Add("MouseDown(" + std::to_string(button) + "," + std::to_string(shift) + ")");
    };
    e.MouseUp = [this](int button, int shift, float, float) {
      Add("MouseUp(" + std::to_string(button) + "," + std::to_string(shift) + ")");
    };
    e.KeyDown = [this](int key, int shift) {
      Add("KeyDown(" + std::to_string(key) + "," + std::to_string(shift) + ")");
    };
    e.KeyUp = [this](int key, int shift) {
      Add("KeyUp(" + std::to_string(key) + "," + std::to_string(shift) + ")");
    };
    e.KeyPress = [this](int ch) { Add("KeyPress(" + std::to_string(ch) + ")"); };
    e.PropertyChanged = [this](std::string_view name) { names_.emplace_back(name); };
  }

  // The events without the mouse-enter noise every move over the button produces.
  std::vector<std::string> Events() const {
    std::vector<std::string> out;
    for (const std::string& e : entries_)
      if (e != "MouseEnter") out.push_back(e);
    return out;
  }
  int Count(const std::string& name) const {
    int n = 0;
    for (const std::string& e : entries_) n += e == name;
    return n;
  }
  // The property names notified, in order.
  const std::vector<std::string>& Notified() const { return names_; }
  void Clear() {
    entries_.clear();
    names_.clear();
  }

 private:
  void Add(std::string e) { entries_.push_back(std::move(e)); }
  std::vector<std::string> entries_;
  std::vector<std::string> names_;
};

using Events = std::vector<std::string>;

// One control on its fake window, 80 x 30 pixels, with its events recorded.
struct TestButton {
  explicit TestButton(FakeForm* form = nullptr, int container = 0, int width = 80, int height = 30)
      : button(&host, width, height) {
    host.control = &button;
    host.form = form;
    host.container = container;
    if (form) form->controls.emplace_back(container, &button);
    log.Watch(button);
  }

  // The input a window sends for the cursor and the mouse buttons, in client pixels.
  void Hover(int x, int y) {
    host.cursor_over = x >= 0 && y >= 0 && x < button.width() && y < button.height();
    button.MouseMove();
  }
  void HoverCentre() { Hover(button.width() / 2, button.height() / 2); }
  // The cursor leaves the window: the leave notification, no further move.
  void Leave() {
    host.cursor_over = false;
    button.MouseLeave();
  }
  void Press(int x, int y, int which = kLeftButton) {
    button.MouseDown(which, 0, float(x), float(y));
  }
  void Release(int x, int y, int which = kLeftButton) {
    button.MouseUp(which, 0, float(x), float(y));
  }
  void ClickAt(int x, int y, int which = kLeftButton) {
    Press(x, y, which);
    Release(x, y, which);
  }
  void ClickCentre() { ClickAt(button.width() / 2, button.height() / 2); }
  void KeyDown(int key, int shift = 0) { button.KeyDown(key, shift); }
  void KeyUp(int key, int shift = 0) { button.KeyUp(key, shift); }

  FakeHost host;
  luxbutton button;
  EventLog log;
};

// A loaded button on an active form (the hooks installed), as a running form has it.
class LoadedButtonTest : public ::testing::Test {
 protected:
  LoadedButtonTest() {
    b_.button.ReadProperties({});
    b_.log.Clear();
  }
  TestButton b_;
  luxbutton& button_ = b_.button;
  FakeHost& host_ = b_.host;
};

}  // namespace velquin::button::testing
