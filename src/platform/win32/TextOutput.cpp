#include "platform/TextOutput.h"

#include <windows.h>

namespace platform {

namespace {

std::wstring Wide(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace

std::string SystemTextToUtf8(std::string_view text) { return Utf8(Wide(text, CP_ACP)); }

void WriteText(OutputStream stream, std::string_view text, TextEncoding encoding) {
  const HANDLE handle =
      GetStdHandle(stream == OutputStream::Standard ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide =
        Wide(text, encoding == TextEncoding::Utf8 ? CP_UTF8 : CP_ACP);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  std::string bytes;
  bytes.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  std::string_view rest = bytes;
  while (!rest.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr) ||
        written == 0)
      return;
    rest.remove_prefix(written);
  }
}

}  // namespace platform
