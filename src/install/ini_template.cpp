// The main INI file, written from its carried template with the destination folder in place of
// the marker "$$".
// Owns: nothing process-wide; reads g_hInstance and g_szTempName.
#include "common/globals.h"
#include "common/runtime.h"
#include "install/install_sequence.h"
#include "payload/extract.h"

namespace {

// Writes line with every marker replaced, piece by piece: a long replacement never meets a
// fixed output buffer. Returns TRUE when every piece was written.
BOOL WriteReplacing(rt::TextFile* target, char* line, const char* marker, const char* replacement)
{
    size_t markerLength = rt::StrLen(marker);
    BOOL written = TRUE;
    char* rest = line;
    for (char* found; markerLength > 0 && (found = (char*)rt::StrStr(rest, marker)) != NULL; rest = found + markerLength) {
        *found = '\0';
        written = rt::WriteText(target, rest) && rt::WriteText(target, replacement) && written;
    }
    if (*rest != '\0')
        written = rt::WriteText(target, rest) && written;
    return written;
}

}  // namespace

int CopyIniTemplate(const char* sourceFolder, const char* targetPath, const char* marker,
    const char* replacement, int resourceRow)
{
    char workingPath[CCH_PATH];
    workingPath[0] = '\0';
    size_t folderLength = rt::StrLen(sourceFolder);
    BOOL fits = rt::CopyText(workingPath, sizeof(workingPath), sourceFolder);
    if (fits && folderLength > 0 && sourceFolder[folderLength - 1] != '\\')
        fits = rt::AppendText(workingPath, sizeof(workingPath), "\\");
    if (!fits || !rt::AppendText(workingPath, sizeof(workingPath), g_szTempName))
        return -1;

    if (ExtractResource(g_hInstance, resourceRow, sourceFolder, g_szTempName) != 1)
        return -1;
    rt::TextFile source;
    if (!rt::OpenTextFile(&source, workingPath, "r")) {
        rt::remove(workingPath);
        return -1;
    }
    rt::TextFile target;
    if (!rt::OpenTextFile(&target, targetPath, "w")) {
        rt::CloseTextFile(&source);
        rt::remove(workingPath);
        return -1;
    }

    int result = -1;
    char line[512];
    while (rt::ReadTextLine(&source, line, sizeof(line))) {
        if (WriteReplacing(&target, line, marker, replacement))
            result = 0;
    }
    rt::CloseTextFile(&source);
    rt::CloseTextFile(&target);
    rt::remove(workingPath);
    return result;
}
