// The files in data/ were written by the form-data writer as it stood when texts were UTF-16
// strings and pictures went through the toolkit's PNG encoder: every kind of value, awkward texts,
// pictures in several pixel formats, and the bags of both controls and of the main window. They
// must keep reading back and writing byte for byte.
#include <string>

#include <gtest/gtest.h>

#include "draw/property_bag.h"
#include "support/form_data_fixture.h"

namespace velquin::draw {
namespace {

using velquin::testing::FormDataFixture;

TEST(FormDataFixtures, ReadBackAndWriteByteForByte) {
  for (const char* name : {"every-kind.txt", "controls.txt", "form1.txt"}) {
    SCOPED_TRACE(name);
    const std::string text = FormDataFixture(name);
    ASSERT_FALSE(text.empty());
    std::string error;
    auto form = FormData::FromText(text, &error);
    ASSERT_TRUE(form) << error;
    EXPECT_EQ(form->ToText(), text);
  }
}

TEST(FormDataFixtures, KeepEveryValue) {
  auto form = FormData::FromText(FormDataFixture("every-kind.txt"));
  ASSERT_TRUE(form);
  const PropertyBag& numbers = *form->Find("numbers");
  EXPECT_EQ(numbers.ReadInt("int64min", 0), INT64_MIN);
  EXPECT_EQ(numbers.ReadInt("minus", 0), -1);
  EXPECT_EQ(form->Find("Colours")->ReadColour("all", 0), 0xFFFFFFFFu);

  const FontSpec odd = form->Find("Fonts")->ReadFont("odd_face", {});
  EXPECT_EQ(odd.face, "\xC3\x9Cn \"quoted\" \\ face \xE2\x80\x94");
  EXPECT_EQ(odd.points, 0.1);
  EXPECT_EQ(odd.charset, 255);
  EXPECT_EQ(form->Find("Fonts")->ReadFont("third", {}).points, 1.0 / 3.0);

  const PropertyBag& texts = *form->Find("Texts");
  EXPECT_EQ(texts.ReadText("nul", ""), std::string("a\0b", 3));
  EXPECT_EQ(texts.ReadText("lone_high", ""), "x\xED\xA0\x80y");
  EXPECT_EQ(texts.ReadText("reversed_pair", ""), "\xED\xB8\x80\xED\xA0\xBD");
  EXPECT_EQ(texts.ReadText("emoji", ""), "\xF0\x9F\x98\x80 \xF0\x9F\x9B\xA1");
  EXPECT_EQ(texts.ReadText("escapes", ""), "a \"quoted\" \\ line\nnext\r\ttab");
  EXPECT_EQ(texts.ReadText("spaces", ""), "  both ends  ");

  struct Expected {
    const char* key;
    int width, height;
    bool alpha;
  } pictures[] = {{"rgb", 3, 2, false},   {"alpha", 5, 4, true}, {"grey", 6, 3, false},
                  {"indexed", 4, 4, false}, {"mono", 9, 2, false}, {"one", 1, 1, false},
                  {"disc", 24, 24, true}};
  const PropertyBag& bag = *form->Find("Pictures");
  for (const auto& p : pictures) {
    SCOPED_TRACE(p.key);
    const Image image = bag.ReadPicture(p.key).ToImage();
    EXPECT_EQ(image.Width(), p.width);
    EXPECT_EQ(image.Height(), p.height);
    EXPECT_EQ(image.HasAlpha(), p.alpha);
  }
  const Image rgb = bag.ReadPicture("rgb").ToImage();
  EXPECT_EQ(rgb.PixelAt(1, 1), 0xFF010203u);
  EXPECT_EQ(rgb.PixelAt(0, 0), 0xFFFF0000u);
  EXPECT_TRUE(bag.ReadPicture("nothing").IsEmpty());
  EXPECT_TRUE(form->Find("A NAME WITH SPACES & \xC3\xBC") != nullptr);
}

}  // namespace
}  // namespace velquin::draw
