# {fmt} (libfmt-dev) for the MinGW cross build, as a header-only library.
include("${CMAKE_CURRENT_LIST_DIR}/header-only-package.cmake")
orbel_header_only_package(fmt::fmt-header-only fmt)
set_property(TARGET fmt::fmt-header-only PROPERTY INTERFACE_COMPILE_DEFINITIONS FMT_HEADER_ONLY=1)
