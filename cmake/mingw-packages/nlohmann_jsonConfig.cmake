# nlohmann/json (nlohmann-json3-dev, header-only) for the MinGW cross build.
include("${CMAKE_CURRENT_LIST_DIR}/header-only-package.cmake")
orbel_header_only_package(nlohmann_json::nlohmann_json nlohmann)
