#include "listing/picture_scaler.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "listing/sample_pictures.h"
#include "support/temp_folder.h"

namespace dirscribe {
namespace {

class PictureScaler : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(start_picture_library()); }

  // The thumbnail of the file `bytes`, read through a descriptor as the
  // writer reads pictures.
  outcome thumbnail_of(const std::string& bytes, std::string& webp) {
    folder_.write("picture", bytes);
    const int descriptor = ::open(folder_.at("picture").c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(descriptor, 0);
    outcome made = make_thumbnail(descriptor, limits_, webp);
    ::close(descriptor);
    return made;
  }

  temp_folder folder_;
  thumbnail_limits limits_;
};

TEST_F(PictureScaler, EveryListedFormatShrinksToFitWithoutEnlarging) {
  const struct {
    int width, height;
    const char* suffix;
    int orientation;
    int expected_width, expected_height;
  } cases[] = {
      {4000, 3000, ".jpg", 1, 640, 480},  // a camera's photograph
      {900, 1600, ".png", 1, 360, 640},   // portrait: the height is the longest side
      {1280, 720, ".webp", 1, 640, 360},
      {700, 700, ".gif", 1, 640, 640},
      {2000, 500, ".tif", 1, 640, 160},
      {300, 200, ".jpg", 1, 300, 200},  // small already: never enlarged
      {800, 400, ".jpg", 6, 320, 640},  // EXIF says turn it: the thumbnail stands upright
      {800, 400, ".jpg", 3, 640, 320},  // upside down: turned, same shape
  };
  for (const auto& c : cases) {
    const std::string label = std::string(c.suffix) + " " + std::to_string(c.width) + "x" +
                              std::to_string(c.height) + " o" + std::to_string(c.orientation);
    const std::string bytes = sample_picture(c.width, c.height, c.suffix, c.orientation);
    ASSERT_FALSE(bytes.empty()) << label;
    std::string webp;
    const outcome made = thumbnail_of(bytes, webp);
    ASSERT_TRUE(made.ok()) << label << ": " << made.message();
    int width = 0, height = 0;
    std::string loader;
    ASSERT_TRUE(picture_size(webp, width, height, loader)) << label;
    EXPECT_EQ(width, c.expected_width) << label;
    EXPECT_EQ(height, c.expected_height) << label;
    EXPECT_NE(loader.find("Webp"), std::string::npos) << label << " " << loader;
  }
}

TEST_F(PictureScaler, BrokenAndHostileFilesGetNoThumbnailAndSayWhy) {
  const std::string photo = sample_picture(1600, 1200, ".jpg");
  ASSERT_GT(photo.size(), 10000u);
  const struct {
    const char* label;
    std::string bytes;
    const char* reason;  // the start of the message
  } cases[] = {
      {"JPEG cut short", photo.substr(0, photo.size() / 2), "damaged or cut short"},
      {"PNG bomb", png_claiming(30000, 30000),
       "30000 x 30000 pixels, more than a thumbnail is made of"},
      {"text named .jpg", "Dear diary,\n", "not a JPEG, PNG, WebP, GIF, TIFF or HEIC picture"},
      {"empty file", "", "not a JPEG, PNG, WebP, GIF, TIFF or HEIC picture"},
      {"SVG, which the library could draw",
       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\"/>",
       "not a JPEG, PNG, WebP, GIF, TIFF or HEIC picture"},
      {"PPM, a format no listing shows as a picture", "P6\n2 2\n255\n" + std::string(12, 'x'),
       "not a JPEG, PNG, WebP, GIF, TIFF or HEIC picture"},
      {"only a PNG signature", std::string("\x89PNG\r\n\x1a\n", 8), "damaged or cut short"},
  };
  for (const auto& c : cases) {
    std::string webp = "left over";
    const outcome made = thumbnail_of(c.bytes, webp);
    EXPECT_TRUE(made.is(result_picture_unreadable)) << c.label;
    EXPECT_TRUE(made.message().starts_with(c.reason)) << c.label << ": " << made.message();
    EXPECT_EQ(webp, "") << c.label;
  }
}

TEST_F(PictureScaler, APictureOverThePixelLimitIsRefusedFromItsHeader) {
  // Within the limit a picture is made; one pixel row beyond it is refused.
  limits_.max_pixels = 1000 * 1000;
  std::string webp;
  EXPECT_TRUE(thumbnail_of(sample_picture(1000, 1000, ".png"), webp).ok());
  const outcome refused = thumbnail_of(sample_picture(1000, 1001, ".png"), webp);
  EXPECT_EQ(refused.message(), "1000 x 1001 pixels, more than a thumbnail is made of");
}

TEST(PictureExtensions, OnlyTheListedFormats) {
  for (const char* yes :
       {"jpg", "jpeg", "jpe", "png", "webp", "gif", "tif", "tiff", "heic", "heif"}) {
    EXPECT_TRUE(is_picture_extension(yes)) << yes;
  }
  for (const char* no : {"", "svg", "pdf", "bmp", "ppm", "JPG", "jpgx", "txt"}) {
    EXPECT_FALSE(is_picture_extension(no)) << no;
  }
}

}  // namespace
}  // namespace dirscribe
