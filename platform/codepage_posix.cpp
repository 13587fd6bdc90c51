// PLACEHOLDER: replaced by the iconv-based conversions.
#include "platform/win32.h"
int WideCharToMultiByte(UINT, DWORD, const WCHAR*, int, char*, int, const char*, BOOL*) { return 0; }
int MultiByteToWideChar(UINT, DWORD, const char*, int, WCHAR*, int) { return 0; }
