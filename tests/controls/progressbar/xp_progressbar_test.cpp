#include "controls/progressbar/xp_progressbar.h"

#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/form_data_fixture.h"

namespace velquin::progressbar {
namespace {

using draw::Rgb;

// Records what the control tells its container.
class RecordingHost : public XP_ProgressBar::Host {
 public:
  void PropertyChanged(std::string_view name) override { changed.emplace_back(name); }
  void Repaint() override { ++repaints; }
  std::vector<std::string> changed;
  int repaints = 0;
};

TEST(XP_ProgressBar, CreationSetsDefaultsMakesTheBufferAndAsksForOnePaint) {
  RecordingHost host;
  XP_ProgressBar bar(489, 17, &host);
  EXPECT_EQ(host.repaints, 1);
  EXPECT_TRUE(host.changed.empty());
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Percent(), 0);
  EXPECT_EQ(bar.Scrolling(), 0);
  EXPECT_EQ(bar.Orientation(), 0);
  EXPECT_EQ(bar.BrushStyle(), 0);
  EXPECT_FALSE(bar.ShowText());
  EXPECT_EQ(bar.Color(), Rgb(10, 36, 106));  // the pinned highlight colour
  EXPECT_EQ(bar.Font(), draw::DefaultFont());
  EXPECT_TRUE(bar.UsesBuffer());
  EXPECT_EQ(bar.Buffer().width(), 489);

  XP_ProgressBar empty(0, 0);
  EXPECT_FALSE(empty.UsesBuffer());
}

TEST(XP_ProgressBar, ValueConvertsToAWholePercentageAndBack) {
  struct Case {
    int max, write, percent, read;
  } cases[] = {
      {100, 37, 37, 37}, {10, 3, 30, 3}, {100, 150, 150, 150}, {100, -20, -20, -20},
      {8, 1, 12, 1},     // 12.5 -> 12 (even); 12 / 100 * 8 = 0.96 -> 1
      {200, 5, 2, 4},    // 2.5 -> 2; 2 / 100 * 200 = 4
      {200, 7, 4, 8},    // 3.5 -> 4
  };
  for (const auto& c : cases) {
    XP_ProgressBar bar(10, 10);
    bar.SetMax(c.max);
    ASSERT_EQ(bar.SetValue(c.write), ValueError::kNone);
    EXPECT_EQ(bar.Percent(), c.percent) << c.max << " " << c.write;
    EXPECT_EQ(bar.Value(), c.read) << c.max << " " << c.write;
  }
}

TEST(XP_ProgressBar, PaintCutsPercentTo100) {
  XP_ProgressBar bar(50, 20);
  ASSERT_EQ(bar.SetValue(150), ValueError::kNone);
  EXPECT_EQ(bar.Look().percent, 100);  // drawn cut
  draw::Canvas screen(50, 20);
  CanvasSurface surface(screen);
  bar.DrawProgressBar(surface);
  EXPECT_EQ(bar.Percent(), 100);
  EXPECT_EQ(bar.Value(), 100);
}

TEST(XP_ProgressBar, RefusedValueLeavesTheBarUnchanged) {
  RecordingHost host;
  XP_ProgressBar bar(50, 20, &host);
  ASSERT_EQ(bar.SetValue(40), ValueError::kNone);
  bar.SetMax(0);
  int repaints = host.repaints;
  EXPECT_EQ(bar.SetValue(3), ValueError::kDivisionByZero);
  bar.SetMax(100);
  EXPECT_EQ(bar.SetValue(std::numeric_limits<std::int32_t>::max() / 50), ValueError::kOverflow);
  EXPECT_EQ(bar.SetValue(std::numeric_limits<std::int32_t>::min() / 99), ValueError::kOverflow);
  EXPECT_EQ(bar.SetValue(std::numeric_limits<std::int32_t>::max() / 100), ValueError::kNone);
  EXPECT_EQ(host.repaints, repaints + 1);  // only the accepted write paints
  ASSERT_EQ(bar.SetValue(40), ValueError::kNone);
  EXPECT_EQ(bar.Percent(), 40);
  EXPECT_STREQ(ValueErrorMessage(ValueError::kDivisionByZero), "Division by zero");
}

TEST(XP_ProgressBar, MinOffsetsTheRangeSoThatAWrittenValueReadsBack) {
  XP_ProgressBar bar(10, 10);
  bar.SetMin(10);
  bar.SetMax(110);
  ASSERT_EQ(bar.SetValue(60), ValueError::kNone);
  EXPECT_EQ(bar.Percent(), 50);
  EXPECT_EQ(bar.Value(), 60);
  ASSERT_EQ(bar.SetValue(10), ValueError::kNone);
  EXPECT_EQ(bar.Percent(), 0);
  bar.SetMax(10);
  EXPECT_EQ(bar.SetValue(10), ValueError::kDivisionByZero);
}

TEST(XP_ProgressBar, EachPropertyNotifiesAndRepaintsAsDefined) {
  struct Case {
    const char* name;
    void (*set)(XP_ProgressBar&);
    const char* notifies;  // nullptr: none
    bool repaints;
  } cases[] = {
      {"BrushStyle", [](XP_ProgressBar& b) { b.SetBrushStyle(3); }, "BrushStyle", false},
      {"Color", [](XP_ProgressBar& b) { b.SetColor(0xFF); }, nullptr, true},
      {"Font", [](XP_ProgressBar& b) { b.SetFont(draw::FontSpec{}); }, nullptr, false},
      {"Image", [](XP_ProgressBar& b) { b.SetImage(draw::Image(2, 2)); }, "Image", true},
      {"Min", [](XP_ProgressBar& b) { b.SetMin(1); }, "Min", false},
      {"Max", [](XP_ProgressBar& b) { b.SetMax(5); }, "Max", false},
      {"Orientation", [](XP_ProgressBar& b) { b.SetOrientation(1); }, "Orientation", true},
      {"Scrolling", [](XP_ProgressBar& b) { b.SetScrolling(7); }, "Scrolling", true},
      {"ShowText", [](XP_ProgressBar& b) { b.SetShowText(true); }, "ShowText", true},
      {"Value", [](XP_ProgressBar& b) { (void)b.SetValue(5); }, nullptr, true},
  };
  for (const auto& c : cases) {
    RecordingHost host;
    XP_ProgressBar bar(20, 10, &host);
    host.repaints = 0;
    c.set(bar);
    SCOPED_TRACE(c.name);
    if (c.notifies) {
      ASSERT_EQ(host.changed.size(), 1u);
      EXPECT_EQ(host.changed[0], c.notifies);
    } else {
      EXPECT_TRUE(host.changed.empty());
    }
    EXPECT_EQ(host.repaints, c.repaints ? 1 : 0);
  }
}

TEST(XP_ProgressBar, ColorIsStoredResolved) {
  XP_ProgressBar bar(10, 10);
  bar.SetColor(draw::SystemColourRef(draw::kColourButtonFace));
  EXPECT_EQ(bar.Color(), Rgb(212, 208, 200));
}

TEST(XP_ProgressBar, ResizeKeepsALargerBufferAndGrowsItWhenNeeded) {
  XP_ProgressBar bar(100, 20);
  bar.Resize(50, 10);
  EXPECT_EQ(bar.Buffer().width(), 100);
  EXPECT_EQ(bar.Buffer().creations(), 1);
  EXPECT_TRUE(bar.UsesBuffer());
  bar.Resize(120, 10);
  EXPECT_EQ(bar.Buffer().width(), 120);
  EXPECT_EQ(bar.Buffer().creations(), 2);
  bar.Terminate();
  EXPECT_FALSE(bar.Buffer().exists());
}

TEST(XP_ProgressBar, WithoutABufferDrawsStraightOntoItsOwnSurface) {
  XP_ProgressBar bar(0, 0);
  bar.Resize(0, 0);
  ASSERT_FALSE(bar.UsesBuffer());
  // A 0 x 0 control's own surface clips everything away; once it has a size the buffer exists
  // and the picture arrives by copy.
  draw::Canvas own(30, 12, 0x123456);
  CanvasSurface surface(own);
  bar.DrawProgressBar(surface);
  EXPECT_EQ(own.GetPixel(5, 5), 0x123456u);
  bar.Resize(30, 12);
  bar.DrawProgressBar(surface);
  EXPECT_EQ(own.GetPixel(0, 0), 0xFFFFFFu);   // frame corner
  EXPECT_EQ(own.GetPixel(1, 1), 0x777777u);
}

TEST(XP_ProgressBar, PersistenceOmitsDefaultsAndStoresTheResolvedColour) {
  XP_ProgressBar fresh(10, 10);
  draw::PropertyBag bag;
  fresh.WriteProperties(bag);
  // A fresh control has BrushStyle 0, which differs from the stored default 4; its colour is
  // the resolved highlight, never the system reference.
  ASSERT_EQ(bag.Entries().size(), 3u);
  EXPECT_EQ(bag.Entries()[0].first, "font");
  EXPECT_EQ(bag.Entries()[1].first, "brushstyle");
  EXPECT_EQ(bag.Entries()[2].first, "color");
  EXPECT_EQ(bag.ReadColour("Color", 0), Rgb(10, 36, 106));

  // The main window's busy bar.
  XP_ProgressBar p2(489, 17);
  p2.SetScrolling(2);
  p2.SetColor(0x00FF00);
  p2.SetShowText(true);
  p2.SetImage(draw::Image(3, 3));
  ASSERT_EQ(p2.SetValue(45), ValueError::kNone);
  draw::PropertyBag stored;
  p2.WriteProperties(stored);
  auto text = stored.ToText();
  auto parsed = draw::PropertyBag::FromText(text);
  ASSERT_TRUE(parsed);

  RecordingHost host;
  XP_ProgressBar loaded(489, 17, &host);
  loaded.ReadProperties(*parsed);
  EXPECT_EQ(loaded.Scrolling(), 2);
  EXPECT_EQ(loaded.Color(), 0x00FF00u);
  EXPECT_TRUE(loaded.ShowText());
  EXPECT_EQ(loaded.Percent(), 45);
  EXPECT_EQ(loaded.BrushStyle(), 0);
  EXPECT_EQ(loaded.Image().Width(), 3);
  EXPECT_EQ(loaded.Image().Height(), 3);
  EXPECT_EQ(loaded.Font(), draw::DefaultFont());
  draw::PropertyBag again;
  loaded.WriteProperties(again);
  EXPECT_EQ(again.ToText(), text);

  // Missing keys read as the defaults: BrushStyle 4, the highlight colour.
  XP_ProgressBar blank(10, 10);
  blank.SetColor(0xFF);
  blank.ReadProperties(draw::PropertyBag{});
  EXPECT_EQ(blank.BrushStyle(), 4);
  EXPECT_EQ(blank.Color(), Rgb(10, 36, 106));
}

// Form data written before the bag left its toolkit (tests/draw/data): a bar loaded from it
// writes it back unchanged, its picture's PNG bytes included.
TEST(XP_ProgressBar, StoredSettingsWriteBackAsTheyWereRead) {
  auto form = draw::FormData::FromText(velquin::testing::FormDataFixture("controls.txt"));
  ASSERT_TRUE(form);
  for (const char* name : {"P2", "o"}) {
    SCOPED_TRACE(name);
    const draw::PropertyBag& stored = *form->Find(name);
    XP_ProgressBar bar(489, 17);
    bar.ReadProperties(stored);
    draw::PropertyBag written;
    bar.WriteProperties(written);
    EXPECT_EQ(written.ToText(), stored.ToText());
  }
  XP_ProgressBar p2(489, 17);
  p2.ReadProperties(*form->Find("P2"));
  EXPECT_EQ(p2.Image().Width(), 8);
}

TEST(XP_ProgressBar, StoredValueIsRestoredAsThePercentageWhateverMax) {
  XP_ProgressBar o(9, 41);
  o.SetMax(10);
  ASSERT_EQ(o.SetValue(3), ValueError::kNone);
  draw::PropertyBag bag;
  o.WriteProperties(bag);
  EXPECT_EQ(bag.ReadInt("Value", 0), 30);
  XP_ProgressBar loaded(9, 41);
  loaded.ReadProperties(bag);
  EXPECT_EQ(loaded.Percent(), 30);
  EXPECT_EQ(loaded.Value(), 3);
}

}  // namespace
}  // namespace velquin::progressbar
