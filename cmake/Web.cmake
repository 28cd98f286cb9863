# What the WebAssembly build needs of Debian's Emscripten; included by the project when it is
# configured with Emscripten's toolchain file.
#
# Emscripten's linker runs a JavaScript optimiser under the machine's Node.js, which finds the
# modules Debian installs for it (acorn) only when told where they are.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
