// main() for test binaries that need a Qt application object (event loop,
// widgets). Runs headless unless the environment says otherwise.

#include <cstdlib>

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
