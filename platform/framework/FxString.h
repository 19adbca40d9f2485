// CString: a wide string with the members the windows use. It owns a
// std::wstring; the program and the libraries share one C++ runtime DLL.
#pragma once

#include <string>

#include "platform/framework/FxCore.h"

#include <oleauto.h>

class QUORFX_API CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) = default;
    CString(const wchar_t* psz) : m_str(psz ? psz : L"") {}
    CString(const wchar_t* pch, int nLength) : m_str(pch ? pch : L"", pch && nLength > 0 ? nLength : 0) {}
    CString(wchar_t ch, int nRepeat = 1) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}
    CString(const std::wstring& s) : m_str(s) {}

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) = default;
    CString& operator=(const wchar_t* psz) { m_str = psz ? psz : L""; return *this; }
    CString& operator=(wchar_t ch) { m_str.assign(1, ch); return *this; }

    operator const wchar_t*() const { return m_str.c_str(); }
    const wchar_t* GetString() const { return m_str.c_str(); }
    const std::wstring& Str() const { return m_str; }
    int GetLength() const { return int(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    wchar_t GetAt(int i) const { return m_str[i]; }
    wchar_t operator[](int i) const { return m_str[i]; }
    void SetAt(int i, wchar_t ch) { m_str[i] = ch; }

    CString& operator+=(const wchar_t* psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(const CString& s) { m_str += s.m_str; return *this; }
    CString& operator+=(wchar_t ch) { m_str += ch; return *this; }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, const wchar_t* b) { CString r(a); r += b; return r; }
    friend CString operator+(const wchar_t* a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, wchar_t b) { CString r(a); r += b; return r; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
    friend bool operator==(const wchar_t* a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_str != b.m_str; }
    friend bool operator!=(const CString& a, const wchar_t* b) { return a.Compare(b) != 0; }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

    int Compare(const wchar_t* psz) const;        // ordinal, like wcscmp
    int CompareNoCase(const wchar_t* psz) const;  // like _wcsicmp

    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;

    // Positions are 0-based; -1 when not found.
    int Find(wchar_t ch, int nStart = 0) const;
    int Find(const wchar_t* psz, int nStart = 0) const;
    int ReverseFind(wchar_t ch) const;
    int FindOneOf(const wchar_t* pszCharSet) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& TrimLeft(const wchar_t* pszChars = nullptr);  // null trims white space
    CString& TrimRight(const wchar_t* pszChars = nullptr);
    CString& Trim(const wchar_t* pszChars = nullptr) { TrimRight(pszChars); return TrimLeft(pszChars); }
    int Replace(const wchar_t* pszOld, const wchar_t* pszNew);  // number of replacements
    int Replace(wchar_t chOld, wchar_t chNew);
    int Remove(wchar_t ch);
    int Insert(int nIndex, const wchar_t* psz);
    int Delete(int nIndex, int nCount = 1);

    // printf-style, %s being a wide string. False (and empty) on a bad format.
    BOOL Format(const wchar_t* pszFormat, ...);
    BOOL FormatV(const wchar_t* pszFormat, va_list args);
    BOOL AppendFormat(const wchar_t* pszFormat, ...);

    // A string of the string table, searched along the resource chain.
    BOOL LoadString(UINT nID);

    // Direct writing: GetBuffer gives room for nMinLength characters and a
    // terminator; ReleaseBuffer(-1) takes the length up to the first zero.
    wchar_t* GetBuffer(int nMinLength = 0);
    wchar_t* GetBufferSetLength(int nLength);
    void ReleaseBuffer(int nNewLength = -1);

    BSTR AllocSysString() const;  // the caller frees it with SysFreeString

private:
    std::wstring m_str;
};
