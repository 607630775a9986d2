// A temporary folder for tests, benchmarks and fuzzers: made fresh on
// construction, removed with everything in it on destruction.
#pragma once

#include <cstddef>
#include <set>
#include <string>

namespace dirscribe {

// The whole content of the file at `path`, or empty when it cannot be read.
std::string read_file(const std::string& path);

// The names of the entries of the folder at `path` (none when it cannot be
// read), hidden ones included.
std::set<std::string> names_in(const std::string& path);

class temp_folder {
 public:
  // Makes a new folder under TMPDIR (or /tmp). path() is empty when that
  // fails, so a test can assert on it.
  temp_folder();
  // Removes the folder and its contents, first giving back to the owner the
  // permissions a test took away from folders inside, so that nothing stays.
  ~temp_folder();
  temp_folder(const temp_folder&) = delete;
  temp_folder& operator=(const temp_folder&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + relative.
  std::string at(const std::string& relative) const;

  // Writes `content` to at(relative), replacing any file there and creating
  // the folders above it as needed. Failures show in what the test reads back.
  void write(const std::string& relative, const std::string& content) const;
  // A file of `size` bytes "x" at at(relative), as write makes it.
  void make_file(const std::string& relative, size_t size) const;
  // The folder at(relative) with its parents; throws when it cannot be made.
  void make_folder(const std::string& relative) const;
  // A symbolic link at at(relative) to `target`, taken as written (relative
  // targets are relative to the link's folder); throws when it cannot be made.
  void make_link(const std::string& target, const std::string& relative) const;

 private:
  std::string path_;
};

}  // namespace dirscribe
