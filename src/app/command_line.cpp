#include "app/command_line.h"

#include <getopt.h>

#include <array>

#include "core/nearest_word.h"
#include "files/stored_field.h"

namespace dirscribe {

const std::string_view kUsageText =
    "Usage: dirscribe [OPTION]... FOLDER\n"
    "  or:  dirscribe [-q] [--strict] PROJECT-FILE...\n"
    "  or:  dirscribe                   (opens the wizard)\n";

namespace {

// What --help says after the usage lines.
constexpr std::string_view kHelpBody =
    "\n"
    "Writes an HTML listing of FOLDER, or builds the listings of each project\n"
    "file in turn and stops at the first that fails. Without arguments it opens\n"
    "the wizard.\n"
    "\n"
    "Listing a FOLDER:\n"
    "  -s, --style NAME          catalog style (see --list-styles) or template\n"
    "  -o, --output FILE         the listing file; \"-\" for standard output\n"
    "  -d, --depth N             subfolder levels to list: -1 all, 0 none\n"
    "      --per-folder          one page in every folder instead of one file\n"
    "      --output-dir DIR      where the pages go; with --per-folder a copy of\n"
    "                            the tree holds them and FOLDER stays untouched\n"
    "      --sort KEY            natural, name, name-case, ext, ext-case, size,\n"
    "                            date, none\n"
    "      --reverse             sort in descending order\n"
    "      --include MASKS       list only files matching MASKS (\"*.mp3;*.ogg\")\n"
    "      --exclude MASKS       leave out files matching MASKS\n"
    "      --exclude-dir MASKS   leave out folders matching MASKS, with all\n"
    "                            they hold (\"node_modules;build\")\n"
    "  -a, --all                 list hidden entries too (names starting \".\")\n"
    "      --sizes               folder sizes and counts of whole subtrees\n"
    "      --hide-empty          leave out folders that hold no file\n"
    "      --link-base URL       link entries as URL + their path in FOLDER\n"
    "      --title TEXT          the listing's title (default: FOLDER's name)\n"
    "      --overwrite           replace pages Dirscribe did not write\n"
    "      --thumbnails          write small pictures of the pictures listed\n"
    "                            into .thumbnails/ beside each page\n"
    "      --save-project FILE   write the project file of this listing instead\n"
    "\n"
    "Other options:\n"
    "      --list-styles         print the names of the catalog's styles\n"
    "      --strict              fail on warnings about a project file\n"
    "  -q, --quiet               print no progress line and no warnings\n"
    "  -h, --help                print this help\n"
    "      --version             print the version\n"
    "\n"
    "Without --style the first style of the catalog is used, with its preset;\n"
    "without --output the listing is index.html in FOLDER. A relative --output\n"
    "is taken in the current folder (in DIR with --output-dir, and as the file\n"
    "name in every folder with --per-folder). Links are relative to the page,\n"
    "so a listing saved anywhere reaches the files.\n"
    "\n"
    "Exit status: 0 on success, 1 on a failure (described on standard error),\n"
    "2 on a usage error.\n";

// Long options that have no short form.
enum long_only : int {
  option_per_folder = 256,
  option_output_dir,
  option_sort,
  option_reverse,
  option_include,
  option_exclude,
  option_exclude_dir,
  option_sizes,
  option_hide_empty,
  option_link_base,
  option_title,
  option_overwrite,
  option_thumbnails,
  option_save_project,
  option_list_styles,
  option_strict,
  option_version,
};

constexpr std::array<option, 24> kOptions = {{
    {"style", required_argument, nullptr, 's'},
    {"output", required_argument, nullptr, 'o'},
    {"depth", required_argument, nullptr, 'd'},
    {"per-folder", no_argument, nullptr, option_per_folder},
    {"output-dir", required_argument, nullptr, option_output_dir},
    {"sort", required_argument, nullptr, option_sort},
    {"reverse", no_argument, nullptr, option_reverse},
    {"include", required_argument, nullptr, option_include},
    {"exclude", required_argument, nullptr, option_exclude},
    {"exclude-dir", required_argument, nullptr, option_exclude_dir},
    {"all", no_argument, nullptr, 'a'},
    {"sizes", no_argument, nullptr, option_sizes},
    {"hide-empty", no_argument, nullptr, option_hide_empty},
    {"link-base", required_argument, nullptr, option_link_base},
    {"title", required_argument, nullptr, option_title},
    {"overwrite", no_argument, nullptr, option_overwrite},
    {"thumbnails", no_argument, nullptr, option_thumbnails},
    {"save-project", required_argument, nullptr, option_save_project},
    {"list-styles", no_argument, nullptr, option_list_styles},
    {"strict", no_argument, nullptr, option_strict},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, option_version},
    {nullptr, 0, nullptr, 0},
}};

// ":" first: a missing value is told apart from an unknown option.
constexpr char kShortOptions[] = ":s:o:d:aqh";

struct sort_key {
  std::string_view name;
  int32_t order_files;
};
// In the order the help names them.
constexpr std::array<sort_key, 8> kSortKeys = {{
    {"natural", 7},
    {"none", 0},
    {"name", 5},
    {"name-case", 1},
    {"ext", 6},
    {"ext-case", 2},
    {"size", 3},
    {"date", 4},
}};

outcome usage_error(std::string text) { return {kUsageExitCode, std::move(text)}; }

// The order_files value of a --sort key, or none.
std::optional<int32_t> sort_key_value(std::string_view key) {
  for (const sort_key& known : kSortKeys) {
    if (known.name == key) return known.order_files;
  }
  return std::nullopt;
}

outcome unknown_sort_key(const std::string& value) {
  std::vector<std::string> names;
  std::string listed;
  for (const sort_key& known : kSortKeys) {
    names.emplace_back(known.name);
    listed += (listed.empty() ? "" : ", ") + std::string(known.name);
  }
  const std::string near = nearest_word(value, names);
  return usage_error("unknown sort key \"" + value + "\"" +
                     (near.empty() ? "" : ", did you mean \"" + near + "\"?") +
                     " (keys: " + listed + ")");
}

// A word of the command line that names an option, for a message: "--style"
// of "--style=x", or "-s".
std::string option_word(std::string_view word) {
  return std::string(word.substr(0, word.find('=')));
}

// What the options read so far ask for, besides `line`.
struct option_state {
  std::string folder_option;  // the first option that needs a FOLDER
  bool list_styles = false;
  bool done = false;  // --help or --version: nothing after them counts
};

// Options whose empty value would pass for something the user did not ask
// for: an --output-dir of "" for the current folder, a --save-project of ""
// for no project file at all (a listing is written instead).
bool needs_a_name(int code) { return code == option_output_dir || code == option_save_project; }

// Takes an option of the folder listing, `code` (written `name`) with
// `value`, into `listing`; fails on an option it does not know.
outcome take_listing_option(int code, const std::string& name, const std::string& value,
                            listing_options& listing) {
  switch (code) {
    case 's':
      listing.style = value;
      break;
    case 'o':
      listing.output = value;
      break;
    case 'd':
      if (!is_stored_number(value) || stored_int64(value) < -1 || stored_int64(value) > INT32_MAX) {
        return usage_error("the option " + name + " needs a number of levels, -1 for all: \"" +
                           value + "\"");
      }
      listing.depth = static_cast<int32_t>(stored_int64(value));
      break;
    case option_per_folder:
      listing.per_folder = true;
      break;
    case option_output_dir:
      listing.output_dir = value;
      break;
    case option_sort:
      listing.sort = sort_key_value(value);
      if (!listing.sort) return unknown_sort_key(value);
      break;
    case option_reverse:
      listing.reverse = true;
      break;
    case option_include:
      listing.include = value;
      break;
    case option_exclude:
      listing.exclude = value;
      break;
    case option_exclude_dir:
      listing.exclude_dir = value;
      break;
    case 'a':
      listing.all = true;
      break;
    case option_sizes:
      listing.sizes = true;
      break;
    case option_hide_empty:
      listing.hide_empty = true;
      break;
    case option_link_base:
      listing.link_base = value;
      break;
    case option_title:
      listing.title = value;
      break;
    case option_overwrite:
      listing.overwrite = true;
      break;
    case option_thumbnails:
      listing.thumbnails = true;
      break;
    case option_save_project:
      listing.save_project = value;
      break;
    default:
      return usage_error("unknown option " + name);
  }
  return {};
}

// Takes the option `code` (written `name`) with `value` into `line`.
outcome take_option(int code, const std::string& name, const std::string& value, command_line& line,
                    option_state& state) {
  switch (code) {
    case 'h':
      line.mode = run_mode::help;
      state.done = true;
      return {};
    case option_version:
      line.mode = run_mode::version;
      state.done = true;
      return {};
    case 'q':
      line.quiet = true;
      return {};
    case option_strict:
      line.strict = true;
      return {};
    case option_list_styles:
      state.list_styles = true;
      return {};
    default:
      break;
  }
  if (outcome taken = take_listing_option(code, name, value, line.listing); !taken.ok()) {
    return taken;
  }
  if (state.folder_option.empty()) state.folder_option = name;
  return {};
}

// Decides what the bare arguments `bare` are, once every option is read.
outcome take_bare_arguments(std::vector<std::string> bare, const option_state& state,
                            const std::function<argument_kind(const std::string&)>& kind_of,
                            command_line& line) {
  if (state.list_styles) {
    if (!bare.empty() || !state.folder_option.empty()) {
      return usage_error("--list-styles takes no other argument");
    }
    line.mode = run_mode::list_styles;
    return {};
  }
  if (bare.empty()) {
    if (!state.folder_option.empty()) {
      return usage_error("the option " + state.folder_option + " needs a FOLDER");
    }
    if (line.quiet || line.strict) return usage_error("no FOLDER or PROJECT-FILE given");
    line.mode = run_mode::wizard;
    return {};
  }
  size_t folders = 0;
  size_t files = 0;
  for (const std::string& arg : bare) {
    const argument_kind kind = kind_of(arg);
    folders += kind == argument_kind::folder ? 1 : 0;
    files += kind == argument_kind::file ? 1 : 0;
  }
  if (state.folder_option.empty() && folders == 0) {
    line.mode = run_mode::projects;
    line.projects = std::move(bare);
    return {};
  }
  if (bare.size() > 1) {
    return usage_error(folders == bare.size() ? "only one FOLDER can be listed at a time"
                                              : "a FOLDER and project files cannot be mixed");
  }
  if (files > 0) {
    return usage_error("the option " + state.folder_option + " lists a FOLDER, but " +
                       bare.front() + " is a file");
  }
  line.mode = run_mode::folder;
  line.folder = bare.front();
  return {};
}

}  // namespace

std::string help_text() { return std::string(kUsageText) + std::string(kHelpBody); }

outcome read_command_line(const std::vector<std::string>& args,
                          const std::function<argument_kind(const std::string&)>& kind_of,
                          command_line& line) {
  line = command_line{};
  // getopt_long permutes its argument vector, so it works on a copy.
  std::vector<std::string> copies;
  copies.reserve(args.size() + 1);
  copies.emplace_back("dirscribe");
  copies.insert(copies.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(copies.size());

  option_state state;
  optind = 0;  // GNU: start afresh, whatever an earlier call left
  opterr = 0;  // the messages are ours
  while (!state.done) {
    int index = -1;
    const int code = getopt_long(argc, argv.data(), kShortOptions, kOptions.data(), &index);
    if (code == -1) break;
    // After a failure getopt_long has passed the offending word, except for
    // an unknown letter inside a group ("-qx"), which optopt holds.
    const std::string passed = optind >= 1 && optind <= argc ? argv[optind - 1] : "";
    if (code == '?') {
      if (!passed.starts_with("--")) {
        return usage_error("unknown option -" + std::string(1, static_cast<char>(optopt)));
      }
      // A known long option given a value it does not take sets optopt.
      if (optopt != 0) return usage_error("the option " + option_word(passed) + " takes no value");
      return usage_error("unknown option " + option_word(passed));
    }
    if (code == ':') return usage_error("the option " + option_word(passed) + " needs a value");
    const std::string name = index >= 0 ? std::string("--") + kOptions[index].name
                                        : std::string("-") + static_cast<char>(code);
    if (needs_a_name(code) && (!optarg || *optarg == '\0')) {
      return usage_error("the option " + name + " needs a value");
    }
    if (outcome taken = take_option(code, name, optarg ? optarg : "", line, state); !taken.ok()) {
      return taken;
    }
  }
  if (state.done) return {};
  // The bare arguments, which getopt_long moved behind the options.
  return take_bare_arguments(std::vector<std::string>(argv.begin() + optind, argv.begin() + argc),
                             state, kind_of, line);
}

}  // namespace dirscribe
