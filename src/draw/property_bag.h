// Design-time settings of a control: ordered key/value pairs. Keys match without regard to case
// and are kept in lower case; a value equal to its default is not stored, and a missing key reads
// as the default. A bag has a text form that a form-data file holds and that reads back exactly.
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "draw/colour.h"
#include "draw/font.h"

namespace velquin::draw {

// A picture kept as PNG bytes (what the text form stores); empty bytes mean no picture.
struct Picture {
  QByteArray png;

  static Picture FromImage(const QImage& image);  // a null image gives an empty picture
  QImage ToImage() const;                         // null when empty or undecodable
  bool IsEmpty() const { return png.isEmpty(); }
  bool operator==(const Picture&) const = default;
};

// A colour value, kept apart from plain integers so the text form can show it as one.
struct ColourValue {
  Colour value = 0;
  bool operator==(const ColourValue&) const = default;
};

class PropertyValue {
 public:
  using Storage =
      std::variant<std::monostate, std::int64_t, bool, QString, ColourValue, FontSpec, Picture>;

  PropertyValue() = default;  // "nothing": no picture, no value
  template <std::integral T>
    requires(!std::same_as<T, bool>)
  PropertyValue(T v) : v_(static_cast<std::int64_t>(v)) {}
  PropertyValue(bool v) : v_(v) {}
  PropertyValue(const QString& v) : v_(v) {}
  PropertyValue(const char* v) : v_(QString::fromUtf8(v)) {}
  PropertyValue(ColourValue v) : v_(v) {}
  PropertyValue(const FontSpec& v) : v_(v) {}
  PropertyValue(const Picture& v) : v_(v) {}
  PropertyValue(const QImage& v) : v_(Picture::FromImage(v)) {}

  static PropertyValue OfColour(Colour c) { return PropertyValue(ColourValue{c}); }

  bool IsNothing() const { return std::holds_alternative<std::monostate>(v_); }
  const Storage& storage() const { return v_; }

  // Conversions used by the typed readers: integers, booleans and colours convert into one
  // another (a boolean is 0 or -1 as a number, any non-zero number is true); a text converts when
  // it reads as a number or as "True"/"False". Anything else gives std::nullopt.
  std::optional<std::int64_t> AsInteger() const;
  std::optional<bool> AsBool() const;
  std::optional<Colour> AsColour() const;
  std::optional<QString> AsText() const;
  std::optional<FontSpec> AsFont() const;
  std::optional<Picture> AsPicture() const;

  // Same kind and same value; integers, booleans and colours also compare by number.
  bool operator==(const PropertyValue& o) const;

  // The value in the text form (see PropertyBag::ToText), and back.
  QString ToText() const;
  static std::optional<PropertyValue> FromText(const QString& text, QString* error = nullptr);

 private:
  Storage v_;
};

class PropertyBag {
 public:
  using Entry = std::pair<QString, PropertyValue>;  // key in lower case

  // Stores `value` under `key` unless it equals `def`; then any stored value is dropped.
  void Write(const QString& key, const PropertyValue& value, const PropertyValue& def);
  // Stores unconditionally (keeps the key's place when it exists, appends otherwise).
  void Set(const QString& key, const PropertyValue& value);
  // The stored value, or `def` when the key is missing.
  PropertyValue Read(const QString& key, const PropertyValue& def = {}) const;

  // Typed readers: the default also when the stored value does not convert.
  std::int64_t ReadInt(const QString& key, std::int64_t def) const;
  bool ReadBool(const QString& key, bool def) const;
  Colour ReadColour(const QString& key, Colour def) const;
  QString ReadText(const QString& key, const QString& def) const;
  FontSpec ReadFont(const QString& key, const FontSpec& def) const;
  Picture ReadPicture(const QString& key) const;  // empty when missing

  bool Contains(const QString& key) const;
  void Remove(const QString& key);
  void Clear() { entries_.clear(); }
  bool IsEmpty() const { return entries_.empty(); }
  const std::vector<Entry>& Entries() const { return entries_; }

  // Text form: one "key = value" line per entry, in order. Values: integers in decimal (-12),
  // True/False, texts in double quotes with \" \\ \n \r \t and \u{hex} escapes, colours as
  // &H00BBGGRR&, fonts as Font("face", points, weight, italic, underline, strikeout, charset,
  // pixel height), pictures as Picture(base64 PNG), no value as Nothing.
  QString ToText() const;
  // Reads the text form; blank lines and lines starting with "'" or "#" are skipped. On a bad
  // line returns std::nullopt and sets `error` to a message naming the line.
  static std::optional<PropertyBag> FromText(const QString& text, QString* error = nullptr);

  bool operator==(const PropertyBag&) const = default;

 private:
  std::vector<Entry>::iterator Find(const QString& key);
  std::vector<Entry>::const_iterator Find(const QString& key) const;

  std::vector<Entry> entries_;
};

// A form-data file: the bags of several named controls, each introduced by a "[name]" line.
class FormData {
 public:
  // The bag of control `name` (matched without regard to case), created empty when missing.
  PropertyBag& Control(const QString& name);
  // Null when there is no such control.
  const PropertyBag* Find(const QString& name) const;
  const std::vector<std::pair<QString, PropertyBag>>& Controls() const { return controls_; }

  QString ToText() const;
  static std::optional<FormData> FromText(const QString& text, QString* error = nullptr);

 private:
  std::vector<std::pair<QString, PropertyBag>> controls_;
};

}  // namespace velquin::draw
