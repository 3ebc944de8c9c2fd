#include "controls/button/face_layout.h"

#include <gtest/gtest.h>

namespace velquin::button {
namespace {

// A 100 x 30 button with a 40 x 14 caption and a 16 x 16 picture.
CaptionLayoutInput Base() {
  CaptionLayoutInput in;
  in.width = 100;
  in.height = 30;
  in.text_width = 40;
  in.text_height = 14;
  in.picture_width = 16;
  in.picture_height = 16;
  in.has_picture = true;
  in.caption_empty = false;
  return in;
}

TEST(FaceLayout, MeasureAreaLeavesRoomForTheDropDown) {
  EXPECT_EQ(CaptionMeasureArea(100, 30, false, 2), (Rect{0, 0, 92, 30}));
  EXPECT_EQ(CaptionMeasureArea(100, 30, true, 1), (Rect{0, 0, 84, 30}));
  EXPECT_EQ(CaptionMeasureArea(100, 30, true, 3), (Rect{0, 0, 76, 30}));
}

struct PlacementCase {
  const char* name;
  int caption_align;
  int picture_align;
  bool drop_down;
  Rect caption;
  Rect picture;
};

TEST(FaceLayout, PlacesCaptionAndPictureByAlignment) {
  const PlacementCase cases[] = {
      // centred caption shifted right by half the picture, picture left of it
      {"left of caption", 1, 1, false, {38, 8, 78, 22}, {18, 7, 34, 23}},
      // a left caption is pushed right of a left-edge picture
      {"left edge", 0, 0, false, {20, 8, 62, 22}, {3, 7, 19, 23}},
      // background picture: centred whatever the caption, centred caption 16 further left
      {"background centred", 1, 4, false, {22, 8, 62, 22}, {42, 7, 58, 23}},
      {"background left", 0, 4, false, {2, 8, 42, 22}, {42, 7, 58, 23}},
      {"background dropdown", 1, 4, true, {14, 8, 54, 22}, {34, 7, 50, 23}},
      // right edge picture; with a drop-down 16 further left but never over the caption
      {"right edge", 1, 2, false, {26, 8, 66, 22}, {81, 7, 97, 23}},
      {"right edge dropdown", 1, 2, true, {18, 8, 58, 22}, {65, 7, 81, 23}},
      // a caption running into a right picture is cut back and widened leftwards
      {"right of caption", 2, 3, false, {36, 8, 80, 22}, {84, 7, 100, 23}},
      // pictures above and below move the caption by half their height
      {"top edge", 1, 5, false, {30, 16, 70, 30}, {42, 4, 58, 20}},
      {"top of caption", 1, 6, false, {30, 16, 70, 30}, {42, -2, 58, 14}},
      {"bottom edge dropdown", 1, 7, true, {22, 0, 62, 14}, {34, 10, 50, 26}},
      {"below caption", 1, 8, false, {30, 0, 70, 14}, {42, 16, 58, 32}},
      {"right caption dropdown", 2, 0, true, {40, 8, 80, 22}, {3, 7, 19, 23}},
  };
  for (const auto& c : cases) {
    CaptionLayoutInput in = Base();
    in.caption_align = c.caption_align;
    in.picture_align = c.picture_align;
    in.drop_down = c.drop_down;
    const CaptionLayout out = LayoutCaptionAndPicture(in);
    EXPECT_EQ(out.caption, c.caption)
        << c.name << ": caption " << out.caption.left << "," << out.caption.top << ","
        << out.caption.right << "," << out.caption.bottom;
    EXPECT_EQ(out.picture, c.picture)
        << c.name << ": picture " << out.picture.left << "," << out.picture.top << ","
        << out.picture.right << "," << out.picture.bottom;
  }
}

TEST(FaceLayout, EmptyCaptionCentresThePicture) {
  CaptionLayoutInput in = Base();
  in.caption_empty = true;
  in.text_width = 0;
  in.text_height = 0;
  in.picture_align = 0;
  EXPECT_EQ(LayoutCaptionAndPicture(in).picture, (Rect{42, 7, 58, 23}));
}

TEST(FaceLayout, DownShiftsContentAndSymbol) {
  CaptionLayoutInput in = Base();
  in.height = 23;  // symbol rows Nearest(4.5) = 4 to Nearest(19.5) = 20
  in.drop_down = true;
  const Rect symbol_at_rest{85, 4, 100, 20};
  EXPECT_EQ(LayoutCaptionAndPicture(in).drop_down, symbol_at_rest);

  in.down = true;
  const CaptionLayout still = LayoutCaptionAndPicture(in);
  EXPECT_EQ(still.drop_down, symbol_at_rest);

  in.shift_when_down = true;
  in.symbol_extra_shift = true;
  const CaptionLayout moved = LayoutCaptionAndPicture(in);
  Rect cap = still.caption;
  cap = cap.Offset(1, 1);
  EXPECT_EQ(moved.caption, cap);
  EXPECT_EQ(moved.drop_down, (Rect{87, 6, 102, 22}));
}

TEST(FaceLayout, SystemThemeKeepsCaptionInsideBorder) {
  CaptionLayoutInput in = Base();
  in.has_picture = false;
  in.picture_width = in.picture_height = 0;
  in.text_width = 120;
  in.text_height = 40;
  in.system_theme = true;
  EXPECT_EQ(LayoutCaptionAndPicture(in).caption, (Rect{4, 4, 96, 26}));
}

}  // namespace
}  // namespace velquin::button
