#include "draw/property_bag.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace velquin::draw {
namespace {

TEST(PropertyBag, OmitsDefaultsKeepsOrderAndLowerCasesKeys) {
  PropertyBag bag;
  bag.Write("Scrolling", 2, 0);
  bag.Write("Max", 100, 100);  // default: not stored
  bag.Write("ShowText", true, false);
  bag.Write("Caption", "Start Scan", "");
  ASSERT_EQ(bag.Entries().size(), 3u);
  EXPECT_EQ(bag.Entries()[0].first, "scrolling");
  EXPECT_EQ(bag.Entries()[1].first, "showtext");
  EXPECT_EQ(bag.Entries()[2].first, "caption");

  EXPECT_EQ(bag.ReadInt("SCROLLING", 0), 2);
  EXPECT_EQ(bag.ReadInt("max", 100), 100);
  EXPECT_TRUE(bag.ReadBool("showText", false));

  // Writing the default again drops the stored value; rewriting keeps the key's place.
  bag.Write("scrolling", 0, 0);
  bag.Write("CAPTION", "Stop", "");
  ASSERT_EQ(bag.Entries().size(), 2u);
  EXPECT_EQ(bag.Entries()[1].first, "caption");
  EXPECT_EQ(bag.ReadText("Caption", {}), "Stop");
  EXPECT_FALSE(bag.Contains("Scrolling"));
}

TEST(PropertyBag, TypedReadersConvertBetweenNumbersBooleansAndColours) {
  PropertyBag bag;
  bag.Set("a", 1);
  bag.Set("b", true);
  bag.Set("c", PropertyValue::OfColour(0x8000000Du));
  bag.Set("d", "-5");
  bag.Set("e", "not a number");
  EXPECT_TRUE(bag.ReadBool("a", false));
  EXPECT_EQ(bag.ReadInt("b", 0), -1);
  EXPECT_EQ(bag.ReadInt("c", 0), 0x8000000D);
  EXPECT_EQ(bag.ReadColour("a", 7), 1u);
  EXPECT_EQ(bag.ReadInt("d", 0), -5);
  EXPECT_EQ(bag.ReadInt("e", 42), 42);
  EXPECT_EQ(bag.ReadFont("a", DefaultFont()), DefaultFont());
  EXPECT_TRUE(bag.ReadPicture("missing").IsEmpty());
}

TEST(PropertyBag, TextFormRoundTripsEveryKindOfValueExactly) {
  Image img(3, 2, ToPixel(Rgb(255, 0, 0)));
  img.SetPixelAt(1, 1, ToPixel(Rgb(1, 2, 3)));
  FontSpec font;
  font.face = "Tahoma";
  font.points = 8.25;
  font.weight = 700;
  font.italic = true;
  font.charset = 2;
  font.pixel_height = 14;

  PropertyBag bag;
  bag.Set("int", -1234567890123LL);
  bag.Set("yes", true);
  bag.Set("no", false);
  bag.Set("text", "a \"quoted\" \\ line\nnext\ttab \x01 \xC3\xA9 \xF0\x9F\x98\x80 = [x]");
  bag.Set("lone", "\xED\xA0\x80");  // a lone surrogate D800 (utf.h)
  bag.Set("empty", "");
  bag.Set("colour", PropertyValue::OfColour(0x0000FF00u));
  bag.Set("sys", PropertyValue::OfColour(0x8000000Fu));
  bag.Set("font", font);
  bag.Set("image", img);
  bag.Set("nothing", PropertyValue());

  std::string text = bag.ToText();
  EXPECT_NE(text.find("colour = &H0000FF00&\n"), std::string::npos) << text;
  EXPECT_NE(text.find("lone = \"\\u{d800}\"\n"), std::string::npos) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 11);  // newlines inside texts are escaped

  std::string error;
  auto back = PropertyBag::FromText(text, &error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(*back, bag);
  EXPECT_EQ(back->ReadText("text", {}), bag.ReadText("text", {}));
  EXPECT_EQ(back->ReadFont("font", {}), font);
  EXPECT_EQ(back->ReadPicture("image").ToImage(), img);
  EXPECT_EQ(back->ToText(), text);
}

TEST(PropertyBag, RejectsMalformedTextNamingTheLine) {
  const char* bad[] = {
      "x = 1\nnovalue\n",
      "x = \"unterminated\n",
      "x = &HZZ&\n",
      "x = Font(\"a\", 8, 400)\n",
      "x = 99999999999999999999\n",
      "x = bareword\n",
      "= 3\n",
      "x = Picture)\n",
      "x = Picture(!!)\n",
      "x = &H123456789&\n",
  };
  for (const char* text : bad) {
    std::string error;
    EXPECT_FALSE(PropertyBag::FromText(text, &error)) << text;
    EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
  }
}

TEST(PropertyBag, ReadsAnyBytes) {
  // Not UTF-8: each stray byte reads as U+FFFD; a byte-order mark and CR LF line ends are fine.
  auto bag = PropertyBag::FromText("\xEF\xBB\xBF" "a = \"x\xFFy\xED\xA0\x80\"\r\nb = 2\r\n");
  ASSERT_TRUE(bag);
  EXPECT_EQ(bag->ReadText("a", ""), "x\xEF\xBF\xBDy\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(bag->ReadInt("b", 0), 2);
  EXPECT_TRUE(PropertyBag::FromText(std::string_view("a = \"\0\"\n", 8)));
  EXPECT_FALSE(PropertyBag::FromText("a = \"\\u{110000}\"\n"));
  // Escapes of the two halves of a pair join into the character, as in UTF-16.
  EXPECT_EQ(PropertyBag::FromText("a = \"\\u{d83d}\\u{de00}\"")->ReadText("a", ""),
            "\xF0\x9F\x98\x80");
}

TEST(FormData, HoldsSeveralControlsAndSkipsComments) {
  auto form = FormData::FromText(
      "' main window controls\n"
      "[P2]\n"
      "scrolling = 2\n"
      "color = &H0000FF00&\n"
      "\n"
      "[o]\n"
      "Orientation = 1\n");
  ASSERT_TRUE(form);
  ASSERT_NE(form->Find("p2"), nullptr);
  EXPECT_EQ(form->Find("P2")->ReadInt("Scrolling", 0), 2);
  EXPECT_EQ(form->Find("o")->ReadInt("orientation", 0), 1);
  EXPECT_EQ(form->Find("S"), nullptr);
  auto again = FormData::FromText(form->ToText());
  ASSERT_TRUE(again);
  EXPECT_EQ(again->ToText(), form->ToText());

  std::string error;
  EXPECT_FALSE(FormData::FromText("scrolling = 2\n", &error));
  EXPECT_NE(error.find("line 1"), std::string::npos);
  // A header without a name is refused, also when its name is only blanks.
  for (const char* header : {"[]\n", "[\t]\n", "[  ]\nx = 1\n"}) {
    EXPECT_FALSE(FormData::FromText(header, &error)) << header;
    EXPECT_NE(error.find("bad control header"), std::string::npos) << header;
  }
}

}  // namespace
}  // namespace velquin::draw
