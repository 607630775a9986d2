// Reading the wizard's interface description out of the resource document,
// for the tools and tests that build the window without the program's start.
#pragma once

#include <string>

#include "core/outcome.h"
#include "markup/xml_node.h"

namespace dirscribe {

class phrase_table;

// Reads the resource document `resource_file` (vostra.bin): its phrases into
// `phrases`, and its interface description ("/TvostraDSC") as the only
// top-level element of `ui_tree`. Fails with the reader's message, or when
// the document holds no description.
outcome load_interface_description(const std::string& resource_file, phrase_table& phrases,
                                   xml_tree& ui_tree);

}  // namespace dirscribe
