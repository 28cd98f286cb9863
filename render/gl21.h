#pragma once

class QOpenGLFunctions_2_1;

// The current context's OpenGL 2.1 function table, or null when there is no current context or
// it cannot offer OpenGL 2.1 (a core profile, an older version, OpenGL ES).
QOpenGLFunctions_2_1 *currentGl21();
