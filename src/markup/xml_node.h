// The document tree of a markup file and the path queries on it.
//
// A document read by the file reader (document_reader.h) is an xml_tree. The
// rest of the program reaches into it with slash-separated element paths
// ("/ext/extensions", "/project", "main/pStyle/pLeft/styleLB") and reads the
// text of the element found or its attributes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/owning_tree.h"
#include "core/tagged_value.h"
#include "core/value_map.h"

namespace dirscribe {

// Node types produced by the document reader.
enum xml_node_type : int {
  xml_untyped = -1,
  xml_start_tag = 1,      // element with content; closed once its end tag is seen
  xml_end_tag = 2,        // kept as the last child of the element it closes
  xml_empty_element = 3,  // "/>" form, or a start tag whose end tag followed directly
  xml_declaration = 4,
  xml_comment = 5,
  xml_processing_instruction = 11,
  xml_other_markup = 15,
  xml_text = 18,  // text run or CDATA section
};

struct xml_node : tree_node<xml_node> {
  int type = xml_untyped;
  std::string name;  // element name for types 1, 2 and 3, empty otherwise
  std::string raw;   // the complete markup or text run as read
  std::string text;  // entity-decoded text for type 18 (CDATA: its content, undecoded)
  bool closed = false;
  void* object = nullptr;  // a user-interface object made from the node; never owned
  value_map attributes;    // attribute name -> entity-decoded value
  // name, value, name, value... in order of appearance; filled only when the
  // document was read with attributes-as-map off.
  std::vector<std::string> attribute_list;

  // The attribute's value, or nullptr when the node has none of that name.
  const tagged_value* attribute(std::string_view attribute_name) const {
    return attributes.lookup(attribute_name);
  }
};

using xml_tree = owning_tree<xml_node>;

// Resolves `path` exactly and case-sensitively. A path that begins with "/"
// starts at the top level (`start` ignored); otherwise at `start`'s children
// (the top level when start is nullptr). Only elements (types 1 and 3) match a
// component; "//" skips an empty component; a trailing "/" or an empty path
// ends at the current node ("/" alone finds nothing). Returns nullptr when
// nothing matches.
xml_node* xml_find(const xml_tree& tree, std::string_view path, const xml_node* start = nullptr);

// Sets `out` to the text of the element at `path`: the text of its first child
// when that child is a text node (type 18 or -1), else empty. Returns 0, or 1
// (with `out` empty) when no element matches.
int xml_text_of(const xml_tree& tree, std::string_view path, const xml_node* start,
                std::string& out);

// Appends one line per node in document order to `lines` (cleared first):
// elements as tags with their attributes in ascending name order and values
// markup-escaped, end tags as "</name>", text, CDATA and processing
// instructions as read, any other node (comments included) as an empty line.
void xml_serialise(const xml_tree& tree, std::vector<std::string>& lines);

// One element line "<name>" + markup-escaped value + "</name>\r\n".
std::string xml_element_line(std::string_view name, const tagged_value& value);

}  // namespace dirscribe
