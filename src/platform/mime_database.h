// The file types the system knows: content types from mime.types and type
// descriptions from the freedesktop.org shared MIME-info database, as desktop
// file managers show them. Lookups are case-insensitive on the extension and
// cached for the life of the object.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace dirscribe {

class mime_database {
 public:
  // `mime_types_file` is a mime.types file ("type ext ext..." lines);
  // `mime_dir` is a shared-mime-info folder holding globs2 and <type>.xml files.
  explicit mime_database(std::string mime_types_file = "/etc/mime.types",
                         std::string mime_dir = "/usr/share/mime");

  // The content type registered for the extension of `name` (the part from its
  // last "."; no dot: not found), lower-cased. True when found.
  bool content_type(std::string_view name, std::string& out);

  // The untranslated description of the type registered for `extension`
  // ("." included), for example "PDF document". True when found and not empty.
  bool type_description(std::string_view extension, std::string& out);

 private:
  void load_content_types();
  void load_globs();
  const std::string& description_of(const std::string& type);

  std::string mime_types_file_;
  std::string mime_dir_;
  bool content_types_loaded_ = false;
  bool globs_loaded_ = false;
  std::map<std::string, std::string, std::less<>> content_types_;  // "pdf" -> "application/pdf"
  std::map<std::string, std::string, std::less<>> glob_types_;     // "pdf" -> "application/pdf"
  std::map<std::string, std::string, std::less<>> descriptions_;   // type -> comment
};

}  // namespace dirscribe
