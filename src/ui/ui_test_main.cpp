// The tests of the wizard's widgets run inside one QApplication on the
// offscreen platform: no display is needed and nothing can block.
#include <gtest/gtest.h>

#include <QApplication>
#include <ctime>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Local times are tested across a summer-time change.
  qputenv("TZ", "Europe/Berlin");
  tzset();
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
