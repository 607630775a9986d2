// Test help for the template layer: a template tree built from short steps
// instead of template text, so a test names exactly the runs and directives
// the builder sees.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "core/outcome.h"
#include "core/value_map.h"
#include "template/template_tree_builder.h"

namespace dirscribe {

// Drives a builder with steps: "text" for a text run, "#name a=b c=d" for a
// directive with its attributes (no quoting needed in tests), checked against
// `vocabulary` when one is given. Returns the first failure's code, or
// result_ok; `failed_at` receives its step index.
inline int build_from_steps(template_tree& tree, const std::vector<std::string>& steps,
                            const template_variables* vocabulary = nullptr,
                            int* failed_at = nullptr) {
  template_tree_builder builder(tree, vocabulary);
  for (size_t i = 0; i < steps.size(); ++i) {
    const std::string& step = steps[i];
    int result;
    if (!step.empty() && step[0] == '#') {
      std::istringstream words(step.substr(1));
      std::string name, word;
      words >> name;
      value_map attributes;
      while (words >> word) {
        const size_t equals = word.find('=');
        attributes.set(word.substr(0, equals),
                       equals == std::string::npos ? "" : word.substr(equals + 1));
      }
      result = builder.add_directive(name, std::move(attributes), "<!--" + step + "-->");
    } else {
      result = builder.add_text(step);
    }
    if (result != result_ok) {
      if (failed_at) *failed_at = static_cast<int>(i);
      return result;
    }
  }
  return result_ok;
}

}  // namespace dirscribe
