// The mark that tells a file Dirscribe wrote from one a person made, so that
// a hand-made page is never replaced unasked. The mark changes no byte of the
// file: it is an extended attribute where the file system keeps them. Pages
// of the bundled styles carry a generator meta element too, which also tells
// pages from file systems without extended attributes (and pages copied
// without them) as Dirscribe's.
#pragma once

#include <string>

namespace dirscribe {

// Marks the open file `descriptor` as written by Dirscribe. Where the file
// system keeps no extended attributes nothing happens.
void mark_as_written(int descriptor);

// Whether the regular file `name` in the folder `folder_descriptor` was
// written by Dirscribe: it carries the mark, or its first 4,096 bytes hold a
// generator meta element naming Dirscribe. A file that cannot be read is
// not taken for Dirscribe's.
bool written_by_dirscribe(int folder_descriptor, const std::string& name);

// Whether the open file `descriptor` carries no extended attribute but the
// mark (no access list, no label, nothing a user set). False when they
// cannot be listed.
bool carries_nothing_but_the_mark(int descriptor);

}  // namespace dirscribe
