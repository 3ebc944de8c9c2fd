#include "ui/main/form_data.h"

#include <cstdio>

#include "draw/rounding.h"

namespace velquin::ui {

int TwipsToPixels(std::int64_t twips) {
    return draw::Nearest(static_cast<double>(twips) / kTwipsPerPixel);
}

PixelRect RectOf(const draw::PropertyBag& s) {
    return {TwipsToPixels(s.ReadInt("left", 0)), TwipsToPixels(s.ReadInt("top", 0)),
            TwipsToPixels(s.ReadInt("width", 0)), TwipsToPixels(s.ReadInt("height", 0))};
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

}  // namespace velquin::ui
