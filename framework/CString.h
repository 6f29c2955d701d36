// Wide string of the framework layer. Platform-free: the same class is used by the program
// (wchar_t is UTF-16 there) and by the native tests (wchar_t is UTF-32), so nothing here
// may depend on the width of wchar_t except the UTF-8 conversion, which handles both.
#pragma once

#include <cstdarg>
#include <string>
#include <vector>

class CString {
public:
    CString() = default;
    CString(const wchar_t* s) : m_s(s ? s : L"") {}
    CString(const wchar_t* s, int len) : m_s(s ? std::wstring(s, len > 0 ? len : 0) : std::wstring()) {}
    CString(wchar_t ch, int repeat = 1) : m_s(repeat > 0 ? repeat : 0, ch) {}
    CString(const std::wstring& s) : m_s(s) {}
    CString(std::wstring&& s) : m_s(std::move(s)) {}

    operator const wchar_t*() const { return m_s.c_str(); }
    const wchar_t* GetString() const { return m_s.c_str(); }
    const std::wstring& str() const { return m_s; }
    std::wstring& str() { return m_s; }

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    wchar_t GetAt(int i) const { return (i >= 0 && i < GetLength()) ? m_s[i] : L'\0'; }
    void SetAt(int i, wchar_t ch) { if (i >= 0 && i < GetLength()) m_s[i] = ch; }

    CString Left(int n) const;
    CString Mid(int first) const;
    CString Mid(int first, int n) const;

    // Positions are character indexes; -1 when absent.
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* sub, int start = 0) const;
    int ReverseFind(wchar_t ch) const;

    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& MakeUpper();
    int Replace(const wchar_t* from, const wchar_t* to);
    int Insert(int index, const wchar_t* s);

    // Format texts follow the wide-string conventions of the platform's own wide printf:
    // "%s" and "%c" take wide arguments. Decimal points never follow a locale.
    void Format(const wchar_t* fmt, ...);
    void AppendFormat(const wchar_t* fmt, ...);
    void FormatV(const wchar_t* fmt, va_list args);

    CString& operator=(const wchar_t* s) { m_s = s ? s : L""; return *this; }
    CString& operator=(wchar_t ch) { m_s.assign(1, ch); return *this; }
    CString& operator+=(const CString& s) { m_s += s.m_s; return *this; }
    CString& operator+=(const wchar_t* s) { if (s) m_s += s; return *this; }
    CString& operator+=(wchar_t ch) { m_s += ch; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
    friend CString operator+(const CString& a, const wchar_t* b) { CString r(a); r += b; return r; }
    friend CString operator+(const wchar_t* a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, wchar_t ch) { CString r(a); r += ch; return r; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_s == (b ? b : L""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_s < b.m_s; }

private:
    std::wstring m_s;
};

// Translates a format text of the wide printf conventions ("%s" wide) into the ISO ones
// ("%ls"), which both the host C library and msvcrt read the same way.
std::wstring ToIsoWideFormat(const wchar_t* fmt);

// UTF-8 <-> wide text. Invalid input becomes U+FFFD; never throws.
std::string Utf8FromWide(const wchar_t* s);
CString WideFromUtf8(const char* s);

class CStringArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    int Add(const CString& s) { m_items.push_back(s); return GetSize() - 1; }
    void RemoveAll() { m_items.clear(); }
    const CString& GetAt(int i) const { return m_items.at(i); }
    void SetAt(int i, const CString& s) { m_items.at(i) = s; }
    CString& operator[](int i) { return m_items.at(i); }
    const CString& operator[](int i) const { return m_items.at(i); }

private:
    std::vector<CString> m_items;
};
