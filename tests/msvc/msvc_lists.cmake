# Reads the MSVC path of the build (CMakeLists.txt, cmake/msvc-mfc.cmake, module/CMakeLists.txt)
# in script mode, as Visual Studio's CMake would read it for a Win32 configuration, and prints
# what it asks for: the CMake versions it requires, the product DLL's sources and include
# directories, the MFC setting and the run-time library. The commands that need a project are
# recorded instead of run.
#
# Usage, from the root folder (relative includes start there, as in a configuration):
#   cmake -DKESTRUM_ROOT=FOLDER -DKESTRUM_WORK=SCRATCH_FOLDER [-DKESTRUM_DEBUG_MFC=ON]
#         [-DKESTRUM_HOST_LIB_DIR=FOLDER] -P msvc_lists.cmake
if(NOT IS_DIRECTORY "${KESTRUM_ROOT}" OR NOT IS_DIRECTORY "${KESTRUM_WORK}")
    message(FATAL_ERROR "KESTRUM_ROOT and KESTRUM_WORK must name folders")
endif()

# The configuration Visual Studio's CMake has once it has found MSVC for Win32.
set(MSVC 1)
set(CMAKE_CXX_COMPILER_ID MSVC)
set(CMAKE_SIZEOF_VOID_P 4)
set(CMAKE_SOURCE_DIR "${KESTRUM_ROOT}")
set(CMAKE_CURRENT_SOURCE_DIR "${KESTRUM_ROOT}")
set(CMAKE_BINARY_DIR "${KESTRUM_WORK}")
# Stand-ins for the host's import libraries, which the configuration requires to exist, unless
# the caller names the folder (-DKESTRUM_HOST_LIB_DIR=, empty, as the presets leave it unset).
if(NOT DEFINED KESTRUM_HOST_LIB_DIR)
    set(KESTRUM_HOST_LIB_DIR "${CMAKE_BINARY_DIR}/host-lib" CACHE PATH "")
    foreach(library base Device hartSeComm)
        file(WRITE "${KESTRUM_HOST_LIB_DIR}/${library}.lib" "")
    endforeach()
endif()

function(cmake_minimum_required keyword version)
    message("requires: ${version}")
endfunction()
# Commands that ask for nothing the check reads.
foreach(command project add_compile_options target_link_libraries target_compile_options
        set_target_properties)
    cmake_language(EVAL CODE "function(${command})\nendfunction()")
endforeach()
function(option name help default)
    if(NOT DEFINED ${name})
        set(${name} ${default} PARENT_SCOPE)
    endif()
endfunction()
function(add_compile_definitions)
    message("definitions: ${ARGN}")
endfunction()
macro(include file)
    get_filename_component(_kestrum_file "${file}" ABSOLUTE BASE_DIR "${KESTRUM_ROOT}")
    message("lists: ${_kestrum_file}")
    _include("${_kestrum_file}")
endmacro()
macro(add_subdirectory folder)
    set(_kestrum_outer_dir "${CMAKE_CURRENT_SOURCE_DIR}")
    set(CMAKE_CURRENT_SOURCE_DIR "${CMAKE_CURRENT_SOURCE_DIR}/${folder}")
    include("${CMAKE_CURRENT_SOURCE_DIR}/CMakeLists.txt")
    set(CMAKE_CURRENT_SOURCE_DIR "${_kestrum_outer_dir}")
endmacro()
function(add_library name)
    if("${ARGV1}" STREQUAL "UNKNOWN" AND "${ARGV2}" STREQUAL "IMPORTED")
        return()
    endif()
    message("target: ${name}")
    foreach(source ${ARGN})
        if(NOT source MATCHES "^(SHARED|STATIC|MODULE)$")
            get_filename_component(source "${source}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
            message("source: ${source}")
        endif()
    endforeach()
endfunction()
function(target_include_directories name)
    foreach(folder ${ARGN})
        if(NOT folder MATCHES "^(PUBLIC|PRIVATE|INTERFACE|SYSTEM|BEFORE)$")
            message("include: ${folder}")
        endif()
    endforeach()
endfunction()
function(target_compile_definitions name)
    message("definitions: ${ARGN}")
endfunction()

include("${KESTRUM_ROOT}/CMakeLists.txt")
message("mfc-flag: ${CMAKE_MFC_FLAG}")
message("runtime: ${CMAKE_MSVC_RUNTIME_LIBRARY}")
