// The Win32 calls the library uses: Sleep, the two code page conversions of
// the ANSI code page (CP_ACP) and its lead-byte test, and the number under
// which those conversions carry Windows-31J. On Windows they come
// from <windows.h>. Elsewhere this folder supplies them with the same bounds:
// the ANSI code page is Windows-31J (CP932), a conversion whose output does
// not fit answers 0 and writes nothing, and a character without a mapping
// becomes the code page's replacement character instead of failing the call.
//
// This is the only header that knows which platform it is built for.
#pragma once

#ifdef _WIN32
#include <windows.h>

constexpr UINT kWindows31jCodePage = 932;
#else
#include <sqltypes.h>  // DWORD, UINT, BOOL and WCHAR (16-bit) as the ODBC headers define them

#ifndef CP_ACP
#define CP_ACP 0
#endif

constexpr UINT kWindows31jCodePage = CP_ACP;  // the ANSI code page here

// Blocks the calling thread for at least the given number of milliseconds.
void Sleep(DWORD milliseconds);

// UTF-16 to the ANSI code page. srcUnits -1 reads up to and including a 0 unit.
// dstBytes 0 asks for the size needed and writes nothing. Returns the bytes
// written, or 0 when the output does not fit (nothing is written then) or a
// parameter is invalid.
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* src, int srcUnits, char* dst,
                        int dstBytes, const char* defaultChar, BOOL* usedDefaultChar);

// The ANSI code page to UTF-16, with the same conventions counted in units.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcBytes, WCHAR* dst,
                        int dstUnits);

// Whether the byte leads a double-byte character of the ANSI code page (for
// CP932 0x81-0x9F and 0xE0-0xFC), whatever follows it.
BOOL IsDBCSLeadByte(BYTE testChar);
#endif
