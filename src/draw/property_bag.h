// Design-time settings of a control: ordered key/value pairs. Keys are ASCII names, matched
// without regard to case and kept in lower case; a value equal to its default is not stored, and
// a missing key reads as the default. A bag has a text form that a form-data file holds and that
// reads back exactly. Texts are UTF-8 (utf.h).
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "draw/colour.h"
#include "draw/font.h"
#include "draw/picture.h"

namespace velquin::draw {

// A colour value, kept apart from plain integers so the text form can show it as one.
struct ColourValue {
  Colour value = 0;
  bool operator==(const ColourValue&) const = default;
};

class PropertyValue {
 public:
  using Storage =
      std::variant<std::monostate, std::int64_t, bool, std::string, ColourValue, FontSpec, Picture>;

  PropertyValue() = default;  // "nothing": no picture, no value
  template <std::integral T>
    requires(!std::same_as<T, bool>)
  PropertyValue(T v) : v_(static_cast<std::int64_t>(v)) {}
  PropertyValue(bool v) : v_(v) {}
  PropertyValue(std::string v) : v_(std::move(v)) {}
  PropertyValue(std::string_view v) : v_(std::string(v)) {}
  PropertyValue(const char* v) : v_(std::string(v)) {}
  PropertyValue(ColourValue v) : v_(v) {}
  PropertyValue(const FontSpec& v) : v_(v) {}
  PropertyValue(const Picture& v) : v_(v) {}
  PropertyValue(const Image& v) : v_(Picture::FromImage(v)) {}

  static PropertyValue OfColour(Colour c) { return PropertyValue(ColourValue{c}); }

  bool IsNothing() const { return std::holds_alternative<std::monostate>(v_); }
  const Storage& storage() const { return v_; }

  // Conversions used by the typed readers: integers, booleans and colours convert into one
  // another (a boolean is 0 or -1 as a number, any non-zero number is true); a text converts when
  // it reads as a number or as "True"/"False". Anything else gives std::nullopt.
  std::optional<std::int64_t> AsInteger() const;
  std::optional<bool> AsBool() const;
  std::optional<Colour> AsColour() const;
  std::optional<std::string> AsText() const;
  std::optional<FontSpec> AsFont() const;
  std::optional<Picture> AsPicture() const;

  // Same kind and same value; integers, booleans and colours also compare by number.
  bool operator==(const PropertyValue& o) const;

  // The value in the text form (see PropertyBag::ToText), and back.
  std::string ToText() const;
  static std::optional<PropertyValue> FromText(std::string_view text, std::string* error = nullptr);

 private:
  Storage v_;
};

class PropertyBag {
 public:
  using Entry = std::pair<std::string, PropertyValue>;  // key in lower case

  // Stores `value` under `key` unless it equals `def`; then any stored value is dropped.
  void Write(std::string_view key, const PropertyValue& value, const PropertyValue& def);
  // Stores unconditionally (keeps the key's place when it exists, appends otherwise).
  void Set(std::string_view key, const PropertyValue& value);
  // The stored value, or `def` when the key is missing.
  PropertyValue Read(std::string_view key, const PropertyValue& def = {}) const;

  // Typed readers: the default also when the stored value does not convert.
  std::int64_t ReadInt(std::string_view key, std::int64_t def) const;
  bool ReadBool(std::string_view key, bool def) const;
  Colour ReadColour(std::string_view key, Colour def) const;
  std::string ReadText(std::string_view key, std::string_view def) const;
  FontSpec ReadFont(std::string_view key, const FontSpec& def) const;
  Picture ReadPicture(std::string_view key) const;  // empty when missing

  bool Contains(std::string_view key) const;
  void Remove(std::string_view key);
  void Clear() { entries_.clear(); }
  bool IsEmpty() const { return entries_.empty(); }
  const std::vector<Entry>& Entries() const { return entries_; }

  // Text form: one "key = value" line per entry, in order. Values: integers in decimal (-12),
  // True/False, texts in double quotes with \" \\ \n \r \t and \u{hex} escapes, colours as
  // &H00BBGGRR&, fonts as Font("face", points, weight, italic, underline, strikeout, charset,
  // pixel height), pictures as Picture(base64 PNG), no value as Nothing.
  std::string ToText() const;
  // Reads the text form from any bytes (sequences that are not UTF-8 read as U+FFFD); blank
  // lines and lines starting with "'" or "#" are skipped. On a bad line returns std::nullopt and
  // sets `error` to a message naming the line.
  static std::optional<PropertyBag> FromText(std::string_view text, std::string* error = nullptr);

  bool operator==(const PropertyBag&) const = default;

 private:
  std::vector<Entry>::iterator Find(std::string_view key);
  std::vector<Entry>::const_iterator Find(std::string_view key) const;

  std::vector<Entry> entries_;
};

// A form-data file: the bags of several named controls, each introduced by a "[name]" line.
class FormData {
 public:
  // The bag of control `name` (matched without regard to ASCII case), created empty when missing.
  PropertyBag& Control(std::string_view name);
  // Null when there is no such control.
  const PropertyBag* Find(std::string_view name) const;
  const std::vector<std::pair<std::string, PropertyBag>>& Controls() const { return controls_; }

  std::string ToText() const;
  // Reads a form-data file's bytes, with the rules of PropertyBag::FromText.
  static std::optional<FormData> FromText(std::string_view text, std::string* error = nullptr);

 private:
  std::vector<std::pair<std::string, PropertyBag>> controls_;
};

}  // namespace velquin::draw
