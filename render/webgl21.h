#pragma once

#include <GL/gl.h>

#include <vector> // std::vector

// The OpenGL 2.1 functions render/ draws with, in the browser: Emscripten's emulation of the
// fixed-function pipeline over WebGL 1 (linked with -sLEGACY_GL_EMULATION=1), given the shape of
// Qt's function table so that the drawing code is written once for both.
//
// The emulation uploads client arrays itself, but it has no multi-draw over them, and it copies
// arrays that are not interleaved wrongly when a draw does not start at vertex 0. So the arrays
// a caller points at are remembered here, and glMultiDrawArrays draws each run of fans (or of
// loops) as one list of the same triangles (or lines), interleaved, from vertex 0.
class WebGl21 {
public:
    void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
        ::glViewport(x, y, width, height);
    }
    void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
        ::glClearColor(red, green, blue, alpha);
    }
    void glClear(GLbitfield mask) { ::glClear(mask); }
    void glMatrixMode(GLenum mode) { ::glMatrixMode(mode); }
    void glLoadIdentity() { ::glLoadIdentity(); }
    void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
                 GLdouble zFar) {
        ::glOrtho(left, right, bottom, top, zNear, zFar);
    }
    void glColor4ub(GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha) {
        ::glColor4ub(red, green, blue, alpha);
    }
    void glEnable(GLenum capability) { ::glEnable(capability); }
    void glDisable(GLenum capability) { ::glDisable(capability); }
    void glBlendFunc(GLenum source, GLenum destination) { ::glBlendFunc(source, destination); }
    void glEnableClientState(GLenum array);
    void glDisableClientState(GLenum array);
    void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid *pointer);
    void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid *pointer);
    void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
        ::glDrawArrays(mode, first, count);
    }
    // Triangle fans or line loops of float vertices (2 coordinates, and 4 colour components when
    // the colour array is on), as render/ draws them.
    void glMultiDrawArrays(GLenum mode, const GLint *first, const GLsizei *count,
                           GLsizei drawcount);

private:
    // A client array as the caller set it.
    struct ClientArray {
        bool enabled = false;
        GLsizei stride = 0;
        const GLfloat *pointer = nullptr;
    };
    void pointBack();

    ClientArray vertices;
    ClientArray colours;
    // The triangles of the fans or the lines of the loops, x y [r g b a] per vertex.
    std::vector<GLfloat> triangles;
};
