#include "draw/property_bag.h"

#include <gtest/gtest.h>

namespace velquin::draw {
namespace {

TEST(PropertyBag, OmitsDefaultsKeepsOrderAndLowerCasesKeys) {
  PropertyBag bag;
  bag.Write("Scrolling", 2, 0);
  bag.Write("Max", 100, 100);  // default: not stored
  bag.Write("ShowText", true, false);
  bag.Write("Caption", QString("Start Scan"), QString());
  ASSERT_EQ(bag.Entries().size(), 3u);
  EXPECT_EQ(bag.Entries()[0].first, "scrolling");
  EXPECT_EQ(bag.Entries()[1].first, "showtext");
  EXPECT_EQ(bag.Entries()[2].first, "caption");

  EXPECT_EQ(bag.ReadInt("SCROLLING", 0), 2);
  EXPECT_EQ(bag.ReadInt("max", 100), 100);
  EXPECT_TRUE(bag.ReadBool("showText", false));

  // Writing the default again drops the stored value; rewriting keeps the key's place.
  bag.Write("scrolling", 0, 0);
  bag.Write("CAPTION", QString("Stop"), QString());
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
  bag.Set("d", QString("-5"));
  bag.Set("e", QString("not a number"));
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
  QImage img(3, 2, QImage::Format_RGB32);
  img.fill(Qt::red);
  img.setPixel(1, 1, qRgb(1, 2, 3));
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
  bag.Set("text", QString::fromUtf8("a \"quoted\" \\ line\nnext\ttab \x01 \xC3\xA9 \xF0\x9F\x98\x80 = [x]"));
  bag.Set("lone", QString(QChar(0xD800)));
  bag.Set("empty", QString());
  bag.Set("colour", PropertyValue::OfColour(0x0000FF00u));
  bag.Set("sys", PropertyValue::OfColour(0x8000000Fu));
  bag.Set("font", font);
  bag.Set("image", img);
  bag.Set("nothing", PropertyValue());

  QString text = bag.ToText();
  EXPECT_TRUE(text.contains("colour = &H0000FF00&\n")) << text.toStdString();
  EXPECT_EQ(text.count('\n'), 11);  // one line per entry: newlines inside texts are escaped

  QString error;
  auto back = PropertyBag::FromText(text, &error);
  ASSERT_TRUE(back) << error.toStdString();
  EXPECT_EQ(*back, bag);
  EXPECT_EQ(back->ReadText("text", {}), bag.ReadText("text", {}));
  EXPECT_EQ(back->ReadFont("font", {}), font);
  EXPECT_EQ(back->ReadPicture("image").ToImage().pixel(1, 1), qRgb(1, 2, 3));
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
  };
  for (const char* text : bad) {
    QString error;
    EXPECT_FALSE(PropertyBag::FromText(text, &error)) << text;
    EXPECT_TRUE(error.startsWith("line ")) << error.toStdString();
  }
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

  QString error;
  EXPECT_FALSE(FormData::FromText("scrolling = 2\n", &error));
  EXPECT_TRUE(error.contains("line 1"));
}

}  // namespace
}  // namespace velquin::draw
