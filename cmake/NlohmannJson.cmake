# nlohmann_json::nlohmann_json, the JSON library (Debian's nlohmann-json3-dev). It is
# header-only and plain C++, so a cross build takes the same headers: copied into a folder of
# their own, so that none of the host's other headers reach the cross compiler.
if(CMAKE_CROSSCOMPILING)
    find_path(QUENDLE_NLOHMANN_JSON_INCLUDE nlohmann/json.hpp
        PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    set(_quendle_json_dir ${CMAKE_BINARY_DIR}/nlohmann-json/include)
    file(COPY ${QUENDLE_NLOHMANN_JSON_INCLUDE}/nlohmann DESTINATION ${_quendle_json_dir})
    add_library(quendle_nlohmann_json INTERFACE)
    target_include_directories(quendle_nlohmann_json SYSTEM INTERFACE ${_quendle_json_dir})
    add_library(nlohmann_json::nlohmann_json ALIAS quendle_nlohmann_json)
else()
    find_package(nlohmann_json 3.10 REQUIRED)
endif()
