#pragma once

// The marker lines over the traces, the list that routes the mouse to them,
// the measurer that pairs two markers, and the right-button time scroller.
// Every position is in grid coordinates: a horizontal marker's position is a
// sample value (Y), a vertical marker's a sample offset on the page (X), the
// scroller's an index into the channel buffers.

#include <cstdint>
#include <functional>
#include <vector>

#include <Qt>

#include "osc/OscSkin.h"
#include "osc/OscTrace.h"

class TOscScopeView;

enum TOscMarkerStyle { oscMarkerHorizontal, oscMarkerVertical };
enum TOscMarkerLine { oscLineDot, oscLineSolid, oscLineDash };
enum TOscMarkerOption { oscDraggable };

// A set of TOscMarkerOption, one bit per member.
class TOscMarkerOptions {
public:
  constexpr TOscMarkerOptions() = default;
  constexpr TOscMarkerOptions(std::initializer_list<TOscMarkerOption> Members) {
    for (TOscMarkerOption M : Members)
      FBits = static_cast<std::uint8_t>(FBits | (1u << M));
  }
  constexpr bool Contains(TOscMarkerOption M) const { return (FBits & (1u << M)) != 0; }

private:
  std::uint8_t FBits = 0;
};

// Half height of a marker's grab band, in grid units.
constexpr int SnapMargin = 2;

class TOscMarker {
public:
  using TOscMarkerEvent = std::function<void(TOscMarker* Sender)>;
  // The handler sees the proposed position and may replace it.
  using TOscMarkerChangingEvent = std::function<void(TOscMarker* Sender, int& Position)>;

  // Registers itself with the owner view, which lists it for drawing and
  // hit tests until the marker is destroyed.
  explicit TOscMarker(TOscScopeView* AOwner);
  virtual ~TOscMarker();
  TOscMarker(const TOscMarker&) = delete;
  TOscMarker& operator=(const TOscMarker&) = delete;

  TOscScopeView* Owner() const { return FOwner; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  TOscMarkerStyle Style() const { return FStyle; }
  void SetStyle(TOscMarkerStyle Value) { FStyle = Value; }
  // A 0 in either limit switches clamping off.
  int MinPosition() const { return FMinPosition; }
  void SetMinPosition(int Value) { FMinPosition = Value; }
  int MaxPosition() const { return FMaxPosition; }
  // Re-clamps the current position, with events if it moves.
  void SetMaxPosition(int Value);
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  TOscMarkerLine Line() const { return FLine; }
  void SetLine(TOscMarkerLine Value) { FLine = Value; }
  TOscMarkerOptions Options() const { return FOptions; }
  void SetOptions(TOscMarkerOptions Value) { FOptions = Value; }
  TOscColor Color() const { return FColor; }
  void SetColor(TOscColor Value) { FColor = Value; }
  Qt::CursorShape DragCursor() const { return FDragCursor; }
  void SetDragCursor(Qt::CursorShape Value) { FDragCursor = Value; }
  bool Dragging() const { return FDragging; }

  const TOscMarkerEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TOscMarkerEvent Value) { FOnChange = std::move(Value); }
  const TOscMarkerChangingEvent& OnChanging() const { return FOnChanging; }
  void SetOnChanging(TOscMarkerChangingEvent Value) { FOnChanging = std::move(Value); }

  virtual void BeginDrag();
  virtual void EndDrag();
  // The grab band, SnapMargin either side of the line.
  virtual TOscRect ClientRect() const;
  // Left and top inclusive, right and bottom exclusive.
  virtual bool HitTest(int X, int Y) const;

protected:
  void DoChanging(int& Value);
  void DoChange();

  // The kinds set their defaults directly: no events, no clamping.
  TOscScopeView* FOwner;
  bool FVisible = true;
  int FPosition = 0;
  int FMinPosition = 0;
  int FMaxPosition = 0;
  TOscMarkerStyle FStyle = oscMarkerHorizontal;
  bool FDragging = false;
  TOscMarkerLine FLine = oscLineDash;
  TOscMarkerOptions FOptions{oscDraggable};
  Qt::CursorShape FDragCursor = Qt::PointingHandCursor;
  TOscColor FColor = 0x909090;
  TOscMarkerEvent FOnChange;
  TOscMarkerChangingEvent FOnChanging;
};

class TOscTriggerMarker : public TOscMarker {
public:
  explicit TOscTriggerMarker(TOscScopeView* AOwner);
};

class TOscTimeBaseMarker : public TOscMarker {
public:
  explicit TOscTimeBaseMarker(TOscScopeView* AOwner);
};

class TOscVDivMarker : public TOscMarker {
public:
  explicit TOscVDivMarker(TOscScopeView* AOwner);
};

// Routes the mouse to the markers. Coordinates are grid coordinates, converted
// by the view before the call.
class TOscMarkers {
public:
  explicit TOscMarkers(TOscScopeView* AOwner) : FOwner(AOwner) {}
  virtual ~TOscMarkers() = default;
  TOscMarkers(const TOscMarkers&) = delete;
  TOscMarkers& operator=(const TOscMarkers&) = delete;

  TOscMarker* Add(TOscMarker* Marker);
  void Remove(TOscMarker* Marker);
  int Count() const { return static_cast<int>(FMarkers.size()); }
  // A bad index raises EOscOutOfRangeError.
  const TOscMarker& Marker(int Index) const { return *FMarkers[Checked(Index)]; }
  TOscMarker& Marker(int Index) { return *FMarkers[Checked(Index)]; }
  // The first visible marker in list order whose band holds (X, Y), or null.
  TOscMarker* GetMarkerAt(int X, int Y) const;

  virtual void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  virtual void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  virtual void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);

private:
  std::size_t Checked(int Index) const;

  TOscScopeView* FOwner;
  std::vector<TOscMarker*> FMarkers; // not owned
};

// Pairs two markers and reports their distance. It takes over the markers'
// OnChange while it lives.
class TOscMarkerMeasurer {
public:
  using TNotifyEvent = std::function<void(TOscMarkerMeasurer* Sender)>;

  TOscMarkerMeasurer(TOscMarker* AMarker1, TOscMarker* AMarker2);
  virtual ~TOscMarkerMeasurer();
  TOscMarkerMeasurer(const TOscMarkerMeasurer&) = delete;
  TOscMarkerMeasurer& operator=(const TOscMarkerMeasurer&) = delete;

  TOscMarker* Marker1() const { return FMarker1; }
  TOscMarker* Marker2() const { return FMarker2; }
  // Grid units: sample-value steps for volts markers, samples for time markers.
  int Distance() const;

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

protected:
  virtual void DoChange();
  void CallChange();

private:
  void MarkerMoved(TOscMarker* Marker);
  void RegisterMarker(TOscMarker* Marker);
  void UnregisterMarker(TOscMarker* Marker);

  TOscMarker* FMarker1;
  TOscMarker* FMarker2;
  TNotifyEvent FOnChange;
};

// Pans the traces with the right mouse button: dragging n grid units to the
// right shows the samples n earlier.
class TOscTimeScroller {
public:
  using TNotifyEvent = std::function<void(TOscTimeScroller* Sender)>;

  explicit TOscTimeScroller(TOscScopeView* AOwner) : FOwner(AOwner) {}
  virtual ~TOscTimeScroller() = default;
  TOscTimeScroller(const TOscTimeScroller&) = delete;
  TOscTimeScroller& operator=(const TOscTimeScroller&) = delete;

  TOscScopeView* Owner() const { return FOwner; }
  // Index of the first sample shown at grid X 0.
  int Position() const { return FPosition; }
  // Clamped to 0 .. 4096 - the page; compared before clamping, so a value
  // that clamps onto the current position still scrolls.
  void SetPosition(int Value);
  bool Dragging() const { return FDragging; }

  const TNotifyEvent& OnScroll() const { return FOnScroll; }
  void SetOnScroll(TNotifyEvent Value) { FOnScroll = std::move(Value); }

  void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);

protected:
  virtual void DoScroll();

private:
  TOscScopeView* FOwner;
  int FPosition = 0;
  TOscPoint FDragOrigin;
  bool FDragging = false;
  int FDragPosition = 0;
  TNotifyEvent FOnScroll;
};
