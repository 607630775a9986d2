// The extension table "ext.txt": extensions and broad content kinds mapped to
// a type text and an icon file name, and the two lookups the listing makes
// for every entry.
#pragma once

#include <cstdint>
#include <string>

#include "core/outcome.h"
#include "core/tagged_value.h"

namespace dirscribe {

class project_context;
struct file_node;

// Empties the four tables of `collection` and fills them from `file_name`.
// Fails with result_document_not_opened and kPhraseCantOpenFile + the name
// when the file cannot be opened; with result_document_malformed and the
// name + ": " on any other failure (a parse error: kPhraseExtensionTableError
// + the reader's line, column and error; no /ext/extensions:
// kPhraseExtensionListMissing; no /ext/types: kPhraseTypeListMissing, the
// extension tables keep what was read).
outcome load_extension_table(const std::string& file_name, project_context& collection);

// The type text of an entry: from the tables of `collection` by extension,
// then by the registered content type's major kind, then the "other" kind;
// with `shell_mode` (a project's setting) bit 2 the system's type
// description instead. Never fails.
std::string entry_type_text(const file_node& entry, const project_context& collection,
                            int32_t shell_mode);

// The icon file name of an entry from the tables of `collection`, or the
// integer 0 when none is found.
tagged_value entry_icon(const file_node& entry, const project_context& collection);

}  // namespace dirscribe
