# The product DLL with Visual Studio and the real MFC: an MFC extension DLL (MFC in a shared DLL,
# _AFXEXT), Unicode, sources read as UTF-8, C++17, no precompiled headers, linked against the
# host's import libraries base.lib, Device.lib and hartSeComm.lib from KESTRUM_HOST_LIB_DIR.
# The host is a 32-bit program, so the platform is Win32.
set(KESTRUM_HOST_LIB_DIR "" CACHE PATH
    "Folder with the host's import libraries base.lib, Device.lib and hartSeComm.lib")

if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    message(FATAL_ERROR "Kestrum.dll runs in a 32-bit host: configure for the Win32 platform "
                        "(cmake --preset msvc-win32, or -A Win32).")
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

# 2: MFC in a shared DLL, which defines _AFXDLL; _UNICODE selects MFC's Unicode libraries.
set(CMAKE_MFC_FLAG 2)
add_compile_definitions(UNICODE _UNICODE _AFXDLL WINVER=0x0601 _WIN32_WINNT=0x0601)
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:/utf-8> $<$<COMPILE_LANGUAGE:CXX>:/W3>)

add_subdirectory(module)
