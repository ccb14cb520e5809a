# The product DLL with Visual Studio and the real MFC: an MFC extension DLL (MFC in a shared DLL,
# _AFXEXT), Unicode, sources read as UTF-8, C++17, no precompiled headers, linked against the
# host's import libraries base.lib, Device.lib and hartSeComm.lib from KESTRUM_HOST_LIB_DIR.
# The host is a 32-bit program, so the platform is Win32. Every configuration links the Release
# MFC unless KESTRUM_DEBUG_MFC asks for the Debug MFC in the Debug configuration.
set(KESTRUM_HOST_LIB_DIR "" CACHE PATH
    "Folder with the host's import libraries base.lib, Device.lib and hartSeComm.lib")
# The presets take the folder from the environment variable of that name, which is usually unset:
# say what to do, before anything else can fail.
if(KESTRUM_HOST_LIB_DIR STREQUAL "")
    message(FATAL_ERROR "KESTRUM_HOST_LIB_DIR is not set: it is the folder with the host's 32-bit "
                        "import libraries base.lib, Device.lib and hartSeComm.lib. Copy "
                        "CMakeUserPresets.json.example (scripts/kits/ in the repository) to "
                        "CMakeUserPresets.json beside CMakePresets.json, set the folder there and "
                        "pick its preset (Visual Studio's Open Folder reads it), or configure "
                        "with -DKESTRUM_HOST_LIB_DIR=FOLDER.")
endif()

if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    message(FATAL_ERROR "Kestrum.dll runs in a 32-bit host: configure for the Win32 platform "
                        "(a msvc-*-win32 preset, or -A Win32).")
endif()

foreach(library base Device hartSeComm)
    set(import_library "${KESTRUM_HOST_LIB_DIR}/${library}.lib")
    if(NOT EXISTS "${import_library}")
        message(FATAL_ERROR "${import_library} not found: set KESTRUM_HOST_LIB_DIR to the folder "
                            "with the host's import libraries (-DKESTRUM_HOST_LIB_DIR=...).")
    endif()
    add_library(${library} UNKNOWN IMPORTED)
    set_target_properties(${library} PROPERTIES IMPORTED_LOCATION "${import_library}")
endforeach()

# The extension DLL shares the host's MFC: a Debug build against the Debug MFC (mfc140ud.dll) would
# load a second MFC into a Release host, register the extension in that MFC's module state and pass
# strings between two heaps. So the Debug configuration keeps its debug information and checks but
# links the Release C runtime, which leaves _DEBUG undefined, and with it the Release MFC
# (mfc140u.dll), which MFC's headers choose by _DEBUG.
option(KESTRUM_DEBUG_MFC
       "Debug configuration links the Debug MFC (mfc140ud.dll): only for a host built with it" OFF)
if(KESTRUM_DEBUG_MFC)
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>DLL")
    message(STATUS "Kestrum.dll links the Debug MFC (mfc140ud.dll) in the Debug configuration, "
                   "the Release MFC (mfc140u.dll) in the others (KESTRUM_DEBUG_MFC=ON)")
else()
    set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreadedDLL)
    message(STATUS "Kestrum.dll links the Release MFC (mfc140u.dll) in every configuration "
                   "(KESTRUM_DEBUG_MFC=OFF)")
endif()

# 2: MFC in a shared DLL, which defines _AFXDLL; _UNICODE selects MFC's Unicode libraries.
set(CMAKE_MFC_FLAG 2)
add_compile_definitions(UNICODE _UNICODE _AFXDLL WINVER=0x0601 _WIN32_WINNT=0x0601)
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:/utf-8> $<$<COMPILE_LANGUAGE:CXX>:/W3>)

add_subdirectory(module)
