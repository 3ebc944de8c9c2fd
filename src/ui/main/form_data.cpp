#include "ui/main/form_data.h"

#include <cstdio>

#include "draw/rounding.h"

namespace velquin::ui {

int TwipsToPixels(std::int64_t twips, int dpi) {
    return draw::Nearest(static_cast<double>(twips) * dpi / kTwipsPerInch);
}

PixelRect RectOf(const draw::PropertyBag& s, int dpi) {
    return {TwipsToPixels(s.ReadInt("left", 0), dpi), TwipsToPixels(s.ReadInt("top", 0), dpi),
            TwipsToPixels(s.ReadInt("width", 0), dpi), TwipsToPixels(s.ReadInt("height", 0), dpi)};
}

const draw::FormData& Form1Data() {
    static const draw::FormData data = [] {
        std::string error;
        auto parsed = draw::FormData::FromText(Form1DataText(), &error);
        if (!parsed) {
            // The form data is part of the program; a bad line is a build mistake, shown loudly.
            std::fprintf(stderr, "velquin: Form1 form data: %s\n", error.c_str());
            return draw::FormData{};
        }
        return *parsed;
    }();
    return data;
}

const draw::PropertyBag& Form1Control(std::string_view name) {
    static const draw::PropertyBag kEmpty;
    const draw::PropertyBag* bag = Form1Data().Find(name);
    return bag ? *bag : kEmpty;
}

namespace {
using K = ControlKind;
constexpr ControlSpec kForm1Controls[] = {
    {"Frame4", K::Frame, nullptr},
    {"Image2", K::Image, "Frame4"},
    {"Image3", K::Image, "Frame4"},
    {"Label3", K::Label, "Frame4"},
    {"Label4", K::Label, "Frame4"},
    {"Label21", K::Label, "Frame4"},
    {"Text1", K::TextBox, "Frame4"},
    {"Browser", K::Button, "Frame4"},
    // The busy bar lies under the top edge of the log; the log stays fully readable.
    {"P2", K::ProgressBar, "Frame4"},
    {"List3", K::List, "Frame4"},
    {"Scan", K::Button, "Frame4"},
    {"Picture1", K::PictureBox, "Frame4"},
    {"txtInfo", K::TextBox, "Picture1"},
    {"Labelwaktu", K::Label, "Frame4"},
    {"Label8", K::Label, "Frame4"},
    {"Label11", K::Label, "Frame4"},
    {"Label7", K::Label, "Frame4"},
    {"List2", K::List, "Frame4"},
    {"o", K::ProgressBar, "Frame4"},
    {"Timer1", K::Timer, nullptr},
    {"Timer3", K::Timer, nullptr},
    {"Timer9", K::Timer, nullptr},
};
}  // namespace

std::span<const ControlSpec> Form1Controls() { return kForm1Controls; }

const ControlSpec* FindForm1Control(std::string_view name) {
    for (const ControlSpec& c : kForm1Controls)
        if (name == c.name) return &c;
    return nullptr;
}

PixelRect WindowRectOf(const ControlSpec& control, int dpi) {
    PixelRect r = RectOf(Form1Control(control.name), dpi);
    for (const ControlSpec* parent = control.parent ? FindForm1Control(control.parent) : nullptr;
         parent; parent = parent->parent ? FindForm1Control(parent->parent) : nullptr) {
        const PixelRect p = RectOf(Form1Control(parent->name), dpi);
        r.left += p.left;
        r.top += p.top;
    }
    return r;
}

ControlLook LookOf(const draw::PropertyBag& s) {
    ControlLook look;
    look.text = s.Contains("caption") ? s.ReadText("caption", {}) : s.ReadText("text", {});
    if (s.Contains("font")) look.font = s.ReadFont("font", {});
    if (s.Contains("backcolor")) look.back = s.ReadColour("backcolor", 0);
    if (s.Contains("forecolor")) look.fore = s.ReadColour("forecolor", 0);
    look.transparent = s.ReadInt("backstyle", 1) == 0;
    look.readOnly = s.ReadBool("locked", false);
    look.border = s.ReadInt("borderstyle", 1) != 0;
    look.visible = s.ReadBool("visible", true);
    switch (s.ReadInt("alignment", 0)) {
        case 1: look.align = TextAlign::Right; break;
        case 2: look.align = TextAlign::Center; break;
        default: break;
    }
    return look;
}

WindowLook Form1Look() {
    const draw::PropertyBag& form = Form1Control("Form1");
    return {form.ReadText("caption", {}), static_cast<int>(form.ReadInt("clientwidth", 0)),
            static_cast<int>(form.ReadInt("clientheight", 0)), form.ReadFont("font", draw::DefaultFont())};
}

}  // namespace velquin::ui
