#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "osc/OscSkin.h"
#include "osc/OscTypes.h"

namespace {

struct TRecorder {
  std::vector<std::string> Calls;
};

} // namespace

TEST(OscSkin, DefaultsAreTheDarkScheme) {
  TOscSkin Skin;
  EXPECT_EQ(Skin.GridColor(), 0x202020u);
  EXPECT_EQ(Skin.MarkerColor(), 0x909090u);
  EXPECT_EQ(Skin.BackgroundColor(), 0x000000u);
  EXPECT_EQ(Skin.TriggerColor(), 0x606060u);
  ASSERT_EQ(Skin.TraceColors().Count(), 2);
  EXPECT_EQ(Skin.TraceColors().Color(0).Color(), 0xFFFF00u);
  EXPECT_EQ(Skin.TraceColors().Color(1).Color(), 0x7CEEEEu);
  // 0x00BBGGRR: cyan is (0, 255, 255).
  EXPECT_EQ(OscRed(0xFFFF00), 0);
  EXPECT_EQ(OscGreen(0xFFFF00), 255);
  EXPECT_EQ(OscBlue(0xFFFF00), 255);
}

TEST(OscSkin, ColourChangeNotifiesObserversInOrderThenOnChangeOnlyWhenValueDiffers) {
  TOscSkin Skin;
  TRecorder R;
  TOscSkinObserver A([&](TOscSkin* S) {
    EXPECT_EQ(S, &Skin);
    R.Calls.push_back("A");
  });
  TOscSkinObserver B([&](TOscSkin*) { R.Calls.push_back("B"); });
  Skin.RegisterObserver(&A);
  Skin.RegisterObserver(&B);
  Skin.SetOnChange([&](TOscSkin*) { R.Calls.push_back("OnChange"); });

  Skin.SetGridColor(Skin.GridColor());
  Skin.SetBackgroundColor(Skin.BackgroundColor());
  EXPECT_TRUE(R.Calls.empty());

  Skin.SetGridColor(0x123456);
  EXPECT_EQ(R.Calls, (std::vector<std::string>{"A", "B", "OnChange"}));

  // Trace colours are read anew on every frame, so assigning them is silent.
  R.Calls.clear();
  TOscTraceColors Other;
  Other.Add(0x0000FF);
  Skin.SetTraceColors(Other);
  EXPECT_TRUE(R.Calls.empty());
  EXPECT_EQ(Skin.TraceColors().Count(), 1);
  Other.Clear();
  EXPECT_EQ(Skin.TraceColors().Color(0).Color(), 0x0000FFu) << "items are copied, not shared";
}

TEST(OscSkin, DoubleRegistrationCallsTwiceAndOneUnregistrationRemovesOne) {
  TOscSkin Skin;
  int Calls = 0;
  TOscSkinObserver A([&](TOscSkin*) { ++Calls; });
  Skin.RegisterObserver(&A);
  Skin.RegisterObserver(&A);
  Skin.SetMarkerColor(1);
  EXPECT_EQ(Calls, 2);
  Skin.UnregisterObserver(&A);
  Skin.SetMarkerColor(2);
  EXPECT_EQ(Calls, 3);
}

TEST(OscSkin, NullObserverIsRejected) {
  TOscSkin Skin;
  try {
    Skin.RegisterObserver(nullptr);
    FAIL() << "no exception";
  } catch (const EOscInvalidArgumentError& E) {
    EXPECT_STREQ(E.what(), "Argument cannot be null");
  }
  EXPECT_THROW(Skin.UnregisterObserver(nullptr), EOscInvalidArgumentError);
}

TEST(OscSkin, ObserverAndSkinMayDieInEitherOrder) {
  int Calls = 0;
  {
    TOscSkin Skin;
    {
      TOscSkinObserver A([&](TOscSkin*) { ++Calls; });
      Skin.RegisterObserver(&A);
    }
    Skin.SetGridColor(7); // must not call the destroyed observer
  }
  EXPECT_EQ(Calls, 0);
  TOscSkinObserver B([&](TOscSkin*) { ++Calls; });
  {
    TOscSkin Skin;
    Skin.RegisterObserver(&B);
  }
  // B's destructor must not touch the destroyed skin (checked by ASan).
}

TEST(OscTraceColors, IndexIsClampedAndEmptyCollectionRaises) {
  TOscSkin Skin;
  const TOscTraceColors& Colors = Skin.TraceColors();
  EXPECT_EQ(&Colors.Color(5), &Colors.Color(1));
  EXPECT_EQ(&Colors.Color(-1), &Colors.Color(0));

  TOscTraceColors Empty;
  try {
    Empty.Color(0);
    FAIL() << "no exception";
  } catch (const EOscOutOfRangeError& E) {
    EXPECT_STREQ(E.what(), "Index out of range");
  }
}
