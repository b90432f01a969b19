/* The iconv that libgettextpo calls where the platform has none (Windows): the toolkit's own
   charset step (common/charset_conversion.h), so that the library finds the characters of a
   catalogue, and reports a sequence that is not valid in its charset, exactly as the toolkit
   reads it. Conversions into UTF-8 alone, which is all the library asks for. The cross build of
   libgettextpo compiles against this header (scripts/windows-libraries.sh). */
#ifndef VYKCN_GETTEXTPO_ICONV_H
#define VYKCN_GETTEXTPO_ICONV_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* iconv_t;

iconv_t iconv_open(const char* tocode, const char* fromcode);
size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft);
int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif

#endif
