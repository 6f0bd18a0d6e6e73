#include "AppTestSupport.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include <functional>

#include "app/AboutDialog.h"
#include "app/ConfigDialog.h"
#include "app/NoticeDialogs.h"
#include "app/UsbDialog.h"
#include "app/WifiDialog.h"

namespace {

struct TDialogCase {
  const char* Name;
  QSize Designed;
  std::function<TFixedDialog*(TApplicationSettings& Settings, QWidget* Parent)> Make;
};

// Whether Widget shows all of its text in the room it was given.
bool ShowsAllOfItsText(QWidget* Widget, QString& Why) {
  if (auto* Label = qobject_cast<QLabel*>(Widget)) {
    if (Label->text().isEmpty())
      return true;
    const int Needed = Label->wordWrap() ? Label->heightForWidth(Label->contentsRect().width())
                                         : Label->sizeHint().height();
    if (!Label->wordWrap() &&
        Label->contentsRect().width() < Label->fontMetrics().horizontalAdvance(Label->text()))
      Why = "too narrow";
    else if (Label->height() < Needed)
      Why = "too low";
    else
      return true;
    Why = Label->text() + ": " + Why;
    return false;
  }
  if (qobject_cast<QAbstractButton*>(Widget) || qobject_cast<QGroupBox*>(Widget)) {
    const QSize Needed = Widget->minimumSizeHint();
    if (Widget->width() >= Needed.width() && Widget->height() >= Needed.height())
      return true;
    Why = Widget->objectName() + " smaller than its text";
    return false;
  }
  return true;
}

class FixedDialogTest : public AppTest, public ::testing::WithParamInterface<TDialogCase> {
protected:
  void SetUp() override {
    AppTest::SetUp();
    FFont = QApplication::font();
  }
  void TearDown() override {
    QApplication::setFont(FFont);
    AppTest::TearDown();
  }
  QFont FFont;
};

} // namespace

// A larger font (or a longer translation) grows the dialog instead of cutting
// its texts; with the usual font the dialog keeps the size it was drawn for.
TEST_P(FixedDialogTest, NeverClipsATextAndKeepsAtLeastItsDesignedSize) {
  for (const double Scale : {1.0, 2.0}) {
    SCOPED_TRACE(Scale);
    QFont Font = FFont;
    if (FFont.pixelSize() > 0)
      Font.setPixelSize(static_cast<int>(FFont.pixelSize() * Scale));
    else
      Font.setPointSizeF(FFont.pointSizeF() * Scale);
    QApplication::setFont(Font);
    std::unique_ptr<TFixedDialog> Dialog(GetParam().Make(*Settings, &Main()));
    Dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog.get()));
    EXPECT_GE(Dialog->width(), GetParam().Designed.width());
    EXPECT_GE(Dialog->height(), GetParam().Designed.height());
    EXPECT_EQ(Dialog->minimumSize(), Dialog->maximumSize()) << "fixed size";
    for (QWidget* W : Dialog->findChildren<QWidget*>()) {
      QString Why;
      if (W->isVisible()) {
        EXPECT_TRUE(ShowsAllOfItsText(W, Why)) << Why.toStdString();
      }
    }
    Dialog->hide();
  }
}

// The dialogs are reused: moved away and shown again, one opens centred on the
// main window, not where it was left.
TEST_P(FixedDialogTest, OpensCentredOnTheMainWindowEveryTime) {
  std::unique_ptr<TFixedDialog> Dialog(GetParam().Make(*Settings, &Main()));
  Main().move(20, 20);
  for (int Round = 0; Round < 2; ++Round) {
    Dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog.get()));
    // The slack is Qt's guess at window frames where no window manager runs.
    const QPoint Offset = Dialog->frameGeometry().center() - Main().frameGeometry().center();
    EXPECT_LE(Offset.manhattanLength(), 60) << "round " << Round;
    Dialog->move(Dialog->pos() + QPoint(150, 100));
    Dialog->hide();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, FixedDialogTest,
    ::testing::Values(TDialogCase{"About",
                                  {210, 145},
                                  [](TApplicationSettings&, QWidget* P) -> TFixedDialog* {
                                    static TVersionInfo Info;
                                    return new TAboutDialog(Info, P);
                                  }},
                      TDialogCase{"Config",
                                  {409, 473},
                                  [](TApplicationSettings& S, QWidget* P) -> TFixedDialog* {
                                    return new TConfigDialog(S, P);
                                  }},
                      TDialogCase{"Tcp",
                                  {289, 169},
                                  [](TApplicationSettings&, QWidget* P) -> TFixedDialog* {
                                    return new TTcpDialog(P, [] { return QString("192.168.4.1"); });
                                  }},
                      TDialogCase{"Usb",
                                  {304, 192},
                                  [](TApplicationSettings&, QWidget* P) -> TFixedDialog* {
                                    return new TUsbDialog(P, std::make_unique<TNoPorts>(), nullptr);
                                  }},
                      TDialogCase{"Wifi",
                                  {297, 234},
                                  [](TApplicationSettings&, QWidget* P) -> TFixedDialog* {
                                    return new TWifiDialog(P);
                                  }},
                      TDialogCase{"Warning",
                                  {345, 137},
                                  [](TApplicationSettings&, QWidget* P) -> TFixedDialog* {
                                    return new TWarningDialog(P);
                                  }},
                      TDialogCase{"Calibration",
                                  {348, 122},
                                  [](TApplicationSettings&, QWidget* P) -> TFixedDialog* {
                                    return new TCalibrationForm(P);
                                  }}),
    [](const ::testing::TestParamInfo<TDialogCase>& I) { return std::string(I.param.Name); });
