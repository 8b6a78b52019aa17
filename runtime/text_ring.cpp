// The program's module, and its string-table texts without allocation.
#include "runtime/runtime.h"

#define RING_SLOTS 4
#define RING_TEXT 128

HINSTANCE AppInstance;

static char TextRing[RING_SLOTS][RING_TEXT];
// Starts outside the ring so that the first text lands in slot 0.
static int TextRingSlot = RING_SLOTS;

const char *ResourceText(short id) {
    if (TextRingSlot < RING_SLOTS - 1)
        TextRingSlot++;
    else
        TextRingSlot = 0;
    char *slot = TextRing[TextRingSlot];
    // The id is a 16-bit resource number; keep it unsigned for the lookup.
    int length = LoadStringA(AppInstance, (UINT)(unsigned short)id, slot, RING_TEXT);
    if (length == 0) {
        slot[0] = '\0';
        return NULL;
    }
    return slot;
}
