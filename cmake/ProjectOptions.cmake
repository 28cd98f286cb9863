# Two interface targets shared by every target of the project.

# rigid2d_exact_float: what the simulation's exactness needs, linked PUBLIC so that every target
# that includes the engine's headers (inline Vec2 arithmetic among them) compiles them the same
# way. The simulation is fixed to the last bit of every float: each operation is rounded on its
# own, so the compiler must never fuse a multiply and an add (x86-64 with FMA, AArch64, ...).
add_library(rigid2d_exact_float INTERFACE)
if(MSVC)
  # /fp:precise keeps each float operation rounded on its own.
  target_compile_options(rigid2d_exact_float INTERFACE /fp:precise)
else()
  target_compile_options(rigid2d_exact_float INTERFACE -ffp-contract=off)
  # x87 keeps floats in 80-bit registers and rounds them only when stored; SSE rounds each operation.
  include(CheckCXXSourceCompiles)
  check_cxx_source_compiles("#ifndef __i386__\n#error\n#endif\nint main() {}" RIGID2D_TARGET_X86_32)
  if(RIGID2D_TARGET_X86_32)
    target_compile_options(rigid2d_exact_float INTERFACE -msse2 -mfpmath=sse)
  endif()
endif()

# rigid2d_warnings: linked PRIVATE by each target, so warnings are a matter of our own sources.
add_library(rigid2d_warnings INTERFACE)
if(MSVC)
  target_compile_options(rigid2d_warnings INTERFACE /W4 $<$<BOOL:${RIGID2D_WERROR}>:/WX>)
else()
  target_compile_options(rigid2d_warnings INTERFACE
    -Wall -Wextra -Wpedantic $<$<BOOL:${RIGID2D_WERROR}>:-Werror>)
endif()
