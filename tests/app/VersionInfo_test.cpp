#include <gtest/gtest.h>

#include "TestApp.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/AboutDialog.h"
#include "app/VersionInfo.h"

namespace {

TEST(VersionInfo, CarriesTheProgramTextsUnderTheStandardKeys) {
  TestApp();
  const TVersionInfo Info;
  struct TCase {
    const char* Key;
    QString Value;
    QString ByAccessor;
  };
  const TCase Cases[] = {
      {"ProductName", "Zelvo", Info.ProductName()},
      {"CompanyName", "Quillon", Info.CompanyName()},
      {"FileVersion", "1.3.0.0", Info.FileVersion()},
      {"ProductVersion", "1.0", Info.ProductVersion()},
      {"FileDescription", "Zelvo oscilloscope software", Info.FileDescription()},
      {"OriginalFilename", "zelvo", Info.OriginalFilename()},
      {"InternalName", "", Info.InternalName()},
      {"LegalTrademarks", "", Info.LegalTrademarks()},
      {"Comments", "", Info.Comments()},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Key);
    EXPECT_EQ(Info.FileInfoString(C.Key), C.Value);
    EXPECT_EQ(C.ByAccessor, C.Value);
  }
  EXPECT_TRUE(Info.LegalCopyright().contains("Quillon"));
  EXPECT_EQ(Info.FileInfoString("NoSuchKey"), "");
  EXPECT_EQ(Info.FileInfoString("productname"), "");
  EXPECT_EQ(Info.FileName(), QCoreApplication::applicationFilePath());
  EXPECT_EQ(MainWindowCaption(Info), "Zelvo v1.3.0.0 - Quillon");
}

TEST(AboutDialog, ShowsProductCopyrightAndVersionAndClosesWithOk) {
  TestApp();
  const TVersionInfo Info;
  TAboutDialog Dialog(Info);
  EXPECT_EQ(Dialog.windowTitle(), "About");
  const auto Text = [&](const char* Name) {
    auto* Label = Dialog.findChild<QLabel*>(Name);
    return Label ? Label->text() : QString("missing");
  };
  EXPECT_EQ(Text("lblProductName"), "Zelvo");
  EXPECT_EQ(Text("lblCopyright"), Info.LegalCopyright());
  EXPECT_EQ(Text("lblFileVersion"), "Version 1.3.0.0");
  EXPECT_EQ(Text("lblLicense"), "License: GNU GPL v3 or later");
  // 210 x 145 at the least, larger where the texts need it: none is clipped.
  EXPECT_GE(Dialog.width(), 210);
  EXPECT_GE(Dialog.height(), 145);
  EXPECT_EQ(Dialog.minimumSize(), Dialog.maximumSize()) << "fixed size";

  Dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog));
  for (const QLabel* Label : Dialog.findChildren<QLabel*>()) {
    SCOPED_TRACE(Label->objectName().toStdString());
    EXPECT_GE(Label->width(), Label->sizeHint().width());
    EXPECT_GE(Label->height(), Label->sizeHint().height());
  }
  auto* Ok = Dialog.findChild<QPushButton*>("btnOK");
  ASSERT_NE(Ok, nullptr);
  EXPECT_TRUE(Ok->isDefault());
  EXPECT_EQ(Dialog.focusWidget(), Ok);
  EXPECT_EQ(Ok->text(), "&OK");
  QTest::keyClick(&Dialog, Qt::Key_Return);
  EXPECT_EQ(Dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(Dialog.isVisible());
}

} // namespace
