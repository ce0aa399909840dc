/* Byte helpers: the driver links against ntoskrnl only, without a C runtime. The volatile
 * pointers keep the compiler from turning the loops back into memcpy and memset calls. */
#include "qrdriver.h"

void QrCopyBytes(void *to, const void *from, SIZE_T count)
{
    volatile UCHAR *d = (volatile UCHAR *)to;
    const UCHAR *s = (const UCHAR *)from;

    while (count--)
        *d++ = *s++;
}

void QrZeroBytes(void *to, SIZE_T count)
{
    volatile UCHAR *d = (volatile UCHAR *)to;

    while (count--)
        *d++ = 0;
}
