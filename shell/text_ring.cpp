// String-table texts without allocation, and the bounded copy and join that
// every fixed buffer in the program goes through.
#include "shell/setup.h"

#define RING_SLOTS 4
#define RING_TEXT 128

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

int CopyText(char *dest, int capacity, const char *src) {
    if (dest == NULL || capacity <= 0)
        return 0;
    if (src == NULL)
        src = "";
    int i = 0;
    while (i < capacity - 1 && src[i] != '\0') {
        dest[i] = src[i];
        i++;
    }
    dest[i] = '\0';
    return src[i] == '\0' ? 1 : 0;
}

int AppendText(char *dest, int capacity, const char *src) {
    if (dest == NULL || capacity <= 0)
        return 0;
    int used = 0;
    while (used < capacity && dest[used] != '\0')
        used++;
    if (used == capacity) {
        // Not terminated within its capacity: terminate it and report the cut.
        dest[capacity - 1] = '\0';
        return 0;
    }
    return CopyText(dest + used, capacity - used, src);
}
