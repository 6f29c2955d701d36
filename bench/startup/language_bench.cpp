// Prints the private memory that the two language tables of a running program cost: before and
// after building both instances and reading every id of every language through them.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "app/LanguageTable.h"

namespace {

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX mem = {};
    mem.cb = sizeof(mem);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof(mem));
    return mem.PrivateUsage ? mem.PrivateUsage : mem.PagefileUsage;  // Wine fills only the latter
}

}  // namespace

int wmain() {
    const wchar_t* names[] = {L"English", L"Japanese", L"Chinese", L"Netherland", L"Germany", L"Spain"};
    const SIZE_T before = PrivateBytes();
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    auto* mainTable = new CLanguageTable;
    auto* trayTable = new CLanguageTable;
    size_t chars = 0;
    for (const wchar_t* name : names) {
        mainTable->m_strLanguageName = name;
        trayTable->m_strLanguageName = name;
        for (int id = 0; id < 100000; ++id) chars += mainTable->GetText(id).GetLength() + trayTable->GetText(id).GetLength();
    }
    QueryPerformanceCounter(&t1);
    const SIZE_T after = PrivateBytes();
    wprintf(L"two language tables, six languages, 100000 ids each (%zu characters read)\n", chars);
    wprintf(L"  private bytes before  %8.1f KiB\n", before / 1024.0);
    wprintf(L"  private bytes after   %8.1f KiB\n", after / 1024.0);
    wprintf(L"  cost of the tables    %8.1f KiB\n", (after > before ? after - before : 0) / 1024.0);
    wprintf(L"  1,200,000 lookups     %8.1f ms\n", 1000.0 * (t1.QuadPart - t0.QuadPart) / f.QuadPart);
    wprintf(L"\nRESULT language_tables_kib %.1f -\n", (after > before ? after - before : 0) / 1024.0);
    delete trayTable;
    delete mainTable;
    return 0;
}
