// A source of the MFC subset's tests built with _DEBUG, as a debug build of a module is.
#include <afxwin.h>

int AssertInADebugBuild(int nCount)
{
    ASSERT(++nCount == 0);
    return nCount;
}
