// Shared by the tests of the wizard's widgets.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "markup/document_reader.h"
#include "markup/xml_node.h"

namespace dirscribe {

// A description read the way the resource document is read: names with case,
// attributes in their order.
inline xml_tree parse_description(const std::string& text) {
  xml_tree tree;
  document_options options;
  options.lower_case_names = false;
  options.normalise_line_ends = true;
  options.attributes_as_map = false;
  std::string error;
  EXPECT_EQ(parse_text(text, tree, options, error), 0) << error;
  return tree;
}

}  // namespace dirscribe
