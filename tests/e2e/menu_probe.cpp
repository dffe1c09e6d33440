// Loaded into the running program by the end-to-end driver: reads an open
// popup menu from inside the program's process (menu handles cannot be read
// from another process under Wine) and leaves the items in shared memory,
// one line per item: the caption ("-" for a separator), a tab, 1 or 0 for
// enabled.
#include <windows.h>

#include <string>

extern "C" __declspec(dllexport) DWORD WINAPI DumpMenu(LPVOID param) {
    HMENU menu = static_cast<HMENU>(param);
    std::wstring out;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{sizeof info};
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            out += L"-";
        } else {
            wchar_t text[256] = L"";
            GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
            out += text;
        }
        out += (info.fState & MFS_DISABLED) ? L"\t0\n" : L"\t1\n";
    }
    HANDLE map = OpenFileMappingW(FILE_MAP_WRITE, FALSE, L"Local\\Veltrane.MenuProbe");
    if (!map) return 1;
    void* view = MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, 0);
    if (view) {
        const size_t bytes = std::min<size_t>((out.size() + 1) * sizeof(wchar_t), 8192);
        memcpy(view, out.c_str(), bytes);
        UnmapViewOfFile(view);
    }
    CloseHandle(map);
    return count;
}
