#include "ui/main/form_data.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace velquin::ui {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

// A quoted value may hold any text; a doubled quote inside stands for one quote.
std::string Unquote(std::string_view v) {
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') return std::string(v);
    std::string out;
    v = v.substr(1, v.size() - 2);
    for (size_t i = 0; i < v.size(); ++i) {
        out += v[i];
        if (v[i] == '"' && i + 1 < v.size() && v[i + 1] == '"') ++i;
    }
    return out;
}

}  // namespace

int TwipsToPixels(int twips) {
    return static_cast<int>(std::nearbyint(static_cast<double>(twips) / kTwipsPerPixel));
}

void ControlSettings::Set(std::string key, std::string value) {
    key = Lower(key);
    for (auto& [k, v] : pairs_) {
        if (k == key) {
            v = std::move(value);
            return;
        }
    }
    pairs_.emplace_back(std::move(key), std::move(value));
}

std::optional<std::string> ControlSettings::Find(std::string_view key) const {
    const std::string wanted = Lower(key);
    for (const auto& [k, v] : pairs_)
        if (k == wanted) return v;
    return std::nullopt;
}

std::string ControlSettings::Text(std::string_view key, std::string_view fallback) const {
    auto v = Find(key);
    return v ? *v : std::string(fallback);
}

long long ControlSettings::Int(std::string_view key, long long fallback) const {
    auto v = Find(key);
    if (!v || v->empty()) return fallback;
    char* end = nullptr;
    const long long n = std::strtoll(v->c_str(), &end, 0);  // decimal or 0x hexadecimal
    return (end && *end == '\0') ? n : fallback;
}

double ControlSettings::Number(std::string_view key, double fallback) const {
    auto v = Find(key);
    if (!v || v->empty()) return fallback;
    char* end = nullptr;
    const double n = std::strtod(v->c_str(), &end);
    return (end && *end == '\0') ? n : fallback;
}

bool ControlSettings::Bool(std::string_view key, bool fallback) const {
    auto v = Find(key);
    if (!v) return fallback;
    const std::string s = Lower(*v);
    if (s == "1" || s == "true" || s == "-1") return true;
    if (s == "0" || s == "false") return false;
    return fallback;
}

PixelRect ControlSettings::Rect() const {
    return {TwipsToPixels(static_cast<int>(Int("left"))), TwipsToPixels(static_cast<int>(Int("top"))),
            TwipsToPixels(static_cast<int>(Int("width"))),
            TwipsToPixels(static_cast<int>(Int("height")))};
}

FormData FormData::Parse(std::string_view text) {
    FormData data;
    ControlSettings* current = nullptr;
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        std::string_view line = Trim(text.substr(0, eol));
        text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &data.controls_[Lower(Trim(line.substr(1, line.size() - 2)))];
            continue;
        }
        const size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos) continue;
        const std::string_view key = Trim(line.substr(0, eq));
        if (key.empty()) continue;
        current->Set(std::string(key), Unquote(Trim(line.substr(eq + 1))));
    }
    return data;
}

const ControlSettings& FormData::Control(std::string_view name) const {
    static const ControlSettings kEmpty;
    auto it = controls_.find(Lower(name));
    return it == controls_.end() ? kEmpty : it->second;
}

bool FormData::Has(std::string_view name) const { return controls_.count(Lower(name)) != 0; }

}  // namespace velquin::ui
