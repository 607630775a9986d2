// Measures how responsive the wizard stays while it builds: the window is
// built offscreen, Make runs on TREE, and a timer on the window's thread
// notes the longest gap between two of its ticks until the build ends. A
// window that stays responsive never lets a gap grow past a few ticks.
//
// Usage: wizard_responsiveness PROGRAM_DIR TREE OUTPUT
// Prints the longest gap, the build's time and the files listed.

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <string>

#include "offscreen_wizard.h"

namespace dirscribe {
namespace {

int fail(const std::string& text) {
  std::fprintf(stderr, "wizard_responsiveness: %s\n", text.c_str());
  return 1;
}

int run(const std::string& program_dir, const std::string& tree, const std::string& output) {
  offscreen_wizard wizard;
  if (const outcome opened = wizard.open(program_dir); !opened.ok()) return fail(opened.message());
  main_window& window = *wizard.window;
  window.project()->settings.path = tree;
  window.project()->settings.save = output;
  window.project()->settings.recursion_depth = -1;
  if (!window.view().ok()) return fail("can't show the project");

  QElapsedTimer clock;
  qint64 last_tick = 0;
  qint64 longest_gap = 0;
  QTimer ticks;
  QObject::connect(&ticks, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longest_gap = std::max(longest_gap, now - last_tick);
    last_tick = now;
  });
  ticks.start(5);
  clock.start();
  window.make();
  wait_for_build(window);
  const qint64 took = clock.elapsed();
  std::printf("longest gap between window events: %lld ms (build %lld ms) %s\n",
              static_cast<long long>(longest_gap), static_cast<long long>(took),
              window.status_text().toUtf8().constData());
  return 0;
}

}  // namespace
}  // namespace dirscribe

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "Usage: wizard_responsiveness PROGRAM_DIR TREE OUTPUT\n");
    return 2;
  }
  return dirscribe::run(argv[1], argv[2], argv[3]);
}
