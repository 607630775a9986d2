// The bundled listing styles: every style of the program folder's catalog is
// built with its own preset for a tree of hostile file names, and its pages
// are checked for well-formed markup, escaping and completeness.
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "engine/html_list_project.h"
#include "markup/document_reader.h"
#include "markup/xml_node.h"
#include "platform/user_data.h"
#include "run_program.h"
#include "template/template_catalog.h"

namespace dirscribe::testing {
namespace {

namespace fs = std::filesystem;

struct catalog_style {
  std::string file;         // template file inside the templates folder
  std::string name;         // display name
  std::string description;  // description
  std::string image_file;   // preview image inside the templates folder
  bool has_preset = false;
  html_list_project project;  // a new project with the style picked: its preset applied
};

// The program folder's catalog as the program reads it, each style picked
// for a new project as the wizard does it (apply preset).
std::vector<catalog_style> read_catalog(const std::string& path) {
  template_catalog catalog;
  const outcome loaded = catalog.load(path);
  EXPECT_TRUE(loaded.ok()) << loaded.message();
  std::vector<catalog_style> styles;
  for (const auto& entry : catalog.entries) {
    catalog_style style{entry->file,
                        entry->name,
                        entry->description,
                        entry->image_file,
                        entry->preset.first() != nullptr,
                        {}};
    pick_style(*entry, style.project, user_data_folders(DIRSCRIBE_PROGRAM_DIR, {}, true));
    styles.push_back(std::move(style));
  }
  return styles;
}

// The project file for building `style` over `tree`: the picked style's
// project with the folder to list, written as the program writes projects.
std::string project_from_preset(const catalog_style& style, const std::string& tree) {
  html_list_project project = style.project;
  project.settings.path = tree;
  std::vector<std::string> lines;
  write_project(project, lines);
  std::string text = "<project>\r\n";
  for (const std::string& line : lines) text += line;
  return text + "</project>\r\n";
}

// Checks that `html` nests its elements properly, which is what an escaping
// fault breaks first. Returns an empty text when it does, else what is wrong
// and where. Checked: every start tag is closed by a matching end tag in
// nesting order (void elements excepted); attribute values are in double
// quotes and hold no "<"; text holds no "<" or ">" outside tags; every "&"
// begins a character reference; comments, the doctype and the raw contents of
// script and style elements are skipped.
std::string markup_fault(const std::string& html) {
  static const std::vector<std::string> void_elements = {
      "area",  "base", "br",   "col",    "embed", "hr", "img",
      "input", "link", "meta", "source", "track", "wbr"};
  auto is_name_char = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == ':';
  };
  auto where = [&](std::size_t at) {
    std::size_t start = at < 40 ? 0 : at - 40;
    return " at offset " + std::to_string(at) + ": ..." + html.substr(start, 80);
  };
  auto reference_ok = [&](std::size_t at) {
    std::size_t end = html.find(';', at);
    if (end == std::string::npos || end - at > 12 || end == at + 1) return false;
    std::string body = html.substr(at + 1, end - at - 1);
    std::size_t first = body[0] == '#' ? 1 : 0;
    if (first == 1 && body.size() == 1) return false;
    for (std::size_t i = first; i < body.size(); ++i) {
      char c = body[i];
      bool ok = first ? (c >= '0' && c <= '9') : is_name_char(c);
      if (!ok) return false;
    }
    return true;
  };
  std::vector<std::string> open;
  std::size_t i = 0;
  while (i < html.size()) {
    char c = html[i];
    if (c == '&') {
      if (!reference_ok(i)) return "bare ampersand" + where(i);
      ++i;
      continue;
    }
    if (c == '>') return "bare >" + where(i);
    if (c != '<') {
      ++i;
      continue;
    }
    if (html.compare(i, 4, "<!--") == 0) {
      std::size_t end = html.find("-->", i + 4);
      if (end == std::string::npos) return "unclosed comment" + where(i);
      i = end + 3;
      continue;
    }
    if (html.compare(i, 2, "<!") == 0) {
      std::size_t end = html.find('>', i);
      if (end == std::string::npos) return "unclosed declaration" + where(i);
      i = end + 1;
      continue;
    }
    bool closing = html.compare(i, 2, "</") == 0;
    std::size_t p = i + (closing ? 2 : 1);
    std::size_t name_start = p;
    while (p < html.size() && is_name_char(html[p])) ++p;
    if (p == name_start) return "bare <" + where(i);
    std::string name = html.substr(name_start, p - name_start);
    for (char& n : name) n = static_cast<char>(n >= 'A' && n <= 'Z' ? n + 32 : n);
    if (closing) {
      if (p >= html.size() || html[p] != '>') return "malformed end tag" + where(i);
      if (open.empty() || open.back() != name) {
        return "end tag </" + name + "> while <" + (open.empty() ? "" : open.back()) + "> is open" +
               where(i);
      }
      open.pop_back();
      i = p + 1;
      continue;
    }
    // Attributes up to ">" or "/>".
    while (true) {
      while (p < html.size() &&
             (html[p] == ' ' || html[p] == '\n' || html[p] == '\t' || html[p] == '\r')) {
        ++p;
      }
      if (p >= html.size()) return "unclosed start tag" + where(i);
      if (html[p] == '>' || html.compare(p, 2, "/>") == 0) break;
      std::size_t attribute_start = p;
      while (p < html.size() && is_name_char(html[p])) ++p;
      if (p == attribute_start) return "malformed attribute" + where(p);
      if (p < html.size() && html[p] == '=') {
        if (p + 1 >= html.size() || html[p + 1] != '"')
          return "attribute value not in double quotes" + where(p);
        std::size_t end = html.find('"', p + 2);
        if (end == std::string::npos) return "unclosed attribute value" + where(p);
        for (std::size_t v = p + 2; v < end; ++v) {
          if (html[v] == '<') return "< inside an attribute value" + where(v);
          if (html[v] == '&' && !reference_ok(v))
            return "bare ampersand in an attribute" + where(v);
        }
        p = end + 1;
      }
    }
    bool self_closing = html[p] == '/';
    i = p + (self_closing ? 2 : 1);
    bool is_void = false;
    for (const std::string& v : void_elements) is_void = is_void || v == name;
    if (is_void || self_closing) continue;
    if (name == "script" || name == "style") {
      std::size_t end = html.find("</" + name + ">", i);
      if (end == std::string::npos) return "unclosed <" + name + ">" + where(i);
      i = end + name.size() + 3;
      continue;
    }
    open.push_back(name);
  }
  if (!open.empty()) return "<" + open.back() + "> never closed";
  return "";
}

TEST(MarkupCheck, FindsEachKindOfFault) {
  const struct {
    const char* html;
    bool good;
  } cases[] = {
      {"<!DOCTYPE html><p class=\"a\">x &amp; y &#233;<br></p><!-- <b> -->", true},
      {"<script>if (a < b && c > d) x();</script><style>a > b {}</style>", true},
      {"<ul><li>a</ul>", false},
      {"<p>a</p></p>", false},
      {"<p>a", false},
      {"<p>1 < 2</p>", false},
      {"<p>script>.html</p>", false},
      {"<p>Tom & Jerry</p>", false},
      {"<a href=x>y</a>", false},
      {"<a href=\"x\"\"><img src=x>\">y</a>", false},
      {"<a title=\"<b>\">y</a>", false},
  };
  for (const auto& c : cases) {
    std::string fault = markup_fault(c.html);
    EXPECT_EQ(fault.empty(), c.good) << c.html << "\n" << fault;
  }
}

// The hostile test tree: each file with the exact text its name must appear
// as in a listing.
struct hostile_file {
  std::string relative;  // path inside the tree
  std::string escaped;   // the file's name as the page must show it
};

const std::vector<hostile_file>& hostile_tree() {
  // A name cannot hold "/", so the closing script tag is made of a folder and
  // a file: its relative path reads <script>alert(1)</script>.html.
  static const std::vector<hostile_file> files = {
      {"<script>alert(1)<\\script>.html", "&lt;script&gt;alert(1)&lt;\\script&gt;.html"},
      {"<script>alert(1)</script>.html", "script&gt;.html"},
      {"\"><img src=x onerror=alert(1)>", "&quot;&gt;&lt;img src=x onerror=alert(1)&gt;"},
      {"Tom & Jerry.txt", "Tom &amp; Jerry.txt"},
      {"a&amp;b.txt", "a&amp;amp;b.txt"},
      {"R\xC3\xA9sum\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87.txt",
       "R&#233;sum&#233; &#20013;&#25991;.txt"},
      {"sub folder/inner note.md", "inner note.md"},
      {"sub folder/deeper/it's.txt", "it's.txt"},
  };
  return files;
}

// "abc", whose digests are known from the standards' own test vectors.
constexpr const char* kDigestFile = "Tom & Jerry.txt";
constexpr const char* kMd5 = "900150983CD24FB0D6963F7D28E17F72";
constexpr const char* kSha1 = "A9993E364706816ABA3E25717850C26C9CD0D89D";
constexpr const char* kSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
// The style that catalogues digests.
constexpr const char* kDigestStyle = "checksums.html";

std::string catalog_path() { return std::string(DIRSCRIBE_PROGRAM_DIR) + "templates.txt"; }

TEST(Styles, CatalogNamesExistingTemplatesAndImages) {
  std::vector<catalog_style> styles = read_catalog(catalog_path());
  ASSERT_GE(styles.size(), 6u);
  bool has_digest_style = false;
  for (const catalog_style& style : styles)
    has_digest_style = has_digest_style || style.file == kDigestStyle;
  EXPECT_TRUE(has_digest_style);
  // The program's own markup reader takes the file and finds the same entries,
  // each with its preset.
  xml_tree tree;
  const outcome read = parse_file(catalog_path(), tree, document_options{});
  ASSERT_TRUE(read.ok()) << read.message();
  std::size_t read_entries = 0;
  for (const xml_node* node = tree.first(); node; node = node->next()) {
    if (node->type != xml_start_tag || node->name != "template") continue;
    ++read_entries;
    EXPECT_NE(xml_find(tree, "project", node), nullptr) << "entry " << read_entries;
    std::string file;
    EXPECT_EQ(xml_text_of(tree, "file", node, file), 0);
    EXPECT_EQ(file, read_entries <= styles.size() ? styles[read_entries - 1].file : "");
  }
  EXPECT_EQ(read_entries, styles.size());
  for (std::size_t i = 0; i < styles.size(); ++i) {
    const catalog_style& style = styles[i];
    SCOPED_TRACE("style " + style.file);
    EXPECT_FALSE(style.name.empty());
    EXPECT_FALSE(style.description.empty());
    EXPECT_TRUE(style.has_preset);
    // Sizes as file managers print them ("13.4 KB"), never bare byte counts.
    EXPECT_EQ(style.project.settings.size_units, -2);
    EXPECT_TRUE(
        fs::is_regular_file(std::string(DIRSCRIBE_PROGRAM_DIR) + "templates/" + style.file));
    ASSERT_FALSE(style.image_file.empty());
    std::error_code error;
    auto image_size =
        fs::file_size(std::string(DIRSCRIBE_PROGRAM_DIR) + "templates/" + style.image_file, error);
    EXPECT_FALSE(error) << style.image_file;
    EXPECT_LT(image_size, 150u * 1024u) << style.image_file;
    for (std::size_t j = 0; j < i; ++j) EXPECT_NE(styles[j].file, style.file);
  }
}

TEST(Styles, EveryStyleListsHostileNamesSafely) {
  std::vector<catalog_style> styles = read_catalog(catalog_path());
  ASSERT_FALSE(styles.empty());
  for (const catalog_style& style : styles) {
    SCOPED_TRACE("style " + style.file);
    temp_folder work;
    const std::string tree = work.path() + "/tree";
    for (const hostile_file& file : hostile_tree()) {
      work.write("tree/" + file.relative, file.relative == kDigestFile ? "abc" : "content\n");
    }
    work.write("project.txt", project_from_preset(style, tree));
    run_result result = run_dirscribe({work.path() + "/project.txt"});
    ASSERT_EQ(result.exit_code, 0) << result.err;

    // One page for the whole tree, or one in every folder.
    const bool per_folder = !style.project.settings.subfolders_in_one_file;
    const std::string save = style.project.settings.save;
    auto page_of = [&](const std::string& relative) {
      std::string folder = fs::path(tree + "/" + relative).parent_path().string();
      return per_folder ? folder + "/" + save : tree + "/" + save;
    };
    const bool prints_digests = style.file == kDigestStyle;

    std::vector<std::string> pages;
    for (const hostile_file& file : hostile_tree()) {
      std::string page_path = page_of(file.relative);
      std::string page = read_file(page_path);
      ASSERT_FALSE(page.empty()) << "no page " << page_path;
      // Names stand as whole texts between tags, so one name inside another
      // (script&gt;.html in the first one) is not mistaken for it.
      EXPECT_NE(page.find(">" + file.escaped + "<"), std::string::npos)
          << file.relative << " missing from " << page_path;
      if (prints_digests && file.relative == kDigestFile) {
        EXPECT_NE(page.find(kMd5), std::string::npos);
        EXPECT_NE(page.find(kSha1), std::string::npos);
        EXPECT_NE(page.find(kSha256), std::string::npos);
      }
      bool seen = false;
      for (const std::string& p : pages) seen = seen || p == page_path;
      if (!seen) pages.push_back(page_path);
    }
    for (const std::string& page_path : pages) {
      SCOPED_TRACE("page " + page_path);
      std::string page = read_file(page_path);
      EXPECT_EQ(markup_fault(page), "");
      EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
      EXPECT_EQ(page.find("<script>alert"), std::string::npos);
      EXPECT_EQ(page.find("<img src=x"), std::string::npos);
      // The handler text may only stand inside the escaped name.
      for (std::size_t at = page.find("onerror=alert"); at != std::string::npos;
           at = page.find("onerror=alert", at + 1)) {
        const std::string escaped_prefix = "&lt;img src=x ";
        EXPECT_TRUE(
            at >= escaped_prefix.size() &&
            page.compare(at - escaped_prefix.size(), escaped_prefix.size(), escaped_prefix) == 0)
            << page.substr(at < 60 ? 0 : at - 60, 100);
      }
    }
  }
}

// Counts read "1 file" and "1 folder", never "1 files": a tree of one file
// and one folder holding one more file gives every style a count of one
// somewhere (a folder's own count, or the totals of a page).
TEST(Styles, EveryStyleSaysOneFileAndOneFolder) {
  std::vector<catalog_style> styles = read_catalog(catalog_path());
  ASSERT_FALSE(styles.empty());
  const std::regex wrong_plural("(^|[^0-9])1 (files|folders)\\b");
  const std::regex one_of_a_kind("(^|[^0-9])1 (file|folder)\\b");
  for (const catalog_style& style : styles) {
    SCOPED_TRACE("style " + style.file);
    temp_folder work;
    work.write("tree/a.txt", "a\n");
    work.write("tree/sub/b.txt", "b\n");
    work.write("project.txt", project_from_preset(style, work.path() + "/tree"));
    run_result result = run_dirscribe({work.path() + "/project.txt"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    std::string all_pages;
    for (const auto& item : fs::recursive_directory_iterator(work.path() + "/tree")) {
      if (item.is_regular_file() && item.path().filename() == style.project.settings.save) {
        all_pages += read_file(item.path().string());
      }
    }
    ASSERT_FALSE(all_pages.empty());
    std::smatch wrong;
    EXPECT_FALSE(std::regex_search(all_pages, wrong, wrong_plural)) << wrong.str();
    EXPECT_TRUE(std::regex_search(all_pages, one_of_a_kind));
  }
}

// The bundled sample, listed with every style as a user would see it: each
// page is well-formed and names every file of the sample.
TEST(Styles, EveryStyleListsTheSample) {
  const std::string sample = std::string(DIRSCRIBE_SOURCE_DIR) + "examples/sample";
  ASSERT_TRUE(fs::is_directory(sample));
  std::vector<catalog_style> styles = read_catalog(catalog_path());
  ASSERT_FALSE(styles.empty());
  for (const catalog_style& style : styles) {
    SCOPED_TRACE("style " + style.file);
    temp_folder work;
    const std::string tree = work.path() + "/sample";
    // A copy, since one-file-per-folder styles write into the listed folders.
    fs::copy(sample, tree, fs::copy_options::recursive);
    work.write("project.txt", project_from_preset(style, tree));
    run_result result = run_dirscribe({work.path() + "/project.txt"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const std::string save = style.project.settings.save;
    std::string all_pages;
    for (const auto& item : fs::recursive_directory_iterator(tree)) {
      if (!item.is_regular_file() || item.path().filename() != save) continue;
      const std::string page = read_file(item.path().string());
      EXPECT_EQ(markup_fault(page), "") << item.path();
      all_pages += page;
    }
    ASSERT_FALSE(all_pages.empty());
    for (const auto& item : fs::recursive_directory_iterator(sample)) {
      if (!item.is_regular_file()) continue;
      std::string name = item.path().filename().string();
      // The sample's names need escaping for "&" and, as numeric references,
      // for non-ASCII letters only.
      size_t at = 0;
      while ((at = name.find('&', at)) != std::string::npos) name.replace(at++, 1, "&amp;");
      for (at = 0; (at = name.find("\xC3\xA9", at)) != std::string::npos;) {
        name.replace(at, 2, "&#233;");
      }
      EXPECT_NE(all_pages.find(">" + name + "<"), std::string::npos) << name;
    }
  }
}

}  // namespace
}  // namespace dirscribe::testing
