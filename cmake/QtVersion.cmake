# Qt 5 or Qt 6, chosen with RIGID2D_QT_MAJOR; included by the project and by the separate fuzz
# project. Link Qt's targets as Qt${RIGID2D_QT_MAJOR}::Core, ::Gui, ::Test. The OpenGL 2.1 function
# table and QOpenGLPaintDevice belong to QtGui in Qt 5 but to QtOpenGL in Qt 6: code that uses
# them links ${RIGID2D_QT_OPENGL} as well (empty with Qt 5).
set(RIGID2D_QT_MAJOR 5 CACHE STRING "Major version of Qt to build with: 5 or 6")
set_property(CACHE RIGID2D_QT_MAJOR PROPERTY STRINGS 5 6)

if(RIGID2D_QT_MAJOR STREQUAL "5")
  set(RIGID2D_QT_MINIMUM 5.12)
  set(RIGID2D_QT_OPENGL "")
elseif(RIGID2D_QT_MAJOR STREQUAL "6")
  set(RIGID2D_QT_MINIMUM 6.2)
  set(RIGID2D_QT_OPENGL Qt6::OpenGL)
else()
  message(FATAL_ERROR
    "RIGID2D_QT_MAJOR is \"${RIGID2D_QT_MAJOR}\": it accepts 5 (the default) or 6")
endif()

# rigid2d_find_qt(Component...): the components of the chosen Qt, with QtOpenGL under Qt 6.
macro(rigid2d_find_qt)
  set(_rigid2d_qt_components ${ARGN})
  if(RIGID2D_QT_MAJOR STREQUAL "6" AND Gui IN_LIST _rigid2d_qt_components)
    list(APPEND _rigid2d_qt_components OpenGL)
  endif()
  find_package(Qt${RIGID2D_QT_MAJOR} ${RIGID2D_QT_MINIMUM} REQUIRED
    COMPONENTS ${_rigid2d_qt_components})
endmacro()
