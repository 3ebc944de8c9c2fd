// The flag and mode values of the drawing calls. They carry the numbers of the classic desktop
// drawing interface (a DrawEdge edge kind, a DrawText format, ...) under scoped names, so that no
// platform header's macros can clash with them; src/draw/win32 maps them onto the system's own
// constants in one place.
#pragma once

#include <cstdint>
#include <type_traits>

namespace velquin::draw {

// Enumerations whose values combine as bit sets (|, &, ~ and Has).
template <typename E>
struct IsFlagSet : std::false_type {};

template <typename E>
  requires IsFlagSet<E>::value
constexpr E operator|(E a, E b) {
  using U = std::underlying_type_t<E>;
  return static_cast<E>(static_cast<U>(a) | static_cast<U>(b));
}
template <typename E>
  requires IsFlagSet<E>::value
constexpr E operator&(E a, E b) {
  using U = std::underlying_type_t<E>;
  return static_cast<E>(static_cast<U>(a) & static_cast<U>(b));
}
template <typename E>
  requires IsFlagSet<E>::value
constexpr E operator~(E a) {
  using U = std::underlying_type_t<E>;
  return static_cast<E>(~static_cast<U>(a));
}
template <typename E>
  requires IsFlagSet<E>::value
constexpr E& operator|=(E& a, E b) {
  return a = a | b;
}
// Whether any bit of `flag` is set in `set`.
template <typename E>
  requires IsFlagSet<E>::value
constexpr bool Has(E set, E flag) {
  using U = std::underlying_type_t<E>;
  return (static_cast<U>(set) & static_cast<U>(flag)) != 0;
}
template <typename E>
constexpr std::underlying_type_t<E> Bits(E e) {
  return static_cast<std::underlying_type_t<E>>(e);
}

// Borders of a three-dimensional edge: one outer and one inner border, or a named pair.
enum class Edge : unsigned {
  RaisedOuter = 0x1,
  SunkenOuter = 0x2,
  RaisedInner = 0x4,
  SunkenInner = 0x8,
  Raised = RaisedOuter | RaisedInner,  // 5
  Sunken = SunkenOuter | SunkenInner,  // 10
  Etched = SunkenOuter | RaisedInner,  // 6
  Bump = RaisedOuter | SunkenInner,    // 9
};
template <>
struct IsFlagSet<Edge> : std::true_type {};

// Sides and options of a three-dimensional edge.
enum class EdgeFlags : unsigned {
  Left = 0x1,
  Top = 0x2,
  Right = 0x4,
  Bottom = 0x8,
  Rect = 0xF,
  Middle = 0x800,   // also fill the interior with the button face colour
  Soft = 0x1000,    // accepted, drawn like the normal edge
  Adjust = 0x2000,  // DrawEdge returns the interior left inside the drawn borders
  Flat = 0x4000,    // one-colour (button shadow) outer border, button face inner border
  Mono = 0x8000,    // black outer border, window colour inner border
};
template <>
struct IsFlagSet<EdgeFlags> : std::true_type {};

// Layout of text drawn into a rectangle.
enum class TextFormat : unsigned {
  Left = 0x0,
  Center = 0x1,
  Right = 0x2,
  Top = 0x0,
  VCenter = 0x4,  // single-line text only
  Bottom = 0x8,   // single-line text only
  WordBreak = 0x10,
  SingleLine = 0x20,
  ExpandTabs = 0x40,
  NoClip = 0x100,
  CalcRect = 0x400,
  NoPrefix = 0x800,  // "&" is an ordinary character
  RtlReading = 0x20000,
  HidePrefix = 0x100000,  // "&" marks are removed but nothing is underlined
};
template <>
struct IsFlagSet<TextFormat> : std::true_type {};

// What text and the gaps of hatch brushes do with the background.
enum class BkMode : int { Transparent = 1, Opaque = 2 };

// Patterns of hatch brushes, in 8 x 8 cells aligned to the surface origin.
enum class HatchStyle : int {
  Horizontal = 0,
  Vertical = 1,
  ForwardDiagonal = 2,   // "\"
  BackwardDiagonal = 3,  // "/"
  Cross = 4,
  DiagonalCross = 5,
};

// Raster operations of PatBlt.
enum class Rop : std::uint32_t {
  PatCopy = 0x00F00021,    // the brush
  PatInvert = 0x005A0049,  // brush XOR destination
  DstInvert = 0x00550009,  // NOT destination
  Blackness = 0x00000042,
  Whiteness = 0x00FF0062,
};

}  // namespace velquin::draw
