// Failed assertions of modules built with _DEBUG: traced, then put to the user with the choice
// the C runtime's debug report gives (Abort, Retry to debug, Ignore).
#include <afxwin.h>

BOOL AFXAPI AfxAssertFailedLine(LPCSTR lpszFileName, int nLine)
{
    CString message;
    message.Format(L"Debug Assertion Failed!\n\nFile: %hs\nLine: %d", lpszFileName, nLine);
    ::OutputDebugStringW(message + L"\n");
    int nResult = AfxMessageBox(message, MB_ABORTRETRYIGNORE | MB_ICONHAND);
    if (nResult == IDABORT)
        ::ExitProcess(3);
    return nResult == IDRETRY;
}
