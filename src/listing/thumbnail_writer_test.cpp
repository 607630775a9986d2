// Thumbnails as whole runs make them: where they land for each layout of
// pages, what a second run keeps, remakes and removes, and what hostile
// names, hostile pictures and links in the way get.
#include "listing/thumbnail_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/html_list_project.h"
#include "engine/project_context.h"
#include "listing/listing_driver.h"
#include "listing/sample_pictures.h"
#include "services/phrase_table.h"
#include "support/temp_folder.h"
#include "support/test_phrases.h"

namespace dirscribe {
namespace {

namespace fs = std::filesystem;

// Every listed entry, hidden ones too, with its thumbnail's link; a second
// loop over the same files, as styles that count before they list have.
constexpr char kTemplate[] =
    "<!--#for var=\"tree\"--><!--#if var=\"is_item\"--><!--#echo var=\"rel_path\"-->|"
    "<!--#echo var=\"thumbnail_url\"-->\n<!--#endif--><!--#endfor-->"
    "<!--#for var=\"files\"--><!--#endfor-->";

struct layout {
  const char* what;
  bool one_file;
  const char* save;        // relative to the temporary folder when it holds "/"
  const char* output_dir;  // "" for none
  // Where the page listing "sub" is, relative to the temporary folder, and
  // how it names sub/inner.JPG.
  const char* page_of_sub;
  const char* inner;
};

const layout kLayouts[] = {
    {"one file in the listed folder", true, "index.html", "", "tree/index.html", "sub/inner.JPG"},
    {"one file saved elsewhere", true, "/pages/list.html", "", "pages/list.html", "sub/inner.JPG"},
    {"one page per folder", false, "index.html", "", "tree/sub/index.html", "inner.JPG"},
    {"one page per folder in an output_dir mirror", false, "index.html", "mirror",
     "mirror/sub/index.html", "inner.JPG"},
};

class Thumbnails : public ::testing::Test {
 protected:
  void SetUp() override {
    const outcome loaded = load_english_phrases(language_);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    folder_.write("template.html", kTemplate);
    photo_ = sample_picture(320, 240, ".jpg");
    ASSERT_FALSE(photo_.empty());
  }

  // Runs one project over tree/; the page's lines become `pages_` (one
  // string per page, by path), warnings `warnings_`.
  outcome run(const layout& l) {
    project_context collection;
    collection.language = &language_;
    collection.program_folder = folder_.path() + "/";
    collection.fill_size_unit_names();
    auto project = std::make_unique<html_list_project>();
    reset_project(*project);
    project_settings& s = project->settings;
    s.path = folder_.at("tree");
    s.format_file = folder_.at("template.html");
    s.recursion_depth = -1;
    s.subfolders_in_one_file = l.one_file;
    s.order_files = 1;
    s.filter.str_files_skip = "";  // nothing hidden: only the run's own rules leave out
    s.save = std::string(l.save).starts_with("/") ? folder_.path() + l.save : l.save;
    if (*l.output_dir) s.output_dir = folder_.at(l.output_dir);
    s.thumbnails = true;
    collection.projects.push_back(std::move(project));
    warnings_.clear();
    collection.warning = [&](const std::string& text) { warnings_.push_back(text); };
    const outcome built = run_collection(collection);
    made_ = collection.thumbnails_made.load();
    return built;
  }

  // Each "rel_path|link" line of the page at `page` (relative to the
  // temporary folder), by rel_path.
  std::map<std::string, std::string> links_on(const std::string& page) const {
    std::map<std::string, std::string> links;
    std::istringstream lines(read_file(folder_.at(page)));
    for (std::string line; std::getline(lines, line);) {
      const size_t bar = line.rfind('|');
      links[line.substr(0, bar)] = line.substr(bar + 1);
    }
    return links;
  }

  // The thumbnails folder beside `page` as name -> inode.
  std::map<std::string, ino_t> thumbnails_beside(const std::string& page) const {
    std::map<std::string, ino_t> found;
    const fs::path folder = fs::path(folder_.at(page)).parent_path() / kThumbnailFolder;
    if (!fs::exists(folder)) return found;
    for (const auto& entry : fs::directory_iterator(folder)) {
      struct stat status {};
      ::lstat(entry.path().c_str(), &status);
      found[entry.path().filename().string()] = status.st_ino;
    }
    return found;
  }

  // Every link on the page `page` that is not empty names a WebP file
  // beside it of at most 640 pixels a side.
  void expect_links_load(const std::string& page) const {
    for (const auto& [path, link] : links_on(page)) {
      if (link.empty()) continue;
      EXPECT_TRUE(link.starts_with(".thumbnails/")) << path << " " << link;
      const std::string file = (fs::path(folder_.at(page)).parent_path() / link).string();
      int width = 0, height = 0;
      std::string loader;
      ASSERT_TRUE(picture_size(read_file(file), width, height, loader)) << path << " " << file;
      EXPECT_LE(std::max(width, height), 640) << path;
    }
  }

  void set_time(const std::string& relative, int64_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, folder_.at(relative).c_str(), times, 0), 0) << relative;
  }

  temp_folder folder_;
  phrase_table language_;
  std::string photo_;
  std::vector<std::string> warnings_;
  int64_t made_ = 0;
};

TEST_F(Thumbnails, EachLayoutPutsThemBesideThePageAndLinksThemFromIt) {
  for (const layout& l : kLayouts) {
    SCOPED_TRACE(l.what);
    fs::remove_all(folder_.at("tree"));
    fs::remove_all(folder_.at("mirror"));
    fs::remove_all(folder_.at("pages"));
    folder_.make_folder("pages");
    folder_.write("tree/top.jpg", photo_);
    folder_.write("tree/sub/inner.JPG", photo_);
    folder_.write("tree/sub/notes.txt", "not a picture");
    const outcome built = run(l);
    ASSERT_TRUE(built.ok()) << built.message();
    EXPECT_EQ(made_, 2);
    EXPECT_TRUE(warnings_.empty()) << warnings_.front();
    const std::map<std::string, std::string> links = links_on(l.page_of_sub);
    ASSERT_TRUE(links.contains(l.inner)) << read_file(folder_.at(l.page_of_sub));
    EXPECT_NE(links.at(l.inner), "");
    EXPECT_EQ(links.at(fs::path(l.inner).replace_filename("notes.txt").string()), "");
    expect_links_load(l.page_of_sub);
    // Never listed, at any level, although nothing hidden is left out.
    for (const auto& [path, link] : links) {
      EXPECT_EQ(path.find(kThumbnailFolder), std::string::npos) << path;
    }
    // The mirror leaves the listed folders untouched.
    if (*l.output_dir) {
      EXPECT_FALSE(fs::exists(folder_.at("tree/sub/.thumbnails")));
    }
  }
}

TEST_F(Thumbnails, AnUnchangedPictureIsKeptAChangedOneRemadeAndAGoneOneRemoved) {
  const layout& l = kLayouts[2];  // one page per folder
  for (const char* name : {"a.jpg", "b.png", "c.webp"})
    folder_.write(std::string("tree/") + name, photo_);
  for (const char* name : {"a.jpg", "b.png", "c.webp"})
    set_time(std::string("tree/") + name, 1'600'000'000);
  ASSERT_TRUE(run(l).ok());
  EXPECT_EQ(made_, 3);
  const std::map<std::string, ino_t> first = thumbnails_beside("tree/index.html");
  ASSERT_EQ(first.size(), 3u);
  const std::map<std::string, std::string> first_links = links_on("tree/index.html");

  // Unchanged: nothing is read or written again.
  ASSERT_TRUE(run(l).ok());
  EXPECT_EQ(made_, 0);
  EXPECT_EQ(thumbnails_beside("tree/index.html"), first);

  // b.png changes (same size, another time), c.webp goes.
  set_time("tree/b.png", 1'700'000'000);
  fs::remove(folder_.at("tree/c.webp"));
  ASSERT_TRUE(run(l).ok());
  EXPECT_EQ(made_, 1);
  const std::map<std::string, ino_t> third = thumbnails_beside("tree/index.html");
  const std::map<std::string, std::string> third_links = links_on("tree/index.html");
  ASSERT_EQ(third.size(), 2u);
  EXPECT_EQ(third_links.at("a.jpg"), first_links.at("a.jpg"));
  EXPECT_EQ(third.at(fs::path(first_links.at("a.jpg")).filename().string()),
            first.at(fs::path(first_links.at("a.jpg")).filename().string()));
  // A new name for the new picture, so no browser shows the old one.
  EXPECT_NE(third_links.at("b.png"), first_links.at("b.png"));
  EXPECT_FALSE(third_links.contains("c.webp"));

  // Every picture gone: their folder goes too.
  fs::remove(folder_.at("tree/a.jpg"));
  fs::remove(folder_.at("tree/b.png"));
  ASSERT_TRUE(run(l).ok());
  EXPECT_FALSE(fs::exists(folder_.at("tree/.thumbnails")));
}

TEST_F(Thumbnails, FilesInTheFolderThatNoRunMadeStay) {
  folder_.write("tree/a.jpg", photo_);
  folder_.write("tree/.thumbnails/mine.txt", "kept");
  // Named like a thumbnail of another page in the same folder.
  const std::string others = thumbnail_name("other.html", "a.jpg", 1, 2, 3);
  folder_.write("tree/.thumbnails/" + others, "kept");
  ASSERT_TRUE(run(kLayouts[0]).ok());
  fs::remove(folder_.at("tree/a.jpg"));
  ASSERT_TRUE(run(kLayouts[0]).ok());
  const std::map<std::string, ino_t> left = thumbnails_beside("tree/index.html");
  EXPECT_EQ(left.size(), 2u);
  EXPECT_TRUE(left.contains("mine.txt"));
  EXPECT_TRUE(left.contains(others));
}

TEST_F(Thumbnails, NamesWithEveryByteGetNamesOfTheirOwnInsideTheFolder) {
  const std::string small = sample_picture(40, 30, ".jpg");
  std::set<std::string> names;
  for (int byte = 1; byte < 256; ++byte) {
    // A newline would split the page's line: the names are read back by line.
    if (byte == '/' || byte == '\n') continue;
    const std::string name = std::string(1, static_cast<char>(byte)) + "x.jpg";
    folder_.write("tree/" + name, small);
    names.insert(name);
  }
  for (const char* name : {"..jpg", "-rf.jpg", "<img src=x onerror=alert(1)>.jpg",
                           "javascript:alert(1).jpg", "%2e%2e%2f.jpg", "\xff\xfe.jpg"}) {
    folder_.write(std::string("tree/") + name, small);
    names.insert(name);
  }
  ASSERT_TRUE(run(kLayouts[0]).ok());
  const std::map<std::string, std::string> links = links_on("tree/index.html");
  std::set<std::string> thumbnails;
  for (const std::string& name : names) {
    ASSERT_TRUE(links.contains(name)) << name;
    const std::string& link = links.at(name);
    ASSERT_EQ(link.size(), std::string(".thumbnails/").size() + 46) << name << " " << link;
    EXPECT_TRUE(is_thumbnail_of_page(link.substr(12), "index.html")) << link;
    thumbnails.insert(link);
  }
  EXPECT_EQ(thumbnails.size(), names.size());
  EXPECT_EQ(thumbnails_beside("tree/index.html").size(), names.size());
  // Nothing was made anywhere else: the pictures, the page and the folder.
  size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(folder_.at("tree")))
    entries += !entry.is_symlink();
  EXPECT_EQ(entries, names.size() + 2);
}

TEST_F(Thumbnails, BrokenPicturesGetNoneAndAWarningAndTheRunGoesOn) {
  folder_.write("tree/good.jpg", photo_);
  folder_.write("tree/cut.jpg", sample_picture(1600, 1200, ".jpg").substr(0, 20000));
  folder_.write("tree/bomb.png", png_claiming(30000, 30000));
  folder_.write("tree/letter.jpg", "Dear diary,\n");
  ::mkfifo(folder_.at("tree/pipe.jpg").c_str(), 0600);
  const outcome built = run(kLayouts[0]);
  ASSERT_TRUE(built.ok()) << built.message();
  const std::map<std::string, std::string> links = links_on("tree/index.html");
  EXPECT_NE(links.at("good.jpg"), "");
  for (const char* name : {"bomb.png", "cut.jpg", "letter.jpg", "pipe.jpg"}) {
    EXPECT_EQ(links.at(name), "") << name;
  }
  // A FIFO is no picture and is never opened; the others say why.
  ASSERT_EQ(warnings_.size(), 3u);
  std::set<std::string> warned(warnings_.begin(), warnings_.end());
  const std::string prefix = "No thumbnail for " + folder_.at("tree/");
  EXPECT_TRUE(
      warned.contains(prefix + "bomb.png: 30000 x 30000 pixels, more than a thumbnail is made of"));
  EXPECT_TRUE(
      warned.contains(prefix + "letter.jpg: not a JPEG, PNG, WebP, GIF, TIFF or HEIC picture"));
  const auto cut = std::find_if(warned.begin(), warned.end(), [&](const std::string& warning) {
    return warning.starts_with(prefix + "cut.jpg: damaged or cut short");
  });
  EXPECT_NE(cut, warned.end());
  EXPECT_EQ(thumbnails_beside("tree/index.html").size(), 1u);
}

TEST_F(Thumbnails, AThumbnailsFolderThatIsALinkIsNeverWrittenThrough) {
  folder_.write("tree/a.jpg", photo_);
  folder_.make_folder("elsewhere");
  folder_.make_link(folder_.at("elsewhere"), "tree/.thumbnails");
  const outcome built = run(kLayouts[0]);
  ASSERT_TRUE(built.ok()) << built.message();
  EXPECT_EQ(links_on("tree/index.html").at("a.jpg"), "");
  ASSERT_EQ(warnings_.size(), 1u);
  EXPECT_EQ(warnings_[0], "No thumbnails: their folder cannot be written, or is a link: " +
                              folder_.at("tree/.thumbnails"));
  EXPECT_TRUE(fs::is_empty(folder_.at("elsewhere")));
  EXPECT_TRUE(fs::is_symlink(folder_.at("tree/.thumbnails")));
}

TEST(ThumbnailNames, DifferForEveryFieldAndAreRecognisedOnlyForTheirPage) {
  const std::string base = thumbnail_name("index.html", "a/b.jpg", 10, 20, 30);
  const std::set<std::string> names = {
      base,
      thumbnail_name("list.html", "a/b.jpg", 10, 20, 30),
      thumbnail_name("index.html", "a/c.jpg", 10, 20, 30),
      thumbnail_name("index.html", "a/b.jpg", 11, 20, 30),
      thumbnail_name("index.html", "a/b.jpg", 10, 21, 30),
      thumbnail_name("index.html", "a/b.jpg", 10, 20, 31),
      // The fields cannot run into each other.
      thumbnail_name("index.html", "a/b.jpg1", 0, 20, 30),
  };
  EXPECT_EQ(names.size(), 7u);
  EXPECT_TRUE(is_thumbnail_of_page(base, "index.html"));
  EXPECT_FALSE(is_thumbnail_of_page(base, "list.html"));
  EXPECT_TRUE(is_thumbnail_of_page("." + base + ".dirscribe-abc123", "index.html"));
  for (const std::string& other :
       {std::string("notes.txt"), base.substr(1), base + ".bak", "." + base,
        base.substr(0, 9) + std::string(32, 'g') + ".webp"}) {
    EXPECT_FALSE(is_thumbnail_of_page(other, "index.html")) << other;
  }
}

}  // namespace
}  // namespace dirscribe
