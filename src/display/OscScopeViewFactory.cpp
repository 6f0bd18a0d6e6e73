#include "display/OscScopeViewFactory.h"

#include <QtGlobal>

#include "display/OscPainterRenderer.h"
#include "display/OscRenderer3D.h"
#include "osc/OscTypes.h"

TOscScopeView* OscCreateScopeView(QWidget* Parent, TOscDrawing Drawing) {
  if (Drawing == TOscDrawing::Automatic) {
    try {
      return new TOscRenderer3D(Parent);
    } catch (const EOscError& E) {
      qWarning("zelvo: %s Drawing without OpenGL.", E.what());
    }
  }
  return new TOscPainterRenderer(Parent);
}
