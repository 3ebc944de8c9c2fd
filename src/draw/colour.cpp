#include "draw/colour.h"

#include <QGuiApplication>

namespace velquin::draw {
namespace {

std::optional<QPalette>& Pinned() {
  static std::optional<QPalette> pinned;
  return pinned;
}

QPalette CurrentPalette() {
  if (Pinned()) return *Pinned();
  if (QGuiApplication::instance() != nullptr) return QGuiApplication::palette();
  return ClassicPalette();
}

// Which palette entry stands for each system colour index.
struct RoleOf {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

std::optional<RoleOf> RoleFor(int index) {
  using P = QPalette;
  switch (index) {
    case kColourScrollbar: return RoleOf{P::Active, P::Midlight};
    case kColourDesktop: return RoleOf{P::Active, P::Dark};
    case kColourActiveCaption: return RoleOf{P::Active, P::Highlight};
    case kColourInactiveCaption: return RoleOf{P::Active, P::Mid};
    case kColourMenu: return RoleOf{P::Active, P::Window};
    case kColourWindow: return RoleOf{P::Active, P::Base};
    case kColourWindowFrame: return RoleOf{P::Active, P::Shadow};
    case kColourMenuText: return RoleOf{P::Active, P::WindowText};
    case kColourWindowText: return RoleOf{P::Active, P::Text};
    case kColourCaptionText: return RoleOf{P::Active, P::HighlightedText};
    case kColourActiveBorder: return RoleOf{P::Active, P::Button};
    case kColourInactiveBorder: return RoleOf{P::Active, P::Button};
    case kColourAppWorkspace: return RoleOf{P::Active, P::Dark};
    case kColourHighlight: return RoleOf{P::Active, P::Highlight};
    case kColourHighlightText: return RoleOf{P::Active, P::HighlightedText};
    case kColourButtonFace: return RoleOf{P::Active, P::Button};
    case kColourButtonShadow: return RoleOf{P::Active, P::Dark};
    case kColourGrayText: return RoleOf{P::Disabled, P::Text};
    case kColourButtonText: return RoleOf{P::Active, P::ButtonText};
    case kColourInactiveCaptionText: return RoleOf{P::Disabled, P::WindowText};
    case kColourButtonHighlight: return RoleOf{P::Active, P::Light};
    case kColour3DDarkShadow: return RoleOf{P::Active, P::Shadow};
    case kColour3DLight: return RoleOf{P::Active, P::Midlight};
    case kColourInfoText: return RoleOf{P::Active, P::ToolTipText};
    case kColourInfoBackground: return RoleOf{P::Active, P::ToolTipBase};
    case kColourHotLight: return RoleOf{P::Active, P::Link};
    case kColourGradientActiveCaption: return RoleOf{P::Active, P::Highlight};
    case kColourGradientInactiveCaption: return RoleOf{P::Active, P::Mid};
    case kColourMenuHighlight: return RoleOf{P::Active, P::Highlight};
    case kColourMenuBar: return RoleOf{P::Active, P::Window};
    default: return std::nullopt;
  }
}

}  // namespace

Colour SystemColour(int index) {
  auto role = RoleFor(index);
  if (!role) return 0x000000;
  return FromQColor(CurrentPalette().color(role->group, role->role));
}

Colour TranslateColor(Colour c) {
  if (IsSystemColour(c)) return SystemColour(static_cast<int>(c & 0xFFFFFF));
  return c & 0xFFFFFF;
}

void PinSystemPalette(std::optional<QPalette> palette) { Pinned() = std::move(palette); }

QPalette ClassicPalette() {
  auto c = [](int r, int g, int b) { return QColor(r, g, b); };
  QPalette p;
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(group, QPalette::Window, c(212, 208, 200));
    p.setColor(group, QPalette::WindowText, c(0, 0, 0));
    p.setColor(group, QPalette::Base, c(255, 255, 255));
    p.setColor(group, QPalette::Text, c(0, 0, 0));
    p.setColor(group, QPalette::Button, c(212, 208, 200));
    p.setColor(group, QPalette::ButtonText, c(0, 0, 0));
    p.setColor(group, QPalette::Light, c(255, 255, 255));
    p.setColor(group, QPalette::Midlight, c(212, 208, 200));
    p.setColor(group, QPalette::Mid, c(160, 160, 160));
    p.setColor(group, QPalette::Dark, c(128, 128, 128));
    p.setColor(group, QPalette::Shadow, c(64, 64, 64));
    p.setColor(group, QPalette::Highlight, c(10, 36, 106));
    p.setColor(group, QPalette::HighlightedText, c(255, 255, 255));
    p.setColor(group, QPalette::ToolTipBase, c(255, 255, 225));
    p.setColor(group, QPalette::ToolTipText, c(0, 0, 0));
    p.setColor(group, QPalette::Link, c(0, 0, 128));
  }
  p.setColor(QPalette::Disabled, QPalette::Text, c(128, 128, 128));
  p.setColor(QPalette::Disabled, QPalette::WindowText, c(128, 128, 128));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, c(128, 128, 128));
  return p;
}

}  // namespace velquin::draw
