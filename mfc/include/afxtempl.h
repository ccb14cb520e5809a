// afxtempl.h - the typed collection templates of the MFC subset.
#pragma once

#include <afx.h>
#include <string.h>

// A growable array of TYPE, passed to its methods as ARG_TYPE. Destroying the array destroys its
// elements and frees its buffer; for an array of pointers that frees only the pointers.
template <class TYPE, class ARG_TYPE = const TYPE&> class CArray : public CObject
{
public:
    CArray() : m_pData(NULL), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0) {}
    virtual ~CArray() { RemoveAll(); }

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }
    const TYPE& GetAt(INT_PTR nIndex) const { return m_pData[nIndex]; }
    TYPE& GetAt(INT_PTR nIndex) { return m_pData[nIndex]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_pData[nIndex] = newElement; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_pData[nIndex]; }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }
    const TYPE& operator[](INT_PTR nIndex) const { return m_pData[nIndex]; }
    TYPE& operator[](INT_PTR nIndex) { return m_pData[nIndex]; }

    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1);
    INT_PTR Add(ARG_TYPE newElement)
    {
        INT_PTR nIndex = m_nSize;
        SetSize(nIndex + 1);
        m_pData[nIndex] = newElement;
        return nIndex;
    }
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1);
    void RemoveAll() { SetSize(0); }

private:
    TYPE* m_pData;
    INT_PTR m_nSize;
    INT_PTR m_nMaxSize;
    INT_PTR m_nGrowBy;
};

// Grows the buffer as MFC does: by nGrowBy elements when it was given, otherwise by an eighth of
// the size, at least 4 and at most 1024 elements.
template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetSize(INT_PTR nNewSize, INT_PTR nGrowBy)
{
    if (nGrowBy >= 0)
        m_nGrowBy = nGrowBy;
    if (nNewSize == 0)
    {
        for (INT_PTR i = 0; i < m_nSize; i++)
            m_pData[i].~TYPE();
        ::operator delete(m_pData);
        m_pData = NULL;
        m_nSize = m_nMaxSize = 0;
        return;
    }
    if (nNewSize > m_nMaxSize)
    {
        INT_PTR nGrow = m_nGrowBy;
        if (nGrow == 0)
        {
            nGrow = m_nSize / 8;
            nGrow = nGrow < 4 ? 4 : (nGrow > 1024 ? 1024 : nGrow);
        }
        INT_PTR nNewMax = nNewSize < m_nMaxSize + nGrow ? m_nMaxSize + nGrow : nNewSize;
        TYPE* pNewData = static_cast<TYPE*>(::operator new(nNewMax * sizeof(TYPE)));
        for (INT_PTR i = 0; i < m_nSize; i++)
        {
            ::new (static_cast<void*>(pNewData + i)) TYPE(m_pData[i]);
            m_pData[i].~TYPE();
        }
        ::operator delete(m_pData);
        m_pData = pNewData;
        m_nMaxSize = nNewMax;
    }
    for (INT_PTR i = m_nSize; i < nNewSize; i++)
        ::new (static_cast<void*>(m_pData + i)) TYPE();
    for (INT_PTR i = nNewSize; i < m_nSize; i++)
        m_pData[i].~TYPE();
    m_nSize = nNewSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::RemoveAt(INT_PTR nIndex, INT_PTR nCount)
{
    if (nIndex < 0 || nCount < 0 || nIndex + nCount > m_nSize)
        return;
    for (INT_PTR i = nIndex; i + nCount < m_nSize; i++)
        m_pData[i] = m_pData[i + nCount];
    SetSize(m_nSize - nCount);
}
