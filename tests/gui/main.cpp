// The GUI tests' entry: one QApplication for all tests, on Qt's offscreen platform unless the
// environment names another (e.g. xcb under Xvfb), with the Fusion style fixed so that the
// scroll bar's parts lie where the tests compute them.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication::setStyle(QStringLiteral("Fusion"));
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
