#include "controls/button/access_key.h"

namespace velquin::button {

std::optional<QChar> AccessKeyOf(const QString& caption) {
  if (caption.size() <= 1) return std::nullopt;
  qsizetype p = caption.indexOf(u'&');
  if (p < 0 || p == caption.size() - 1) return std::nullopt;
  if (caption[p + 1] != u'&') return caption[p + 1].toLower();
  p = caption.indexOf(u'&', p + 2);
  if (p < 0 || p == caption.size() - 1 || caption[p + 1] == u'&') return std::nullopt;
  return caption[p + 1].toLower();
}

}  // namespace velquin::button
