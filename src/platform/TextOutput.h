#pragma once
// Text for the person at the console: converting texts of the system's code page to UTF-8,
// and writing to standard output and error so that a console shows the characters right.

#include <string>
#include <string_view>

namespace platform {

// `text`, in the system's code page, as UTF-8. Windows: the ANSI code page (CP_ACP) through
// UTF-16; POSIX: the codeset of the environment's LC_CTYPE locale through iconv, the text
// as it is when that is UTF-8 or the plain C locale (which names no codeset of its own). A
// byte the code page does not define comes out as U+FFFD.
std::string SystemTextToUtf8(std::string_view text);

enum class OutputStream { Standard, Error };
enum class TextEncoding { SystemCodePage, Utf8 };

// Writes `text` (lines ended by '\n'). A Windows console gets it as UTF-16 (WriteConsoleW),
// whatever its own code page; a file or pipe gets the bytes, with lines ended by CR LF on
// Windows. POSIX writes the bytes as they are.
void WriteText(OutputStream stream, std::string_view text, TextEncoding encoding);

}  // namespace platform
