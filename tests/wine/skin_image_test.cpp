// Images of the skin from the executable's resources.
#include "skin/win32/skin_image_win32.h"

#include <gtest/gtest.h>

#include "tests/wine/skin_test_dialog.h"

namespace {

// Design sizes of every image are checked in the PNG headers (skin_resources_test.cpp).
TEST(LoadSkinImage, ScaledSizesTruncateAndOnlyTheIdsLowSixteenBitsCount) {
  struct Row {
    UINT id;
    double scale;
    int width, height;
  } rows[] = {
      {136, 0.5, 24, 21},
      {kOpaque, 0.25, 10, 5},
      {0x7A5B0000u | 136u, 1.0, 48, 43},
  };
  for (const Row& r : rows) {
    auto image = LoadSkinImage(r.id, L"IMG", nullptr, r.scale);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), r.width) << r.id << " at " << r.scale;
    EXPECT_EQ(image->Height(), r.height) << r.id << " at " << r.scale;
  }
}

TEST(LoadSkinImage, ScaledCopyKeepsPixelFormatAndAlpha) {
  auto original = LoadSkinImage(kHalf, L"IMG", nullptr, 1.0);
  auto copy = LoadSkinImage(kHalf, L"IMG", nullptr, 0.5);
  ASSERT_TRUE(original->Get() && copy->Get());
  EXPECT_EQ(copy->Get()->GetPixelFormat(), original->Get()->GetPixelFormat());
  EXPECT_EQ(copy->Get()->GetPixelFormat(), PixelFormat32bppARGB);
  Gdiplus::Color colour;
  static_cast<Gdiplus::Bitmap*>(copy->Get())->GetPixel(10, 5, &colour);
  EXPECT_NEAR(colour.GetA(), 128, 2);
  EXPECT_NEAR(colour.GetR(), 200, 2);
}

TEST(LoadSkinImage, WhatIsNoImageGivesAnEmptyOne) {
  struct Row {
    const char* what;
    UINT id;
    double scale;
  } rows[] = {
      {"missing id", 4242, 1.0},
      {"undecodable bytes", kBroken, 1.0},
      {"undecodable bytes, scaled", kBroken, 0.5},
      {"another type only", kOtherType, 1.0},
  };
  for (const Row& r : rows) {
    auto image = LoadSkinImage(r.id, L"IMG", nullptr, r.scale);
    ASSERT_NE(image, nullptr) << r.what;
    EXPECT_EQ(image->Get(), nullptr) << r.what;
    EXPECT_EQ(image->Width(), 0) << r.what;
    EXPECT_EQ(image->Height(), 0) << r.what;
  }
}

TEST(LoadSkinImage, TwoLoadsAreIndependent) {
  auto first = LoadSkinImage(kOpaque, L"IMG", nullptr, 1.0);
  auto second = LoadSkinImage(kOpaque, L"IMG", nullptr, 1.0);
  ASSERT_NE(first->Get(), second->Get());
  first.reset();
  // The survivor still decodes from its own stream.
  Gdiplus::Bitmap target(40, 20, PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(&target);
  second->Draw(graphics, Gdiplus::RectF(0, 0, 40, 20));
  Gdiplus::Color colour;
  target.GetPixel(20, 10, &colour);
  EXPECT_EQ(colour.GetValue(), 0xFFC86432u);
}

}  // namespace
