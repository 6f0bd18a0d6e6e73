#include "osc/OscSkin.h"

#include <algorithm>

#include "osc/OscTypes.h"

TOscTraceColor* TOscTraceColors::Add(TOscColor AColor) {
  FTraceColors.push_back(std::make_unique<TOscTraceColor>(AColor));
  return FTraceColors.back().get();
}

std::size_t TOscTraceColors::Checked(int Index) const {
  // min(upper, max(lower, value)): an empty collection yields -1.
  const int Clamped = std::min(Count() - 1, std::max(0, Index));
  if (Clamped < 0 || Clamped >= Count())
    throw EOscOutOfRangeError(SIndexOutOfRange);
  return static_cast<std::size_t>(Clamped);
}

void TOscTraceColors::Assign(const TOscTraceColors& Source) {
  if (&Source == this)
    return;
  Clear();
  for (const auto& Item : Source.FTraceColors)
    Add(Item->Color());
}

TOscSkin::TOscSkin() : FTraceColors(std::make_unique<TOscTraceColors>()) {
  LoadDefaults();
}

TOscSkin::~TOscSkin() = default;

void TOscSkin::SetColor(TOscColor& Field, TOscColor Value) {
  if (Field == Value)
    return;
  Field = Value;
  DoChange();
}

void TOscSkin::SetGridColor(TOscColor Value) {
  SetColor(FGridColor, Value);
}

void TOscSkin::SetBackgroundColor(TOscColor Value) {
  SetColor(FBackgroundColor, Value);
}

void TOscSkin::SetMarkerColor(TOscColor Value) {
  SetColor(FMarkerColor, Value);
}

void TOscSkin::SetTriggerColor(TOscColor Value) {
  SetColor(FTriggerColor, Value);
}

void TOscSkin::LoadDefaults() {
  SetGridColor(0x202020);
  SetMarkerColor(0x909090);
  SetBackgroundColor(0x000000);
  SetTriggerColor(0x606060);
  FTraceColors->Clear();
  FTraceColors->Add(0xFFFF00);
  FTraceColors->Add(0x7CEEEE);
}

void TOscSkin::DoChange() {
  NotifyObservers();
  CallChange();
}

void TOscSkin::NotifyObservers() {
  FObservers.Notify([this](TOscSkinObserver& O) {
    if (O.FOnChange)
      O.FOnChange(this);
  });
}

void TOscSkin::CallChange() {
  if (FOnChange)
    FOnChange(this);
}
