#pragma once
// Form1's control settings as form data: one section per control ("[Name]"), one "key = value"
// setting per line, keys matched without regard to case. Geometry is in twips (15 per pixel),
// colours are 0x00BBGGRR values or 0x800000nn for system colour nn.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velquin::ui {

inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels, to the nearest pixel with halves to the even neighbour.
int TwipsToPixels(int twips);

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
};

class ControlSettings {
public:
    void Set(std::string key, std::string value);
    std::optional<std::string> Find(std::string_view key) const;

    std::string Text(std::string_view key, std::string_view fallback = {}) const;
    long long Int(std::string_view key, long long fallback = 0) const;
    double Number(std::string_view key, double fallback = 0) const;
    bool Bool(std::string_view key, bool fallback = false) const;
    // left, top, width, height converted from twips.
    PixelRect Rect() const;
    // The settings in the order they were written, keys in lower case.
    const std::vector<std::pair<std::string, std::string>>& Pairs() const { return pairs_; }

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
};

class FormData {
public:
    // Lines that are empty or start with ";" are ignored; a malformed line is skipped.
    static FormData Parse(std::string_view text);
    // The settings of a control; an unknown name gives empty settings (all defaults).
    const ControlSettings& Control(std::string_view name) const;
    bool Has(std::string_view name) const;

private:
    std::map<std::string, ControlSettings, std::less<>> controls_;
};

// The design-time settings of the main window and its controls.
const FormData& Form1Data();
std::string_view Form1DataText();

}  // namespace velquin::ui
