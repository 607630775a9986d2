#include "platform/mime_database.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace dirscribe {
namespace {

class MimeDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    folder_.write("mime.types",
                  "# comment line\n"
                  "application/pdf\t\t\tpdf\n"
                  "image/JPEG\tjpeg jpg jpe\n"
                  "text/plain\ttxt asc\n"
                  "text/x-other\ttxt\n");
    folder_.write("share/globs2",
                  "# generated\n"
                  "50:image/jpeg:*.jpg\n"
                  "50:application/x-tar:*.tar:cs\n"
                  "40:text/x-readme:README*\n");
    folder_.write("share/image/jpeg.xml",
                  "<?xml version=\"1.0\"?>\n<mime-type type=\"image/jpeg\">\n"
                  "  <comment>JPEG image &amp; photo</comment>\n"
                  "  <comment xml:lang=\"de\">JPEG-Bild</comment>\n</mime-type>\n");
    folder_.write("share/application/pdf.xml",
                  "<mime-type><comment>PDF document</comment></mime-type>");
  }
  temp_folder folder_;
};

TEST_F(MimeDatabase, ContentTypeOfAName) {
  mime_database db(folder_.at("mime.types"), folder_.at("share"));
  std::string type;
  EXPECT_TRUE(db.content_type("report.PDF", type));
  EXPECT_EQ(type, "application/pdf");
  EXPECT_TRUE(db.content_type("a.b.JPG", type));
  EXPECT_EQ(type, "image/jpeg");  // lower-cased
  EXPECT_TRUE(db.content_type("notes.txt", type));
  EXPECT_EQ(type, "text/plain");  // the first registration wins
  EXPECT_FALSE(db.content_type("README", type));
  EXPECT_TRUE(type.empty());
  EXPECT_FALSE(db.content_type("x.unknownext", type));
}

TEST_F(MimeDatabase, DescriptionIsTheUntranslatedComment) {
  mime_database db(folder_.at("mime.types"), folder_.at("share"));
  std::string text;
  EXPECT_TRUE(db.type_description(".JPG", text));
  EXPECT_EQ(text, "JPEG image & photo");
  EXPECT_TRUE(db.type_description(".pdf", text));  // through mime.types
  EXPECT_EQ(text, "PDF document");
  EXPECT_FALSE(db.type_description(".tar", text));  // registered, but no description file
  EXPECT_FALSE(db.type_description(".nothing", text));
  EXPECT_FALSE(db.type_description("", text));
}

TEST_F(MimeDatabase, MissingFilesFindNothing) {
  mime_database db(folder_.at("absent.types"), folder_.at("absent"));
  std::string out;
  EXPECT_FALSE(db.content_type("a.pdf", out));
  EXPECT_FALSE(db.type_description(".pdf", out));
}

TEST(MimeDatabaseSystem, KnowsCommonTypesWhenInstalled) {
  if (!std::filesystem::exists("/etc/mime.types")) GTEST_SKIP() << "media-types not installed";
  mime_database db;
  std::string type;
  EXPECT_TRUE(db.content_type("photo.png", type));
  EXPECT_EQ(type, "image/png");
}

}  // namespace
}  // namespace dirscribe
