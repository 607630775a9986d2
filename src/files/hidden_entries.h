// Hidden entries (names starting with ".": .git, .env, .htaccess...) are the
// ones people do not mean to publish. These turn a filter's rules for them on
// and off, in the filter's own keys, so a saved project and the wizard's
// filter page show exactly what a listing leaves out.
#pragma once

#include "files/file_filter.h"

namespace dirscribe {

// The folder mask that leaves out hidden folders with all they hold.
inline constexpr std::string_view kHiddenFolderMask = ".*";

// Leaves hidden files out (the attribute filter's exclusion of the hidden
// bit, added to what it already excludes) and hidden folders (the folder
// skip mask kHiddenFolderMask, added unless present). A filter that includes
// by attributes keeps its condition, as it already names what it lists; so
// does one that excludes only entries with all of its bits, where one more
// bit would narrow what it leaves out.
// Compiles the masks.
void leave_out_hidden(file_filter_data& filter);

// Undoes leave_out_hidden: the hidden bit leaves an excluding attribute
// filter (which turns off when nothing else is excluded) and the mask
// kHiddenFolderMask leaves the folder skip list. Compiles the masks.
void let_in_hidden(file_filter_data& filter);

}  // namespace dirscribe
