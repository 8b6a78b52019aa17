// The system.ini pieces the patch replaced, put back line by line where the
// file was changed since the patch and cannot come back whole.
#include "uninstall/uninstall.h"
#include "system/journal.h"
#include "runtime/runtime.h"

#define MAX_PIECES 16
#define MAX_REPLACEMENTS 64

struct NotedPiece {
    char Text[UNDO_LINE_TEXT];
    int Place;  // its number as the patch read it
    int Target; // the line it goes back to; -1: none
};

static int ReadPieces(const char *notes, NotedPiece *pieces) {
    int count = 0;
    for (int k = 1; k <= MAX_PIECES; k++) {
        char pieceKey[32], placeKey[32];
        IniPieceKeys(k, pieceKey, placeKey);
        const char *hex = SectionValue(notes, pieceKey);
        const char *place = SectionValue(notes, placeKey);
        DWORD length;
        if (hex == NULL || place == NULL)
            break;
        if (!DecodeHex(hex, (BYTE *)pieces[count].Text, UNDO_LINE_TEXT - 1, &length))
            continue;
        pieces[count].Text[length] = '\0';
        pieces[count].Place = TextToInt(place);
        pieces[count].Target = -1;
        count++;
    }
    return count;
}

// Each piece's line: its own place when that still holds the replacement
// line, else the first such line of a [386Enh] section no piece took yet.
// The number of pieces that have one; -1 when system.ini cannot be read.
static int FindTargets(const char *iniPath, NotedPiece *pieces, int count) {
    TextFile *in = OpenTextFile(iniPath, "rt");
    if (in == NULL)
        return -1;
    int lines[MAX_REPLACEMENTS], inSections[MAX_REPLACEMENTS], found = 0, inSection = 0;
    char piece[UNDO_LINE_TEXT];
    for (int n = 0; ReadTextLine(piece, INI_PIECE_READ, in) != NULL; n++) {
        if (SameText(piece, INI_MOUSE_LINE) && found < MAX_REPLACEMENTS) {
            lines[found] = n;
            inSections[found++] = inSection;
        }
        if (piece[0] == '[')
            inSection = FindText(piece, "[386Enh]") != NULL;
    }
    int failed = TextFileFailed(in);
    CloseTextFile(in);
    if (failed)
        return -1;
    int taken[MAX_REPLACEMENTS] = {0}, placed = 0;
    for (int pass = 0; pass < 2; pass++)
        for (int k = 0; k < count; k++)
            for (int r = 0; r < found && pieces[k].Target < 0; r++)
                if (!taken[r] && (pass == 0 ? lines[r] == pieces[k].Place : inSections[r])) {
                    taken[r] = 1;
                    pieces[k].Target = lines[r];
                    placed++;
                }
    return placed;
}

int RestoreIniPieces(const char *iniPath, const char *notes, int apply) {
    static NotedPiece pieces[MAX_PIECES];
    int count = ReadPieces(notes, pieces);
    if (count == 0)
        return 0;
    int placed = FindTargets(iniPath, pieces, count);
    if (placed <= 0)
        return placed;
    if (!apply)
        return 1;
    char fresh[MAX_PATH];
    if (!PrepareFresh(iniPath, fresh, sizeof fresh))
        return -1;
    TextFile *in = OpenTextFile(iniPath, "rt");
    TextFile *out = in != NULL ? OpenTextFile(fresh, "wt") : NULL;
    int ok = out != NULL;
    char line[UNDO_LINE_TEXT];
    for (int n = 0; ok && ReadTextLine(line, INI_PIECE_READ, in) != NULL; n++) {
        const char *text = line;
        for (int k = 0; k < count; k++)
            if (pieces[k].Target == n)
                text = pieces[k].Text;
        ok = WriteText(text, out) >= 0;
    }
    // Had system.ini gone meanwhile, the new file would not stand in for it.
    ok = ok && in != NULL;
    return FinishRewrite(in, out, ok, iniPath, fresh) ? 1 : -1;
}
