// Reads a generated project-like markup document of several MB from memory.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "markup/document_reader.h"

namespace dirscribe {
namespace {

std::string make_document(size_t target_size) {
  std::string document = "<?xml version=\"1.0\"?>\n<catalog>\n";
  for (int i = 0; document.size() < target_size; ++i) {
    const std::string n = std::to_string(i);
    document += "  <template name=\"Style " + n + "\" folder=\"templates/style" + n +
                "\" preview='preview" + n + ".png'>\n";
    document += "    <description>A listing style with folders, files and sizes, number " + n +
                ".</description>\n";
    document += "    <notes>Sizes &amp; dates &lt;formatted&gt; per row</notes>\n";
    document += "    <!-- kept for compatibility -->\n    <flags/>\n  </template>\n";
  }
  document += "</catalog>\n";
  return document;
}

void BM_ParseText(benchmark::State& state) {
  const std::string document = make_document(static_cast<size_t>(state.range(0)) << 20);
  document_options options;
  options.normalise_line_ends = state.range(1) != 0;
  for (auto _ : state) {
    xml_tree tree;
    const outcome result = parse_text(document, tree, options);
    if (!result.ok()) state.SkipWithError(result.message().c_str());
    benchmark::DoNotOptimize(tree.first());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(document.size()));
}
BENCHMARK(BM_ParseText)->Args({4, 0})->Args({4, 1})->Unit(benchmark::kMillisecond);

// The same without the time spent freeing the tree afterwards.
void BM_ParseTextKeepTree(benchmark::State& state) {
  const std::string document = make_document(static_cast<size_t>(state.range(0)) << 20);
  const document_options options;
  for (auto _ : state) {
    auto tree = std::make_unique<xml_tree>();
    const outcome result = parse_text(document, *tree, options);
    if (!result.ok()) state.SkipWithError(result.message().c_str());
    state.PauseTiming();
    tree.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(document.size()));
}
BENCHMARK(BM_ParseTextKeepTree)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dirscribe
