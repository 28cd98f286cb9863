# Compile options shared by every target of the project, through one interface target.
add_library(rigid2d_options INTERFACE)

if(MSVC)
  # /fp:precise keeps each float operation rounded on its own.
  target_compile_options(rigid2d_options INTERFACE /W4 /fp:precise $<$<BOOL:${RIGID2D_WERROR}>:/WX>)
else()
  # The simulation is specified to the last bit of every float: each operation is rounded on its
  # own, so the compiler must never fuse a multiply and an add (x86-64 with FMA, AArch64, ...).
  target_compile_options(rigid2d_options INTERFACE
    -Wall -Wextra -Wpedantic -ffp-contract=off $<$<BOOL:${RIGID2D_WERROR}>:-Werror>)

  # x87 keeps floats in 80-bit registers and rounds them only when stored; SSE rounds each operation.
  include(CheckCXXSourceCompiles)
  check_cxx_source_compiles("#ifndef __i386__\n#error\n#endif\nint main() {}" RIGID2D_TARGET_X86_32)
  if(RIGID2D_TARGET_X86_32)
    target_compile_options(rigid2d_options INTERFACE -msse2 -mfpmath=sse)
  endif()
endif()

# Every program reports the project's version (--version).
target_compile_definitions(rigid2d_options INTERFACE RIGID2D_VERSION="${PROJECT_VERSION}")

if(RIGID2D_SANITIZE)
  set(_sanitize -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(rigid2d_options INTERFACE ${_sanitize})
  target_link_options(rigid2d_options INTERFACE ${_sanitize})
endif()
