#include "run_program.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dirscribe::testing {

std::string program_path() { return std::string(DIRSCRIBE_PROGRAM_DIR) + "dirscribe"; }

namespace {

constexpr long kKeepIdentity = -1;

run_result run(const std::string& program, const std::vector<std::string>& args,
               const std::string& cwd, long identity) {
  temp_folder capture;
  const std::string out_path = capture.path() + "/out";
  const std::string err_path = capture.path() + "/err";
  run_result result;
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (identity != kKeepIdentity) {
      const auto id = static_cast<uid_t>(identity);
      if (setgroups(0, nullptr) != 0 || setgid(id) != 0 || setuid(id) != 0) _exit(126);
    }
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
    result.exit_code = WEXITSTATUS(status);
  }
  result.out = read_file(out_path);
  result.err = read_file(err_path);
  return result;
}

}  // namespace

run_result run_program(const std::string& program, const std::vector<std::string>& args,
                       const std::string& cwd) {
  return run(program, args, cwd, kKeepIdentity);
}

run_result run_program_as(unsigned id, const std::string& program,
                          const std::vector<std::string>& args, const std::string& cwd) {
  return run(program, args, cwd, static_cast<long>(id));
}

}  // namespace dirscribe::testing
