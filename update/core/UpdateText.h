// The update check's decisions that need no Windows: version order, the description's field
// texts, local paths of described files, which entry speaks for the program, URL splitting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/CString.h"

// The maker's web server; the About box's home page and both update addresses use it.
#ifndef TESSORA_WEB_HOST
#define TESSORA_WEB_HOST L"www.tessora.com"
#endif
#define TESSORA_HOME_PAGE L"http://" TESSORA_WEB_HOST L"/"
#define TESSORA_UPDATE_XML_URL L"http://" TESSORA_WEB_HOST L"/event/tessora_std_update_xml/"
#define TESSORA_DOWNLOAD_URL L"http://" TESSORA_WEB_HOST L"/download/detail_tessora_std/"

namespace update {

// A description is a few kilobytes and names the few files a release ships: one far larger, or
// with far more entries, is not one and is dropped. Both bounds also bound the work the
// user-interface thread does for a check.
const unsigned kMaxDescriptionBytes = 64u * 1024;
const long kMaxDescriptionEntries = 64;

// Exactly four decimal numbers of 0..65535 joined by "."; nothing else parses.
bool ParseVersion(const CString& text, uint16_t parts[4]);
// Numeric order when both texts parse as versions; otherwise character order with letters
// folded to one case (an empty text orders first). Negative, zero or positive.
int CompareVersionText(const CString& a, const CString& b);
// Whether the published text offers something newer than the running program's: numeric when
// both parse, else any difference counts (as the text of an unknown scheme cannot be ordered).
bool IsNewerThanRunning(const CString& published, const CString& running);

// A signed 32-bit decimal number as the description writes it: leading white space, a sign,
// digits up to the first other character; 0 without digits; clamped to the 32-bit range.
int32_t ParseDecimal32(const CString& text);
// "YES" in any case.
bool ParseYes(const CString& text);

// The fields a "File" element's children can set, in the order their names are tried.
enum class FileKey {
    FileName, FileVersion, ProductVersion, Length, FileDateLow, FileDateHigh, InstallDir,
    Register, ZipFile, ForceOverwrite, Execute, ExecutePar, LocalPath, URL, UserName, Password,
    None
};
FileKey KeyOfElement(const CString& name);

enum class InstallDirKind { Program, Windows, System };
InstallDirKind KindOfInstallDir(const CString& installDir);
// dir\file, or dir\local\file when a local path is given; the parts are joined as they are.
CString JoinLocalPath(const CString& dir, const CString& localPath, const CString& fileName);

// Whether a described file name is one plain name in its folder: not empty; no "\", "/", drive,
// wildcard or other character Windows refuses in a name; no trailing dot or space (Windows drops
// them, so "." and ".." fail too); and no device name (CON, PRN, AUX, NUL, COM0-9, LPT0-9, COM and
// LPT with a superscript 1-3, CONIN$, CONOUT$, any case), with or without an extension and with
// spaces before it: opening "COM1" or "AUX.dll" waits on a device, not on a file.
bool IsPlainFileName(const CString& name);
// Whether a described local path is a relative folder made of plain names, separated by "\" or
// "/", with at most one separator at its end. Empty text is no folder.
bool IsPlainRelativeFolder(const CString& path);

// The entry that speaks for the program: the first whose name equals the executable's
// (ignoring case); npos when none does.
size_t PickOwnEntry(const std::vector<CString>& fileNames, const CString& exeName);

// Service of a URL: only plain HTTP is fetched.
enum UrlService : unsigned { kServiceUnknown = 0, kServiceFtp = 1, kServiceHttp = 3, kServiceHttps = 0x100B };
struct UrlParts {
    unsigned service = kServiceUnknown;
    CString server;
    CString object;  // starts with "/"
    uint16_t port = 0;
};
// scheme://host[:port][/path]; false for text that is not such a URL.
bool SplitUrl(const CString& url, UrlParts& out);

// Whether a downloaded document declares a document type (in 8-bit or UTF-16 text): such
// documents are refused before the parser sees them.
bool DeclaresDocumentType(const std::string& bytes);

}  // namespace update
