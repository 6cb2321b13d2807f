# find_package(quarrow CONFIG) defines the target quarrow::json.
include("${CMAKE_CURRENT_LIST_DIR}/quarrowTargets.cmake")
