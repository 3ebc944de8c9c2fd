// DrawCaptionAndPicture: the common second half of every face (layout, picture with shadow,
// caption with its effect, drop-down separator and symbol).
#include <QFontDatabase>
#include <QPainter>

#include "controls/button/face_layout.h"
#include "controls/button/face_paint.h"
#include "controls/button/face_picture.h"
#include "controls/button/face_symbol.h"
#include "draw/rounding.h"

namespace velquin::button {

namespace {

const FacePicture* ChoosePicture(const ButtonFace& face) {
  auto first = [](std::initializer_list<const FacePicture*> list) -> const FacePicture* {
    for (const FacePicture* p : list)
      if (!p->IsEmpty()) return p;
    return nullptr;
  };
  const bool set = face.mode != ButtonMode::Push && face.value;
  if (face.state == ButtonState::Down || set)
    return first({&face.picture_down, &face.picture_hot, &face.picture_normal});
  if (face.state == ButtonState::Hot) return first({&face.picture_hot, &face.picture_normal});
  return first({&face.picture_normal});
}

unsigned TextFlags(const ButtonFace& face, unsigned base) {
  return face.right_to_left ? base | draw::DT_RTLREADING : base;
}

// The picture at (x, y) in one solid colour, or as itself when silhouette is empty.
void Stamp(draw::Canvas& canvas, const ButtonFace& face, const FacePicture& picture, int x, int y,
           const std::optional<Colour>& silhouette) {
  const int state = static_cast<int>(face.state);
  PictureInk ink;
  ink.opacity = PictureOpacityFor(state, face.enabled, static_cast<int>(face.disabled_picture_mode),
                                  face.picture_opacity, face.picture_opacity_on_over);
  ink.effect = PictureEffectFor(state, static_cast<int>(face.picture_effect_on_over),
                                static_cast<int>(face.picture_effect_on_down));
  ink.tables = face.effect_tables;
  ink.grey = !face.enabled && face.disabled_picture_mode == DisabledPictureMode::Grayscale;
  ink.silhouette = silhouette;
  ink.useMaskColor = face.use_mask_color;
  ink.maskColor = face.mask_color;
  ink.isIcon = picture.is_icon;
  DrawPicture(canvas.Image(), x, y, picture.image, ink);
}

}  // namespace

void DrawCaptionAndPicture(draw::Canvas& canvas, ButtonFace& face) {
  const int W = face.width;
  const int H = face.height;
  const int style = static_cast<int>(face.style);
  const Colour F = draw::TranslateColor(face.back_color);
  const bool dropDown = face.drop_down_symbol != 0 || face.drop_down_separator;
  const int pictureAlign = static_cast<int>(face.picture_align);

  const FacePicture* picture = ChoosePicture(face);
  const int picW = picture ? picture->image.width() : 0;
  const int picH = picture ? picture->image.height() : 0;

  const draw::FontSpec previousFont = canvas.SelectFont(face.font);
  Rect measured = CaptionMeasureArea(W, H, dropDown, pictureAlign);
  canvas.DrawText(face.caption, measured, TextFlags(face, draw::DT_CALCRECT | draw::DT_WORDBREAK));

  CaptionLayoutInput in;
  in.width = W;
  in.height = H;
  in.textWidth = measured.Width();
  in.textHeight = measured.Height();
  in.pictureWidth = picW;
  in.pictureHeight = picH;
  in.hasPicture = !face.picture_normal.IsEmpty() && picture;
  in.captionEmpty = face.caption.trimmed().isEmpty();
  in.captionAlign = static_cast<int>(face.caption_align);
  in.pictureAlign = pictureAlign;
  in.dropDown = dropDown;
  in.systemTheme = face.style == ButtonStyle::SystemTheme;
  in.shiftWhenDown = StyleShiftsContentWhenDown(style);
  in.symbolExtraShift = StyleShiftsSymbolTwiceWhenDown(style);
  in.down = face.state == ButtonState::Down;
  const CaptionLayout layout = LayoutCaptionAndPicture(in);

  if (face.drop_down_separator && layout.restingCaptionRight < W - 8) {
    const Colour faceColour = canvas.GetPixel(7, 7);
    canvas.DrawLine(W - 16, 3, W - 16, H - 3, ShiftColor(faceColour, -0.1));
    canvas.DrawLine(W - 15, 3, W - 15, H - 3, ShiftColor(faceColour, +0.1));
  }

  if (in.hasPicture) {
    const Rect& at = layout.picture;
    if (face.picture_push_on_hover && face.state == ButtonState::Hot) {
      Stamp(canvas, face, *picture, at.left, at.top, draw::Rgb(192, 192, 192));
      Stamp(canvas, face, *picture, at.left - 2, at.top - 2, std::nullopt);
    } else {
      Stamp(canvas, face, *picture, at.left, at.top, std::nullopt);
      if (face.picture_shadow) {
        const Colour c = BlendColors(draw::Rgb(128, 128, 128), F);
        Stamp(canvas, face, *picture, at.left + 2, at.top + 2, ShiftColor(c, +0.05));
        Stamp(canvas, face, *picture, at.left + 1, at.top + 1, ShiftColor(c, -0.1));
        Stamp(canvas, face, *picture, at.left, at.top, std::nullopt);
      }
    }
  }

  const int previousMode = canvas.SetBkMode(draw::TRANSPARENT);
  const Colour previousText = canvas.TextColor();
  const unsigned captionFlags = TextFlags(face, draw::DT_CENTER | draw::DT_WORDBREAK);
  auto caption = [&](Colour colour, int dx, int dy) {
    canvas.SetTextColor(colour);
    canvas.DrawText(face.caption, layout.caption.Offset(dx, dy), captionFlags);
  };
  switch (face.caption_effects) {
    case CaptionEffects::Raised:
      caption(ShiftColor(F, +0.14), -1, -1);
      break;
    case CaptionEffects::Sunken:
      caption(ShiftColor(F, +0.14), +1, +1);
      break;
    case CaptionEffects::GreyShadow:
      caption(draw::Rgb(192, 192, 192), +1, +1);
      break;
    case CaptionEffects::LightHalo:
    case CaptionEffects::DarkHalo: {
      const Colour halo =
          ShiftColor(F, face.caption_effects == CaptionEffects::LightHalo ? +0.1 : -0.1);
      for (const auto& [dx, dy] : {std::pair{-1, -1}, {1, -1}, {-1, 1}, {1, 1}})
        caption(halo, dx, dy);
      break;
    }
    default:
      break;
  }
  const Colour grey = draw::SystemColour(draw::kColourGrayText);
  Colour text = face.state == ButtonState::Hot ? face.fore_color_hover : face.fore_color;
  if (!face.enabled) text = grey;
  caption(draw::TranslateColor(text), 0, 0);
  canvas.SetTextColor(previousText);
  canvas.SetBkMode(previousMode);
  canvas.SelectFont(previousFont);

  if (face.drop_down_symbol != 0) {
    const Colour colour = face.enabled ? draw::TranslateColor(face.fore_color) : grey;
    DrawDropDownSymbol(canvas, layout.dropDown, QString::number(face.drop_down_symbol).at(0),
                       colour);
  }

  face.caption_rect = QRect(layout.caption.left, layout.caption.top, layout.caption.Width(),
                            layout.caption.Height());
  face.picture_rect =
      in.hasPicture ? QRect(layout.picture.left, layout.picture.top, picW, picH) : QRect();
  face.drop_down_rect = face.drop_down_symbol != 0
                            ? QRect(layout.dropDown.left, layout.dropDown.top,
                                    layout.dropDown.Width(), layout.dropDown.Height())
                            : QRect();
}

}  // namespace velquin::button
