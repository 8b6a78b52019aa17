// Text files with the C runtime's text-mode rules, over KERNEL32.
#include "runtime/runtime.h"

#define TEXT_BUFFER 512
#define END_OF_TEXT 0x1A // Ctrl-Z

struct TextFile {
    HANDLE Handle;
    int Writing;
    int Failed;
    int Ended;   // end of file or Ctrl-Z met: nothing more is read
    DWORD Count; // bytes held in Buffer
    DWORD Next;  // next byte to read
    char Buffer[TEXT_BUFFER];
};

TextFile *OpenTextFile(const char *path, const char *mode) {
    if (path == NULL || mode == NULL || (mode[0] != 'r' && mode[0] != 'w') || mode[1] != 't' ||
        mode[2] != '\0')
        return NULL;
    int writing = mode[0] == 'w';
    TextFile *file = (TextFile *)GlobalAlloc(GPTR, sizeof(TextFile));
    if (file == NULL)
        return NULL;
    file->Handle = CreateFileA(
        path, writing ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
        writing ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file->Handle == INVALID_HANDLE_VALUE) {
        GlobalFree(file);
        return NULL;
    }
    file->Writing = writing;
    return file;
}

// The next byte without taking it; -1 at the end, at Ctrl-Z or on an error.
static int PeekByte(TextFile *file) {
    if (file->Ended || file->Failed)
        return -1;
    if (file->Next == file->Count) {
        DWORD got = 0;
        if (!ReadFile(file->Handle, file->Buffer, TEXT_BUFFER, &got, NULL)) {
            file->Failed = 1;
            return -1;
        }
        file->Count = got;
        file->Next = 0;
        if (got == 0) {
            file->Ended = 1;
            return -1;
        }
    }
    unsigned char c = (unsigned char)file->Buffer[file->Next];
    if (c == END_OF_TEXT) {
        file->Ended = 1;
        return -1;
    }
    return c;
}

char *ReadTextLine(char *buffer, int size, TextFile *file) {
    if (buffer == NULL || size < 2 || file == NULL || file->Writing)
        return NULL;
    int length = 0;
    while (length < size - 1) {
        int c = PeekByte(file);
        if (c < 0)
            break;
        file->Next++;
        // A CR stands for itself unless a LF follows it.
        if (c == '\r' && PeekByte(file) == '\n') {
            file->Next++;
            c = '\n';
        }
        buffer[length++] = (char)c;
        if (c == '\n')
            break;
    }
    buffer[length] = '\0';
    if (file->Failed || length == 0)
        return NULL;
    return buffer;
}

int FlushTextFile(TextFile *file) {
    if (file == NULL)
        return -1;
    if (!file->Writing || file->Count == 0)
        return 0;
    DWORD written = 0;
    BOOL ok = WriteFile(file->Handle, file->Buffer, file->Count, &written, NULL);
    // A full disk may take part of the buffer and still report success.
    int whole = ok && written == file->Count;
    file->Count = 0;
    if (!whole) {
        file->Failed = 1;
        return -1;
    }
    return 0;
}

static int PutByte(TextFile *file, char c) {
    if (file->Count == TEXT_BUFFER && FlushTextFile(file) != 0)
        return -1;
    file->Buffer[file->Count++] = c;
    return 0;
}

int WriteText(const char *text, TextFile *file) {
    if (text == NULL || file == NULL || !file->Writing || file->Failed)
        return -1;
    for (; *text != '\0'; text++) {
        if (*text == '\n' && PutByte(file, '\r') != 0)
            return -1;
        if (PutByte(file, *text) != 0)
            return -1;
    }
    return 0;
}

int TextFileFailed(TextFile *file) {
    return file == NULL || file->Failed;
}

int CloseTextFile(TextFile *file) {
    if (file == NULL)
        return -1;
    int result = FlushTextFile(file);
    if (!CloseHandle(file->Handle))
        result = -1;
    GlobalFree(file);
    return result;
}
