#include "update/UpdateFiles.h"

#include <objbase.h>
#include <msxml2.h>

#include <memory>
#include <string>
#include <vector>

#include "app/core/PathText.h"
#include "update/core/UpdateText.h"

namespace {

// mingw's import library lacks some of these
const CLSID kClsidDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidDomDocument2 = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() { if (p) p->Release(); }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

struct Bstr {
    BSTR b = nullptr;
    explicit Bstr(const wchar_t* s = nullptr) : b(s ? SysAllocString(s) : nullptr) {}
    ~Bstr() { SysFreeString(b); }
    BSTR* operator&() { return &b; }
    CString Text() const { return CString(b ? b : L""); }
};

// COM is the calling thread's business; the program never initialised it at start.
void EnsureComOnThisThread() {
    static thread_local bool done = false;
    if (done) return;
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // S_FALSE: already ours; RPC_E_CHANGED_MODE: someone chose another apartment, COM still works
    done = SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
}

bool ReadWhole(const CString& path, std::string& bytes) {
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart <= update::kMaxDescriptionBytes;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                               read == bytes.size());
    }
    CloseHandle(h);
    return ok;
}

HRESULT LastErrorResult() {
    const DWORD e = GetLastError();
    return e ? HRESULT_FROM_WIN32(e) : E_FAIL;
}

CString VersionText(DWORD high, DWORD low) {
    CString s;
    s.Format(L"%u.%u.%u.%u", HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
    return s;
}

}  // namespace

// ---- one entry ----------------------------------------------------------------------------

CUpdateFile::CUpdateFile(const CString& fullLocalPath) : m_strFullLocalPath(fullLocalPath) {}

HRESULT GetFileLastWriteTime(const CString& path, FILETIME& time) {
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastErrorResult();
    const BOOL ok = GetFileTime(h, nullptr, nullptr, &time);
    const HRESULT hr = ok ? S_OK : LastErrorResult();
    CloseHandle(h);
    return hr;
}

HRESULT CUpdateFile::ReadVersionInfo(const CString& path, VS_FIXEDFILEINFO& info) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (!size) return LastErrorResult();
    std::vector<BYTE> buffer(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    if (!GetFileVersionInfoW(path, 0, size, buffer.data()) ||
        !VerQueryValueW(buffer.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedLength) || !fixed ||
        fixedLength < sizeof(VS_FIXEDFILEINFO))
        return LastErrorResult();
    info = *fixed;
    m_strFileVersion = VersionText(info.dwFileVersionMS, info.dwFileVersionLS);
    m_strProductVersion = VersionText(info.dwProductVersionMS, info.dwProductVersionLS);
    return S_OK;
}

bool CUpdateFile::NeedsUpdate() {
    // only a missing file counts: one that another program holds open is still installed
    if (GetFileAttributesW(m_strFullLocalPath) == INVALID_FILE_ATTRIBUTES) {
        m_bNeedsUpdate = true;
        return true;
    }
    if (m_strFullLocalPath.IsEmpty()) return m_bNeedsUpdate;
    CUpdateFile local(m_strFullLocalPath);
    bool infoRead = false;
    CFile file;
    if (file.Open(m_strFullLocalPath, CFile::modeRead | CFile::shareDenyNone)) {
        local.m_nLength = static_cast<LONGLONG>(file.GetLength());
        local.m_strFileName = FileNameFromPath(m_strFullLocalPath, 1);
        file.Abort();
        if (SUCCEEDED(local.ReadVersionInfo(m_strFullLocalPath, local.m_fixedInfo))) infoRead = true;
    }
    if (SUCCEEDED(GetFileLastWriteTime(m_strFullLocalPath, local.m_ftFileDate))) infoRead = true;
    if (infoRead) {
        if (!m_strFileVersion.IsEmpty()) {
            if (update::CompareVersionText(local.m_strFileVersion, m_strFileVersion) < 0) m_bNeedsUpdate = true;
        } else if (CompareFileTime(&local.m_ftFileDate, &m_ftFileDate) < 0) {
            m_bNeedsUpdate = true;
        }
    }
    return m_bNeedsUpdate;
}

// ---- the description ----------------------------------------------------------------------

CUpdateFiles::CUpdateFiles() {
    const DWORD n = GetModuleFileNameW(nullptr, m_szProgramDir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) m_szProgramDir[0] = 0;
    if (wchar_t* slash = wcsrchr(m_szProgramDir, L'\\')) *slash = 0;
    if (!GetWindowsDirectoryW(m_szWindowsDir, MAX_PATH)) m_szWindowsDir[0] = 0;
    if (!GetSystemDirectoryW(m_szSystemDir, MAX_PATH)) m_szSystemDir[0] = 0;
}

CUpdateFiles::~CUpdateFiles() { RemoveAll(); }

void CUpdateFiles::RemoveAll() {
    CSingleLock lock(&m_lock);
    for (CUpdateFile* f : m_files) delete f;
    m_files.clear();
}

int CUpdateFiles::GetCount() {
    CSingleLock lock(&m_lock);
    return static_cast<int>(m_files.size());
}

CString CUpdateFiles::FullLocalPath(const CUpdateFile& entry) const {
    const wchar_t* dir = m_szProgramDir;
    switch (update::KindOfInstallDir(entry.m_strInstallDir)) {
    case update::InstallDirKind::Windows: dir = m_szWindowsDir; break;
    case update::InstallDirKind::System: dir = m_szSystemDir; break;
    case update::InstallDirKind::Program: break;
    }
    return update::JoinLocalPath(dir, entry.m_strLocalPath, entry.m_strFileName);
}

bool CUpdateFiles::LoadXml(const CString& path) {
    RemoveAll();
    CSingleLock lock(&m_lock);
    // Documents with a DTD are refused before parsing: entities could expand without bound or
    // reach out, and the parser here does not honour a prohibition of its own.
    std::string bytes;
    if (!ReadWhole(path, bytes) || update::DeclaresDocumentType(bytes)) return false;

    EnsureComOnThisThread();
    ComPtr<IXMLDOMDocument> doc;
    if (FAILED(CoCreateInstance(kClsidDomDocument, nullptr, CLSCTX_INPROC_SERVER, kIidDomDocument,
                                reinterpret_cast<void**>(&doc))) || !doc)
        return false;
    doc->put_async(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
    doc->put_resolveExternals(VARIANT_FALSE);
    {
        ComPtr<IXMLDOMDocument2> doc2;
        if (SUCCEEDED(doc->QueryInterface(kIidDomDocument2, reinterpret_cast<void**>(&doc2))) && doc2) {
            VARIANT yes;
            VariantInit(&yes);
            yes.vt = VT_BOOL;
            yes.boolVal = VARIANT_TRUE;
            Bstr name(L"ProhibitDTD");
            doc2->setProperty(name.b, yes);  // not every parser knows it; the test above stands
        }
    }
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocString(path);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT hr = doc->load(source, &loaded);
    VariantClear(&source);
    if (FAILED(hr) || loaded != VARIANT_TRUE) return false;
    {
        // the bytes on disk may have changed since they were looked at
        ComPtr<IXMLDOMDocumentType> doctype;
        if (SUCCEEDED(doc->get_doctype(&doctype)) && doctype) return false;
    }
    ComPtr<IXMLDOMElement> root;
    if (FAILED(doc->get_documentElement(&root)) || !root) return false;
    ComPtr<IXMLDOMNodeList> nodes;
    Bstr tag(L"File");
    if (FAILED(root->getElementsByTagName(tag.b, &nodes)) || !nodes) return false;
    return ParseFileNodes(nodes.p);
}

bool CUpdateFiles::ParseFileNodes(IXMLDOMNodeList* nodes) {
    CSingleLock lock(&m_lock);
    long length = 0;
    if (FAILED(nodes->get_length(&length)) || length > update::kMaxDescriptionEntries) return false;
    for (long i = 0; i < length; ++i) {
        ComPtr<IXMLDOMNode> item;
        if (FAILED(nodes->get_item(i, &item)) || !item) continue;
        std::unique_ptr<CUpdateFile> entry(new CUpdateFile(CString()));
        ComPtr<IXMLDOMNode> child;
        item->get_firstChild(&child);
        while (child) {
            DOMNodeType type = NODE_INVALID;
            if (SUCCEEDED(child->get_nodeType(&type)) && type == NODE_ELEMENT) {
                Bstr name, text;
                child->get_nodeName(&name);
                child->get_text(&text);
                const CString value = text.Text();
                switch (update::KeyOfElement(name.Text())) {
                case update::FileKey::FileName: entry->m_strFileName = value; break;
                case update::FileKey::FileVersion: entry->m_strFileVersion = value; break;
                case update::FileKey::ProductVersion: entry->m_strProductVersion = value; break;
                case update::FileKey::Length: entry->m_nLength = update::ParseDecimal32(value); break;
                case update::FileKey::FileDateLow:
                    entry->m_ftFileDate.dwLowDateTime = static_cast<DWORD>(update::ParseDecimal32(value));
                    break;
                case update::FileKey::FileDateHigh:
                    entry->m_ftFileDate.dwHighDateTime = static_cast<DWORD>(update::ParseDecimal32(value));
                    break;
                case update::FileKey::InstallDir: entry->m_strInstallDir = value; break;
                case update::FileKey::Register: entry->m_bRegister = update::ParseYes(value); break;
                case update::FileKey::ZipFile: entry->m_bZipFile = update::ParseYes(value); break;
                case update::FileKey::ForceOverwrite: entry->m_bForceOverwrite = update::ParseYes(value); break;
                case update::FileKey::Execute: entry->m_bExecute = update::ParseYes(value); break;
                case update::FileKey::ExecutePar: entry->m_strExecutePar = value; break;
                case update::FileKey::LocalPath: entry->m_strLocalPath = value; break;
                case update::FileKey::URL: entry->m_strURL = value; break;
                case update::FileKey::UserName: entry->m_strUserName = value; break;
                case update::FileKey::Password: entry->m_strPassword = value; break;
                case update::FileKey::None: break;
                }
            }
            ComPtr<IXMLDOMNode> next;
            child->get_nextSibling(&next);
            std::swap(child.p, next.p);
        }
        // Only a plain name in a folder below the chosen one is a file of ours: the installed-file
        // check would open any other on the user-interface thread, a device that never answers or
        // a file anywhere on the drive.
        if (!update::IsPlainFileName(entry->m_strFileName) ||
            (!entry->m_strLocalPath.IsEmpty() && !update::IsPlainRelativeFolder(entry->m_strLocalPath)))
            continue;
        entry->m_strFullLocalPath = FullLocalPath(*entry);
        m_files.push_back(entry.release());
    }
    return true;
}

int CUpdateFiles::CountFilesToUpdate() {
    CSingleLock lock(&m_lock);
    for (auto it = m_files.begin(); it != m_files.end();) {
        if ((*it)->NeedsUpdate()) {
            ++it;
        } else {
            delete *it;
            it = m_files.erase(it);
        }
    }
    return static_cast<int>(m_files.size());
}

DWORD CUpdateFiles::GetTotalLength() {
    CSingleLock lock(&m_lock);
    DWORD total = 0;
    for (const CUpdateFile* f : m_files)
        if (f->m_bNeedsUpdate) total += static_cast<DWORD>(f->m_nLength);
    return total;
}

CUpdateFile* CUpdateFiles::PopFront() {
    CSingleLock lock(&m_lock);
    if (m_files.empty()) return nullptr;
    CUpdateFile* f = m_files.front();
    m_files.pop_front();
    return f;
}

CUpdateFile* CUpdateFiles::PopOwnEntry(const CString& exeName) {
    CSingleLock lock(&m_lock);
    std::vector<CString> names;
    for (const CUpdateFile* f : m_files) names.push_back(f->m_strFileName);
    const size_t pick = update::PickOwnEntry(names, exeName);
    if (pick >= m_files.size()) return nullptr;
    auto it = m_files.begin();
    std::advance(it, pick);
    CUpdateFile* f = *it;
    m_files.erase(it);
    return f;
}
