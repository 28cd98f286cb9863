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
endif()

# Every program reports the project's version (--version).
target_compile_definitions(rigid2d_options INTERFACE RIGID2D_VERSION="${PROJECT_VERSION}")

if(RIGID2D_SANITIZE)
  set(_sanitize -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(rigid2d_options INTERFACE ${_sanitize})
  target_link_options(rigid2d_options INTERFACE ${_sanitize})
endif()
