#include "draw/property_bag.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "draw/utf.h"

namespace velquin::draw {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string Lower(std::string_view key) {
  std::string out(Trim(key));
  std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
  return out;
}

void AppendHex(std::string& out, std::uint32_t v, int min_digits, bool upper) {
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  char buf[8];
  int n = 0;
  do {
    buf[n++] = digits[v & 0xF];
    v >>= 4;
  } while (v != 0 && n < 8);
  while (n < min_digits) buf[n++] = '0';
  while (n > 0) out += buf[--n];
}

std::string Quote(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 2);
  out += '"';
  std::size_t pos = 0;
  while (pos < s.size()) {
    const char32_t cp = NextCodePoint(s, pos);
    switch (cp) {
      case U'"': out += "\\\""; break;
      case U'\\': out += "\\\\"; break;
      case U'\n': out += "\\n"; break;
      case U'\r': out += "\\r"; break;
      case U'\t': out += "\\t"; break;
      default:
        // Control characters are spelled out, and so is a lone surrogate, which UTF-8 files
        // cannot hold.
        if (cp < 0x20 || cp == 0x7F || (cp >= 0xD800 && cp <= 0xDFFF)) {
          out += "\\u{";
          AppendHex(out, cp, 1, /*upper=*/false);
          out += '}';
        } else {
          AppendCodePoint(out, cp);
        }
    }
  }
  out += '"';
  return out;
}

std::string FormatDouble(double d) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, d);
  return std::string(buf, res.ptr);
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const std::uint32_t v = (std::uint32_t{bytes[i]} << 16) | (std::uint32_t{bytes[i + 1]} << 8) |
                            bytes[i + 2];
    out += kBase64[v >> 18];
    out += kBase64[(v >> 12) & 63];
    out += kBase64[(v >> 6) & 63];
    out += kBase64[v & 63];
  }
  if (i + 1 == bytes.size()) {
    const std::uint32_t v = std::uint32_t{bytes[i]} << 16;
    out += kBase64[v >> 18];
    out += kBase64[(v >> 12) & 63];
    out += "==";
  } else if (i + 2 == bytes.size()) {
    const std::uint32_t v = (std::uint32_t{bytes[i]} << 16) | (std::uint32_t{bytes[i + 1]} << 8);
    out += kBase64[v >> 18];
    out += kBase64[(v >> 12) & 63];
    out += kBase64[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

// Standard base64 with optional trailing padding; std::nullopt on any other character.
std::optional<std::vector<std::uint8_t>> FromBase64(std::string_view s) {
  while (!s.empty() && s.back() == '=') s.remove_suffix(1);
  if (s.size() % 4 == 1) return std::nullopt;
  std::vector<std::uint8_t> out;
  out.reserve(s.size() * 3 / 4);
  std::uint32_t acc = 0;
  int bits = 0;
  for (char c : s) {
    const char* at = std::find(kBase64, kBase64 + 64, c);
    if (at == kBase64 + 64) return std::nullopt;
    acc = (acc << 6) | static_cast<std::uint32_t>(at - kBase64);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<std::uint8_t>(acc >> bits));
    }
  }
  return out;
}

// A cursor over one value's text.
class Reader {
 public:
  explicit Reader(std::string_view s) : s_(s) {}

  void SkipSpace() {
    while (i_ < s_.size() && IsSpace(s_[i_])) ++i_;
  }
  bool AtEnd() {
    SkipSpace();
    return i_ >= s_.size();
  }
  bool Eat(char c) {
    SkipSpace();
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  // A word (letters matched without regard to case) not followed by a letter, digit or "_".
  bool EatWord(std::string_view word) {
    SkipSpace();
    if (!EqualsIgnoringCase(s_.substr(i_, word.size()), word)) return false;
    const std::size_t end = i_ + word.size();
    if (end < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[end]);
      const bool word_char = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                             (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
      if (word_char) return false;
    }
    i_ = end;
    return true;
  }

  std::optional<std::string> QuotedText() {
    if (!Eat('"')) return std::nullopt;
    std::string out;
    while (i_ < s_.size()) {
      const char ch = s_[i_++];
      if (ch == '"') return out;
      if (ch != '\\') {
        out += ch;
        continue;
      }
      if (i_ >= s_.size()) return std::nullopt;
      switch (s_[i_++]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          if (i_ >= s_.size() || s_[i_] != '{') return std::nullopt;
          const std::size_t close = s_.find('}', i_);
          if (close == std::string_view::npos || close - i_ - 1 < 1 || close - i_ - 1 > 6)
            return std::nullopt;
          const std::string_view hex = s_.substr(i_ + 1, close - i_ - 1);
          std::uint32_t code = 0;
          auto res = std::from_chars(hex.data(), hex.data() + hex.size(), code, 16);
          if (res.ec != std::errc() || res.ptr != hex.data() + hex.size() || code > 0x10FFFF)
            return std::nullopt;
          i_ = close + 1;
          AppendCodePoint(out, code);
          break;
        }
        default: return std::nullopt;
      }
    }
    return std::nullopt;  // no closing quote
  }

  // The raw token up to the next ',' or ')'.
  std::string_view Token() {
    SkipSpace();
    const std::size_t start = i_;
    while (i_ < s_.size() && s_[i_] != ',' && s_[i_] != ')') ++i_;
    return Trim(s_.substr(start, i_ - start));
  }

 private:
  std::string_view s_;
  std::size_t i_ = 0;
};

std::optional<std::int64_t> ParseInteger(std::string_view t) {
  t = Trim(t);
  if (t.empty()) return std::nullopt;
  if (t.front() == '+') t.remove_prefix(1);
  std::int64_t v = 0;
  auto res = std::from_chars(t.data(), t.data() + t.size(), v);
  if (res.ec != std::errc() || res.ptr != t.data() + t.size()) return std::nullopt;
  return v;
}

std::optional<bool> ParseBool(std::string_view t) {
  t = Trim(t);
  if (EqualsIgnoringCase(t, "True")) return true;
  if (EqualsIgnoringCase(t, "False")) return false;
  return std::nullopt;
}

std::optional<double> ParseDouble(std::string_view t) {
  t = Trim(t);
  if (t.empty()) return std::nullopt;
  double d = 0;
  auto res = std::from_chars(t.data(), t.data() + t.size(), d);
  if (res.ec != std::errc() || res.ptr != t.data() + t.size() || !std::isfinite(d))
    return std::nullopt;
  return d;
}

std::optional<FontSpec> ParseFontArgs(Reader& r) {
  FontSpec f;
  auto face = r.QuotedText();
  if (!face) return std::nullopt;
  f.face = *face;
  auto next = [&r]() -> std::optional<std::string_view> {
    if (!r.Eat(',')) return std::nullopt;
    return r.Token();
  };
  auto points = next();
  if (!points) return std::nullopt;
  auto pd = ParseDouble(*points);
  if (!pd) return std::nullopt;
  f.points = *pd;
  auto int_field = [&](int& out) {
    auto t = next();
    if (!t) return false;
    auto v = ParseInteger(*t);
    if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
      return false;
    out = static_cast<int>(*v);
    return true;
  };
  auto bool_field = [&](bool& out) {
    auto t = next();
    if (!t) return false;
    auto v = ParseBool(*t);
    if (!v) return false;
    out = *v;
    return true;
  };
  if (!int_field(f.weight) || !bool_field(f.italic) || !bool_field(f.underline) ||
      !bool_field(f.strikeout) || !int_field(f.charset) || !int_field(f.pixel_height))
    return std::nullopt;
  if (!r.Eat(')')) return std::nullopt;
  return f;
}

const char* BoolText(bool b) { return b ? "True" : "False"; }

}  // namespace

std::optional<std::int64_t> PropertyValue::AsInteger() const {
  if (auto* i = std::get_if<std::int64_t>(&v_)) return *i;
  if (auto* b = std::get_if<bool>(&v_)) return *b ? -1 : 0;
  if (auto* c = std::get_if<ColourValue>(&v_)) return static_cast<std::int64_t>(c->value);
  if (auto* s = std::get_if<std::string>(&v_)) {
    if (auto v = ParseInteger(*s)) return v;
    if (auto b = ParseBool(*s)) return *b ? -1 : 0;
  }
  return std::nullopt;
}

std::optional<bool> PropertyValue::AsBool() const {
  if (auto* b = std::get_if<bool>(&v_)) return *b;
  if (auto* s = std::get_if<std::string>(&v_)) {
    if (auto b = ParseBool(*s)) return b;
  }
  if (auto i = AsInteger()) return *i != 0;
  return std::nullopt;
}

std::optional<Colour> PropertyValue::AsColour() const {
  if (auto* c = std::get_if<ColourValue>(&v_)) return c->value;
  if (auto i = AsInteger()) return static_cast<Colour>(static_cast<std::uint64_t>(*i));
  return std::nullopt;
}

std::optional<std::string> PropertyValue::AsText() const {
  if (auto* s = std::get_if<std::string>(&v_)) return *s;
  if (auto* i = std::get_if<std::int64_t>(&v_)) return std::to_string(*i);
  if (auto* b = std::get_if<bool>(&v_)) return std::string(BoolText(*b));
  return std::nullopt;
}

std::optional<FontSpec> PropertyValue::AsFont() const {
  if (auto* f = std::get_if<FontSpec>(&v_)) return *f;
  return std::nullopt;
}

std::optional<Picture> PropertyValue::AsPicture() const {
  if (auto* p = std::get_if<Picture>(&v_)) return *p;
  if (IsNothing()) return Picture{};
  return std::nullopt;
}

bool PropertyValue::operator==(const PropertyValue& o) const {
  auto numeric = [](const Storage& s) {
    return std::holds_alternative<std::int64_t>(s) || std::holds_alternative<bool>(s) ||
           std::holds_alternative<ColourValue>(s);
  };
  if (numeric(v_) && numeric(o.v_)) return AsInteger() == o.AsInteger();
  // An empty picture is the same as no picture.
  auto no_picture = [](const Storage& s) {
    if (std::holds_alternative<std::monostate>(s)) return true;
    auto* p = std::get_if<Picture>(&s);
    return p != nullptr && p->IsEmpty();
  };
  if (no_picture(v_) && no_picture(o.v_)) return true;
  return v_ == o.v_;
}

std::string PropertyValue::ToText() const {
  struct Visitor {
    std::string operator()(std::monostate) const { return "Nothing"; }
    std::string operator()(std::int64_t i) const { return std::to_string(i); }
    std::string operator()(bool b) const { return BoolText(b); }
    std::string operator()(const std::string& s) const { return Quote(s); }
    std::string operator()(ColourValue c) const {
      std::string out = "&H";
      AppendHex(out, c.value, 8, /*upper=*/true);
      return out + '&';
    }
    std::string operator()(const FontSpec& f) const {
      return "Font(" + Quote(f.face) + ", " + FormatDouble(f.points) + ", " +
             std::to_string(f.weight) + ", " + BoolText(f.italic) + ", " + BoolText(f.underline) +
             ", " + BoolText(f.strikeout) + ", " + std::to_string(f.charset) + ", " +
             std::to_string(f.pixel_height) + ")";
    }
    std::string operator()(const Picture& p) const {
      if (p.IsEmpty()) return "Nothing";
      return "Picture(" + Base64(p.png) + ")";
    }
  };
  return std::visit(Visitor{}, v_);
}

std::optional<PropertyValue> PropertyValue::FromText(std::string_view text, std::string* error) {
  auto fail = [error](const std::string& why) -> std::optional<PropertyValue> {
    if (error) *error = why;
    return std::nullopt;
  };
  const std::string valid = ValidUtf8(text);
  const std::string_view t = Trim(valid);
  if (t.empty()) return fail("missing value");
  Reader r(t);
  if (t.front() == '"') {
    auto s = r.QuotedText();
    if (!s || !r.AtEnd()) return fail("bad text value " + std::string(t));
    return PropertyValue(std::move(*s));
  }
  if (t.size() >= 2 && EqualsIgnoringCase(t.substr(0, 2), "&H")) {
    const std::string_view hex = t.substr(2, t.size() >= 3 ? t.size() - 3 : 0);
    std::uint32_t v = 0;
    auto res = std::from_chars(hex.data(), hex.data() + hex.size(), v, 16);
    if (t.back() != '&' || t.size() < 4 || t.size() > 11 || res.ec != std::errc() ||
        res.ptr != hex.data() + hex.size())
      return fail("bad colour value " + std::string(t));
    return PropertyValue::OfColour(v);
  }
  if (r.EatWord("Font")) {
    if (!r.Eat('(')) return fail("bad font value " + std::string(t));
    auto f = ParseFontArgs(r);
    if (!f || !r.AtEnd()) return fail("bad font value " + std::string(t));
    return PropertyValue(*f);
  }
  if (r.EatWord("Picture")) {
    if (!r.Eat('(') || t.back() != ')') return fail("bad picture value");
    const std::size_t open = t.find('(');
    auto decoded = FromBase64(Trim(t.substr(open + 1, t.size() - open - 2)));
    if (!decoded || decoded->empty()) return fail("bad picture value");
    return PropertyValue(Picture{std::move(*decoded)});
  }
  if (EqualsIgnoringCase(t, "Nothing")) return PropertyValue();
  if (auto b = ParseBool(t)) return PropertyValue(*b);
  if (auto i = ParseInteger(t)) return PropertyValue(*i);
  return fail("unknown value " + std::string(t));
}

std::vector<PropertyBag::Entry>::iterator PropertyBag::Find(std::string_view key) {
  const std::string k = Lower(key);
  return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.first == k; });
}

std::vector<PropertyBag::Entry>::const_iterator PropertyBag::Find(std::string_view key) const {
  const std::string k = Lower(key);
  return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.first == k; });
}

void PropertyBag::Write(std::string_view key, const PropertyValue& value,
                        const PropertyValue& def) {
  if (value == def) {
    Remove(key);
    return;
  }
  Set(key, value);
}

void PropertyBag::Set(std::string_view key, const PropertyValue& value) {
  auto it = Find(key);
  if (it != entries_.end()) {
    it->second = value;
  } else {
    entries_.emplace_back(Lower(key), value);
  }
}

PropertyValue PropertyBag::Read(std::string_view key, const PropertyValue& def) const {
  auto it = Find(key);
  return it == entries_.end() ? def : it->second;
}

std::int64_t PropertyBag::ReadInt(std::string_view key, std::int64_t def) const {
  return Read(key, def).AsInteger().value_or(def);
}
bool PropertyBag::ReadBool(std::string_view key, bool def) const {
  return Read(key, def).AsBool().value_or(def);
}
Colour PropertyBag::ReadColour(std::string_view key, Colour def) const {
  return Read(key, PropertyValue::OfColour(def)).AsColour().value_or(def);
}
std::string PropertyBag::ReadText(std::string_view key, std::string_view def) const {
  return Read(key, def).AsText().value_or(std::string(def));
}
FontSpec PropertyBag::ReadFont(std::string_view key, const FontSpec& def) const {
  return Read(key, def).AsFont().value_or(def);
}
Picture PropertyBag::ReadPicture(std::string_view key) const {
  return Read(key).AsPicture().value_or(Picture{});
}

bool PropertyBag::Contains(std::string_view key) const { return Find(key) != entries_.end(); }

void PropertyBag::Remove(std::string_view key) {
  auto it = Find(key);
  if (it != entries_.end()) entries_.erase(it);
}

std::string PropertyBag::ToText() const {
  std::string out;
  for (const auto& [key, value] : entries_) out += key + " = " + value.ToText() + '\n';
  return out;
}

namespace {

// The lines of a text form, valid UTF-8 and trimmed, numbered from 1; skipped lines left out.
struct Line {
  int number;
  std::string_view text;
};

std::vector<Line> Lines(std::string_view text) {
  std::vector<Line> lines;
  int number = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    ++number;
    const std::string_view line = Trim(text.substr(start, end - start));
    if (!line.empty() && line.front() != '\'' && line.front() != '#') lines.push_back({number, line});
    start = end + 1;
  }
  return lines;
}

// The text as valid UTF-8, without a leading byte-order mark.
std::string Normalised(std::string_view text) {
  std::string valid = ValidUtf8(text);
  if (valid.rfind("\xEF\xBB\xBF", 0) == 0) valid.erase(0, 3);
  return valid;
}

// Parses one "key = value" line into `bag`; false with `error` set on failure.
bool ParseEntry(const Line& line, PropertyBag& bag, std::string* error) {
  const std::size_t eq = line.text.find('=');
  const std::string_view key = eq == std::string_view::npos ? std::string_view{} : Trim(line.text.substr(0, eq));
  if (key.empty()) {
    if (error) *error = "line " + std::to_string(line.number) + ": expected key = value";
    return false;
  }
  std::string why;
  auto value = PropertyValue::FromText(line.text.substr(eq + 1), &why);
  if (!value) {
    if (error) *error = "line " + std::to_string(line.number) + ": " + why;
    return false;
  }
  bag.Set(key, *value);
  return true;
}

}  // namespace

std::optional<PropertyBag> PropertyBag::FromText(std::string_view text, std::string* error) {
  const std::string valid = Normalised(text);
  PropertyBag bag;
  for (const Line& line : Lines(valid))
    if (!ParseEntry(line, bag, error)) return std::nullopt;
  return bag;
}

PropertyBag& FormData::Control(std::string_view name) {
  for (auto& [n, bag] : controls_)
    if (EqualsIgnoringCase(n, name)) return bag;
  controls_.emplace_back(std::string(name), PropertyBag{});
  return controls_.back().second;
}

const PropertyBag* FormData::Find(std::string_view name) const {
  for (const auto& [n, bag] : controls_)
    if (EqualsIgnoringCase(n, name)) return &bag;
  return nullptr;
}

std::string FormData::ToText() const {
  std::string out;
  for (const auto& [name, bag] : controls_) {
    if (!out.empty()) out += '\n';
    out += '[' + name + "]\n" + bag.ToText();
  }
  return out;
}

std::optional<FormData> FormData::FromText(std::string_view text, std::string* error) {
  const std::string valid = Normalised(text);
  FormData form;
  PropertyBag* current = nullptr;
  for (const Line& line : Lines(valid)) {
    if (line.text.front() == '[') {
      // A header names its control; a blank name ("[ ]") could not be written back.
      const std::string_view name =
          line.text.size() >= 2 ? Trim(line.text.substr(1, line.text.size() - 2)) : std::string_view{};
      if (line.text.back() != ']' || name.empty()) {
        if (error)
          *error = "line " + std::to_string(line.number) + ": bad control header " +
                   std::string(line.text);
        return std::nullopt;
      }
      current = &form.Control(name);
      continue;
    }
    if (current == nullptr) {
      if (error) *error = "line " + std::to_string(line.number) + ": property before any [control] line";
      return std::nullopt;
    }
    if (!ParseEntry(line, *current, error)) return std::nullopt;
  }
  return form;
}

}  // namespace velquin::draw
