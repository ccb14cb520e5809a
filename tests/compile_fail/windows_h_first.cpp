// Must not compile: the afx headers set up <windows.h> themselves and refuse to come after it.
#include <windows.h>

#include <afxwin.h>
