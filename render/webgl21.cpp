#include "render/webgl21.h"

#include "render/gl21.h"

#include <emscripten/html5.h>

#include <algorithm> // std::min

namespace {

// Vertices of one draw: what the emulation's upload buffer holds at six floats a vertex.
constexpr int verticesPerDraw = 65536;

WebGl21 functions;

} // namespace

Gl21 *currentGl21() {
    return emscripten_webgl_get_current_context() ? &functions : nullptr;
}

std::string missingOpenGl() {
    return currentGl21() ? std::string() : "WebGL not available";
}

Gl21 *Gl21Cache::current() {
    return currentGl21();
}

void WebGl21::glEnableClientState(GLenum array) {
    (array == GL_COLOR_ARRAY ? colours : vertices).enabled = true;
    ::glEnableClientState(array);
}

void WebGl21::glDisableClientState(GLenum array) {
    (array == GL_COLOR_ARRAY ? colours : vertices).enabled = false;
    ::glDisableClientState(array);
}

void WebGl21::glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid *pointer) {
    vertices.stride = stride ? stride / GLsizei(sizeof(GLfloat)) : size;
    vertices.pointer = static_cast<const GLfloat *>(pointer);
    ::glVertexPointer(size, type, stride, pointer);
}

void WebGl21::glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid *pointer) {
    colours.stride = stride ? stride / GLsizei(sizeof(GLfloat)) : size;
    colours.pointer = static_cast<const GLfloat *>(pointer);
    ::glColorPointer(size, type, stride, pointer);
}

void WebGl21::pointBack() {
    ::glVertexPointer(2, GL_FLOAT, vertices.stride * sizeof(GLfloat), vertices.pointer);
    if (colours.pointer)
        ::glColorPointer(4, GL_FLOAT, colours.stride * sizeof(GLfloat), colours.pointer);
}

// Fan v0 v1 ... vn-1 is the triangles (v0, vk, vk+1), k = 1 ... n-2, in that order; loop
// v0 ... vn-1 is the lines (vk, vk+1), k = 0 ... n-1, the last back to v0.
void WebGl21::glMultiDrawArrays(GLenum mode, const GLint *first, const GLsizei *count,
                                GLsizei drawcount) {
    const bool fans = mode == GL_TRIANGLE_FAN;
    if ((!fans && mode != GL_LINE_LOOP) || !vertices.enabled)
        return;
    const bool coloured = colours.enabled;
    const int floats = coloured ? 6 : 2;
    triangles.clear();
    auto put = [&](int v) {
        const GLfloat *p = vertices.pointer + v * vertices.stride;
        triangles.insert(triangles.end(), p, p + 2);
        if (coloured) {
            const GLfloat *c = colours.pointer + v * colours.stride;
            triangles.insert(triangles.end(), c, c + 4);
        }
    };
    auto flush = [&]() {
        if (triangles.empty())
            return;
        const GLsizei stride = floats * sizeof(GLfloat);
        ::glVertexPointer(2, GL_FLOAT, stride, triangles.data());
        if (coloured)
            ::glColorPointer(4, GL_FLOAT, stride, triangles.data() + 2);
        ::glDrawArrays(fans ? GL_TRIANGLES : GL_LINES, 0,
                       static_cast<GLsizei>(triangles.size() / floats));
        triangles.clear();
    };
    for (GLsizei f = 0; f < drawcount; ++f) {
        const int n = count[f];
        if (static_cast<int>(triangles.size()) / floats + 3 * n > verticesPerDraw)
            flush();
        if (fans) {
            for (int k = 1; k + 1 < n; ++k) {
                put(first[f]);
                put(first[f] + k);
                put(first[f] + k + 1);
            }
        } else {
            for (int k = 0; k < n; ++k) {
                put(first[f] + k);
                put(first[f] + (k + 1) % n);
            }
        }
    }
    flush();
    pointBack();
}
