// Placeholder until the canvas control is built: releasing a backing does nothing yet.
#include "canvas/CanvasControl.h"

void CanvasReleaseBacking(WindowRecord&) noexcept {}
