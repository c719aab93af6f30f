#include "core/time_picture.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(FormatTimePicture, HostPictureSyntax) {
  struct Case {
    const char* picture;
    int h, m, s;
    const char* text;
  };
  const Case cases[] = {
      {"H:mm:ss", 5, 3, 9, "5:03:09"},
      {"HH:mm:ss", 5, 3, 9, "05:03:09"},
      {"H:m:s", 23, 59, 0, "23:59:0"},
      {"h:mm tt", 0, 0, 0, "12:00 午前"},
      {"hh:mm tt", 13, 5, 0, "01:05 午後"},
      {"t h", 12, 0, 0, "午 12"},
      {"'H'H", 7, 0, 0, "H7"},
      {"''H", 7, 0, 0, "'7"},
      {"'it''s' H", 7, 0, 0, "it's 7"},
      {"H時m分s秒", 1, 15, 30, "1時15分30秒"},
      {"'open", 1, 0, 0, "open"},
      {"", 1, 2, 3, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatTimePicture(c.picture, c.h, c.m, c.s, "午前", "午後"), c.text) << c.picture;
  }
  EXPECT_EQ(FormatTimePicture("h:mm tt", 9, 0, 0, "AM", "PM"), "9:00 AM");
  EXPECT_EQ(FormatTimePicture("H tt", 9, 0, 0, "", ""), "9 ");
}

}  // namespace
}  // namespace kestrova
