// afx.h - the core of the MFC subset: basic macros, CObject with run-time class information,
// and the wide CString. The subset follows Microsoft's documented MFC behaviour for everything
// it has and is built as one DLL (mfcsub.dll) that the host and its extension modules share,
// as MFC's shared-library form is.
#pragma once

// MFC sets up <windows.h> itself, with its own settings; a source that includes <windows.h> first
// would build against other ones.
#ifdef _WINDOWS_
#error WINDOWS.H already included.  MFC apps must not #include <windows.h>
#endif

#ifndef _AFXDLL
#define _AFXDLL
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

#include <windows.h>
#include <tchar.h>
#include <stddef.h>
#include <new>

// Exports of the subset DLL itself.
#ifdef _MFCSUB_BUILD
#define AFX_CORE_CLASS __declspec(dllexport)
#define AFX_CORE_API __declspec(dllexport)
#else
#define AFX_CORE_CLASS __declspec(dllimport)
#define AFX_CORE_API __declspec(dllimport)
#endif

#define AFXAPI __stdcall
#define AFX_CDECL __cdecl
#define AFX_MSG_CALL
#define afx_msg
#ifndef PASCAL
#define PASCAL __stdcall
#endif

// Extension modules export with these; a module defines _AFXEXT while it builds itself.
#define AFX_CLASS_EXPORT __declspec(dllexport)
#define AFX_API_EXPORT __declspec(dllexport)
#define AFX_DATA_EXPORT __declspec(dllexport)
#define AFX_CLASS_IMPORT __declspec(dllimport)
#define AFX_API_IMPORT __declspec(dllimport)
#define AFX_DATA_IMPORT __declspec(dllimport)
#ifdef _AFXEXT
#define AFX_EXT_CLASS AFX_CLASS_EXPORT
#define AFX_EXT_API AFX_API_EXPORT
#define AFX_EXT_DATA AFX_DATA_EXPORT
#else
#define AFX_EXT_CLASS AFX_CLASS_IMPORT
#define AFX_EXT_API AFX_API_IMPORT
#define AFX_EXT_DATA AFX_DATA_IMPORT
#endif

// Assertions are active where the including module is built with _DEBUG, as MFC's are: a failed
// one is reported with its file and line, and AfxAssertFailedLine answers TRUE when the user
// chose to debug. In any other build ASSERT's expression is not evaluated; VERIFY's always is.
AFX_CORE_API BOOL AFXAPI AfxAssertFailedLine(LPCSTR lpszFileName, int nLine);
#ifdef _DEBUG
#define ASSERT(f) ((void)((f) || !::AfxAssertFailedLine(__FILE__, __LINE__) || (::DebugBreak(), 0)))
#define VERIFY(f) ASSERT(f)
#else
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#endif

class CObject;
class CString;

// Run-time class information.
struct AFX_CORE_CLASS CRuntimeClass
{
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject*(PASCAL* m_pfnCreateObject)();
    CRuntimeClass*(PASCAL* m_pfnGetBaseClass)();
    CRuntimeClass* m_pNextClass;
    const void* m_pClassInit;

    CObject* CreateObject();
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)                                                                \
protected:                                                                                         \
    static CRuntimeClass* PASCAL _GetBaseClass();                                                  \
                                                                                                   \
public:                                                                                            \
    static const CRuntimeClass class##class_name;                                                  \
    static CRuntimeClass* PASCAL GetThisClass();                                                   \
    virtual CRuntimeClass* GetRuntimeClass() const;

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew, class_init)           \
    CRuntimeClass* PASCAL class_name::_GetBaseClass()                                              \
    {                                                                                              \
        return RUNTIME_CLASS(base_class_name);                                                     \
    }                                                                                              \
    const CRuntimeClass class_name::class##class_name = {                                          \
        #class_name, sizeof(class class_name), wSchema, pfnNew, &class_name::_GetBaseClass, NULL,  \
        class_init};                                                                               \
    CRuntimeClass* PASCAL class_name::GetThisClass()                                               \
    {                                                                                              \
        return const_cast<CRuntimeClass*>(&class_name::class##class_name);                         \
    }                                                                                              \
    CRuntimeClass* class_name::GetRuntimeClass() const                                             \
    {                                                                                              \
        return RUNTIME_CLASS(class_name);                                                          \
    }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, NULL, NULL)

class AFX_CORE_CLASS CObject
{
public:
    static const CRuntimeClass classCObject;
    static CRuntimeClass* PASCAL GetThisClass();
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = 0;

    BOOL IsKindOf(const CRuntimeClass* pClass) const;

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    void operator=(const CObject&) = delete;
};

// Exceptions. The framework throws them as pointers to heap objects; whoever catches one calls
// its Delete.
class AFX_CORE_CLASS CException : public CObject
{
    DECLARE_DYNAMIC(CException)
public:
    explicit CException(BOOL bAutoDelete = TRUE);
    virtual ~CException();

    void Delete();
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                 PUINT pnHelpContext = NULL) const;
    // Shows the exception's message (or the string nMessageID when it has none) in a message box
    // through AfxMessageBox and returns the box's answer.
    virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0);

    BOOL m_bAutoDelete;
};

class AFX_CORE_CLASS CSimpleException : public CException
{
    DECLARE_DYNAMIC(CSimpleException)
public:
    explicit CSimpleException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
};

// "An unsupported operation was attempted."
class AFX_CORE_CLASS CNotSupportedException : public CSimpleException
{
    DECLARE_DYNAMIC(CNotSupportedException)
public:
    CNotSupportedException() = default;
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                 PUINT pnHelpContext = NULL) const;
};

[[noreturn]] AFX_CORE_API void AFXAPI AfxThrowNotSupportedException();

// The framework's string id of a general failure, which an exception without a message reports.
#define AFX_IDP_INTERNAL_FAILURE 0xF108

// The framework's wide string: reference counted with copy on write, so copies of a string share
// one buffer until one of them is changed. The counts are interlocked, so copies may live on
// different threads.
class AFX_CORE_CLASS CString
{
public:
    CString() noexcept;
    CString(const CString& stringSrc) noexcept;
    CString(LPCWSTR lpsz);
    CString(LPCSTR lpsz);
    CString(LPCWSTR lpch, int nLength);
    CString(WCHAR ch, int nRepeat = 1);
    ~CString();

    CString& operator=(const CString& stringSrc);
    CString& operator=(LPCWSTR lpsz);
    CString& operator=(LPCSTR lpsz);
    CString& operator=(WCHAR ch);
    CString& operator+=(const CString& string);
    CString& operator+=(LPCWSTR lpsz);
    CString& operator+=(WCHAR ch);

    int GetLength() const { return GetData()->nDataLength; }
    BOOL IsEmpty() const { return GetLength() == 0; }
    void Empty();
    WCHAR GetAt(int nIndex) const { return m_pszData[nIndex]; }
    WCHAR operator[](int nIndex) const { return m_pszData[nIndex]; }
    operator LPCWSTR() const { return m_pszData; }
    LPCWSTR GetString() const { return m_pszData; }

    int Compare(LPCWSTR lpsz) const;
    int CompareNoCase(LPCWSTR lpsz) const;

    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString Left(int nCount) const;
    int Find(WCHAR ch, int nStart = 0) const;

    void AFX_CDECL Format(LPCWSTR lpszFormat, ...);
    void FormatV(LPCWSTR lpszFormat, va_list argList);
    BOOL LoadString(UINT nID);

    LPWSTR GetBuffer(int nMinBufLength);
    LPWSTR GetBuffer() { return GetBuffer(0); }
    LPWSTR GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    struct Data
    {
        long nRefs;
        int nDataLength;
        int nAllocLength;
        WCHAR* chars() { return reinterpret_cast<WCHAR*>(this + 1); }
    };

    Data* GetData() const { return reinterpret_cast<Data*>(m_pszData) - 1; }
    void Assign(LPCWSTR lpch, int nLength);
    void Append(LPCWSTR lpch, int nLength);
    void PrepareWrite(int nLength);
    void Release();

    LPWSTR m_pszData;
};

AFX_CORE_API CString AFXAPI operator+(const CString& string1, const CString& string2);
AFX_CORE_API CString AFXAPI operator+(const CString& string, LPCWSTR lpsz);
AFX_CORE_API CString AFXAPI operator+(LPCWSTR lpsz, const CString& string);

inline bool operator==(const CString& s1, const CString& s2)
{
    return s1.Compare(s2) == 0;
}
inline bool operator==(const CString& s1, LPCWSTR s2)
{
    return s1.Compare(s2) == 0;
}
inline bool operator==(LPCWSTR s1, const CString& s2)
{
    return s2.Compare(s1) == 0;
}
inline bool operator!=(const CString& s1, const CString& s2)
{
    return s1.Compare(s2) != 0;
}
inline bool operator!=(const CString& s1, LPCWSTR s2)
{
    return s1.Compare(s2) != 0;
}
inline bool operator!=(LPCWSTR s1, const CString& s2)
{
    return s2.Compare(s1) != 0;
}
