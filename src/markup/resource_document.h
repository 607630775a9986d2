// The resource document "vostra.bin": one markup document of top-level
// elements (the phrases of every language in `langs` and the interface
// description), stored gzip-compressed in the program folder.
#pragma once

#include <string>

#include "core/outcome.h"
#include "markup/xml_node.h"

namespace dirscribe {

// The largest document the reader accepts (the document reader's own limit);
// a stored file that inflates beyond it is refused instead of filling memory.
inline constexpr size_t kResourceDocumentLimit = 16777216;

// Reads `file_name` (gzip-compressed or plain markup) into `tree`, names kept
// as written. Fails with result_document_not_opened when the file cannot be
// opened or inflated (message "Can't open source file: " + name), or as the
// document reader does when it is not a readable markup document (nodes
// built before the error stay in the tree).
outcome load_resource_document(const std::string& file_name, xml_tree& tree);

}  // namespace dirscribe
