#include "platform/framework/FxString.h"

#include <cwctype>
#include <oleauto.h>

#include "core/StrUtil.h"
#include "platform/framework/FxApp.h"

int CString::Compare(const wchar_t* psz) const { return wcscmp(m_str.c_str(), psz ? psz : L""); }

int CString::CompareNoCase(const wchar_t* psz) const { return _wcsicmp(m_str.c_str(), psz ? psz : L""); }

CString CString::Left(int nCount) const {
    if (nCount <= 0) return CString();
    return CString(m_str.substr(0, size_t(nCount)));
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const {
    if (nFirst < 0) nFirst = 0;
    if (nFirst >= GetLength() || nCount <= 0) return CString();
    return CString(m_str.substr(size_t(nFirst), size_t(nCount)));
}

CString CString::Right(int nCount) const {
    if (nCount <= 0) return CString();
    if (nCount >= GetLength()) return *this;
    return CString(m_str.substr(m_str.size() - size_t(nCount)));
}

int CString::Find(wchar_t ch, int nStart) const {
    if (nStart < 0 || nStart > GetLength()) return -1;
    size_t pos = m_str.find(ch, size_t(nStart));
    return pos == std::wstring::npos ? -1 : int(pos);
}

int CString::Find(const wchar_t* psz, int nStart) const {
    if (!psz || nStart < 0 || nStart > GetLength()) return -1;
    size_t pos = m_str.find(psz, size_t(nStart));
    return pos == std::wstring::npos ? -1 : int(pos);
}

int CString::ReverseFind(wchar_t ch) const {
    size_t pos = m_str.rfind(ch);
    return pos == std::wstring::npos ? -1 : int(pos);
}

int CString::FindOneOf(const wchar_t* pszCharSet) const {
    if (!pszCharSet) return -1;
    size_t pos = m_str.find_first_of(pszCharSet);
    return pos == std::wstring::npos ? -1 : int(pos);
}

CString& CString::MakeUpper() {
    if (!m_str.empty()) ::CharUpperBuffW(&m_str[0], DWORD(m_str.size()));
    return *this;
}

CString& CString::MakeLower() {
    if (!m_str.empty()) ::CharLowerBuffW(&m_str[0], DWORD(m_str.size()));
    return *this;
}

static bool IsTrimmed(wchar_t ch, const wchar_t* pszChars) {
    return pszChars ? wcschr(pszChars, ch) != nullptr && ch != 0 : iswspace(ch) != 0;
}

CString& CString::TrimLeft(const wchar_t* pszChars) {
    size_t i = 0;
    while (i < m_str.size() && IsTrimmed(m_str[i], pszChars)) ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimRight(const wchar_t* pszChars) {
    size_t n = m_str.size();
    while (n > 0 && IsTrimmed(m_str[n - 1], pszChars)) --n;
    m_str.resize(n);
    return *this;
}

int CString::Replace(const wchar_t* pszOld, const wchar_t* pszNew) {
    if (!pszOld || !*pszOld) return 0;
    size_t oldLen = wcslen(pszOld);
    std::wstring repl = pszNew ? pszNew : L"";
    int count = 0;
    for (size_t pos = m_str.find(pszOld); pos != std::wstring::npos; pos = m_str.find(pszOld, pos + repl.size())) {
        m_str.replace(pos, oldLen, repl);
        ++count;
    }
    return count;
}

int CString::Replace(wchar_t chOld, wchar_t chNew) {
    int count = 0;
    for (wchar_t& ch : m_str)
        if (ch == chOld) { ch = chNew; ++count; }
    return count;
}

int CString::Remove(wchar_t ch) {
    size_t before = m_str.size();
    std::wstring kept;
    for (wchar_t c : m_str)
        if (c != ch) kept += c;
    m_str.swap(kept);
    return int(before - m_str.size());
}

int CString::Insert(int nIndex, const wchar_t* psz) {
    if (nIndex < 0) nIndex = 0;
    if (nIndex > GetLength()) nIndex = GetLength();
    if (psz) m_str.insert(size_t(nIndex), psz);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
    if (nIndex >= 0 && nIndex < GetLength() && nCount > 0) m_str.erase(size_t(nIndex), size_t(nCount));
    return GetLength();
}

BOOL CString::FormatV(const wchar_t* pszFormat, va_list args) {
    if (FormatWStringV(m_str, pszFormat, args) >= 0) return TRUE;
    m_str.clear();
    return FALSE;
}

BOOL CString::Format(const wchar_t* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    BOOL ok = FormatV(pszFormat, args);
    va_end(args);
    return ok;
}

BOOL CString::AppendFormat(const wchar_t* pszFormat, ...) {
    CString tail;
    va_list args;
    va_start(args, pszFormat);
    BOOL ok = tail.FormatV(pszFormat, args);
    va_end(args);
    if (ok) m_str += tail.m_str;
    return ok;
}

BOOL CString::LoadString(UINT nID) {
    // Strings live in blocks of 16; the block's resource id is nID / 16 + 1.
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCE(nID / 16 + 1), RT_STRING);
    const wchar_t* text = nullptr;
    int len = hInst ? ::LoadStringW(hInst, nID, reinterpret_cast<LPWSTR>(&text), 0) : 0;
    if (len <= 0 || !text) {
        m_str.clear();
        return FALSE;
    }
    m_str.assign(text, size_t(len));
    return TRUE;
}

wchar_t* CString::GetBuffer(int nMinLength) {
    if (nMinLength > GetLength()) m_str.resize(size_t(nMinLength));
    return &m_str[0];
}

wchar_t* CString::GetBufferSetLength(int nLength) {
    m_str.resize(nLength > 0 ? size_t(nLength) : 0);
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0) nNewLength = int(wcslen(m_str.c_str()));
    if (nNewLength < GetLength()) m_str.resize(size_t(nNewLength));
}

BSTR CString::AllocSysString() const { return ::SysAllocStringLen(m_str.c_str(), UINT(m_str.size())); }
