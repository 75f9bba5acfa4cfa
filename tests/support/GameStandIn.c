/* A Windows stand-in of the game (and of Roger Wilco): writes the arguments it was started with,
   one a line in UTF-8, to C:\standin-<its own file name>.txt of the prefix it runs in. The file
   is written beside and then moved into place, so a reader never sees half of it. */
#include <stdio.h>
#include <wchar.h>
#include <windows.h>

static void writeUtf8(FILE *out, const wchar_t *text) {
    char buffer[4096];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
    if (n > 0)
        fwrite(buffer, 1, (size_t)(n - 1), out);
    fputc('\n', out);
}

int wmain(int argc, wchar_t **argv) {
    wchar_t self[MAX_PATH], path[MAX_PATH], temporary[MAX_PATH];
    if (!GetModuleFileNameW(NULL, self, MAX_PATH))
        return 1;
    const wchar_t *name = wcsrchr(self, L'\\');
    name = name ? name + 1 : self;
    swprintf(path, MAX_PATH, L"C:\\standin-%ls.txt", name);
    swprintf(temporary, MAX_PATH, L"%ls.part", path);
    FILE *out = _wfopen(temporary, L"wb");
    if (!out)
        return 1;
    for (int i = 1; i < argc; ++i)
        writeUtf8(out, argv[i]);
    fclose(out);
    return MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
