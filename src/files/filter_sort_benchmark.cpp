// Filtering and sorting one folder of 100,000 synthetic entries, as a listing
// does for every folder it prints.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "files/file_filter.h"
#include "files/file_node.h"

namespace dirscribe {
namespace {

constexpr int kEntries = 100000;

void fill(file_tree& tree, std::mt19937& random) {
  static const char* kExtensions[] = {".txt", ".html", ".bak", ".JPG", ".c", ""};
  file_node* last = nullptr;
  for (int i = 0; i < kEntries; ++i) {
    auto node = std::make_unique<file_node>();
    node->is_folder = random() % 10 == 0;
    node->name = "entry_" + std::to_string(random() % 50000) +
                 (node->is_folder ? "" : kExtensions[random() % 6]);
    node->ext = node->is_folder ? "" : extension_of(node->name);
    node->size = random() % 5000000;
    node->mtime = 1600000000 + static_cast<unix_time>(random() % 100000000);
    node->attributes = random() % 8 == 0 ? 0x2 : 0x80;
    last = last ? tree.insert_after(last, std::move(node)) : tree.append_top(std::move(node));
  }
}

void BM_FilterAndSort(benchmark::State& state) {
  file_filter_data filter;
  filter.str_files_include = "*.txt; *.html; *.jpg; *.c; *";
  filter.str_files_skip = "*.bak; index.html";
  filter.str_folder_skip = "entry_1*";
  filter.att_filter = 1;  // exclude hidden
  filter.attrs = 0x2;
  filter.size_filter = 2;
  filter.size_end = 4000000;
  filter.compile_masks();
  filter.prepare_windows(0);
  std::mt19937 random(7);
  int64_t kept = 0;
  for (auto _ : state) {
    state.PauseTiming();
    file_tree tree;
    fill(tree, random);
    state.ResumeTiming();
    kept = filter.apply(tree, nullptr);
    tree.sort_key = static_cast<int32_t>(state.range(0));
    tree.sort_all();
    tree.reverse_all();
    benchmark::DoNotOptimize(tree.first());
    state.PauseTiming();
    tree.clear();
    state.ResumeTiming();
  }
  state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_FilterAndSort)->Arg(0)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// Times sort_all with the key of the first argument over trees `fill` makes,
// leaving the filling and freeing out of the time.
template <class Fill>
void time_sorting(benchmark::State& state, Fill fill_tree) {
  for (auto _ : state) {
    state.PauseTiming();
    file_tree tree;
    fill_tree(tree);
    state.ResumeTiming();
    tree.sort_key = static_cast<int32_t>(state.range(0));
    tree.sort_all();
    benchmark::DoNotOptimize(tree.first());
    state.PauseTiming();
    tree.clear();
    state.ResumeTiming();
  }
}

void BM_SortOnly(benchmark::State& state) {
  std::mt19937 random(11);
  time_sorting(state, [&random](file_tree& tree) { fill(tree, random); });
}
BENCHMARK(BM_SortOnly)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);

// 200,000 names of a music and photo collection, in one list or in folders of
// a dozen as trees usually hold them: words with and without accents, in
// either case, track and picture numbers, a few other scripts. Compares the
// natural key with the case-insensitive name key.
void fill_collection(file_tree& tree, std::mt19937& random, int per_folder) {
  static const char* kWords[] = {"Björk", "Édith", "Piaf",  "Sigur",   "Rós",     "track",
                                 "Track", "IMG",   "photo", "Various", "Artists", "über",
                                 "Ωμέγα", "Борис", "live",  "Disc",    "mix",     "Zoë"};
  static const char* kExtensions[] = {".mp3", ".flac", ".jpg", ".JPG", ".txt", ""};
  file_node* folder = nullptr;
  file_node* last = nullptr;
  for (int i = 0; i < 200000; ++i) {
    auto node = std::make_unique<file_node>();
    node->name = std::string(kWords[random() % 18]) + ' ' + kWords[random() % 18];
    if (random() % 2) node->name += (random() % 2 ? " " : "_") + std::to_string(random() % 3000);
    node->name += kExtensions[random() % 6];
    if (per_folder > 0 && i % per_folder == 0) {
      auto next = std::make_unique<file_node>();
      next->name = "folder " + std::to_string(i);
      next->is_folder = true;
      folder =
          folder ? tree.insert_after(folder, std::move(next)) : tree.append_top(std::move(next));
    }
    if (folder) {
      tree.append_child(folder, std::move(node));
    } else {
      last = last ? tree.insert_after(last, std::move(node)) : tree.append_top(std::move(node));
    }
  }
}

void BM_SortCollection(benchmark::State& state) {
  std::mt19937 random(13);
  const int per_folder = static_cast<int>(state.range(1));
  time_sorting(state, [&](file_tree& tree) { fill_collection(tree, random, per_folder); });
}
BENCHMARK(BM_SortCollection)
    ->ArgsProduct({{sort_by_name_nocase, sort_by_natural}, {0, 12}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dirscribe
