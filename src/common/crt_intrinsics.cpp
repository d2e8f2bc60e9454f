// The memory and string primitives that the compiler itself may call (for structure copies,
// zero-initialised buffers and the like). Part of the startup library that vxsetup.exe and the
// sample product link instead of a C runtime; tests and tools get them from their runtime.
// Compiled freestanding, so these loops are not turned back into calls to themselves.
// Owns: nothing process-wide.
#include <stddef.h>

extern "C" {

void* memset(void* dest, int value, size_t count)
{
    unsigned char* d = (unsigned char*)dest;
    while (count-- > 0)
        *d++ = (unsigned char)value;
    return dest;
}

void* memcpy(void* dest, const void* src, size_t count)
{
    unsigned char* d = (unsigned char*)dest;
    const unsigned char* s = (const unsigned char*)src;
    while (count-- > 0)
        *d++ = *s++;
    return dest;
}

void* memmove(void* dest, const void* src, size_t count)
{
    unsigned char* d = (unsigned char*)dest;
    const unsigned char* s = (const unsigned char*)src;
    if (d < s) {
        while (count-- > 0)
            *d++ = *s++;
    } else {
        while (count-- > 0)
            d[count] = s[count];
    }
    return dest;
}

int memcmp(const void* a, const void* b, size_t count)
{
    const unsigned char* x = (const unsigned char*)a;
    const unsigned char* y = (const unsigned char*)b;
    for (; count > 0; --count, ++x, ++y) {
        if (*x != *y)
            return *x - *y;
    }
    return 0;
}

size_t strlen(const char* text)
{
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

}  // extern "C"
