// The enumerations of luxbutton with the values that stored form data holds.
#pragma once

namespace velquin::button {

enum class ButtonStyle : int {
  Classic = 0,
  ClassicThin = 1,
  RoundedScheme = 2,
  RoundedPanel = 3,
  FlatFill = 4,
  SplitGradient = 5,
  Toolbar = 6,
  RoundedSoft = 7,
  BandedGlass = 8,
  RoundedGlass = 9,
  RoundedShaded = 10,
  ClassicSunken = 11,
  ClassicThinFlat = 12,
  SystemTheme = 13,
};

enum class ColorScheme : int { Blue = 0, Olive = 1, Silver = 2, Custom = 3 };

// Push: plain command button; Check: each click toggles Value; Option: a click sets Value and
// clears it on the other option buttons of the same container.
enum class ButtonMode : int { Push = 0, Check = 1, Option = 2 };

enum class CaptionAlign : int { Left = 0, Center = 1, Right = 2 };

enum class PictureAlign : int {
  LeftEdge = 0,
  LeftOfCaption = 1,
  RightEdge = 2,
  RightOfCaption = 3,
  Background = 4,
  TopEdge = 5,
  TopOfCaption = 6,
  BottomEdge = 7,
  BottomOfCaption = 8,
};

enum class PictureEffect : int { None = 0, Brighten = 1, Darken = 2 };

// Faint: drawn at opacity 52; Grayscale: grey at three quarters of PictureOpacity.
enum class DisabledPictureMode : int { Faint = 0, Grayscale = 1 };

enum class CaptionEffects : int {
  None = 0,
  Raised = 1,
  Sunken = 2,
  GreyShadow = 3,
  LightHalo = 4,
  DarkHalo = 5,
};

enum class ToolTipType : int { Standard = 0, Balloon = 1 };

// The visual state the input handling drives and the faces draw.
enum class ButtonState : int { Normal = 0, Hot = 1, Down = 2 };

}  // namespace velquin::button
