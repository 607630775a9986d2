// Nothing a user had is lost, tried as faults and hostile users would try it:
// a run interrupted, cut short by a full disk or racing another run, and hard
// links under the pages. Every spawned run has a time limit.
#include <gtest/gtest.h>

#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
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
    for (const auto& [key, value] : extra) {
      auto same =
          std::find_if(all.begin(), all.end(), [&](const auto& k) { return k.first == key; });
      if (same != all.end()) {
        same->second = value;
      } else {
        all.emplace_back(key, value);
      }
    }
    work_.write(name, project_text(all));
    return work_.at(name);
  }

  limited_result run_project(const keys& extra = {}, const run_options& options = {}) const {
    return run_limited({"-q", project(extra)}, options);
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

}  // namespace
}  // namespace dirscribe::testing
