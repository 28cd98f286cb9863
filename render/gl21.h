#pragma once

// The OpenGL 2.1 function table render/ draws through. On the desktop it is Qt's, of the current
// context; in the browser it is render/webgl21.h's, over Emscripten's emulation of the
// fixed-function pipeline. This header and the two files that define currentGl21() are the only
// places where the two differ.
#ifdef __EMSCRIPTEN__
#include "render/webgl21.h"
using Gl21 = WebGl21;
#else
#include <QOpenGLContext>
#include <QOpenGLFunctions_2_1>
#include <QPointer>
using Gl21 = QOpenGLFunctions_2_1;
#endif

#include <string> // std::string

// The current context's table, or null when there is no current context or it cannot offer
// OpenGL 2.1 (a core profile, an older version, OpenGL ES).
Gl21 *currentGl21();

// Empty when the current context offers OpenGL 2.1, else one line saying what it offers.
std::string missingOpenGl();

// currentGl21(), looked up again only for another context: on the desktop the lookup allocates
// (Qt copies a version profile).
class Gl21Cache {
public:
    Gl21 *current();

#ifndef __EMSCRIPTEN__
private:
    // The guarded pointer turns null with its context, so a new context at the same address is
    // not taken for the old one.
    QPointer<QOpenGLContext> context;
    Gl21 *functions = nullptr;
#endif
};
