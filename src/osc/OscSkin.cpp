#include "osc/OscSkin.h"

#include <algorithm>

#include "osc/OscTypes.h"

namespace {

template <class T, class V> bool EraseFirst(std::vector<T>& Items, V Value) {
  auto It = std::find(Items.begin(), Items.end(), Value);
  if (It == Items.end())
    return false;
  Items.erase(It);
  return true;
}

} // namespace

TOscTraceColor* TOscTraceColors::Add(TOscColor AColor) {
  FTraceColors.push_back(std::make_unique<TOscTraceColor>(AColor));
  return FTraceColors.back().get();
}

TOscTraceColor& TOscTraceColors::GetColor(int Index) const {
  // min(upper, max(lower, value)): an empty collection yields -1.
  const int Clamped = std::min(Count() - 1, std::max(0, Index));
  if (Clamped < 0 || Clamped >= Count())
    throw EOscOutOfRangeError(SIndexOutOfRange);
  return *FTraceColors[static_cast<std::size_t>(Clamped)];
}

void TOscTraceColors::Assign(const TOscTraceColors& Source) {
  if (&Source == this)
    return;
  Clear();
  for (const auto& Item : Source.FTraceColors)
    Add(Item->Color());
}

TOscSkinObserver::~TOscSkinObserver() {
  while (!FSkins.empty())
    FSkins.back()->UnregisterObserver(this);
}

TOscSkin::TOscSkin() : FTraceColors(std::make_unique<TOscTraceColors>()) {
  LoadDefaults();
}

TOscSkin::~TOscSkin() {
  for (TOscSkinObserver* O : FObservers)
    EraseFirst(O->FSkins, this);
}

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

void TOscSkin::RegisterObserver(TOscSkinObserver* Observer) {
  if (Observer == nullptr)
    throw EOscInvalidArgumentError(SArgumentNull);
  FObservers.push_back(Observer);
  Observer->FSkins.push_back(this);
}

void TOscSkin::UnregisterObserver(TOscSkinObserver* Observer) {
  if (Observer == nullptr)
    throw EOscInvalidArgumentError(SArgumentNull);
  if (EraseFirst(FObservers, Observer))
    EraseFirst(Observer->FSkins, this);
}

void TOscSkin::DoChange() {
  NotifyObservers();
  CallChange();
}

void TOscSkin::NotifyObservers() {
  // Bounded by the live size: an observer that unregisters from inside its
  // callback must not make the loop read past the end.
  const std::size_t N = FObservers.size();
  for (std::size_t I = 0; I < N && I < FObservers.size(); ++I) {
    TOscSkinObserver* O = FObservers[I];
    if (O->FOnChange)
      O->FOnChange(this);
  }
}

void TOscSkin::CallChange() {
  if (FOnChange)
    FOnChange(this);
}
