#pragma once

// Shared set-up of the application tests: one application object, the
// program's windows over a settings file of their own, and helpers to click
// the real controls and answer message boxes.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "app/ApplicationSettings.h"
#include "app/MainForm.h"
#include "app/TcpDialog.h"
#include "app/VersionInfo.h"
#include "app/ZelvoWindows.h"

#include "ModalScript.h"
#include "TestApp.h"

class TNoPorts : public TSerialPortSource {
public:
  std::vector<TSerialPortEntry> Enumerate() override { return {}; }
};

// Confirms the WiFi dialog with the given host and port.
inline TModalScript::TStep ConfirmTcpDialog(const QString& Host, quint16 Port) {
  return [Host, Port](QWidget* Modal) {
    auto* Dialog = qobject_cast<TTcpDialog*>(Modal);
    ASSERT_NE(Dialog, nullptr) << Modal->objectName().toStdString();
    Dialog->findChild<QComboBox*>("cbHost")->setCurrentText(Host);
    Dialog->findChild<QLineEdit*>("txtPort")->setText(QString::number(Port));
    Dialog->accept();
  };
}

// The ports a test plugs in, listed as the system would list them.
class TListedPorts : public TSerialPortSource {
public:
  explicit TListedPorts(std::vector<TSerialPortEntry>& Ports) : FPorts(Ports) {}
  std::vector<TSerialPortEntry> Enumerate() override { return FPorts; }

private:
  std::vector<TSerialPortEntry>& FPorts;
};

class AppTest : public ::testing::Test {
protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(Dir.isValid());
    Settings = std::make_unique<TApplicationSettings>(Dir.filePath("zelvo.ini"));
    BeforeWindows();
    Windows = std::make_unique<TZelvoWindows>(*Settings, Version, System());
    Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main()));
  }
  void TearDown() override {
    Windows.reset();
    QCoreApplication::processEvents();
  }
  // Runs before the windows exist: a place to store preferences.
  virtual void BeforeWindows() {}
  // Where the connection dialogs look: no ports and no gateway unless a test
  // says otherwise, so that no test depends on the machine.
  virtual TZelvoSystem System() {
    TZelvoSystem S;
    S.PortSource = std::make_unique<TNoPorts>();
    S.GatewayLookup = [] { return QString(); };
    return S;
  }

  TMainForm& Main() { return Windows->MainForm(); }
  void Click(QAbstractButton* Button) { QTest::mouseClick(Button, Qt::LeftButton); }

  QTemporaryDir Dir;
  std::unique_ptr<TApplicationSettings> Settings;
  TVersionInfo Version;
  std::unique_ptr<TZelvoWindows> Windows;
};
