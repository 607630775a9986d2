// Helpers of the reliability tests: running the program with a time limit,
// another locale or another user, or beside the test; copies of the program
// folder, project files, many files made quickly, dumps of a folder to compare
// before and after, a folder swapped for a link while a run reads it, and
// decoders that turn the escaped names of a listing back into what they stand
// for.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "run_program.h"

namespace dirscribe::testing {

struct run_options {
  std::string program;                   // empty: the assembled program
  std::vector<std::string> environment;  // extra "NAME=value" entries
  std::string cwd;                       // the folder it starts in; empty: the current one
  int seconds = 120;                     // killed after this long (a hang)
  uid_t user = 0;                        // not 0: runs as this user and group
  // Not 0: no file the program writes may grow beyond this many bytes; a
  // write past it fails (EFBIG) instead of ending the program.
  long file_size_limit = 0;
  // With a file size limit: SIGXFSZ keeps its default action, so only a
  // program that ignores it itself lives on to report the failed write.
  bool keep_size_signal = false;
};

struct limited_result : run_result {
  bool hung = false;  // killed at the time limit
  int signal = 0;     // the signal that ended the program, if any
};

// The program started with `args` as run_program starts it, but with the
// options above, running while the test goes on (to signal it, or to run
// another beside it). A program still running when the object goes is
// killed.
class started_program {
 public:
  started_program(const std::vector<std::string>& args, const run_options& options = {})
      : deadline_(std::chrono::steady_clock::now() + std::chrono::seconds(options.seconds)) {
    const std::string program = options.program.empty() ? program_path() : options.program;
    if (options.user != 0) ::chmod(capture_.path().c_str(), 0777);
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) environment.emplace_back(*entry);
    for (const auto& extra : options.environment) {
      const std::string name = extra.substr(0, extra.find('=') + 1);
      std::erase_if(environment, [&](const std::string& e) { return e.rfind(name, 0) == 0; });
      environment.push_back(extra);
    }
    // Everything the child needs is made before the fork: a thread of the
    // test may hold the allocator's lock at that moment.
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const std::string out_path = this->out_path();
    const std::string err_path = this->err_path();
    pid_ = fork();
    if (pid_ != 0) return;
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (options.file_size_limit > 0) {
      signal(SIGXFSZ, options.keep_size_signal ? SIG_DFL : SIG_IGN);
      const rlimit limit{static_cast<rlim_t>(options.file_size_limit),
                         static_cast<rlim_t>(options.file_size_limit)};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(124);
    }
    if (options.user != 0 &&
        (setgroups(0, nullptr) != 0 || setgid(options.user) != 0 || setuid(options.user) != 0)) {
      _exit(125);
    }
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(options.user != 0 ? 125 : 127);
  }
  ~started_program() {
    if (pid_ > 0 && !ended_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status_, 0);
    }
  }
  started_program(const started_program&) = delete;
  started_program& operator=(const started_program&) = delete;

  pid_t pid() const { return pid_; }

  // Whether the program has not ended yet; never waits.
  bool running() {
    if (pid_ <= 0 || ended_) return false;
    const pid_t done = waitpid(pid_, &status_, WNOHANG);
    if (done == 0) return true;
    ended_ = true;
    reaped_ = done == pid_;
    return false;
  }

  // Waits for the program to end, killing it at the time limit, and gives
  // what it printed and how it ended.
  limited_result finish() {
    limited_result result;
    if (pid_ <= 0) return result;
    while (running()) {
      if (std::chrono::steady_clock::now() > deadline_) {
        kill(pid_, SIGKILL);
        reaped_ = waitpid(pid_, &status_, 0) == pid_;
        ended_ = true;
        result.hung = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!reaped_) return result;
    if (WIFEXITED(status_)) result.exit_code = WEXITSTATUS(status_);
    if (WIFSIGNALED(status_)) result.signal = WTERMSIG(status_);
    result.out = read_file(out_path());
    result.err = read_file(err_path());
    return result;
  }

 private:
  std::string out_path() const { return capture_.path() + "/out"; }
  std::string err_path() const { return capture_.path() + "/err"; }

  temp_folder capture_;
  std::chrono::steady_clock::time_point deadline_;
  pid_t pid_ = -1;
  int status_ = 0;
  bool ended_ = false;
  bool reaped_ = false;  // status_ holds how it ended
};

// Runs the program with `args` like run_program, but with the options above;
// a program that runs away is killed and reported as hung rather than hanging
// the suite.
inline limited_result run_limited(const std::vector<std::string>& args,
                                  const run_options& options = {}) {
  return started_program(args, options).finish();
}

// The one message line of a failed run: "Vostra Dirscribe 3.0: " + text +
// "\n", nothing else on standard error.
inline bool is_one_message(const std::string& err, const std::string& text) {
  return err == "Vostra Dirscribe 3.0: " + text + "\n";
}

// A copy of the assembled program folder, so a test may change its data files.
class program_copy {
 public:
  program_copy() {
    std::filesystem::copy(DIRSCRIBE_PROGRAM_DIR, folder_.path() + "/program",
                          std::filesystem::copy_options::recursive);
  }
  std::string dir() const { return folder_.path() + "/program/"; }
  std::string binary() const { return dir() + "dirscribe"; }

 private:
  temp_folder folder_;
};

// The byte-exact escape of project files: the markup characters and every
// byte above 127 become references, so any path survives the file.
inline std::string project_escape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '"') {
      out += "&quot;";
    } else if (byte >= 128) {
      out += "&#" + std::to_string(byte) + ";";
    } else {
      out += c;
    }
  }
  return out;
}

// `base` with each of `extra`'s keys: a key already there takes the new
// value in its place, a new one comes last.
inline std::vector<std::pair<std::string, std::string>> with_keys(
    std::vector<std::pair<std::string, std::string>> base,
    const std::vector<std::pair<std::string, std::string>>& extra) {
  for (const auto& [key, value] : extra) {
    auto same =
        std::find_if(base.begin(), base.end(), [&](const auto& k) { return k.first == key; });
    if (same != base.end()) {
      same->second = value;
    } else {
      base.emplace_back(key, value);
    }
  }
  return base;
}

// A project file text of one project with `keys` (name, value) in order.
inline std::string project_text(const std::vector<std::pair<std::string, std::string>>& keys) {
  std::string text = "<project>\n";
  for (const auto& [name, value] : keys) {
    text += "<" + name + ">" + project_escape(value) + "</" + name + ">\n";
  }
  return text + "</project>\n";
}

// Creates `count` empty files named prefix + number in `folder`.
inline bool make_empty_files(const std::string& folder, int count, const std::string& prefix) {
  for (int i = 0; i < count; ++i) {
    const std::string name = folder + "/" + prefix + std::to_string(i);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return false;
    ::close(fd);
  }
  return true;
}

// Characters of `name` as HTML output spells them: the code point of each
// valid UTF-8 sequence and the value of each byte that starts none.
inline std::vector<uint32_t> html_characters(const std::string& name) {
  std::vector<uint32_t> out;
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(name[k]); };
  for (size_t i = 0; i < name.size();) {
    const unsigned char lead = byte(i);
    size_t length = 0;
    uint32_t code = 0;
    uint32_t least = 0;
    if (lead >= 0xC0 && lead < 0xE0) {
      length = 2, code = lead & 0x1Fu, least = 0x80;
    } else if (lead >= 0xE0 && lead < 0xF0) {
      length = 3, code = lead & 0x0Fu, least = 0x800;
    } else if (lead >= 0xF0 && lead < 0xF8) {
      length = 4, code = lead & 0x07u, least = 0x10000;
    }
    bool valid = length > 0 && i + length <= name.size();
    for (size_t k = 1; valid && k < length; ++k) {
      valid = (byte(i + k) & 0xC0) == 0x80;
      code = (code << 6) | (byte(i + k) & 0x3Fu);
    }
    valid = valid && code >= least && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    if (valid) {
      out.push_back(code);
      i += length;
    } else {
      out.push_back(lead);
      ++i;
    }
  }
  return out;
}

// Decodes the four named entities and decimal references of escaped HTML text
// into characters; false when the text holds a raw "<", ">", quote, byte above
// 127 or an "&" that starts no reference (unsafe or not escaped).
inline bool decode_html(const std::string& text, std::vector<uint32_t>& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '<' || c == '>' || c == '"' || c >= 128) return false;
    if (c != '&') {
      out.push_back(c);
      continue;
    }
    const size_t end = text.find(';', i);
    if (end == std::string::npos) return false;
    const std::string entity = text.substr(i + 1, end - i - 1);
    if (entity == "amp") {
      out.push_back('&');
    } else if (entity == "lt") {
      out.push_back('<');
    } else if (entity == "gt") {
      out.push_back('>');
    } else if (entity == "quot") {
      out.push_back('"');
    } else if (entity.size() > 1 && entity.size() < 9 && entity[0] == '#' &&
               entity.find_first_not_of("0123456789", 1) == std::string::npos) {
      out.push_back(static_cast<uint32_t>(std::stoul(entity.substr(1))));
    } else {
      return false;
    }
    i = end;
  }
  return true;
}

// Decodes %XX escapes; false when the text holds anything a percent-encoded
// link should not (a blank, a quote, "<", "&", a control or non-ASCII byte).
inline bool decode_percent(const std::string& text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c <= ' ' || c >= 127 || c == '"' || c == '<' || c == '>' || c == '&' || c == '\'') {
      return false;
    }
    if (c != '%') {
      out += static_cast<char>(c);
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const std::string hex = text.substr(i + 1, 2);
    if (hex.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) return false;
    out += static_cast<char>(std::stoi(hex, nullptr, 16));
    i += 2;
  }
  return true;
}

// Every piece of `text` between `open` and the next `close`, in order.
inline std::vector<std::string> pieces_between(const std::string& text, const std::string& open,
                                               const std::string& close) {
  std::vector<std::string> pieces;
  for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
    at += open.size();
    const size_t end = text.find(close, at);
    if (end == std::string::npos) break;
    pieces.push_back(text.substr(at, end - at));
    at = end + close.size();
  }
  return pieces;
}

// A user with no rights over the test's files, to try permission faults when
// the tests run as root (who may read any folder); 0 when there is none.
inline uid_t unprivileged_user() {
  constexpr uid_t kNobody = 65534;
  return ::geteuid() == 0 ? kNobody : 0;
}

// The names in `folder`, sorted; empty when it cannot be read.
inline std::vector<std::string> folder_names(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Everything under `root` by its path relative to root: a file's content,
// "<folder>" for a folder, "<link> " + target for a symbolic link (never
// followed). One value to compare a tree before and after a run.
inline std::map<std::string, std::string> tree_contents(const std::string& root) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> contents;
  std::error_code error;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
       it.increment(error)) {
    const std::string relative = it->path().lexically_relative(root).string();
    if (it->is_symlink()) {
      contents[relative] = "<link> " + fs::read_symlink(it->path()).string();
    } else if (it->is_directory()) {
      contents[relative] = "<folder>";
    } else {
      contents[relative] = read_file(it->path().string());
    }
  }
  return contents;
}

// Exchanges two paths on one file system (a folder and a symbolic link to
// somewhere else, say) over and over on a thread of its own, as a hostile
// user racing a run would, until the object goes; both paths then hold what
// they held at the start.
class path_swapper {
 public:
  path_swapper(std::string first, std::string second)
      : first_(std::move(first)), second_(std::move(second)), thread_([this] { swap(); }) {}
  ~path_swapper() {
    stop_ = true;
    thread_.join();
    if (swaps_ % 2 == 1) exchange();
  }
  path_swapper(const path_swapper&) = delete;
  path_swapper& operator=(const path_swapper&) = delete;

  long swaps() const { return swaps_; }
  // False once an exchange was refused (the file system cannot exchange).
  bool working() const { return working_; }

 private:
  bool exchange() {
    return ::renameat2(AT_FDCWD, first_.c_str(), AT_FDCWD, second_.c_str(), RENAME_EXCHANGE) == 0;
  }
  void swap() {
    // Without this each sleep below would stretch by the default slack, 50 us.
    ::prctl(PR_SET_TIMERSLACK, 1UL);
    while (!stop_) {
      if (!exchange()) {
        working_ = false;
        return;
      }
      ++swaps_;
      // Long enough for a run to make progress, short enough that any gap
      // between looking at a path and using it is likely to see a swap.
      std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
  }

  const std::string first_;
  const std::string second_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> working_{true};
  std::atomic<long> swaps_{0};
  std::thread thread_;  // last, so that it starts once the fields above are set
};

}  // namespace dirscribe::testing
