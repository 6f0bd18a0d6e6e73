#include "AppTestSupport.h"

#include <QSpinBox>

#include "app/ConfigDialog.h"
#include "display/OscFpsLimiter.h"

namespace {

class StoredLimitTest : public AppTest, public ::testing::WithParamInterface<int> {
protected:
  void BeforeWindows() override { Settings->SetMaxFps(GetParam()); }
};

} // namespace

// The stored limit is applied as it is, also outside what the dialog offers.
TEST_P(StoredLimitTest, TheStoredLimitPacesTheViewUnchanged) {
  EXPECT_EQ(Main().FpsLimiter().Limit(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Limits, StoredLimitTest, ::testing::Values(0, 30, 100));

TEST_F(AppTest, OptionsStoresOnOkAndAppliesAtOnce) {
  auto* Poll = new QTimer(&Main());
  QObject::connect(Poll, &QTimer::timeout, [Poll] {
    auto* Dialog = qobject_cast<TConfigDialog*>(QApplication::activeModalWidget());
    if (Dialog == nullptr)
      return;
    Poll->stop();
    Dialog->findChild<QSpinBox*>("txtMaxFps")->setValue(0);
    Dialog->accept();
  });
  Poll->start(10);
  Main().actOptions->trigger();
  EXPECT_EQ(Settings->MaxFps(), 0);
  EXPECT_EQ(Main().FpsLimiter().Limit(), 0);
}

TEST_F(AppTest, OptionsCancelReappliesTheStoredLimit) {
  auto* Poll = new QTimer(&Main());
  QObject::connect(Poll, &QTimer::timeout, [Poll] {
    auto* Dialog = qobject_cast<TConfigDialog*>(QApplication::activeModalWidget());
    if (Dialog == nullptr)
      return;
    Poll->stop();
    Dialog->findChild<QSpinBox*>("txtMaxFps")->setValue(30);
    Dialog->reject();
  });
  Poll->start(10);
  Main().FpsLimiter().SetLimit(5);
  Main().actOptions->trigger();
  EXPECT_EQ(Settings->MaxFps(), 60);
  EXPECT_EQ(Main().FpsLimiter().Limit(), 60);
}
