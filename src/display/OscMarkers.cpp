#include "display/OscMarkers.h"

#include <algorithm>
#include <cstdlib>

#include "display/OscScopeView.h"
#include "osc/OscFormat.h"
#include "osc/OscTypes.h"

TOscMarker::TOscMarker(TOscScopeView* AOwner) : FOwner(AOwner) {
  if (AOwner == nullptr)
    throw EOscInvalidArgumentError(SArgumentNull);
  FOwner->RegisterMarker(this);
}

TOscMarker::~TOscMarker() {
  FOwner->UnregisterMarker(this);
}

void TOscMarker::SetMaxPosition(int Value) {
  FMaxPosition = Value;
  SetPosition(FPosition);
}

void TOscMarker::SetPosition(int Value) {
  if (FMinPosition != 0 && FMaxPosition != 0)
    Value = std::min(FMaxPosition, std::max(FMinPosition, Value));
  if (Value == FPosition)
    return;
  DoChanging(Value);
  FPosition = Value;
  DoChange();
}

void TOscMarker::DoChanging(int& Value) {
  if (FOnChanging)
    FOnChanging(this, Value);
}

void TOscMarker::DoChange() {
  if (FOnChange)
    FOnChange(this);
}

void TOscMarker::BeginDrag() {
  if (FOptions.Contains(oscDraggable))
    FDragging = true;
}

void TOscMarker::EndDrag() {
  FDragging = false;
}

TOscRect TOscMarker::ClientRect() const {
  if (FStyle == oscMarkerHorizontal)
    return {0, FPosition - SnapMargin, FOwner->SamplesPerPage() - 1, FPosition + SnapMargin};
  return {FPosition - SnapMargin, 0, FPosition + SnapMargin, 255};
}

bool TOscMarker::HitTest(int X, int Y) const {
  const TOscRect R = ClientRect();
  return R.Left <= X && X < R.Right && R.Top <= Y && Y < R.Bottom;
}

TOscTriggerMarker::TOscTriggerMarker(TOscScopeView* AOwner) : TOscMarker(AOwner) {
  FLine = oscLineSolid;
  FMinPosition = 6;
  FMaxPosition = 250;
  FPosition = 128;
}

TOscTimeBaseMarker::TOscTimeBaseMarker(TOscScopeView* AOwner) : TOscMarker(AOwner) {
  FStyle = oscMarkerVertical;
  FMinPosition = 5;
  FPosition = 50;
}

TOscVDivMarker::TOscVDivMarker(TOscScopeView* AOwner) : TOscMarker(AOwner) {
  FMinPosition = 6;
  FMaxPosition = 250;
  FPosition = 128;
}

TOscMarker* TOscMarkers::Add(TOscMarker* Marker) {
  FMarkers.push_back(Marker);
  return Marker;
}

void TOscMarkers::Remove(TOscMarker* Marker) {
  auto It = std::find(FMarkers.begin(), FMarkers.end(), Marker);
  if (It != FMarkers.end())
    FMarkers.erase(It);
}

std::size_t TOscMarkers::Checked(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EOscOutOfRangeError(SIndexOutOfRange);
  return static_cast<std::size_t>(Index);
}

TOscMarker* TOscMarkers::GetMarkerAt(int X, int Y) const {
  for (TOscMarker* M : FMarkers)
    if (M->Visible() && M->HitTest(X, Y))
      return M;
  return nullptr;
}

void TOscMarkers::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y) {
  if (Button != Qt::LeftButton)
    return;
  if (TOscMarker* M = GetMarkerAt(X, Y))
    M->BeginDrag();
  FOwner->SetMouseCapture(true);
}

void TOscMarkers::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, int, int) {
  if (Button != Qt::LeftButton)
    return;
  for (TOscMarker* M : FMarkers)
    if (M->Dragging())
      M->EndDrag();
  FOwner->SetMouseCapture(false);
}

void TOscMarkers::MouseMove(Qt::KeyboardModifiers, int X, int Y) {
  // Indexed: a handler further down the chain may not add markers, but the
  // loop must not read past the end if one does.
  for (std::size_t I = 0; I < FMarkers.size(); ++I) {
    TOscMarker* M = FMarkers[I];
    if (!M->Visible())
      continue;
    if (M->HitTest(X, Y))
      FOwner->SetViewCursor(M->DragCursor());
    if (M->Dragging()) {
      M->SetPosition(M->Style() == oscMarkerHorizontal ? Y : X);
      break;
    }
  }
}

TOscMarkerMeasurer::TOscMarkerMeasurer(TOscMarker* AMarker1, TOscMarker* AMarker2)
    : FMarker1(AMarker1), FMarker2(AMarker2) {
  if (AMarker1 == nullptr || AMarker2 == nullptr)
    throw EOscInvalidArgumentError(SArgumentNull);
  RegisterMarker(FMarker1);
  RegisterMarker(FMarker2);
}

TOscMarkerMeasurer::~TOscMarkerMeasurer() {
  UnregisterMarker(FMarker1);
  UnregisterMarker(FMarker2);
}

void TOscMarkerMeasurer::RegisterMarker(TOscMarker* Marker) {
  Marker->SetOnChange([this](TOscMarker* Sender) { MarkerMoved(Sender); });
}

void TOscMarkerMeasurer::UnregisterMarker(TOscMarker* Marker) {
  Marker->SetOnChange(nullptr);
}

int TOscMarkerMeasurer::Distance() const {
  return std::abs(FMarker1->Position() - FMarker2->Position());
}

void TOscMarkerMeasurer::MarkerMoved(TOscMarker* Marker) {
  if (Marker == FMarker1 || Marker == FMarker2)
    DoChange();
}

void TOscMarkerMeasurer::DoChange() {
  CallChange();
}

void TOscMarkerMeasurer::CallChange() {
  if (FOnChange)
    FOnChange(this);
}

void TOscTimeScroller::SetPosition(int Value) {
  if (Value == FPosition)
    return;
  FPosition = OscLimitValue(0, Value, CSampleCount - FOwner->SamplesPerPage());
  DoScroll();
}

void TOscTimeScroller::DoScroll() {
  if (FOnScroll)
    FOnScroll(this);
}

void TOscTimeScroller::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y) {
  if (Button != Qt::RightButton)
    return;
  FDragPosition = FPosition;
  FDragOrigin = {X, Y};
  FDragging = true;
  FOwner->SetMouseCapture(true);
}

void TOscTimeScroller::MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
  if (!FDragging)
    return;
  FDragging = false;
  FOwner->SetMouseCapture(false);
}

void TOscTimeScroller::MouseMove(Qt::KeyboardModifiers, int X, int) {
  if (FDragging)
    SetPosition(FDragPosition + FDragOrigin.X - X);
}
