#include "template/template_values.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>

#include "engine/html_list_project.h"
#include "engine/listing_run.h"
#include "engine/project_context.h"
#include "engine/thumbnail_source.h"
#include "files/file_format.h"
#include "files/file_node.h"
#include "markup/document_reader.h"
#include "platform/clock.h"
#include "services/phrase_table.h"
#include "support/temp_folder.h"
#include "support/test_phrases.h"
#include "template/loop_frame.h"

namespace dirscribe {
namespace {

// Phrases, number format and a project as a run sets them up, with the real
// English language file.
class TemplateValues : public testing::Test {
 protected:
  void SetUp() override {
    const outcome loaded = load_english_phrases(phrases_);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    collection_.language = &phrases_;
    collection_.numbers = number_format();
    collection_.numbers.thousands_separator = ",";
    process_.folder = "/data/music";
    process_.relative_path = "music";
    process_.relative_url = "music/";
    process_.absolute_url = "file:///data/music/";
  }

  tagged_value value(int row) {
    template_value_context context{entry_, run_, process_, &formats_, &error_};
    tagged_value result;
    last_code_ = template_value(row, context, result);
    return result;
  }
  std::string text(int row) {
    tagged_value v = value(row);
    EXPECT_TRUE(v.is_string()) << "row " << row;
    return v.to_text();
  }
  std::string phrase(int id) const { return std::string(phrases_.text(id)); }

  phrase_table phrases_;
  project_context collection_;
  html_list_project project_;
  listing_run run_{project_.settings, collection_};  // as a build makes it
  loop_frame process_;
  file_node entry_;
  date_time_formats formats_;
  std::string error_;
  int last_code_ = -1;
};

TEST_F(TemplateValues, LoopRowsHaveNoValueAndEveryValueRowHasOne) {
  for (int row = 0; row < template_variable_count; ++row) {
    tagged_value ignored;
    template_value_context context{entry_, run_, process_, &formats_, &error_};
    const bool has_value = template_variable_row(row)->value != nullptr;
    EXPECT_EQ(has_value, row >= 3) << "row " << row;
    if (row < 3) {
      EXPECT_EQ(template_value(row, context, ignored), 1) << "row " << row;
    }
  }
}

TEST_F(TemplateValues, KindsAndValuesOfCountsAndSettings) {
  run_.listing_row_total = 12;
  run_.listing_file_total = 9;
  run_.listing_folder_total = 3;
  run_.listing_total_size = 1234567;
  run_.local_image_url = "file:///opt/images/";
  run_.image_dir = "http://x/img/";  // as a build prepares them
  run_.page_image_dir = run_.image_dir;
  run_.folder = "/data";
  run_.source_url = "file:///data/";
  project_.settings.recursion_depth = 4;
  project_.settings.show_folders = 3;
  project_.settings.order_files = 2;
  project_.settings.sort_order = true;
  project_.settings.ftp_host = "ftp.example.org";
  process_.row_index = 5;
  process_.odd_row = true;
  process_.file_count = 7;
  process_.folder_count = 2;
  process_.total_size = 2048;
  process_.depth_left = 1;
  process_.descends = true;
  entry_.is_folder = true;
  struct {
    int row;
    tagged_value expected;
  } cases[] = {
      {3, tagged_value(int32_t{5})},
      {4, tagged_value(int32_t{12})},
      {5, tagged_value(true)},
      {6, tagged_value(int32_t{9})},
      {7, tagged_value(int32_t{3})},
      {8, tagged_value("1,234,567")},
      {9, tagged_value(int32_t{7})},
      {10, tagged_value(int32_t{2})},
      {11, tagged_value("2,048")},
      {12, tagged_value(int32_t{0})},
      {13, tagged_value(int32_t{0})},
      {14, tagged_value(int32_t{0})},
      {15, tagged_value(true)},
      {16, tagged_value(false)},
      {17, tagged_value(false)},
      {18, tagged_value(true)},
      {19, tagged_value(true)},
      {40, tagged_value("")},
      {41, tagged_value("")},
      {47, tagged_value("/data")},
      {48, tagged_value("file:///data/")},
      {49, tagged_value(int32_t{4})},
      {50, tagged_value("file:///opt/images/")},
      {51, tagged_value(int32_t{2})},
      {52, tagged_value(int32_t{1})},
      {53, tagged_value(true)},
      {54, tagged_value(int32_t{2})},
      {55, tagged_value(true)},
      {56, tagged_value("ftp.example.org")},
      {58, tagged_value(int32_t{3})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(value(c.row), c.expected) << "row " << c.row << " gave " << value(c.row).to_text();
    EXPECT_EQ(last_code_, 0) << "row " << c.row;
  }
  project_.settings.local_image_dir = false;
  project_.settings.show_folders = 1;
  EXPECT_EQ(text(50), "http://x/img/");
  EXPECT_EQ(value(51), tagged_value(int32_t{0}));
  EXPECT_EQ(value(52), tagged_value(int32_t{1}));
}

// What a published page may name: the page file, the listing's title and the
// folder below the listed one; never a path of the machine that wrote it.
TEST_F(TemplateValues, PageNameTitleAndFolderBelowTheListedOne) {
  const int page_name = 59, listing_title = 60, rel_folder = 61;
  const struct {
    const char* save;
    const char* key_title;
    const char* listed;
    const char* folder;
    const char* page;
    const char* title;
    const char* below;
  } cases[] = {
      {"index.html", "", "/home/me/www", "/home/me/www", "index.html", "www", ""},
      {"page.html", "", "/home/me/www/", "/home/me/www/a/b c", "page.html", "www", "a/b c"},
      {"../out/list.html", "Downloads", "/srv/x", "/srv/x/a", "list.html", "Downloads", "a"},
      {"-", "", "/srv/x", "/srv/xy/a", "-", "x", ""},
      {"index.html", "<Mine>", "/", "/etc/ssl", "index.html", "<Mine>", "etc/ssl"},
      {"index.html", "", "/", "/etc", "index.html", "/", "etc"},
      {"index.html", "", "relative/dir", "relative/dir/sub", "index.html", "dir", "sub"},
  };
  for (const auto& c : cases) {
    project_.settings.save = c.save;
    project_.settings.listing_title = c.key_title;
    run_.folder = c.listed;
    process_.folder = c.folder;
    EXPECT_EQ(text(page_name), c.page) << c.save;
    EXPECT_EQ(text(listing_title), c.title) << c.listed << " " << c.key_title;
    EXPECT_EQ(text(rel_folder), c.below) << c.listed << " " << c.folder;
  }
}

// Thumbnails known by their picture's path below the listed folder.
class known_thumbnails : public thumbnail_source {
 public:
  void begin_page(held_folder, const std::string&) override {}
  void end_page(bool) override {}
  void make_thumbnails(const folder_handle&, const std::string&, const std::string&,
                       const file_tree&) override {}
  std::string thumbnail_link(const std::string& relative_path,
                             const std::string& name) const override {
    const std::string path = relative_path.empty() ? name : relative_path + "/" + name;
    return path == "music/cover.jpg" ? ".thumbnails/1234.webp" : "";
  }
};

TEST_F(TemplateValues, ThumbnailUrlAsTheRunsThumbnailsLinkIt) {
  const int thumbnail_url = 63;
  known_thumbnails thumbnails;
  const struct {
    bool made;  // the run makes thumbnails
    const char* name;
    bool is_folder;
    const char* link;
  } cases[] = {
      {true, "cover.jpg", false, ".thumbnails/1234.webp"},
      {true, "back.jpg", false, ""},
      {true, "cover.jpg", true, ""},  // a folder named like a picture
      {false, "cover.jpg", false, ""},
  };
  for (const auto& c : cases) {
    run_.thumbnails = c.made ? &thumbnails : nullptr;
    entry_.name = c.name;
    entry_.is_folder = c.is_folder;
    EXPECT_EQ(text(thumbnail_url), c.link) << c.name << " " << c.made << c.is_folder;
    EXPECT_EQ(last_code_, 0);
  }
  run_.thumbnails = nullptr;
}

TEST_F(TemplateValues, LevelCountsDownFromTheDepth) {
  // Unlimited depth: depth left runs -1, -2, -3... and the level 0, 1, 2...
  struct {
    int depth, left, level;
  } cases[] = {{-1, -1, 0}, {-1, -2, 1}, {-1, -3, 2}, {3, 3, 0}, {3, 1, 2}, {0, 0, 0}};
  for (const auto& c : cases) {
    project_.settings.recursion_depth = c.depth;
    process_.depth_left = c.left;
    EXPECT_EQ(value(58), tagged_value(int32_t{c.level})) << c.depth << " " << c.left;
  }
}

TEST_F(TemplateValues, SummaryRowsAndUnitLabel) {
  file_tree summary;
  auto node = std::make_unique<file_node>();
  node->is_folder = true;
  node->file_count = 40;
  node->folder_count = 6;
  node->size = 3 * 1048576;
  process_.summary = summary.append_top(std::move(node));
  project_.settings.size_units = 2;
  run_.size_unit_label = " MB";
  EXPECT_EQ(value(12), tagged_value(int32_t{40}));
  EXPECT_EQ(value(13), tagged_value(int32_t{6}));
  EXPECT_EQ(text(14), "3 MB");
  EXPECT_EQ(text(31), " MB");
}

TEST_F(TemplateValues, FolderStartAndEndPasses) {
  process_.folder_start = true;
  EXPECT_EQ(value(15), tagged_value(false));
  EXPECT_EQ(value(16), tagged_value(true));
  process_.folder_start = false;
  process_.folder_end = true;
  EXPECT_EQ(value(15), tagged_value(false));
  EXPECT_EQ(value(17), tagged_value(true));
  // The nameless entry of these passes gives the loop's own places.
  // entry_ is nameless as the fixture made it.
  entry_.is_folder = true;
  EXPECT_EQ(text(22), "");
  EXPECT_EQ(text(27), "music");
  EXPECT_EQ(text(28), "music/");
  EXPECT_EQ(text(29), "/data/music");
  EXPECT_EQ(text(30), "file:///data/music/");
}

TEST_F(TemplateValues, NamesAndJoinedPaths) {
  entry_.name = "song.final.mp3";
  entry_.ext = ".mp3";
  EXPECT_EQ(text(20), "song.final");
  EXPECT_EQ(text(21), ".mp3");
  EXPECT_EQ(text(22), "song.final.mp3");
  EXPECT_EQ(text(27), "music/song.final.mp3");
  EXPECT_EQ(text(29), "/data/music/song.final.mp3");
  // At the top of a listing the relative path is empty: no leading "/".
  process_.relative_path = "";
  EXPECT_EQ(text(27), "song.final.mp3");
  process_.folder = "/";
  EXPECT_EQ(text(29), "/song.final.mp3");
}

TEST_F(TemplateValues, UrlJoinsFollowUrlEscape) {
  entry_.name = "a&b.html";
  struct {
    int escape;
    const char* rel;
    const char* absolute;
  } cases[] = {
      {0, "music/a&b.html", "file:///data/music/a&b.html"},
      {1, "music/a&amp;b.html", "file:///data/music/a&amp;b.html"},
      {2, "music/a%26b.html", "file:///data/music/a%26b.html"},
  };
  for (const auto& c : cases) {
    project_.settings.url_escape = c.escape;
    EXPECT_EQ(text(28), c.rel) << "url_escape " << c.escape;
    EXPECT_EQ(text(30), c.absolute) << "url_escape " << c.escape;
  }
  // A folder's link ends in "/".
  entry_.name = "sub dir";
  entry_.is_folder = true;
  project_.settings.url_escape = 2;
  EXPECT_EQ(text(28), "music/sub%20dir/");
}

TEST_F(TemplateValues, SizeOfFilesAndFolders) {
  entry_.name = "big";
  entry_.size = 1234567;
  project_.settings.size_units = 1;
  run_.size_unit_label = " KB";
  EXPECT_EQ(text(26), "1,206");  // rounded up, no unit label
  entry_.is_folder = true;
  for (int options : {0, 2, 4, 6}) {
    project_.settings.recursive_options = options;
    EXPECT_EQ(text(26), "") << "recursive_options " << options;
  }
  project_.settings.recursive_options = 1;
  EXPECT_EQ(text(26), "1,206");
}

TEST_F(TemplateValues, DownloadTimes) {
  const std::string s = phrase(21), min = phrase(22), h = phrase(23);
  ASSERT_FALSE(s.empty());
  struct {
    uint64_t size;
    int row;
    std::string expected;
  } cases[] = {
      {0, 32, "1" + s},
      {7168, 32, "2" + s},
      {7168 * 59, 32, "60" + s},
      {7168 * 60, 32, "2" + min},
      {7168 * 600, 32, "11" + min},
      {7168 * 3599, 32, "60" + min},
      {7168 * 3600, 32, "1" + h + "1" + min},
      {7168 * (3600 + 125), 32, "1" + h + "3" + min},
      {uint64_t{131072} * 3600 * 30, 33, "30" + h + "1" + min},
      {131072, 33, "2" + s},
  };
  for (const auto& c : cases) {
    entry_.size = c.size;
    EXPECT_EQ(text(c.row), c.expected) << "size " << c.size << " row " << c.row;
  }
  // A folder without a summary is 0 bytes.
  entry_.size = 0;
  entry_.is_folder = true;
  EXPECT_EQ(text(32), "1" + s);
}

TEST_F(TemplateValues, DatesAndTimes) {
  entry_.mtime = 86400 + 3600 * 13 + 60 * 5 + 9;  // 1970-01-02 13:05:09
  entry_.ctime = 0;
  entry_.atime = 86400 * 365;
  project_.settings.use_date_format = true;
  project_.settings.date_format = "%Y-%m-%d %H:%M:%S";
  formats_.date = "%d.%m.%Y";
  formats_.time = "%H:%M";
  EXPECT_EQ(text(23), "1970-01-02 13:05:09");
  EXPECT_EQ(text(24), "02.01.1970");
  EXPECT_EQ(text(25), "13:05");
  EXPECT_EQ(text(38), "1970-01-01 00:00:00");
  EXPECT_EQ(text(39), "1971-01-01 00:00:00");
  project_.settings.use_date_format = false;
  EXPECT_EQ(text(23), "02.01.1970 13:05");
  // A moment beyond what a date prints is printed as the nearest one, and
  // the evaluation goes on.
  entry_.mtime = INT64_MAX;
  EXPECT_EQ(text(23), "31.12.9999 23:59");
  EXPECT_EQ(last_code_, 0);
}

TEST_F(TemplateValues, NowIsTheCurrentMoment) {
  project_.settings.use_date_format = true;
  project_.settings.date_format = "%Y";
  project_.settings.is_local_date = false;
  std::string expected;
  ASSERT_EQ(format_date_time(current_unix_time(), true, "%Y", formats_, expected), 0);
  EXPECT_EQ(text(57), expected);
  EXPECT_EQ(last_code_, 0);
}

TEST_F(TemplateValues, AttributesAndLinkFlag) {
  entry_.is_folder = true;
  entry_.attributes = 0x10 | 0x2;
  EXPECT_EQ(text(37), attribute_letters(entry_.attributes));
  EXPECT_EQ(value(42), tagged_value(false));
  project_.settings.source = 2;
  const std::string mode = text(37);
  ASSERT_EQ(mode.size(), 10u);
  EXPECT_EQ(mode[0], 'd');
  entry_.attributes |= 0x1000;
  EXPECT_EQ(value(42), tagged_value(true));
  project_.settings.source = 0;
  EXPECT_EQ(value(42), tagged_value(false));
}

TEST_F(TemplateValues, SubfoldersFlag) {
  file_tree summary;
  auto top = std::make_unique<file_node>();
  top->is_folder = true;
  file_node* folder = summary.append_top(std::move(top));
  entry_.is_folder = true;
  entry_.summary = folder;
  EXPECT_EQ(value(36), tagged_value(int32_t{0}));  // recursive_options & 3 is 0
  project_.settings.recursive_options = 1;
  EXPECT_EQ(value(36), tagged_value(false));
  // The summary counts the child it keeps below the folder.
  summary.append_child(folder, std::make_unique<file_node>());
  folder->folder_count = 1;
  EXPECT_EQ(value(36), tagged_value(true));
  entry_.summary = nullptr;
  project_.settings.recursive_options = 2;
  EXPECT_EQ(value(36), tagged_value(false));
}

TEST_F(TemplateValues, TypeAndIcon) {
  entry_.name = "page.html";
  entry_.ext = ".html";
  EXPECT_EQ(value(35), tagged_value(int32_t{0}));  // no icon found prints as "0"
  collection_.extension_icon_map.set(std::string(".html"), tagged_value("html.gif"));
  collection_.extension_type_map.set(std::string(".html"), tagged_value("Web page"));
  EXPECT_EQ(text(35), "html.gif");
  EXPECT_EQ(text(34), "Web page");
}

TEST_F(TemplateValues, FolderName) {
  EXPECT_EQ(text(46), "music");
  process_.folder = "music";
  EXPECT_EQ(text(46), "music");
  // In a subfolder level of a tree loop the entry's parent names the folder.
  file_tree tree;
  auto parent = std::make_unique<file_node>();
  parent->name = "albums";
  parent->is_folder = true;
  file_node* folder = tree.append_top(std::move(parent));
  auto child = std::make_unique<file_node>();
  child->name = "x.mp3";
  file_node* item = tree.append_child(folder, std::move(child));
  template_value_context context{*item, run_, process_, &formats_, &error_};
  tagged_value result;
  process_.folder = "/data/music/other";
  ASSERT_EQ(template_value(46, context, result), 0);
  EXPECT_EQ(result.to_text(), "other");
  process_.mode = loop_tree;
  process_.is_subfolder_level = true;
  ASSERT_EQ(template_value(46, context, result), 0);
  EXPECT_EQ(result.to_text(), "albums");
}

void write_file(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

TEST_F(TemplateValues, DigestsAndTitleReadTheListedFolder) {
  temp_folder folder;
  ASSERT_FALSE(folder.path().empty());
  write_file(folder.at("abc.txt"), "abc");
  write_file(folder.at("empty.txt"), "");
  write_file(folder.at("big.bin"), std::string(65536 * 2 + 7, 'a'));
  write_file(folder.at("t.html"), "<html><head><title>Hello there</title></head><body>x</body>");
  process_.folder = folder.path();
  struct {
    const char* name;
    const char* md5;
    const char* sha1;
    const char* sha256;
  } cases[] = {
      {"abc.txt", "900150983CD24FB0D6963F7D28E17F72", "A9993E364706816ABA3E25717850C26C9CD0D89D",
       "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"empty.txt", "D41D8CD98F00B204E9800998ECF8427E", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709",
       "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
  };
  const int sha256 = 62;
  for (const auto& c : cases) {
    entry_.name = c.name;
    EXPECT_EQ(text(43), c.md5) << c.name;
    EXPECT_EQ(last_code_, 0);
    EXPECT_EQ(text(44), c.sha1) << c.name;
    EXPECT_EQ(last_code_, 0);
    EXPECT_EQ(text(sha256), c.sha256) << c.name;
    EXPECT_EQ(last_code_, 0);
  }
  // A file longer than one read piece gives the same digest as one pass.
  entry_.name = "big.bin";
  std::string md5_whole;
  ASSERT_EQ(file_digest_md5(folder.at("big.bin"), md5_whole), 0);
  EXPECT_EQ(text(43), md5_whole);
  EXPECT_EQ(md5_whole.size(), 32u);
  std::string sha256_whole;
  ASSERT_EQ(file_digest_sha256(folder.at("big.bin"), sha256_whole), 0);
  EXPECT_EQ(text(sha256), sha256_whole);
  EXPECT_EQ(sha256_whole, "0da59584aea281a3cdb1d4d6a847c26e594998cb6c58ee9668b04178a0aab69c");
  entry_.name = "t.html";
  EXPECT_EQ(text(45), "Hello there");
  // Folders have no digest and no title.
  entry_.is_folder = true;
  for (int row : {43, 44, 45, sha256}) {
    EXPECT_EQ(text(row), "") << "row " << row;
    EXPECT_EQ(last_code_, 0) << "row " << row;
  }
  // A FIFO is never read (that would wait for a writer forever), a socket
  // cannot be opened: no digest, no title, no failure.
  entry_.is_folder = false;
  ASSERT_EQ(mkfifo(folder.at("pipe").c_str(), 0600), 0);
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socket_path = folder.at("sock");
  ASSERT_LT(socket_path.size(), sizeof(address.sun_path));
  socket_path.copy(address.sun_path, socket_path.size());
  ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
  for (const char* name : {"pipe", "sock"}) {
    entry_.name = name;
    for (int row : {43, 44, 45, sha256}) {
      EXPECT_EQ(text(row), "") << name << " row " << row;
      EXPECT_EQ(last_code_, 0) << name << " row " << row;
    }
  }
  ::close(listener);
  // A missing file ends the evaluation and says which file.
  entry_.name = "gone.txt";
  for (int row : {43, 44, 45, sha256}) {
    error_.clear();
    value(row);
    EXPECT_EQ(last_code_, 1) << "row " << row;
    EXPECT_EQ(error_, phrase(15) + folder.at("gone.txt")) << "row " << row;
  }
}

}  // namespace
}  // namespace dirscribe
