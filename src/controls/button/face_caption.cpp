// DrawCaptionAndPicture: the common second half of every face (layout, picture with shadow,
// caption with its effect, drop-down separator and symbol).

#include "controls/button/face_layout.h"
#include "controls/button/face_paint.h"
#include "controls/button/face_picture.h"
#include "controls/button/face_symbol.h"
#include "draw/rounding.h"
#include "draw/utf.h"

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

draw::TextFormat TextFlags(const ButtonFace& face, draw::TextFormat base) {
  return face.right_to_left ? base | draw::TextFormat::RtlReading : base;
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
  ink.use_mask_color = face.use_mask_color;
  ink.mask_color = face.mask_color;
  ink.is_icon = picture.is_icon;
  DrawPicture(canvas.Pixels(), x, y, picture.image, ink);
}

}  // namespace

void DrawCaptionAndPicture(draw::Canvas& canvas, ButtonFace& face) {
  const int W = face.width;
  const int H = face.height;
  const int style = static_cast<int>(face.style);
  const Colour F = draw::TranslateColor(face.back_color);
  const bool drop_down = face.drop_down_symbol != 0 || face.drop_down_separator;
  const int picture_align = static_cast<int>(face.picture_align);

  const FacePicture* picture = ChoosePicture(face);
  const int pic_w = picture ? picture->image.Width() : 0;
  const int pic_h = picture ? picture->image.Height() : 0;

  const draw::FontSpec previous_font = canvas.SetFont(face.font);
  Rect measured = CaptionMeasureArea(W, H, drop_down, picture_align);
  canvas.DrawTextIn(face.caption, measured,
                    TextFlags(face, draw::TextFormat::CalcRect | draw::TextFormat::WordBreak));

  CaptionLayoutInput in;
  in.width = W;
  in.height = H;
  in.text_width = measured.Width();
  in.text_height = measured.Height();
  in.picture_width = pic_w;
  in.picture_height = pic_h;
  in.has_picture = !face.picture_normal.IsEmpty() && picture;
  in.caption_empty = draw::IsBlank(face.caption);
  in.caption_align = static_cast<int>(face.caption_align);
  in.picture_align = picture_align;
  in.drop_down = drop_down;
  in.system_theme = face.style == ButtonStyle::SystemTheme;
  in.shift_when_down = StyleShiftsContentWhenDown(style);
  in.symbol_extra_shift = StyleShiftsSymbolTwiceWhenDown(style);
  in.down = face.state == ButtonState::Down;
  const CaptionLayout layout = LayoutCaptionAndPicture(in);

  if (face.drop_down_separator && layout.resting_caption_right < W - 8) {
    const Colour face_colour = canvas.GetPixel(7, 7);
    canvas.DrawLine(W - 16, 3, W - 16, H - 3, ShiftColor(face_colour, -0.1));
    canvas.DrawLine(W - 15, 3, W - 15, H - 3, ShiftColor(face_colour, +0.1));
  }

  if (in.has_picture) {
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

  const draw::BkMode previous_mode = canvas.SetBkMode(draw::BkMode::Transparent);
  const Colour previous_text = canvas.TextColor();
  const draw::TextFormat caption_flags =
      TextFlags(face, draw::TextFormat::Center | draw::TextFormat::WordBreak);
  auto caption = [&](Colour colour, int dx, int dy) {
    canvas.SetTextColor(colour);
    canvas.DrawTextIn(face.caption, layout.caption.Offset(dx, dy), caption_flags);
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
  canvas.SetTextColor(previous_text);
  canvas.SetBkMode(previous_mode);
  canvas.SetFont(previous_font);

  if (face.drop_down_symbol != 0) {
    const Colour colour = face.enabled ? draw::TranslateColor(face.fore_color) : grey;
    DrawDropDownSymbol(canvas, layout.drop_down, std::to_string(face.drop_down_symbol).front(),
                       colour);
  }

  face.caption_rect = layout.caption;
  face.picture_rect = in.has_picture ? Rect{layout.picture.left, layout.picture.top,
                                            layout.picture.left + pic_w, layout.picture.top + pic_h}
                                     : Rect{};
  face.drop_down_rect = face.drop_down_symbol != 0 ? layout.drop_down : Rect{};
}

}  // namespace velquin::button
