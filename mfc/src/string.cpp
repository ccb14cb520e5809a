// CString: a wide, reference-counted string with copy on write.
#include <afxwin.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
#include <wctype.h>

namespace
{
// The shared empty string: its count is pinned at -1, so it is never freed or written.
struct NilString
{
    long nRefs = -1;
    int nDataLength = 0;
    int nAllocLength = 0;
    WCHAR chars[1] = {0};
} g_nil;

LPWSTR NilChars()
{
    return g_nil.chars;
}

int AnsiToWide(LPCSTR lpsz, int nBytes, LPWSTR pBuffer, int nChars)
{
    return ::MultiByteToWideChar(CP_THREAD_ACP, 0, lpsz, nBytes, pBuffer, nChars);
}
} // namespace

CString::CString() noexcept : m_pszData(NilChars()) {}

CString::CString(const CString& stringSrc) noexcept : m_pszData(stringSrc.m_pszData)
{
    if (GetData()->nRefs >= 0)
        ::InterlockedIncrement(&GetData()->nRefs);
}

CString::CString(LPCWSTR lpsz) : m_pszData(NilChars())
{
    if (lpsz != NULL)
        Assign(lpsz, static_cast<int>(wcslen(lpsz)));
}

CString::CString(LPCSTR lpsz) : m_pszData(NilChars())
{
    *this = lpsz;
}

CString::CString(LPCWSTR lpch, int nLength) : m_pszData(NilChars())
{
    if (lpch != NULL && nLength > 0)
        Assign(lpch, nLength);
}

CString::CString(WCHAR ch, int nRepeat) : m_pszData(NilChars())
{
    if (nRepeat > 0)
    {
        PrepareWrite(nRepeat);
        wmemset(m_pszData, ch, nRepeat);
        ReleaseBuffer(nRepeat);
    }
}

CString::~CString()
{
    Release();
}

void CString::Release()
{
    if (m_pszData != NilChars() && ::InterlockedDecrement(&GetData()->nRefs) == 0)
        free(GetData());
    m_pszData = NilChars();
}

// Makes this string the only owner of a buffer that holds at least nLength characters, keeping
// the present text (cut to nLength).
void CString::PrepareWrite(int nLength)
{
    Data* pOld = GetData();
    if (pOld->nRefs == 1 && pOld->nAllocLength >= nLength)
        return;
    int nAlloc = nLength > pOld->nDataLength ? nLength : pOld->nDataLength;
    Data* pNew = static_cast<Data*>(malloc(sizeof(Data) + (nAlloc + 1) * sizeof(WCHAR)));
    if (pNew == NULL)
        throw std::bad_alloc();
    pNew->nRefs = 1;
    pNew->nAllocLength = nAlloc;
    pNew->nDataLength = pOld->nDataLength;
    wmemcpy(pNew->chars(), m_pszData, pOld->nDataLength + 1);
    Release();
    m_pszData = pNew->chars();
}

void CString::Assign(LPCWSTR lpch, int nLength)
{
    if (nLength == 0)
    {
        Empty();
        return;
    }
    CString copy(*this); // keeps lpch alive when it points into this string
    Release();
    PrepareWrite(nLength);
    wmemcpy(m_pszData, lpch, nLength);
    ReleaseBuffer(nLength);
}

void CString::Append(LPCWSTR lpch, int nLength)
{
    if (nLength <= 0)
        return;
    CString copy(*this);
    int nOld = GetLength();
    PrepareWrite(nOld + nLength);
    wmemcpy(m_pszData + nOld, lpch, nLength);
    ReleaseBuffer(nOld + nLength);
}

CString& CString::operator=(const CString& stringSrc)
{
    if (m_pszData != stringSrc.m_pszData)
    {
        CString copy(stringSrc);
        Release();
        m_pszData = copy.m_pszData;
        copy.m_pszData = NilChars();
    }
    return *this;
}

CString& CString::operator=(LPCWSTR lpsz)
{
    Assign(lpsz, lpsz != NULL ? static_cast<int>(wcslen(lpsz)) : 0);
    return *this;
}

CString& CString::operator=(LPCSTR lpsz)
{
    int nChars = lpsz != NULL && *lpsz != '\0' ? AnsiToWide(lpsz, -1, NULL, 0) - 1 : 0;
    if (nChars <= 0)
    {
        Empty();
        return *this;
    }
    Release();
    PrepareWrite(nChars);
    AnsiToWide(lpsz, -1, m_pszData, nChars + 1);
    ReleaseBuffer(nChars);
    return *this;
}

CString& CString::operator=(WCHAR ch)
{
    Assign(&ch, 1);
    return *this;
}

CString& CString::operator+=(const CString& string)
{
    Append(string.m_pszData, string.GetLength());
    return *this;
}

CString& CString::operator+=(LPCWSTR lpsz)
{
    Append(lpsz, lpsz != NULL ? static_cast<int>(wcslen(lpsz)) : 0);
    return *this;
}

CString& CString::operator+=(WCHAR ch)
{
    Append(&ch, 1);
    return *this;
}

void CString::Empty()
{
    Release();
}

int CString::Compare(LPCWSTR lpsz) const
{
    return wcscmp(m_pszData, lpsz != NULL ? lpsz : L"");
}

int CString::CompareNoCase(LPCWSTR lpsz) const
{
    return _wcsicmp(m_pszData, lpsz != NULL ? lpsz : L"");
}

CString& CString::TrimRight()
{
    int nLength = GetLength();
    while (nLength > 0 && iswspace(m_pszData[nLength - 1]))
        --nLength;
    if (nLength != GetLength())
        *this = CString(m_pszData, nLength);
    return *this;
}

CString& CString::TrimLeft()
{
    int nStart = 0;
    while (nStart < GetLength() && iswspace(m_pszData[nStart]))
        ++nStart;
    if (nStart > 0)
        *this = CString(m_pszData + nStart, GetLength() - nStart);
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount >= GetLength())
        return *this;
    return CString(m_pszData, nCount);
}

int CString::Find(WCHAR ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    LPCWSTR p = wcschr(m_pszData + nStart, ch);
    return p != NULL && ch != 0 ? static_cast<int>(p - m_pszData) : -1;
}

void AFX_CDECL CString::Format(LPCWSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    FormatV(lpszFormat, args);
    va_end(args);
}

// Formats with the C runtime's wide printf family, in its Microsoft semantics (%s takes a wide
// string in a wide format), as MFC does.
void CString::FormatV(LPCWSTR lpszFormat, va_list argList)
{
    va_list argCount;
    va_copy(argCount, argList);
    int nLength = _vscwprintf(lpszFormat, argCount);
    va_end(argCount);
    if (nLength <= 0)
    {
        Empty();
        return;
    }
    Release();
    PrepareWrite(nLength);
    _vsnwprintf(m_pszData, nLength + 1, lpszFormat, argList);
    ReleaseBuffer(nLength);
}

LPWSTR CString::GetBuffer(int nMinBufLength)
{
    PrepareWrite(nMinBufLength);
    return m_pszData;
}

LPWSTR CString::GetBufferSetLength(int nNewLength)
{
    GetBuffer(nNewLength);
    ReleaseBuffer(nNewLength);
    return m_pszData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    Data* pData = GetData();
    if (pData->nRefs < 0)
        return;
    if (nNewLength < 0)
        nNewLength = static_cast<int>(wcsnlen(m_pszData, pData->nAllocLength));
    pData->nDataLength = nNewLength;
    m_pszData[nNewLength] = 0;
}

// Looks the string up through the resource chain: the application first, then every extension
// module registered with a CDynLinkLibrary.
BOOL CString::LoadString(UINT nID)
{
    HINSTANCE hInst = AfxFindStringResourceHandle(nID);
    if (hInst == NULL)
        return FALSE;
    LPCWSTR pText = NULL;
    int nLength = ::LoadStringW(hInst, nID, reinterpret_cast<LPWSTR>(&pText), 0);
    if (nLength <= 0 || pText == NULL)
        return FALSE;
    Assign(pText, nLength);
    return TRUE;
}

CString AFXAPI operator+(const CString& string1, const CString& string2)
{
    CString s(string1);
    s += string2;
    return s;
}

CString AFXAPI operator+(const CString& string, LPCWSTR lpsz)
{
    CString s(string);
    s += lpsz;
    return s;
}

CString AFXAPI operator+(LPCWSTR lpsz, const CString& string)
{
    CString s(lpsz);
    s += string;
    return s;
}
