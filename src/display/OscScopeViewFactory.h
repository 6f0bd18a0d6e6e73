#pragma once

// Chooses the scope view's drawing: OpenGL where a context can be created and
// made current, QPainter otherwise, so that the view is never black.

class QWidget;
class TOscScopeView;

enum class TOscDrawing { Automatic, Software };

// A new view, a child of Parent (owned by it, or by the caller when Parent is
// null). Software skips OpenGL, for tests of the fallback.
TOscScopeView* OscCreateScopeView(QWidget* Parent, TOscDrawing Drawing = TOscDrawing::Automatic);
