# CLI11 (libcli11-dev, header-only) for the MinGW cross build.
include("${CMAKE_CURRENT_LIST_DIR}/header-only-package.cmake")
orbel_header_only_package(CLI11::CLI11 CLI)
