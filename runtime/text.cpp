// Bounded copy and join, comparison, search and numbers of texts: every
// fixed buffer of the programs is filled through here.
#include "runtime/runtime.h"

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

int JoinText(char *out, int capacity, const char *first, const char *second) {
    return CopyText(out, capacity, first) && AppendText(out, capacity, second);
}

int SameText(const char *a, const char *b) {
    while (*a != '\0' && *a == *b) {
        a++;
        b++;
    }
    return *a == *b;
}

int SamePath(const char *a, const char *b) {
    for (;;) {
        // "C:\VELOR\\SETUP.INF" (an empty folder value) is C:\VELOR\SETUP.INF.
        if (*a == '\\' && *b == '\\') {
            while (a[1] == '\\')
                a++;
            while (b[1] == '\\')
                b++;
        }
        if (UpperChar(*a) != UpperChar(*b))
            return 0;
        if (*a == '\0')
            return 1;
        a++;
        b++;
    }
}

const char *FindText(const char *text, const char *part) {
    if (text == NULL || part == NULL)
        return NULL;
    for (;; text++) {
        int i = 0;
        while (part[i] != '\0' && text[i] == part[i])
            i++;
        if (part[i] == '\0')
            return text;
        if (*text == '\0')
            return NULL;
    }
}

int TextToInt(const char *text) {
    if (text == NULL)
        return 0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        text++;
    int negative = *text == '-';
    if (*text == '-' || *text == '+')
        text++;
    // Counted on the negative side, which holds one more value.
    const int lowest = (int)0x80000000;
    int value = 0;
    for (; *text >= '0' && *text <= '9'; text++) {
        int digit = *text - '0';
        if (value < (lowest + digit) / 10) {
            value = lowest;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    return value == lowest ? 0x7FFFFFFF : -value;
}

int UpperChar(int c) {
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}
