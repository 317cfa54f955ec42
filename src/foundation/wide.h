// The only casts between char16_t and wchar_t: used at Win32 calls, where both are 16-bit.
#pragma once

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be 16-bit on Windows");

inline const wchar_t* W(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* W(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const char16_t* U(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }
inline char16_t* U(wchar_t* text) { return reinterpret_cast<char16_t*>(text); }
