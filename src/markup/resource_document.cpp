#include "markup/resource_document.h"

#include <zlib.h>

#include "markup/document_reader.h"

namespace dirscribe {

outcome load_resource_document(const std::string& file_name, xml_tree& tree) {
  const outcome not_opened{result_document_not_opened, "Can't open source file: " + file_name};
  gzFile file = gzopen(file_name.c_str(), "rb");
  if (!file) return not_opened;
  // gzread passes a file that is not compressed through unchanged, so a plain
  // markup copy works as well. One byte past the limit is enough for the
  // document reader to report the size.
  std::string text;
  char buffer[16384];
  bool failed = false;
  while (text.size() <= kResourceDocumentLimit) {
    const int read = gzread(file, buffer, sizeof buffer);
    if (read < 0) {
      failed = true;
      break;
    }
    if (read == 0) break;
    text.append(buffer, static_cast<size_t>(read));
  }
  // A truncated or damaged stream ends without a read error but leaves one.
  int status = Z_OK;
  gzerror(file, &status);
  if (status != Z_OK) failed = true;
  gzclose(file);
  if (failed) return not_opened;

  document_options options;
  options.lower_case_names = false;  // the interface description is found as "/TvostraDSC"
  options.normalise_line_ends = true;
  // The form builder sets properties in the order the attributes are written.
  options.attributes_as_map = false;
  return parse_text(text, tree, options);
}

}  // namespace dirscribe
