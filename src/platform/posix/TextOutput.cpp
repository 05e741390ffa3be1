#include "platform/TextOutput.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

namespace {

// The locale whose codeset the environment's texts are in: LC_ALL, LC_CTYPE, then LANG.
std::string CharacterLocaleName() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

// The codeset of that locale; empty when the texts are to be taken as they are.
std::string SystemCodeset() {
  const std::string name = CharacterLocaleName();
  if (name == "C" || name == "POSIX") return {};
  const locale_t locale = newlocale(LC_CTYPE_MASK, name.c_str(), nullptr);
  if (locale == nullptr) return {};
  std::string codeset = nl_langinfo_l(CODESET, locale);
  freelocale(locale);
  if (codeset == "UTF-8" || codeset == "utf8" || codeset == "ANSI_X3.4-1968") return {};
  return codeset;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

std::string SystemTextToUtf8(std::string_view text) {
  static const std::string codeset = SystemCodeset();
  if (codeset.empty() || text.empty()) return std::string(text);
  const iconv_t convert = iconv_open("UTF-8", codeset.c_str());
  if (convert == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string out;
  std::string input(text);
  char* in = input.data();
  std::size_t inLeft = input.size();
  char buffer[1024];
  while (inLeft > 0) {
    char* put = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t result = iconv(convert, &in, &inLeft, &put, &room);
    out.append(buffer, static_cast<std::size_t>(put - buffer));
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // A byte the codeset does not define, or one that begins an unfinished character.
      out += kReplacement;
      ++in;
      --inLeft;
    }
  }
  iconv_close(convert);
  return out;
}

void WriteText(OutputStream stream, std::string_view text, TextEncoding) {
  const int fd = stream == OutputStream::Standard ? STDOUT_FILENO : STDERR_FILENO;
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace platform
