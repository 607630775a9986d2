// What the bundled styles publish: pages that name the listing, not the
// machine it was made on; links between pages that lead to pages the run
// wrote, whatever their name and however deep the run went; and counts that
// agree with each other when empty folders are left out.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "run_program.h"

namespace dirscribe::testing {
namespace {

namespace fs = std::filesystem;

const char* const kStyles[] = {"Detailed table",
                               "Collapsible tree",
                               "Folder index pages",
                               "Gallery",
                               "Archive and backup catalogue",
                               "Plain list"};
const char* const kPerFolderStyles[] = {"Folder index pages", "Gallery"};

// A tree with names that need escaping in every form a page may print a
// path in, and folders three levels deep.
void make_tree(const temp_folder& work, const std::string& top) {
  work.write(top + "/read me & more.txt", "a\n");
  work.write(top + "/Caf\xC3\xA9 \"x\"/b.txt", "b\n");
  work.write(top + "/Caf\xC3\xA9 \"x\"/deeper/c.txt", "c\n");
  work.write(top + "/Caf\xC3\xA9 \"x\"/deeper/deepest/d.txt", "d\n");
  work.write(top + "/plain/e.txt", "e\n");
}

// Every file under `folder` named `name`.
std::vector<std::string> pages_named(const std::string& folder, const std::string& name) {
  std::vector<std::string> pages;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    if (item.is_regular_file() && item.path().filename() == name) {
      pages.push_back(item.path().string());
    }
  }
  return pages;
}

// `html` without the contents of its script elements, where "href" is code.
std::string without_scripts(std::string html) {
  for (size_t at = html.find("<script"); at != std::string::npos; at = html.find("<script", at)) {
    const size_t end = html.find("</script>", at);
    if (end == std::string::npos) break;
    html.erase(at, end - at);
    ++at;
  }
  return html;
}

// An attribute value as the browser takes it, then as a path: character
// references and percent escapes undone, the fragment and query dropped.
std::string link_path(std::string link) {
  const size_t cut = link.find_first_of("#?");
  if (cut != std::string::npos) link.erase(cut);
  std::string text;
  for (size_t i = 0; i < link.size(); ++i) {
    if (link.compare(i, 5, "&amp;") == 0) {
      text += '&';
      i += 4;
    } else if (link[i] == '%' && i + 2 < link.size()) {
      text += static_cast<char>(std::stoi(link.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      text += link[i];
    }
  }
  return text;
}

// The relative links of `page` that lead nowhere: each resolved from the
// page's folder must name a file or folder that exists.
std::vector<std::string> broken_links(const std::string& page) {
  std::vector<std::string> broken;
  const std::string html = without_scripts(read_file(page));
  static const std::regex href("(?:href|src)=\"([^\"]*)\"");
  for (auto it = std::sregex_iterator(html.begin(), html.end(), href); it != std::sregex_iterator();
       ++it) {
    const std::string link = (*it)[1];
    if (link.empty() || link[0] == '#' || link.starts_with("data:") ||
        link.find("://") != std::string::npos) {
      continue;
    }
    const fs::path target = fs::path(page).parent_path() / link_path(link);
    if (!fs::exists(target)) broken.push_back(link);
  }
  return broken;
}

// Pages linking each other: with another page name than index.html, and at
// the deepest level of a walk with a depth limit, every relative link of
// every page leads to something that exists, and a folder with a page of its
// own is linked at that page.
TEST(PublishedPages, LinksBetweenPagesLeadToPagesTheRunWrote) {
  const struct {
    std::vector<std::string> options;
    std::string page;
    int pages;         // how many the run writes
    std::string link;  // how the top page links the folder "plain"
  } cases[] = {
      {{"-o", "page.html"}, "page.html", 5, "plain/page.html"},
      {{"-o", "a b#c.html"}, "a b#c.html", 5, "plain/a b#c.html"},
      {{"-d", "1"}, "index.html", 3, "plain/index.html"},
      {{"-d", "2", "-o", "p.htm"}, "p.htm", 4, "plain/p.htm"},
      {{"-d", "0"}, "index.html", 1, "plain/"},
  };
  for (const char* style : kPerFolderStyles) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(style) + " with " + c.options[0] + " " + c.options[1]);
      temp_folder work;
      make_tree(work, "tree");
      std::vector<std::string> args = {"--per-folder", "-q", "-s", style};
      args.insert(args.end(), c.options.begin(), c.options.end());
      args.push_back(work.path() + "/tree");
      const run_result result = run_dirscribe(args);
      ASSERT_EQ(result.exit_code, 0) << result.err;
      const std::vector<std::string> pages = pages_named(work.path() + "/tree", c.page);
      EXPECT_EQ(pages.size(), static_cast<size_t>(c.pages));
      for (const std::string& page : pages) {
        // A name with "#" cannot stand in a link unescaped: such pages say
        // nothing false, they only cannot be reached from their parent.
        if (c.page.find('#') != std::string::npos) continue;
        EXPECT_EQ(broken_links(page), std::vector<std::string>{}) << page;
      }
      const std::string top = without_scripts(read_file(work.path() + "/tree/" + c.page));
      EXPECT_NE(top.find("href=\"" + c.link + "\""), std::string::npos) << c.link;
      if (c.page != "index.html") {
        EXPECT_EQ(top.find("index.html"), std::string::npos);
      }
    }
  }
}

// Every count on a page agrees: with empty folders left out, the top
// folder's own count and the totals name the same folders, the ones that
// hold files.
TEST(PublishedPages, CountsAgreeWhenEmptyFoldersAreLeftOut) {
  const std::regex counts("(\\d+) files?(?:, | in )(\\d+) folders?");
  for (const char* style : {"Detailed table", "Collapsible tree", "Plain list"}) {
    SCOPED_TRACE(style);
    temp_folder work;
    make_tree(work, "tree");
    for (const char* empty : {"tree/none", "tree/plain/none/deeper", "tree/zzz/a/b"}) {
      fs::create_directories(work.path() + "/" + empty);
    }
    const run_result result = run_dirscribe(
        {"-q", "--hide-empty", "--sizes", "-d", "-1", "-s", style, "tree"}, work.path());
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const std::string page = read_file(work.path() + "/tree/index.html");
    std::vector<std::string> seen;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), counts);
         it != std::sregex_iterator(); ++it) {
      seen.push_back((*it)[1].str() + " files, " + (*it)[2].str() + " folders");
    }
    ASSERT_FALSE(seen.empty());
    // The first count is the top folder's own, where a style shows one; the
    // last is the totals.
    EXPECT_EQ(seen.front(), "5 files, 4 folders");
    EXPECT_EQ(seen.back(), "5 files, 4 folders");
  }
}

// The forms a path can take in a page: as it is, HTML-escaped, URL-escaped
// (as links and encodeURIComponent write it) and JSON-escaped.
std::vector<std::string> forms_of(const std::string& path) {
  std::string html, url, json;
  for (const unsigned char c : path) {
    if (c == '&') {
      html += "&amp;";
    } else if (c == '"') {
      html += "&quot;";
    } else if (c >= 0x80) {
      html += "&#";  // the style's escape gives code points; a prefix will do
    } else {
      html += static_cast<char>(c);
    }
    if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_') {
      url += static_cast<char>(c);
    } else {
      static const char hex[] = "0123456789ABCDEF";
      url += '%';
      url += hex[c >> 4];
      url += hex[c & 15];
    }
    json += c == '/' ? std::string("\\/") : std::string(1, static_cast<char>(c));
  }
  // The part of the html form before the first reference, long enough to
  // name the machine's folders.
  html = html.substr(0, html.find("&#"));
  return {path, html, url, json};
}

// No page of any style names where the listing was made: neither the listed
// folder's path nor its parent's, in any escaped form; the pages name the
// listing by the folder's own name, or by the title the project gives.
TEST(PublishedPages, NoStyleNamesTheLocalPath) {
  for (const char* style : kStyles) {
    for (const bool titled : {false, true}) {
      SCOPED_TRACE(std::string(style) + (titled ? " with a title" : ""));
      temp_folder work;
      const std::string tree = work.path() + "/secret-place/Downloads & more";
      make_tree(work, "secret-place/Downloads & more");
      std::vector<std::string> args = {
          "-q", "--link-base", "https://files.example.org/pub/", "-d", "-1", "-s", style};
      if (std::string(style) == "Folder index pages" || std::string(style) == "Gallery") {
        args.push_back("--per-folder");
      }
      if (titled) {
        // The title comes from the project, written as a save writes it.
        args.insert(args.end(), {"--save-project", work.path() + "/p.txt"});
      }
      args.push_back(tree);
      run_result result = run_dirscribe(args);
      ASSERT_EQ(result.exit_code, 0) << result.err;
      if (titled) {
        std::string saved = read_file(work.path() + "/p.txt");
        const size_t end = saved.find("</project>");
        ASSERT_NE(end, std::string::npos) << saved;
        saved.insert(end, "<listing_title>Tom &amp; Jerry</listing_title>\r\n");
        work.write("p.txt", saved);
        result = run_dirscribe({work.path() + "/p.txt"});
        ASSERT_EQ(result.exit_code, 0) << result.err;
      }
      const std::vector<std::string> pages = pages_named(tree, "index.html");
      ASSERT_FALSE(pages.empty());
      for (const std::string& page_path : pages) {
        const std::string page = read_file(page_path);
        for (const std::string& form : forms_of(work.path() + "/secret-place")) {
          EXPECT_EQ(page.find(form), std::string::npos) << page_path << " holds " << form;
        }
        EXPECT_EQ(page.find("secret-place"), std::string::npos) << page_path;
        EXPECT_NE(page.find(titled ? "Tom &amp; Jerry" : "Downloads &amp; more"), std::string::npos)
            << page_path;
      }
    }
  }
}

}  // namespace
}  // namespace dirscribe::testing
