// Thin wrapper over the ANSI registry functions. Every operation reports success as a
// Boolean and never reports or raises anything itself; callers decide what a failure means.
#ifndef COMMON_BASREGISTRY_H
#define COMMON_BASREGISTRY_H

#include <windows.h>

#include <cstdint>
#include <string>

// Opens parent\keyPath\subKey, creating it when missing. Fails at once on an empty keyPath.
// A leading "\" of subKey is left out; an empty subKey opens keyPath alone. key is set only on
// success.
bool CreateKey(HKEY parent, const std::string& keyPath, const std::string& subKey, HKEY& key);
// Opens an existing key; key is set only on success.
bool OpenKey(HKEY parent, const std::string& keyPath, HKEY& key);
bool CloseKey(HKEY key);

// Reads a REG_SZ value, cut at its first NUL. Any other type counts as missing, and so does a value
// past the registry's 1 MiB, with ERROR_NOT_ENOUGH_MEMORY. text is changed only on success.
bool QueryString(HKEY key, const std::string& valueName, std::string& text);
// Reads a 4-byte REG_DWORD value; value is changed only on success.
bool QueryDword(HKEY key, const std::string& valueName, uint32_t& value);

// Writes a REG_SZ value with its terminating NUL. Fails without a call when key is 0.
bool SetString(HKEY key, const std::string& valueName, const std::string& text);
bool SetDword(HKEY key, const std::string& valueName, uint32_t value);

// The text up to its first NUL character; the whole text when it has none.
std::string TrimAtNul(const std::string& text);

#endif
