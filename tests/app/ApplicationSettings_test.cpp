#include <gtest/gtest.h>

#include "TestApp.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <string>

#include "app/ApplicationSettings.h"
#include "app/ConfigDialog.h"
#include "osc/OscErrorBoundary.h"
#include "osc/OscTypes.h"

namespace {

// Every store of these tests lives in a temporary folder: the user's real
// settings are never touched, also not by the store's default constructor.
class SettingsTest : public ::testing::Test {
protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(Dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Dir.filePath("user"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, Dir.filePath("system"));
  }

  QString File() const { return Dir.filePath("zelvo.ini"); }
  void StoreRaw(const QVariant& Value) {
    QSettings Raw(File(), QSettings::IniFormat);
    Raw.setValue("MaxFps", Value);
  }
  // What a fresh reader of the file finds, -1 for nothing.
  int Stored() const { return TApplicationSettings(File()).ReadInteger("MaxFps", -1); }
  // A path no store can be written to, also for root: its folder is a file.
  QString UnwritableFile() {
    QFile Blocker(Dir.filePath("blocker"));
    EXPECT_TRUE(Blocker.open(QIODevice::WriteOnly));
    return Dir.filePath("blocker/zelvo.ini");
  }

  QTemporaryDir Dir;
};

template <class TWork> std::string ErrorOf(TWork&& Work) {
  try {
    Work();
  } catch (const EOscError& E) {
    return E.what();
  }
  return "no error";
}

TEST_F(SettingsTest, MaxFpsIsSixtyUntilStored) {
  TApplicationSettings Settings(File());
  EXPECT_EQ(Settings.MaxFps(), 60);
  Settings.SetMaxFps(25);
  EXPECT_EQ(Settings.MaxFps(), 25);
  EXPECT_EQ(Stored(), 25);
}

TEST_F(SettingsTest, ReadsStoredIntegersAndRejectsOtherData) {
  struct TCase {
    QVariant Raw;
    int Expected; // 0 with Valid false: the read must fail
    bool Valid;
  };
  const TCase Cases[] = {
      {QString("42"), 42, true},         {QString("0"), 0, true},
      {QString("-7"), -7, true},         {QString("2147483647"), 2147483647, true},
      {QString("abc"), 0, false},        {QString("12.5"), 0, false},
      {QString("2147483648"), 0, false}, {QString(""), 0, false},
      {QStringList{"1", "2"}, 0, false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Raw.toString().toStdString());
    StoreRaw(C.Raw);
    TApplicationSettings Settings(File());
    if (C.Valid)
      EXPECT_EQ(Settings.MaxFps(), C.Expected);
    else
      EXPECT_EQ(ErrorOf([&] { Settings.MaxFps(); }), "Invalid data type for 'MaxFps'");
  }
  StoreRaw(QString("x"));
  QSettings(File(), QSettings::IniFormat).setValue("Other", "x");
  EXPECT_EQ(ErrorOf([&] { TApplicationSettings(File()).ReadInteger("Other", 1); }),
            "Invalid data type for 'Other'");
}

TEST_F(SettingsTest, AnalysisChoicesReadBackAndAnythingElseReadsAsTheDefault) {
  // What a store holds under each name -> what the program then shows.
  struct TCase {
    const char* Name;
    QVariant Raw;
    int Expected;
  };
  const TCase Cases[] = {
      {"SpectrumShown", 1, 1},
      {"SpectrumShown", 2, 0},
      {"SpectrumWindow", 4, swFlatTop},
      {"SpectrumWindow", 5, swHann},
      {"SpectrumWindow", -1, swHann},
      {"SpectrumWindow", QString("Hann"), swHann},
      {"MathMode", 4, mmMultiply},
      {"MathMode", 9, mmOff},
      {"MathVoltsPerDivision", 12, vdiv5mV},
      {"MathVoltsPerDivision", 0, vdiv10V}, // no range
      {"MathVoltsPerDivision", 13, vdiv10V},
      {"XY", 1, 1},
      {"XY", QString("yes"), 0},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::string(C.Name) + " " + C.Raw.toString().toStdString());
    QFile::remove(File());
    QSettings(File(), QSettings::IniFormat).setValue(C.Name, C.Raw);
    const TApplicationSettings Settings(File());
    const int Read[] = {Settings.SpectrumShown(), Settings.SpectrumWindow(), Settings.MathMode(),
                        Settings.MathVoltsPerDivision(), Settings.XY()};
    const int Defaults[] = {0, swHann, mmOff, vdiv10V, 0};
    const char* const Names[] = {"SpectrumShown", "SpectrumWindow", "MathMode",
                                 "MathVoltsPerDivision", "XY"};
    for (int I = 0; I < 5; ++I)
      EXPECT_EQ(Read[I], std::string(Names[I]) == C.Name ? C.Expected : Defaults[I]) << Names[I];
  }
}

TEST_F(SettingsTest, UnwritableStoreRaisesAndKeepsTheOldValue) {
  TApplicationSettings Settings(UnwritableFile());
  EXPECT_EQ(ErrorOf([&] { Settings.SetMaxFps(30); }), "Failed to set data for 'MaxFps'");
  EXPECT_EQ(Settings.MaxFps(), 60);
}

TEST_F(SettingsTest, RealStoreIsQuillonZelvoWithSystemFallback) {
  QSettings System(Dir.filePath("system/Quillon/Zelvo.conf"), QSettings::IniFormat);
  System.setValue("MaxFps", 45);
  System.sync();
  TApplicationSettings Settings;
  EXPECT_EQ(Settings.MaxFps(), 45);
  Settings.SetMaxFps(30);
  EXPECT_EQ(Settings.MaxFps(), 30);
  EXPECT_EQ(TApplicationSettings(Dir.filePath("user/Quillon/Zelvo.conf")).MaxFps(), 30);
  EXPECT_EQ(TApplicationSettings(Dir.filePath("system/Quillon/Zelvo.conf")).MaxFps(), 45);
}

// The dialog as the user drives it: typed digits, a click on a button.
class ConfigDialogTest : public SettingsTest {
protected:
  void Type(TConfigDialog& Dialog, const char* Text) {
    auto* Spin = SpinOf(Dialog);
    Spin->selectAll();
    QTest::keyClicks(Spin, Text);
  }
  QSpinBox* SpinOf(TConfigDialog& Dialog) { return Dialog.findChild<QSpinBox*>("txtMaxFps"); }
  void Click(TConfigDialog& Dialog, const char* Button) {
    auto* B = Dialog.findChild<QPushButton*>(Button);
    ASSERT_NE(B, nullptr);
    QTest::mouseClick(B, Qt::LeftButton);
  }
  void Show(TConfigDialog& Dialog) {
    Dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog));
  }
};

TEST_F(ConfigDialogTest, ShowsSixtyWithNothingStored) {
  TApplicationSettings Settings(File());
  TConfigDialog Dialog(Settings);
  ASSERT_NE(SpinOf(Dialog), nullptr);
  EXPECT_EQ(SpinOf(Dialog)->value(), 60);
  EXPECT_EQ(SpinOf(Dialog)->minimum(), 0);
  EXPECT_EQ(SpinOf(Dialog)->maximum(), 75);
  EXPECT_EQ(Dialog.windowTitle(), "ConfigDialog");
  EXPECT_EQ(Dialog.size(), QSize(409, 473));
  EXPECT_EQ(Stored(), -1);
}

TEST_F(ConfigDialogTest, OkStoresTheTypedLimit) {
  for (const char* Typed : {"30", "0"}) {
    SCOPED_TRACE(Typed);
    TApplicationSettings Settings(File());
    TConfigDialog Dialog(Settings);
    Show(Dialog);
    Type(Dialog, Typed);
    Click(Dialog, "btnOK");
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(Dialog.isVisible());
    EXPECT_EQ(Stored(), std::stoi(Typed));
    EXPECT_EQ(Settings.MaxFps(), std::stoi(Typed));
  }
}

TEST_F(ConfigDialogTest, CancelStoresNothingAndKeepsTheTypedValue) {
  TApplicationSettings Settings(File());
  TConfigDialog Dialog(Settings);
  Show(Dialog);
  Type(Dialog, "30");
  Click(Dialog, "btnCancel");
  EXPECT_EQ(Dialog.result(), QDialog::Rejected);
  EXPECT_EQ(Stored(), -1);
  Show(Dialog);
  EXPECT_EQ(SpinOf(Dialog)->value(), 30);
}

TEST_F(ConfigDialogTest, FailedSaveReachesTheHandlerAndTheDialogCloses) {
  std::string Reported;
  OscSetExceptionHandler([&](std::exception_ptr E) { Reported = OscExceptionMessage(E); });
  TApplicationSettings Settings(UnwritableFile());
  TConfigDialog Dialog(Settings);
  Show(Dialog);
  Type(Dialog, "30");
  Click(Dialog, "btnOK");
  OscSetExceptionHandler(nullptr);
  EXPECT_EQ(Reported, "Failed to set data for 'MaxFps'");
  EXPECT_FALSE(Dialog.isVisible());
  EXPECT_EQ(Settings.MaxFps(), 60);
}

} // namespace
