// A canonical one-string dump of a document tree, the oracle of the markup
// tests and the fuzzer's chunking check.
#pragma once

#include <string>

#include "markup/xml_node.h"

namespace dirscribe {

// One line per node in document order, indented two blanks per level:
// type, "+" when closed or "-" when open, the name, the attributes as
// {name=value,...} (the list in order when it was kept), then the raw text and
// the decoded text in brackets. Bytes below 32 and "\" are written as \xNN.
std::string xml_dump(const xml_tree& tree);

}  // namespace dirscribe
