// The memory functions that the compiler may call on its own (structure
// copies, ZeroMemory) for programs that link no C library. Built without
// the loop-to-call rewrite, which would turn each of them into a call to
// itself.
#include <stddef.h>

extern "C" void *memcpy(void *dest, const void *src, size_t count) {
    unsigned char *to = (unsigned char *)dest;
    const unsigned char *from = (const unsigned char *)src;
    while (count-- > 0)
        *to++ = *from++;
    return dest;
}

extern "C" void *memmove(void *dest, const void *src, size_t count) {
    unsigned char *to = (unsigned char *)dest;
    const unsigned char *from = (const unsigned char *)src;
    if (to <= from) {
        while (count-- > 0)
            *to++ = *from++;
    } else {
        // Overlapping with the source in front: copy from the end.
        while (count-- > 0)
            to[count] = from[count];
    }
    return dest;
}

extern "C" void *memset(void *dest, int value, size_t count) {
    unsigned char *to = (unsigned char *)dest;
    while (count-- > 0)
        *to++ = (unsigned char)value;
    return dest;
}

extern "C" int memcmp(const void *left, const void *right, size_t count) {
    const unsigned char *a = (const unsigned char *)left;
    const unsigned char *b = (const unsigned char *)right;
    for (; count > 0; count--, a++, b++)
        if (*a != *b)
            return *a < *b ? -1 : 1;
    return 0;
}
