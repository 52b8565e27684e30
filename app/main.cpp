// vx27mouse: the configuration program.

#include <QApplication>

#include "platform/Paths.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(platform::kProductName);
  return 0;
}
