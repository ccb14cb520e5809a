// The module's version, shown by Windows under the DLL's Properties (VS_VERSION_INFO in
// Kestrum.rc) and named by the packages that carry it.
#pragma once

#define KESTRUM_VERSION_NUMBERS 1, 0, 0, 0
#define KESTRUM_VERSION_TEXT "1.0.0"
