#pragma once

// The colour scheme of the scope view: a small observable value object that
// does no drawing itself.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "osc/OscObserver.h"

// 0x00BBGGRR: red in the lowest byte.
using TOscColor = std::uint32_t;

constexpr std::uint8_t OscRed(TOscColor C) {
  return static_cast<std::uint8_t>(C & 0xFF);
}
constexpr std::uint8_t OscGreen(TOscColor C) {
  return static_cast<std::uint8_t>((C >> 8) & 0xFF);
}
constexpr std::uint8_t OscBlue(TOscColor C) {
  return static_cast<std::uint8_t>((C >> 16) & 0xFF);
}

class TOscTraceColor {
public:
  explicit TOscTraceColor(TOscColor AColor) : FColor(AColor) {}
  TOscColor Color() const { return FColor; }
  void SetColor(TOscColor Value) { FColor = Value; }

private:
  TOscColor FColor;
};

// Item 0 is the colour of channel 1, item 1 of channel 2.
class TOscTraceColors {
public:
  TOscTraceColors() = default;
  TOscTraceColors(const TOscTraceColors&) = delete;
  TOscTraceColors& operator=(const TOscTraceColors&) = delete;

  TOscTraceColor* Add(TOscColor AColor);
  int Count() const { return static_cast<int>(FTraceColors.size()); }
  void Clear() { FTraceColors.clear(); }
  // An index past the end gives the last item, a negative one the first;
  // only an empty collection raises.
  const TOscTraceColor& Color(int Index) const { return *FTraceColors[Checked(Index)]; }
  TOscTraceColor& Color(int Index) { return *FTraceColors[Checked(Index)]; }
  const TOscTraceColor& GetColor(int Index) const { return Color(Index); }
  TOscTraceColor& GetColor(int Index) { return Color(Index); }
  // Copies the colours; no item is shared.
  void Assign(const TOscTraceColors& Source);

private:
  std::size_t Checked(int Index) const;

  std::vector<std::unique_ptr<TOscTraceColor>> FTraceColors;
};

class TOscSkin;

// Whichever of skin and observer goes first unhooks itself from the other.
class TOscSkinObserver : public TOscObserverLink<TOscSkinObserver> {
public:
  using TOnChange = std::function<void(TOscSkin* Sender)>;

  TOscSkinObserver() = default;
  explicit TOscSkinObserver(TOnChange AOnChange) : FOnChange(std::move(AOnChange)) {}

  const TOnChange& OnChange() const { return FOnChange; }
  void SetOnChange(TOnChange Value) { FOnChange = std::move(Value); }

private:
  friend class TOscSkin;
  TOnChange FOnChange;
};

class TOscSkin {
public:
  using TNotifyEvent = std::function<void(TOscSkin* Sender)>;

  TOscSkin();
  virtual ~TOscSkin();
  TOscSkin(const TOscSkin&) = delete;
  TOscSkin& operator=(const TOscSkin&) = delete;

  TOscColor GridColor() const { return FGridColor; }
  void SetGridColor(TOscColor Value);
  TOscColor BackgroundColor() const { return FBackgroundColor; }
  void SetBackgroundColor(TOscColor Value);
  // Kept and published only: every marker carries its own colour.
  TOscColor MarkerColor() const { return FMarkerColor; }
  void SetMarkerColor(TOscColor Value);
  TOscColor TriggerColor() const { return FTriggerColor; }
  void SetTriggerColor(TOscColor Value);
  const TOscTraceColors& TraceColors() const { return *FTraceColors; }
  // Notifies nobody: the view reads the trace colours anew on every frame.
  void SetTraceColors(const TOscTraceColors& Value) { FTraceColors->Assign(Value); }

  void LoadDefaults();

  // The subjects' rule (TOscSubject): null raises, twice registered is
  // called twice, unregistering removes the first registration.
  void RegisterObserver(TOscSkinObserver* Observer) { FObservers.Register(Observer); }
  void UnregisterObserver(TOscSkinObserver* Observer) { FObservers.Unregister(Observer); }

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

protected:
  virtual void DoChange();
  void NotifyObservers();
  void CallChange();

private:
  void SetColor(TOscColor& Field, TOscColor Value);

  TOscSubject<TOscSkinObserver> FObservers;
  TOscColor FGridColor = 0;
  TOscColor FBackgroundColor = 0;
  TOscColor FMarkerColor = 0;
  TOscColor FTriggerColor = 0;
  std::unique_ptr<TOscTraceColors> FTraceColors;
  TNotifyEvent FOnChange;
};
