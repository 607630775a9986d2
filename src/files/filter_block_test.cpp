#include <gtest/gtest.h>

#include <string>

#include "files/file_filter.h"
#include "markup/document_reader.h"
#include "markup/xml_node.h"

namespace dirscribe {
namespace {

// Reads `block` (the lines between <filter> and </filter>) into `filter`.
void read_block(const std::string& block, file_filter_data& filter) {
  xml_tree document;
  const outcome read =
      parse_text("<filter>\r\n" + block + "</filter>\r\n", document, document_options{});
  ASSERT_TRUE(read.ok()) << read.message();
  const xml_node* element = xml_find(document, "/filter");
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(filter.read(document, element), 0);
}

TEST(FilterBlockTest, WritesKeysInOrderWithSignedNumbers) {
  file_filter_data filter;
  filter.str_files_skip = "index.html";
  filter.size_end = 4294967295u;
  filter.size_high_end = 2147483647;
  filter.attrs = 0x80000000u;
  filter.time_end = -5;
  std::string block;
  filter.write(block);
  EXPECT_EQ(block,
            "<str_files_include>*</str_files_include>\r\n"
            "<str_files_skip>index.html</str_files_skip>\r\n"
            "<str_folder_include>*</str_folder_include>\r\n"
            "<str_folder_skip></str_folder_skip>\r\n"
            "<time_filter>0</time_filter>\r\n"
            "<time_start>0</time_start>\r\n"
            "<time_end>-5</time_end>\r\n"
            "<last_how_many>1</last_how_many>\r\n"
            "<last_type>1</last_type>\r\n"
            "<size_filter>0</size_filter>\r\n"
            "<size_start>0</size_start>\r\n"
            "<size_end>-1</size_end>\r\n"
            "<size_high_start>0</size_high_start>\r\n"
            "<size_high_end>2147483647</size_high_end>\r\n"
            "<att_filter>0</att_filter>\r\n"
            "<attrs>-2147483648</attrs>\r\n");
}

TEST(FilterBlockTest, RoundTripsEveryField) {
  file_filter_data written;
  written.str_files_include = "*.htm; a&b<c>\"d\"; \xe9t\xc3\xa9";
  written.str_files_skip = "&amp;";
  written.str_folder_include = "x*";
  written.str_folder_skip = "tmp";
  written.time_filter = time_between;
  written.time_start = -2147483648LL;
  written.time_end = 4102444800LL;  // past 2038
  written.last_how_many = 7;
  written.last_type = unit_hour;
  written.size_filter = size_between;
  written.size_start = 2147483648u;
  written.size_end = 4294967295u;
  written.size_high_start = 1;
  written.size_high_end = -1;
  written.att_filter = 7;
  written.attrs = 0x1000 | 0x2;
  std::string block;
  written.write(block);

  file_filter_data read;
  read_block(block, read);
  EXPECT_EQ(read.str_files_include, written.str_files_include);
  EXPECT_EQ(read.str_files_skip, written.str_files_skip);
  EXPECT_EQ(read.str_folder_include, written.str_folder_include);
  EXPECT_EQ(read.str_folder_skip, written.str_folder_skip);
  EXPECT_EQ(read.time_filter, written.time_filter);
  EXPECT_EQ(read.time_start, written.time_start);
  EXPECT_EQ(read.time_end, written.time_end);
  EXPECT_EQ(read.last_how_many, written.last_how_many);
  EXPECT_EQ(read.last_type, written.last_type);
  EXPECT_EQ(read.size_filter, written.size_filter);
  EXPECT_EQ(read.size_start, written.size_start);
  EXPECT_EQ(read.size_end, 4294967295u);
  EXPECT_EQ(read.size_high_start, written.size_high_start);
  EXPECT_EQ(read.size_high_end, -1);
  EXPECT_EQ(read.att_filter, written.att_filter);
  EXPECT_EQ(read.attrs, written.attrs);
  std::string again;
  read.write(again);
  EXPECT_EQ(again, block);
}

TEST(FilterBlockTest, MissingKeysKeepValuesAndMasksAreCompiled) {
  file_filter_data filter;
  filter.last_how_many = 9;
  filter.size_start = 5;
  read_block(
      "<str_files_include> *.txt ;*.md </str_files_include>\r\n"
      "<str_folder_include></str_folder_include>\r\n"
      "<time_filter>  12abc</time_filter>\r\n"
      "<last_type>abc</last_type>\r\n"
      "<size_end>4294967295</size_end>\r\n"
      "<size_high_end>-</size_high_end>\r\n",
      filter);
  EXPECT_EQ(filter.str_files_include, "*.txt ;*.md") << "trimmed by the compile";
  EXPECT_EQ(filter.str_folder_include, "");
  EXPECT_EQ(filter.time_filter, 12);
  EXPECT_EQ(filter.last_type, 0);
  EXPECT_EQ(filter.size_end, 4294967295u) << "overflow wraps in 32 bits";
  EXPECT_EQ(filter.size_high_end, 0);
  EXPECT_EQ(filter.last_how_many, 9) << "missing key keeps its value";
  EXPECT_EQ(filter.size_start, 5u);
  file_node file;
  file.name = "notes.MD";
  EXPECT_TRUE(filter.keeps(file));
  file.name = "notes.c";
  EXPECT_FALSE(filter.keeps(file));
  file.is_folder = true;
  EXPECT_FALSE(filter.keeps(file)) << "an empty folders-include list drops every folder";
}

}  // namespace
}  // namespace dirscribe
