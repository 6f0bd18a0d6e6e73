// The links, timers and the simulator need an event loop on the test thread.

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QCoreApplication App(argc, argv);
  QCoreApplication::setApplicationName("zelvo-capture");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
