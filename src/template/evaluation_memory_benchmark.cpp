// Peak memory of writing a tree listing of 200,000 files. A tree loop reads,
// filters and sorts one folder at a time and keeps the entries of each folder
// on its current path until that folder is done, so its memory follows the
// entries of those folders, not the size of the tree. Three trees show it: a
// deep one (200,000 files in 16,405 folders five levels deep, about 12 files
// each) and two flat ones (200,000 and 50,000 files in one folder, all of
// which are held while that folder is listed).
//
// Counters, all in kilobytes:
//   eval_hwm_growth_kB  VmHWM after the evaluation minus VmRSS before it, with
//                       the high-water mark reset (/proc/self/clear_refs 5)
//                       and the heap trimmed just before the evaluation;
//   maxrss_growth_kB    the same growth as getrusage ru_maxrss sees it (never
//                       below the peak of the image exec replaced, usually
//                       the shell's, so a growth under that floor reads 0);
//   maxrss_kB           ru_maxrss at the end (the process peak);
//   summary_kB          with recursive sizes: VmRSS growth across building the
//                       summary tree, heap trimmed after (what the summary,
//                       one node per folder of the tree, keeps during the run);
//   summary_hwm_kB      the peak growth while it is built (its walk holds the
//                       entries of one folder at a time).
// -1 means the value could not be read.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/html_list_project.h"
#include "engine/listing_run.h"
#include "engine/project_context.h"
#include "files/file_node.h"
#include "files/folder_summary.h"
#include "services/phrase_table.h"
#include "support/temp_folder.h"
#include "support/test_phrases.h"
#include "template/loop_frame.h"
#include "template/template_evaluator.h"
#include "template/template_parser.h"

namespace dirscribe {
namespace {

constexpr int kFiles = 200000;
constexpr int kSmallFlatFiles = 50000;
constexpr int kBranching[] = {5, 5, 5, 5, 25};  // 16,405 folders below the root

// Counts what the listing writes and keeps none of it.
class counting_sink : public output_sink {
 public:
  bool write(std::string_view text) override {
    bytes_ += text.size();
    return true;
  }
  uint64_t bytes() const { return bytes_; }

 private:
  uint64_t bytes_ = 0;
};

// A field of /proc/self/status in kilobytes, or -1.
long status_kb(const char* field) {
  std::ifstream status("/proc/self/status");
  const std::string prefix = std::string(field) + ":";
  for (std::string line; std::getline(status, line);) {
    if (line.compare(0, prefix.size(), prefix) == 0) {
      return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    }
  }
  return -1;
}

long maxrss_kb() {
  rusage usage;
  return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : -1;
}

// Gives freed heap pages back and restarts the kernel's high-water mark at the
// current size, so the next peak belongs to what runs next. False when the
// mark cannot be reset.
bool reset_peak() {
  malloc_trim(0);
  std::FILE* refs = std::fopen("/proc/self/clear_refs", "w");
  if (!refs) return false;
  const bool written = std::fputs("5", refs) >= 0;
  return std::fclose(refs) == 0 && written;
}

void make_file(const std::string& path, int index) {
  const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
  if (fd < 0) return;
  // Sparse sizes: different numbers to print, no data written. A size that
  // cannot be set leaves an empty file, which lists as well.
  if (ftruncate(fd, index % 5000) != 0) perror(path.c_str());
  close(fd);
}

std::string file_name(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "file_%06d.txt", index);
  return name;
}

// The trees, made on first use and removed when the program ends.
enum tree_kind { deep_tree = 0, flat_tree = 1, small_flat_tree = 2 };

class test_trees {
 public:
  static test_trees& get() {
    static test_trees trees;
    return trees;
  }
  const std::string& path(int kind) {
    std::string& path = paths_[kind];
    if (path.empty()) {
      path = kind == deep_tree ? make_deep()
                               : make_flat(kind == flat_tree ? "flat" : "small_flat",
                                           kind == flat_tree ? kFiles : kSmallFlatFiles);
    }
    return path;
  }

 private:
  test_trees() = default;

  std::string make_deep() {
    const std::string root = base_.at("deep");
    mkdir(root.c_str(), 0755);
    std::vector<std::string> folders = {root};
    std::vector<std::string> level = {root};
    for (int width : kBranching) {
      std::vector<std::string> next;
      for (const std::string& parent : level) {
        for (int i = 0; i < width; ++i) {
          next.push_back(parent + "/folder_" + std::to_string(i));
          mkdir(next.back().c_str(), 0755);
        }
      }
      folders.insert(folders.end(), next.begin(), next.end());
      level.swap(next);
    }
    for (int i = 0; i < kFiles; ++i) {
      make_file(folders[static_cast<size_t>(i) % folders.size()] + "/" + file_name(i), i);
    }
    return root;
  }

  std::string make_flat(const std::string& name, int files) {
    const std::string root = base_.at(name);
    mkdir(root.c_str(), 0755);
    for (int i = 0; i < files; ++i) make_file(root + "/" + file_name(i), i);
    return root;
  }

  temp_folder base_;  // removed with the trees at exit
  std::string paths_[3];
};

const char kTemplate[] =
    "<html><body>\n"
    "<!--#for var=\"tree\"-->"
    "<!--#if var=\"folder_start\"--><ul>\n<!--#endif-->"
    "<!--#if var=\"folder_end\"--></ul>\n<!--#endif-->"
    "<!--#if var=\"is_item\"--><li><!--#echoe var=\"name\"--> <!--#echoe var=\"size\"--> "
    "<!--#echoe var=\"modified\"--></li>\n<!--#endif-->"
    "<!--#endfor-->"
    "</body></html>\n";

// Builds the folder summary of `path` into `summary` and measures the memory
// it holds (`kept_kb`) and its peak (`peak_kb`, -1 when the peak cannot be
// reset); false, with the benchmark skipped, when the summary fails.
bool measure_summary(benchmark::State& state, const std::string& path, file_tree& summary,
                     long& kept_kb, long& peak_kb) {
  const bool reset = reset_peak();
  const long before = status_kb("VmRSS");
  auto top = std::make_unique<file_node>();
  top->is_folder = true;
  top->name = path;
  file_node* top_node = summary.append_top(std::move(top));
  generation_context context;
  if (const outcome built = build_summary(path, context, summary, top_node); !built.ok()) {
    state.SkipWithError(("summary: " + built.message()).c_str());
    return false;
  }
  peak_kb = reset ? status_kb("VmHWM") - before : -1;
  malloc_trim(0);
  kept_kb = status_kb("VmRSS") - before;
  return true;
}

// Arguments: tree (tree_kind), recursive sizes (recursive_options 0 or 1).
void BM_TreeListingMemory(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const int recursive = static_cast<int>(state.range(1));
  const std::string& path = test_trees::get().path(kind);

  phrase_table phrases;
  if (const outcome loaded = load_english_phrases(phrases); !loaded.ok()) {
    state.SkipWithError(("phrases: " + loaded.message()).c_str());
    return;
  }
  template_tree templ;
  template_parser parser(phrases, templ);
  if (!parser.feed(kTemplate).ok() || !parser.finish().ok()) {
    state.SkipWithError("template does not parse");
    return;
  }
  project_context collection;
  collection.language = &phrases;
  html_list_project project;
  reset_project(project);
  project.settings.order_files = 1;
  project.settings.recursion_depth = -1;
  project.settings.recursive_options = recursive;
  listing_run run(project.settings, collection);
  run.filter = project.settings.filter;  // as a build prepares it

  long summary_kb = 0;
  long summary_hwm_kb = 0;
  file_tree summary;
  if (recursive & 1) {
    if (!measure_summary(state, path, summary, summary_kb, summary_hwm_kb)) return;
    run.summary = &summary;
  }

  long hwm_growth = 0;
  long maxrss_growth = 0;
  uint64_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const bool reset = reset_peak();
    const long rss_before = status_kb("VmRSS");
    const long maxrss_before = maxrss_kb();
    counting_sink sink;
    run.clear_listing_totals();
    file_node nameless;
    nameless.is_folder = true;
    file_node* slot = &nameless;
    loop_frame root = make_root_frame(path, "file://" + path + "/");
    state.ResumeTiming();

    const outcome evaluated = evaluate(templ.first(), nullptr, slot, root, run, sink);

    state.PauseTiming();
    if (!evaluated.ok()) {
      state.SkipWithError(("evaluation failed: " + evaluated.message()).c_str());
      break;
    }
    hwm_growth = reset ? std::max(hwm_growth, status_kb("VmHWM") - rss_before) : -1;
    maxrss_growth = std::max(maxrss_growth, maxrss_kb() - maxrss_before);
    bytes = sink.bytes();
    state.ResumeTiming();
  }
  state.counters["eval_hwm_growth_kB"] = static_cast<double>(hwm_growth);
  state.counters["maxrss_growth_kB"] = static_cast<double>(maxrss_growth);
  state.counters["maxrss_kB"] = static_cast<double>(maxrss_kb());
  state.counters["summary_kB"] = static_cast<double>(summary_kb);
  state.counters["summary_hwm_kB"] = static_cast<double>(summary_hwm_kb);
  state.counters["output_bytes"] = static_cast<double>(bytes);
  state.counters["files"] = static_cast<double>(run.listing_file_total);
  state.counters["folders"] = static_cast<double>(run.listing_folder_total);
}
BENCHMARK(BM_TreeListingMemory)
    ->ArgNames({"tree", "recursive"})
    ->ArgsProduct({{deep_tree, flat_tree, small_flat_tree}, {0, 1}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dirscribe
