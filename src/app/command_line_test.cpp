// Reading the command line: what each combination of arguments asks for, and
// the exact text of every usage error.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

// "music" and "photos" are folders, names ending in ".txt" files, anything
// else names nothing.
argument_kind fake_kind(const std::string& name) {
  if (name == "music" || name == "photos") return argument_kind::folder;
  if (name.ends_with(".txt")) return argument_kind::file;
  return argument_kind::nothing;
}

// The parts of a command line a case checks, in one line.
std::string summary(const command_line& line) {
  static const char* const kModes[] = {"wizard",      "help",     "version",
                                       "list-styles", "projects", "folder"};
  std::string out = kModes[static_cast<int>(line.mode)];
  for (const std::string& project : line.projects) out += " [" + project + "]";
  if (!line.folder.empty()) out += " folder=" + line.folder;
  const listing_options& o = line.listing;
  if (!o.style.empty()) out += " style=" + o.style;
  if (o.output) out += " output=" + *o.output;
  if (o.depth) out += " depth=" + std::to_string(*o.depth);
  if (o.per_folder) out += " per-folder";
  if (o.output_dir) out += " output-dir=" + *o.output_dir;
  if (o.sort) out += " sort=" + std::to_string(*o.sort);
  if (o.reverse) out += " reverse";
  if (o.include) out += " include=" + *o.include;
  if (o.exclude) out += " exclude=" + *o.exclude;
  if (o.exclude_dir) out += " exclude-dir=" + *o.exclude_dir;
  if (o.all) out += " all";
  if (o.sizes) out += " sizes";
  if (o.hide_empty) out += " hide-empty";
  if (o.link_base) out += " link-base=" + *o.link_base;
  if (o.title) out += " title=" + *o.title;
  if (o.overwrite) out += " overwrite";
  if (o.thumbnails) out += " thumbnails";
  if (!o.save_project.empty()) out += " save-project=" + o.save_project;
  if (line.quiet) out += " quiet";
  if (line.strict) out += " strict";
  return out;
}

TEST(CommandLine, ReadsWhatEachArgumentAsksFor) {
  const struct {
    std::vector<std::string> args;
    const char* expected;
  } cases[] = {
      {{}, "wizard"},
      {{"--help"}, "help"},
      {{"-h", "--bogus"}, "help"},
      {{"music", "--version", "--bogus"}, "version"},
      {{"--list-styles"}, "list-styles"},
      {{"a.txt"}, "projects [a.txt]"},
      {{"a.txt", "b.txt", "missing"}, "projects [a.txt] [b.txt] [missing]"},
      {{"-q", "--strict", "a.txt"}, "projects [a.txt] quiet strict"},
      {{"music"}, "folder folder=music"},
      {{"music", "-o", "music.html", "--style", "Detailed table"},
       "folder folder=music style=Detailed table output=music.html"},
      {{"-s", "t.html", "-o", "-", "-d", "-1", "photos"},
       "folder folder=photos style=t.html output=- depth=-1"},
      {{"--depth=2", "--per-folder", "--output-dir", "out", "music"},
       "folder folder=music depth=2 per-folder output-dir=out"},
      {{"--sort", "size", "--reverse", "music"}, "folder folder=music sort=3 reverse"},
      {{"--sort", "natural", "music"}, "folder folder=music sort=7"},
      {{"--sort=name", "music"}, "folder folder=music sort=5"},
      {{"--sort=none", "music"}, "folder folder=music sort=0"},
      {{"--include", "*.mp3;*.ogg", "--exclude", "x*", "music"},
       "folder folder=music include=*.mp3;*.ogg exclude=x*"},
      {{"--sizes", "--hide-empty", "music"}, "folder folder=music sizes hide-empty"},
      {{"-a", "--exclude-dir", ".git;build", "--title", "My music", "music"},
       "folder folder=music exclude-dir=.git;build all title=My music"},
      {{"music", "--all"}, "folder folder=music all"},
      {{"--link-base", "https://x.org/pub/", "music"},
       "folder folder=music link-base=https://x.org/pub/"},
      {{"--save-project", "p.txt", "music"}, "folder folder=music save-project=p.txt"},
      {{"--overwrite", "music"}, "folder folder=music overwrite"},
      {{"music", "--thumbnails"}, "folder folder=music thumbnails"},
      // Options of a folder listing make a name that is nothing yet a folder,
      // which then fails as a folder that cannot be opened.
      {{"-d", "0", "nowhere"}, "folder folder=nowhere depth=0"},
      // The last of a repeated option wins; abbreviations are GNU's.
      {{"-o", "a.html", "-o", "b.html", "--rev", "music"},
       "folder folder=music output=b.html reverse"},
      {{"-qd1", "music"}, "folder folder=music depth=1 quiet"},
      {{"--", "music"}, "folder folder=music"},
  };
  for (const auto& c : cases) {
    command_line line;
    const outcome read = read_command_line(c.args, fake_kind, line);
    EXPECT_TRUE(read.ok()) << ::testing::PrintToString(c.args) << ": " << read.message();
    EXPECT_EQ(summary(line), c.expected) << ::testing::PrintToString(c.args);
  }
}

TEST(CommandLine, UsageErrorsSayWhatIsWrong) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"--bogus=1", "music"}, "unknown option --bogus"},
      {{"-x", "music"}, "unknown option -x"},
      {{"-qx", "music"}, "unknown option -x"},
      {{"--s", "music"}, "unknown option --s"},  // --style, --sort, --sizes...
      {{"--style"}, "the option --style needs a value"},
      {{"music", "-o"}, "the option -o needs a value"},
      {{"music", "--output-dir", ""}, "the option --output-dir needs a value"},
      {{"music", "--save-project="}, "the option --save-project needs a value"},
      {{"--help=x"}, "the option --help takes no value"},
      {{"--sizes=yes", "music"}, "the option --sizes takes no value"},
      {{"--thumbnails=1", "music"}, "the option --thumbnails takes no value"},
      {{"--overwrite", "a.txt"}, "the option --overwrite lists a FOLDER, but a.txt is a file"},
      {{"-d", "all", "music"}, "the option -d needs a number of levels, -1 for all: \"all\""},
      {{"--depth", "-2", "music"},
       "the option --depth needs a number of levels, -1 for all: \"-2\""},
      {{"--sort", "nmae", "music"},
       "unknown sort key \"nmae\", did you mean \"name\"? (keys: natural, none, name, name-case, "
       "ext, "
       "ext-case, size, date)"},
      {{"--sort", "colour", "music"},
       "unknown sort key \"colour\" (keys: natural, none, name, name-case, ext, ext-case, size, "
       "date)"},
      {{"--style", "Plain list"}, "the option --style needs a FOLDER"},
      {{"--reverse", "a.txt"}, "the option --reverse lists a FOLDER, but a.txt is a file"},
      {{"music", "photos"}, "only one FOLDER can be listed at a time"},
      {{"music", "a.txt"}, "a FOLDER and project files cannot be mixed"},
      {{"a.txt", "music"}, "a FOLDER and project files cannot be mixed"},
      {{"-s", "x", "music", "nowhere"}, "a FOLDER and project files cannot be mixed"},
      {{"--list-styles", "music"}, "--list-styles takes no other argument"},
      {{"--list-styles", "-s", "x"}, "--list-styles takes no other argument"},
      {{"-q"}, "no FOLDER or PROJECT-FILE given"},
      {{"--strict"}, "no FOLDER or PROJECT-FILE given"},
  };
  for (const auto& c : cases) {
    command_line line;
    const outcome read = read_command_line(c.args, fake_kind, line);
    EXPECT_EQ(read.code(), kUsageExitCode) << ::testing::PrintToString(c.args);
    EXPECT_EQ(read.message(), c.message) << ::testing::PrintToString(c.args);
  }
}

}  // namespace
}  // namespace dirscribe
