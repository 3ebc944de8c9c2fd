#include "draw/property_bag.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include <QBuffer>

namespace velquin::draw {
namespace {

QString Lower(const QString& key) { return key.trimmed().toLower(); }

QString Quote(const QString& s) {
  QString out;
  out.reserve(s.size() + 2);
  out += u'"';
  for (qsizetype i = 0; i < s.size(); ++i) {
    QChar ch = s[i];
    char16_t u = ch.unicode();
    if (u == u'"') {
      out += QStringLiteral("\\\"");
    } else if (u == u'\\') {
      out += QStringLiteral("\\\\");
    } else if (u == u'\n') {
      out += QStringLiteral("\\n");
    } else if (u == u'\r') {
      out += QStringLiteral("\\r");
    } else if (u == u'\t') {
      out += QStringLiteral("\\t");
    } else if (u < 0x20 || u == 0x7F) {
      out += QStringLiteral("\\u{%1}").arg(u, 0, 16);
    } else if (ch.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
      out += ch;
      out += s[++i];
    } else if (ch.isSurrogate()) {
      // A lone surrogate would not survive the file's UTF-8, so it is spelled out.
      out += QStringLiteral("\\u{%1}").arg(u, 0, 16);
    } else {
      out += ch;
    }
  }
  out += u'"';
  return out;
}

QString FormatDouble(double d) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, d);
  return QString::fromLatin1(buf, res.ptr - buf);
}

// A cursor over one value's text.
class Reader {
 public:
  explicit Reader(const QString& s) : s_(s) {}

  void SkipSpace() {
    while (i_ < s_.size() && s_[i_].isSpace()) ++i_;
  }
  bool AtEnd() {
    SkipSpace();
    return i_ >= s_.size();
  }
  bool Eat(QChar c) {
    SkipSpace();
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  bool EatWord(QStringView word) {
    SkipSpace();
    if (s_.mid(i_, word.size()).compare(word, Qt::CaseInsensitive) == 0) {
      qsizetype end = i_ + word.size();
      if (end < s_.size() && (s_[end].isLetterOrNumber() || s_[end] == u'_')) return false;
      i_ = end;
      return true;
    }
    return false;
  }

  std::optional<QString> QuotedText() {
    if (!Eat(u'"')) return std::nullopt;
    QString out;
    while (i_ < s_.size()) {
      QChar ch = s_[i_++];
      if (ch == u'"') return out;
      if (ch != u'\\') {
        out += ch;
        continue;
      }
      if (i_ >= s_.size()) return std::nullopt;
      QChar e = s_[i_++];
      switch (e.unicode()) {
        case u'"': out += u'"'; break;
        case u'\\': out += u'\\'; break;
        case u'n': out += u'\n'; break;
        case u'r': out += u'\r'; break;
        case u't': out += u'\t'; break;
        case u'u': {
          if (i_ >= s_.size() || s_[i_] != u'{') return std::nullopt;
          qsizetype close = s_.indexOf(u'}', i_);
          if (close < 0 || close - i_ - 1 < 1 || close - i_ - 1 > 6) return std::nullopt;
          bool ok = false;
          uint code = s_.mid(i_ + 1, close - i_ - 1).toUInt(&ok, 16);
          if (!ok || code > 0x10FFFF) return std::nullopt;
          i_ = close + 1;
          if (code > 0xFFFF) {
            char32_t c32 = code;
            out += QString::fromUcs4(&c32, 1);
          } else {
            out += QChar(static_cast<char16_t>(code));
          }
          break;
        }
        default: return std::nullopt;
      }
    }
    return std::nullopt;  // no closing quote
  }

  // The raw token up to the next ',' or ')'.
  QString Token() {
    SkipSpace();
    qsizetype start = i_;
    while (i_ < s_.size() && s_[i_] != u',' && s_[i_] != u')') ++i_;
    return s_.mid(start, i_ - start).trimmed();
  }

 private:
  const QString& s_;
  qsizetype i_ = 0;
};

std::optional<std::int64_t> ParseInteger(const QString& t) {
  QByteArray a = t.trimmed().toLatin1();
  if (a.isEmpty()) return std::nullopt;
  const char* b = a.constData();
  const char* e = b + a.size();
  if (*b == '+') ++b;
  std::int64_t v = 0;
  auto res = std::from_chars(b, e, v);
  if (res.ec != std::errc() || res.ptr != e) return std::nullopt;
  return v;
}

std::optional<bool> ParseBool(const QString& t) {
  QString s = t.trimmed();
  if (s.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0) return true;
  if (s.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0) return false;
  return std::nullopt;
}

std::optional<double> ParseDouble(const QString& t) {
  QByteArray a = t.trimmed().toLatin1();
  if (a.isEmpty()) return std::nullopt;
  double d = 0;
  auto res = std::from_chars(a.constData(), a.constData() + a.size(), d);
  if (res.ec != std::errc() || res.ptr != a.constData() + a.size() || !std::isfinite(d))
    return std::nullopt;
  return d;
}

std::optional<FontSpec> ParseFontArgs(Reader& r) {
  FontSpec f;
  auto face = r.QuotedText();
  if (!face) return std::nullopt;
  f.face = *face;
  auto next = [&r]() -> std::optional<QString> {
    if (!r.Eat(u',')) return std::nullopt;
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
  if (!r.Eat(u')')) return std::nullopt;
  return f;
}

}  // namespace

Picture Picture::FromImage(const QImage& image) {
  Picture p;
  if (image.isNull()) return p;
  QBuffer buf(&p.png);
  buf.open(QIODevice::WriteOnly);
  image.save(&buf, "PNG");
  return p;
}

QImage Picture::ToImage() const {
  QImage img;
  if (!png.isEmpty()) img.loadFromData(png, "PNG");
  return img;
}

std::optional<std::int64_t> PropertyValue::AsInteger() const {
  if (auto* i = std::get_if<std::int64_t>(&v_)) return *i;
  if (auto* b = std::get_if<bool>(&v_)) return *b ? -1 : 0;
  if (auto* c = std::get_if<ColourValue>(&v_)) return static_cast<std::int64_t>(c->value);
  if (auto* s = std::get_if<QString>(&v_)) {
    if (auto v = ParseInteger(*s)) return v;
    if (auto b = ParseBool(*s)) return *b ? -1 : 0;
  }
  return std::nullopt;
}

std::optional<bool> PropertyValue::AsBool() const {
  if (auto* b = std::get_if<bool>(&v_)) return *b;
  if (auto* s = std::get_if<QString>(&v_)) {
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

std::optional<QString> PropertyValue::AsText() const {
  if (auto* s = std::get_if<QString>(&v_)) return *s;
  if (auto* i = std::get_if<std::int64_t>(&v_)) return QString::number(*i);
  if (auto* b = std::get_if<bool>(&v_)) return *b ? QStringLiteral("True") : QStringLiteral("False");
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

QString PropertyValue::ToText() const {
  struct Visitor {
    QString operator()(std::monostate) const { return QStringLiteral("Nothing"); }
    QString operator()(std::int64_t i) const { return QString::number(i); }
    QString operator()(bool b) const { return b ? QStringLiteral("True") : QStringLiteral("False"); }
    QString operator()(const QString& s) const { return Quote(s); }
    QString operator()(ColourValue c) const {
      return QStringLiteral("&H%1&").arg(c.value, 8, 16, QChar(u'0')).toUpper();
    }
    QString operator()(const FontSpec& f) const {
      auto b = [](bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); };
      return QStringLiteral("Font(%1, %2, %3, %4, %5, %6, %7, %8)")
          .arg(Quote(f.face), FormatDouble(f.points), QString::number(f.weight), b(f.italic),
               b(f.underline), b(f.strikeout), QString::number(f.charset),
               QString::number(f.pixel_height));
    }
    QString operator()(const Picture& p) const {
      if (p.IsEmpty()) return QStringLiteral("Nothing");
      return QStringLiteral("Picture(%1)").arg(QString::fromLatin1(p.png.toBase64()));
    }
  };
  return std::visit(Visitor{}, v_);
}

std::optional<PropertyValue> PropertyValue::FromText(const QString& text, QString* error) {
  auto fail = [error](const QString& why) -> std::optional<PropertyValue> {
    if (error) *error = why;
    return std::nullopt;
  };
  QString t = text.trimmed();
  if (t.isEmpty()) return fail(QStringLiteral("missing value"));
  Reader r(t);
  if (t.startsWith(u'"')) {
    auto s = r.QuotedText();
    if (!s || !r.AtEnd()) return fail(QStringLiteral("bad text value %1").arg(t));
    return PropertyValue(*s);
  }
  if (t.startsWith(QStringLiteral("&H"), Qt::CaseInsensitive)) {
    if (!t.endsWith(u'&') || t.size() < 4 || t.size() > 11)
      return fail(QStringLiteral("bad colour value %1").arg(t));
    bool ok = false;
    uint v = t.mid(2, t.size() - 3).toUInt(&ok, 16);
    if (!ok) return fail(QStringLiteral("bad colour value %1").arg(t));
    return PropertyValue::OfColour(v);
  }
  if (r.EatWord(u"Font")) {
    if (!r.Eat(u'(')) return fail(QStringLiteral("bad font value %1").arg(t));
    auto f = ParseFontArgs(r);
    if (!f || !r.AtEnd()) return fail(QStringLiteral("bad font value %1").arg(t));
    return PropertyValue(*f);
  }
  if (r.EatWord(u"Picture")) {
    if (!t.endsWith(u')')) return fail(QStringLiteral("bad picture value"));
    qsizetype open = t.indexOf(u'(');
    QByteArray b64 = t.mid(open + 1, t.size() - open - 2).trimmed().toLatin1();
    auto decoded = QByteArray::fromBase64Encoding(b64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty()) return fail(QStringLiteral("bad picture value"));
    return PropertyValue(Picture{*decoded});
  }
  if (t.compare(QStringLiteral("Nothing"), Qt::CaseInsensitive) == 0) return PropertyValue();
  if (auto b = ParseBool(t)) return PropertyValue(*b);
  if (auto i = ParseInteger(t)) return PropertyValue(*i);
  return fail(QStringLiteral("unknown value %1").arg(t));
}

std::vector<PropertyBag::Entry>::iterator PropertyBag::Find(const QString& key) {
  QString k = Lower(key);
  return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.first == k; });
}

std::vector<PropertyBag::Entry>::const_iterator PropertyBag::Find(const QString& key) const {
  QString k = Lower(key);
  return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.first == k; });
}

void PropertyBag::Write(const QString& key, const PropertyValue& value, const PropertyValue& def) {
  if (value == def) {
    Remove(key);
    return;
  }
  Set(key, value);
}

void PropertyBag::Set(const QString& key, const PropertyValue& value) {
  auto it = Find(key);
  if (it != entries_.end()) {
    it->second = value;
  } else {
    entries_.emplace_back(Lower(key), value);
  }
}

PropertyValue PropertyBag::Read(const QString& key, const PropertyValue& def) const {
  auto it = Find(key);
  return it == entries_.end() ? def : it->second;
}

std::int64_t PropertyBag::ReadInt(const QString& key, std::int64_t def) const {
  return Read(key, def).AsInteger().value_or(def);
}
bool PropertyBag::ReadBool(const QString& key, bool def) const {
  return Read(key, def).AsBool().value_or(def);
}
Colour PropertyBag::ReadColour(const QString& key, Colour def) const {
  return Read(key, PropertyValue::OfColour(def)).AsColour().value_or(def);
}
QString PropertyBag::ReadText(const QString& key, const QString& def) const {
  return Read(key, def).AsText().value_or(def);
}
FontSpec PropertyBag::ReadFont(const QString& key, const FontSpec& def) const {
  return Read(key, def).AsFont().value_or(def);
}
Picture PropertyBag::ReadPicture(const QString& key) const {
  return Read(key).AsPicture().value_or(Picture{});
}

bool PropertyBag::Contains(const QString& key) const { return Find(key) != entries_.end(); }

void PropertyBag::Remove(const QString& key) {
  auto it = Find(key);
  if (it != entries_.end()) entries_.erase(it);
}

QString PropertyBag::ToText() const {
  QString out;
  for (const auto& [key, value] : entries_) out += key + QStringLiteral(" = ") + value.ToText() + u'\n';
  return out;
}

namespace {

// Parses one "key = value" line into `bag`; false with `error` set on failure.
bool ParseEntry(const QString& line, int number, PropertyBag& bag, QString* error) {
  qsizetype eq = line.indexOf(u'=');
  QString key = eq < 0 ? QString() : line.left(eq).trimmed();
  if (key.isEmpty()) {
    if (error) *error = QStringLiteral("line %1: expected key = value").arg(number);
    return false;
  }
  QString why;
  auto value = PropertyValue::FromText(line.mid(eq + 1), &why);
  if (!value) {
    if (error) *error = QStringLiteral("line %1: %2").arg(number).arg(why);
    return false;
  }
  bag.Set(key, *value);
  return true;
}

bool IsSkipped(const QString& line) {
  return line.isEmpty() || line.startsWith(u'\'') || line.startsWith(u'#');
}

}  // namespace

std::optional<PropertyBag> PropertyBag::FromText(const QString& text, QString* error) {
  PropertyBag bag;
  const auto lines = text.split(u'\n');
  for (int n = 0; n < lines.size(); ++n) {
    QString line = lines[n].trimmed();
    if (IsSkipped(line)) continue;
    if (!ParseEntry(line, n + 1, bag, error)) return std::nullopt;
  }
  return bag;
}

PropertyBag& FormData::Control(const QString& name) {
  for (auto& [n, bag] : controls_)
    if (n.compare(name, Qt::CaseInsensitive) == 0) return bag;
  controls_.emplace_back(name, PropertyBag{});
  return controls_.back().second;
}

const PropertyBag* FormData::Find(const QString& name) const {
  for (const auto& [n, bag] : controls_)
    if (n.compare(name, Qt::CaseInsensitive) == 0) return &bag;
  return nullptr;
}

QString FormData::ToText() const {
  QString out;
  for (const auto& [name, bag] : controls_) {
    if (!out.isEmpty()) out += u'\n';
    out += u'[' + name + QStringLiteral("]\n") + bag.ToText();
  }
  return out;
}

std::optional<FormData> FormData::FromText(const QString& text, QString* error) {
  FormData form;
  PropertyBag* current = nullptr;
  const auto lines = text.split(u'\n');
  for (int n = 0; n < lines.size(); ++n) {
    QString line = lines[n].trimmed();
    if (IsSkipped(line)) continue;
    if (line.startsWith(u'[')) {
      if (!line.endsWith(u']') || line.size() < 3) {
        if (error) *error = QStringLiteral("line %1: bad control header %2").arg(n + 1).arg(line);
        return std::nullopt;
      }
      current = &form.Control(line.mid(1, line.size() - 2).trimmed());
      continue;
    }
    if (current == nullptr) {
      if (error) *error = QStringLiteral("line %1: property before any [control] line").arg(n + 1);
      return std::nullopt;
    }
    if (!ParseEntry(line, n + 1, *current, error)) return std::nullopt;
  }
  return form;
}

}  // namespace velquin::draw
