// Nothing a user had is lost, tried as faults and hostile users would try it:
// a run interrupted, cut short by a full disk or racing another run, hard
// links and folders swapped for links under the pages, hand-made pages where
// a listing goes, an output folder inside the listed tree, and a project file
// saved where it may not go. Every spawned run has a time limit.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "abuse_helpers.h"
#include "run_program.h"

namespace dirscribe::testing {
namespace {

namespace fs = std::filesystem;
using keys = std::vector<std::pair<std::string, std::string>>;
using clock_type = std::chrono::steady_clock;

// Every entry by its path relative to the listed folder, one record a line,
// in a page that says Dirscribe wrote it.
constexpr char kPageTemplate[] =
    "<meta name=\"generator\" content=\"Dirscribe\">\n"
    "<!--#for var=\"tree\"--><!--#if var=\"is_item\"--><n><!--#echoe var=\"rel_path\"--></n>\n"
    "<!--#endif--><!--#endfor-->";

// The same records with nothing that marks the page as Dirscribe's.
constexpr char kUnmarkedTemplate[] =
    "<!--#for var=\"tree\"--><!--#if var=\"is_item\"--><n><!--#echoe var=\"rel_path\"--></n>\n"
    "<!--#endif--><!--#endfor-->";

constexpr char kHandMadePage[] =
    "<!DOCTYPE html>\n<html><head><title>Our documents</title></head>\n"
    "<body><p>Written by hand, linked from elsewhere.</p></body></html>\n";

// The paths a page written with kPageTemplate lists.
std::vector<std::string> listed(const std::string& page) {
  return pieces_between(read_file(page), "<n>", "</n>");
}

bool lists(const std::string& page, const std::string& path) {
  const std::vector<std::string> paths = listed(page);
  return std::find(paths.begin(), paths.end(), path) != paths.end();
}

// A tree whose listing takes a while to write: 100,000 empty files in 300
// folders.
bool make_large_tree(const std::string& root) {
  for (int i = 0; i < 300; ++i) {
    const std::string folder = root + "/folder-" + std::to_string(i);
    if (::mkdir(folder.c_str(), 0755) != 0 || !make_empty_files(folder, 334, "file-")) {
      return false;
    }
  }
  return true;
}

// The last subfolder of `folder` as reading it gives them: the one a walk in
// that order reaches last.
std::string last_subfolder(const std::string& folder) {
  std::string last;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return last;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && fs::is_directory(folder + "/" + name)) last = name;
  }
  ::closedir(dir);
  return last;
}

class NothingLost : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(work_.path().empty());
    tree_ = work_.at("tree");
    out_ = work_.at("out");
    outside_ = work_.at("outside");
    for (const std::string& folder : {tree_, out_, outside_}) fs::create_directories(folder);
    work_.write("template.html", kPageTemplate);
    work_.write("tree/a.txt", "a");
  }

  // A project file at `name` in the work folder: the whole tree into
  // out/listing.html with kPageTemplate; `extra` keys come last and win.
  std::string project(const keys& extra = {}, const std::string& name = "project.txt") const {
    keys all = {{"path", tree_},
                {"save", listing_path()},
                {"format_file", work_.at("template.html")},
                {"recursion_depth", "-1"},
                {"subfolders_in_one_file", "1"},
                {"order_files", "1"},
                {"url_escape", "2"}};
    all = with_keys(std::move(all), extra);
    work_.write(name, project_text(all));
    return work_.at(name);
  }

  limited_result run_project(const keys& extra = {}, const run_options& options = {}) const {
    return run_limited({"-q", project(extra)}, options);
  }

  // Quick mode: a page per folder of the whole tree with kPageTemplate, in
  // the mirror under `output_dir`.
  std::vector<std::string> mirror_run(const std::string& output_dir) const {
    std::vector<std::string> args = {"-q", "--depth=-1", "--per-folder"};
    args.insert(args.end(), {"--output-dir", output_dir, "--style", work_.at("template.html")});
    args.push_back(tree_);
    return args;
  }

  std::string listing_path() const { return out_ + "/listing.html"; }

  temp_folder work_;
  std::string tree_;
  std::string out_;
  std::string outside_;
};

// `extra` and the keys of a page per folder named index.html.
keys per_folder(keys extra = {}) {
  extra.emplace_back("subfolders_in_one_file", "0");
  extra.emplace_back("save", "index.html");
  return extra;
}

// ---------------------------------------------------------------------------
// Listings replaced whole

// An interrupted run leaves the old listing as it was and nothing beside it;
// the run must really have been cut off by the signal, not have ended first.
TEST_F(NothingLost, InterruptedRunLeavesTheOldListing) {
  ASSERT_EQ(run_project().exit_code, 0);
  const std::string old_listing = read_file(listing_path());
  const std::vector<std::string> names = folder_names(out_);
  ASSERT_TRUE(make_large_tree(tree_));
  const auto start = clock_type::now();
  ASSERT_EQ(run_project({{"save", work_.at("whole.html")}}).exit_code, 0);
  const auto whole_run = clock_type::now() - start;
  const std::string file = project();
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(::strsignal(signal));
    std::string seen;
    bool interrupted = false;
    for (const double share : {0.5, 0.3, 0.15}) {
      started_program run({"-q", file});
      std::this_thread::sleep_for(whole_run * share);
      ::kill(run.pid(), signal);
      const limited_result result = run.finish();
      ASSERT_FALSE(result.hung);
      interrupted = result.signal == signal;
      if (interrupted) break;
      seen += " exit " + std::to_string(result.exit_code) + " signal " +
              std::to_string(result.signal) + ";";
      // It ended before the signal came: the old listing back, and sooner.
      std::ofstream(listing_path(), std::ios::binary | std::ios::trunc) << old_listing;
    }
    ASSERT_TRUE(interrupted) << "no run was ended by the signal:" << seen;
    EXPECT_TRUE(read_file(listing_path()) == old_listing) << "the old listing was changed";
    EXPECT_EQ(folder_names(out_), names);
  }
}

// A full disk (a file size limit stands in for it) fails the run naming the
// listing and leaves the old one; a later run replaces it keeping its rights.
TEST_F(NothingLost, FullDiskLeavesTheOldListingAndReplacingKeepsItsRights) {
  ASSERT_EQ(run_project().exit_code, 0);
  ASSERT_EQ(::chmod(listing_path().c_str(), 0640), 0);
  const std::string old_listing = read_file(listing_path());
  const std::vector<std::string> names = folder_names(out_);
  ASSERT_TRUE(make_empty_files(tree_, 3000, "a-file-with-a-longer-name-"));

  run_options full;
  full.file_size_limit = 20000;  // the new listing takes some 130 KB
  full.keep_size_signal = true;
  const limited_result cut = run_project({}, full);
  EXPECT_EQ(cut.signal, 0) << "ended by the signal instead of failing the write";
  EXPECT_EQ(cut.exit_code, 1);
  EXPECT_NE(cut.err.find(listing_path()), std::string::npos) << cut.err;
  EXPECT_TRUE(read_file(listing_path()) == old_listing) << "the old listing was changed";
  EXPECT_EQ(folder_names(out_), names) << "a temporary file was left behind";

  const limited_result whole = run_project();
  ASSERT_EQ(whole.exit_code, 0) << whole.err;
  EXPECT_EQ(listed(listing_path()).size(), 3001u);
  struct stat status {};
  ASSERT_EQ(::stat(listing_path().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(folder_names(out_), names);
}

// Two runs writing one listing at the same time: it ends as one of the two
// listings each would write alone, never a splice of both.
TEST_F(NothingLost, TwoRunsAtOnceLeaveOneWholeListing) {
  ASSERT_TRUE(make_large_tree(tree_));
  work_.write("small/only.txt", "x");
  const auto start = clock_type::now();
  ASSERT_EQ(run_project({{"save", out_ + "/alone-large.html"}}).exit_code, 0);
  const auto large_run = clock_type::now() - start;
  ASSERT_EQ(
      run_project({{"path", work_.at("small")}, {"save", out_ + "/alone-small.html"}}).exit_code,
      0);
  const std::string alone_large = read_file(out_ + "/alone-large.html");
  const std::string alone_small = read_file(out_ + "/alone-small.html");
  ASSERT_NE(alone_large, alone_small);
  const std::string large = project({}, "large.txt");
  const std::string small = project({{"path", work_.at("small")}}, "small.txt");

  bool overlapped = false;
  for (const double share : {0.5, 0.3, 0.15}) {
    started_program first({"-q", large});
    std::this_thread::sleep_for(large_run * share);
    started_program second({"-q", small});
    overlapped = first.running();
    const limited_result second_result = second.finish();
    const limited_result first_result = first.finish();
    if (!overlapped) continue;  // the first ended before the second began: sooner
    EXPECT_EQ(first_result.exit_code, 0) << first_result.err;
    EXPECT_EQ(second_result.exit_code, 0) << second_result.err;
    break;
  }
  ASSERT_TRUE(overlapped) << "the two runs never ran at the same time";
  const std::string listing = read_file(listing_path());
  EXPECT_TRUE(listing == alone_large || listing == alone_small)
      << "a splice of two listings: " << listing.size() << " bytes, where alone they take "
      << alone_large.size() << " and " << alone_small.size();
  EXPECT_EQ(folder_names(out_),
            (std::vector<std::string>{"alone-large.html", "alone-small.html", "listing.html"}));
}

// ---------------------------------------------------------------------------
// Hard links

// A snapshot made with hard links (cp -al) shares every page with the one
// before it; listing the new snapshot leaves the old one's pages as they were.
TEST_F(NothingLost, SnapshotSharingPagesByHardLinksKeepsTheOldOne) {
  const std::string older = work_.at("daily.1");
  const std::string newer = work_.at("daily.0");
  work_.write("daily.1/a.txt", "a");
  work_.write("daily.1/sub/b.txt", "b");
  ASSERT_EQ(run_project(per_folder({{"path", older}})).exit_code, 0);
  ASSERT_TRUE(lists(older + "/sub/index.html", "b.txt"));
  const auto older_before = tree_contents(older);
  fs::copy(older, newer, fs::copy_options::recursive | fs::copy_options::create_hard_links);
  work_.write("daily.0/new.txt", "n");
  work_.write("daily.0/sub/new-in-sub.txt", "n");

  const limited_result result = run_project(per_folder({{"path", newer}}));
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_TRUE(tree_contents(older) == older_before) << "a page of daily.1 was written through";
  EXPECT_TRUE(lists(newer + "/index.html", "new.txt"));
  EXPECT_TRUE(lists(newer + "/sub/index.html", "new-in-sub.txt"));
}

// A page in the tree planted as a hard link to a page outside it: the page
// outside stays as it was.
TEST_F(NothingLost, PlantedHardLinkIsNotWrittenThrough) {
  const std::string victim = outside_ + "/victim.html";
  work_.write("elsewhere/secret.txt", "s");
  ASSERT_EQ(run_project({{"path", work_.at("elsewhere")}, {"save", victim}}).exit_code, 0);
  const std::string victim_before = read_file(victim);
  work_.write("tree/sub/b.txt", "b");
  fs::create_hard_link(victim, tree_ + "/sub/index.html");

  const limited_result result = run_project(per_folder());
  EXPECT_FALSE(result.hung);
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(read_file(victim), victim_before) << "written through the hard link";
}

// ---------------------------------------------------------------------------
// Folders swapped for links while a run reads them

// Runs `run` `times` times while the swapper works, and checks after each
// that nothing outside changed and that the run ended by itself with 0, or
// with 1 naming `swapped`; `check` adds what one run must also hold.
void race(int times, const std::function<limited_result(int)>& run, const std::string& outside,
          const std::string& swapped, const path_swapper& swapper,
          const std::function<void(int)>& check = {}) {
  const auto outside_before = tree_contents(outside);
  for (int i = 0; i < times; ++i) {
    SCOPED_TRACE("run " + std::to_string(i + 1));
    const limited_result result = run(i);
    ASSERT_FALSE(result.hung);
    ASSERT_EQ(result.signal, 0) << "crashed";
    ASSERT_TRUE(result.exit_code == 0 || result.exit_code == 1) << result.err;
    if (result.exit_code == 1) {
      ASSERT_NE(result.err.find(swapped), std::string::npos) << result.err;
    }
    ASSERT_TRUE(tree_contents(outside) == outside_before) << "a file outside was written";
    if (check) check(i);
    if (::testing::Test::HasFailure()) return;
  }
  ASSERT_TRUE(swapper.working()) << "the file system cannot exchange a folder and a link";
  EXPECT_GT(swapper.swaps(), times);
}

// The folder the walk reaches last is swapped, over and over, with a link to
// a folder outside that holds a page and a secret: no run writes there, and no
// listing of the tree shows the secret.
TEST_F(NothingLost, FolderSwappedForALinkIsNeverFollowed) {
  for (int i = 0; i < 1000; ++i) {
    const std::string folder = tree_ + "/d" + std::to_string(i);
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    ASSERT_TRUE(make_empty_files(folder, 2, "f"));
  }
  // A page of Dirscribe's, other than the one a run would write there now.
  ASSERT_EQ(run_project({{"path", outside_}, {"save", outside_ + "/index.html"}}).exit_code, 0);
  work_.write("outside/secret.txt", "secret");
  const std::string last = last_subfolder(tree_);
  fs::create_directory_symlink(outside_, work_.at("link"));
  const std::string per_folder_project = project(per_folder(), "per-folder.txt");
  const std::string one_file_project = project({}, "one-file.txt");
  run_options options;
  options.seconds = 30;

  const path_swapper swapper(tree_ + "/" + last, work_.at("link"));
  const auto run = [&](int i) {
    return run_limited({"-q", i % 2 ? one_file_project : per_folder_project}, options);
  };
  race(50, run, outside_, last, swapper, [&](int i) {
    if (i % 2 == 0) return;
    EXPECT_EQ(read_file(listing_path()).find("secret.txt"), std::string::npos)
        << "listed through the link";
  });
}

// A folder of the output_dir mirror swapped with a link to a folder outside:
// no page, folder or temporary file lands there.
TEST_F(NothingLost, MirrorFolderSwappedForALinkIsNeverFollowed) {
  for (int i = 0; i < 200; ++i) work_.write("tree/a/b/c" + std::to_string(i) + "/f", "f");
  const std::string mirror = work_.at("mirror");
  const std::vector<std::string> args = mirror_run(mirror);
  ASSERT_EQ(run_limited(args).exit_code, 0);
  ASSERT_TRUE(fs::is_directory(mirror + "/a/b/c0"));
  work_.write("outside/c0/f", "f");
  ASSERT_EQ(run_project({{"path", outside_}, {"save", outside_ + "/index.html"}}).exit_code, 0);
  fs::create_directory_symlink(outside_, work_.at("link"));
  run_options options;
  options.seconds = 30;

  const path_swapper swapper(mirror + "/a/b", work_.at("link"));
  const auto run = [&](int) { return run_limited(args, options); };
  race(60, run, outside_, "a/b", swapper);
}

// ---------------------------------------------------------------------------
// Pages Dirscribe did not write

// A hand-made page where a listing goes is kept, named in a warning, and the
// run fails after writing every other page; unless the user says to replace
// it. Pages a run wrote before are always written again, whatever template
// wrote them.
TEST_F(NothingLost, PagesDirscribeDidNotWriteAreKeptUnlessAsked) {
  work_.write("unmarked.html", kUnmarkedTemplate);
  const std::string bundled = DIRSCRIBE_PROGRAM_DIR + std::string("templates/folder-index.html");
  struct page_case {
    const char* what;
    std::string hand_made;  // the page made by hand; empty: the one an earlier run wrote
    bool quick;             // quick mode with `options`, or else a project with `extra` keys
    std::vector<std::string> options;
    keys extra;
    int exit_code;
  };
  const page_case cases[] = {
      {"one file per folder", "docs/index.html", true, {"--per-folder"}, {}, 1},
      {"one file", "index.html", true, {}, {}, 1},
      {"--overwrite", "docs/index.html", true, {"--per-folder", "--overwrite"}, {}, 0},
      {"project key overwrite", "docs/index.html", false, {}, {{"overwrite", "1"}}, 0},
      {"again, a bundled style", "", false, {}, {{"format_file", bundled}}, 0},
      {"again, a template that marks nothing",
       "",
       false,
       {},
       {{"format_file", work_.at("unmarked.html")}},
       0},
  };
  const auto run = [&](const page_case& c, const std::string& tree) {
    if (c.quick) {
      std::vector<std::string> args = c.options;
      args.push_back(tree);
      return run_limited(args);
    }
    keys all = per_folder({{"path", tree}});
    all.insert(all.end(), c.extra.begin(), c.extra.end());
    return run_project(all);
  };
  int number = 0;
  for (const page_case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name = "case" + std::to_string(++number);
    const std::string tree = work_.at(name);
    work_.write(name + "/docs/guide.txt", "g");
    work_.write(name + "/src/main.c", "m");
    const std::string page = tree + "/" + (c.hand_made.empty() ? "docs/index.html" : c.hand_made);
    if (c.hand_made.empty()) {
      const limited_result first = run(c, tree);
      EXPECT_EQ(first.exit_code, 0) << first.err;
      work_.write(name + "/docs/added.txt", "n");
    } else {
      work_.write(name + "/" + c.hand_made, kHandMadePage);
    }
    const limited_result result = run(c, tree);
    EXPECT_FALSE(result.hung);
    EXPECT_EQ(result.exit_code, c.exit_code) << result.err;
    const std::string now = read_file(page);
    if (!c.hand_made.empty() && c.exit_code == 1) {
      EXPECT_TRUE(now == kHandMadePage) << "the hand-made page was replaced";
      EXPECT_NE(result.err.find("warning:"), std::string::npos) << result.err;
      EXPECT_NE(result.err.find(c.hand_made), std::string::npos) << result.err;
      if (c.hand_made != "index.html") {
        EXPECT_NE(read_file(tree + "/src/index.html").find("main.c"), std::string::npos);
        EXPECT_TRUE(fs::exists(tree + "/index.html"));
      }
    } else if (!c.hand_made.empty()) {
      EXPECT_FALSE(now == kHandMadePage) << "the page was not replaced";
      EXPECT_NE(now.find("guide.txt"), std::string::npos);
    } else {
      EXPECT_NE(now.find("added.txt"), std::string::npos) << "the earlier page was not rewritten";
    }
  }
}

// ---------------------------------------------------------------------------
// Where outputs go

// An output folder inside the listed tree is neither walked nor listed.
TEST_F(NothingLost, OutputFolderInsideTheTreeIsNeverWalked) {
  work_.write("tree/sub/b.txt", "b");
  const std::string mirror = tree_ + "/out";
  run_options options;
  options.seconds = 10;  // a listing of three entries: more is a walk into its own pages
  const limited_result result = run_limited(mirror_run(mirror), options);
  ASSERT_FALSE(result.hung) << "the run walked into its own pages";
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_FALSE(fs::exists(mirror + "/out"));
  const std::vector<std::string> top = listed(mirror + "/index.html");
  EXPECT_TRUE(lists(mirror + "/index.html", "a.txt") && lists(mirror + "/index.html", "sub"));
  EXPECT_TRUE(std::none_of(top.begin(), top.end(), [](const std::string& path) {
    return path == "out" || path.starts_with("out/");
  })) << "the output folder was listed";
  EXPECT_TRUE(lists(mirror + "/sub/index.html", "b.txt"));
}

// --save-project writes as a listing does: never over the run's own template,
// never into a FIFO, and never leaving a project file cut short.
TEST_F(NothingLost, SavedProjectFileFollowsTheSameRules) {
  run_options limited;
  limited.seconds = 10;
  const std::string style = work_.at("template.html");
  limited_result result = run_limited({"--style", style, "--save-project", style, tree_}, limited);
  EXPECT_EQ(result.exit_code, 1) << result.err;
  EXPECT_TRUE(read_file(style) == kPageTemplate) << "the style's template was written over";

  const std::string fifo = work_.at("project.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  result = run_limited({"--save-project", fifo, tree_}, limited);
  EXPECT_FALSE(result.hung) << "waited for a reader of the FIFO";
  EXPECT_EQ(result.exit_code, 1) << result.err;

  const std::string saved = work_.at("saved/project.txt");
  fs::create_directories(work_.at("saved"));
  ASSERT_EQ(run_limited({"--save-project", saved, tree_}, limited).exit_code, 0);
  const std::string good = read_file(saved);
  const std::vector<std::string> names = folder_names(work_.at("saved"));
  // Half the project, and room for the message on standard error, which the
  // limit holds to as well.
  ASSERT_GT(good.size(), 400u);
  limited.file_size_limit = static_cast<long>(good.size() / 2);
  limited.keep_size_signal = true;
  result = run_limited({"--save-project", saved, out_}, limited);
  EXPECT_EQ(result.signal, 0) << "ended by the signal instead of failing the write";
  EXPECT_EQ(result.exit_code, 1) << result.err;
  EXPECT_NE(result.err.find(saved), std::string::npos) << result.err;
  EXPECT_TRUE(read_file(saved) == good) << "the saved project was changed";
  EXPECT_EQ(folder_names(work_.at("saved")), names);
}

}  // namespace
}  // namespace dirscribe::testing
