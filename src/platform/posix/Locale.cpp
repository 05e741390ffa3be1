#include "platform/Locale.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <string_view>
#include <vector>

namespace platform {
namespace {

// One piece of a C library date or time format: literal text, or a conversion such as %d
// with the padding its flags ask for.
struct Piece {
  bool isConversion = false;
  char conversion = 0;
  bool unpadded = false;  // the '-' flag: no leading zero
  std::string literal;
};

std::vector<Piece> Pieces(std::string_view format) {
  std::vector<Piece> pieces;
  auto literal = [&](char c) {
    if (pieces.empty() || pieces.back().isConversion) pieces.push_back({});
    pieces.back().literal += c;
  };
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      literal(format[i]);
      continue;
    }
    Piece p;
    p.isConversion = true;
    ++i;
    while (i < format.size() && std::string_view("-_0^#").find(format[i]) != std::string_view::npos)
      p.unpadded |= format[i++] == '-';
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i;  // field width
    if (i < format.size() && (format[i] == 'E' || format[i] == 'O')) ++i;  // alternative forms
    if (i == format.size()) break;
    if (format[i] == '%') {
      literal('%');
      continue;
    }
    p.conversion = format[i];
    pieces.push_back(p);
  }
  return pieces;
}

bool IsTimeConversion(char c) {
  return std::string_view("HIklMSpPrRTXzZsc").find(c) != std::string_view::npos;
}

bool IsDateConversion(char c) { return std::string_view("deamYyCbBhAaG").find(c) != std::string_view::npos; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Literal text of a C library format, quoted where its letters would read as picture tokens.
void AppendLiteral(std::string& picture, const std::string& text) {
  bool hasLetter = false;
  for (char c : text) hasLetter |= IsAsciiLetter(c) || c == '"' || c == '\'';
  if (!hasLetter) {
    picture += text;
    return;
  }
  const char quote = text.find('"') == std::string::npos ? '"' : '\'';
  picture += quote;
  picture += text;
  picture += quote;
}

class PosixLocale : public LocaleSource {
 public:
  PosixLocale() { Open(); }
  ~PosixLocale() override { Close(); }

  std::optional<std::string> Item(std::uint32_t item, int capacity) const override {
    auto text = Lookup(item);
    if (text && static_cast<int>(text->size()) + 1 > capacity) return std::nullopt;
    return text;
  }

  unsigned PrimaryLanguage() const override;

  // The environment may have been changed for the reload that follows: read it again.
  void ResetThreadLocale() override {
    Close();
    Open();
  }

 private:
  static std::string CategoryName(const char* category) {
    for (const char* name : {"LC_ALL", category, "LANG"}) {
      const char* value = std::getenv(name);
      if (value != nullptr && *value != '\0') return value;
    }
    return "C";
  }
  static bool IsPlainC(const std::string& name) {
    return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
  }

  void Open() {
    timeName_ = CategoryName("LC_TIME");
    numericName_ = CategoryName("LC_NUMERIC");
    if (!IsPlainC(timeName_)) time_ = newlocale(LC_TIME_MASK, timeName_.c_str(), nullptr);
    if (!IsPlainC(numericName_))
      numeric_ = newlocale(LC_NUMERIC_MASK, numericName_.c_str(), nullptr);
  }
  void Close() {
    if (time_ != nullptr) freelocale(time_);
    if (numeric_ != nullptr) freelocale(numeric_);
    time_ = numeric_ = nullptr;
  }

  std::string Info(nl_item item) const { return nl_langinfo_l(item, time_); }

  // The time format with %r, %T, %R and %X spelled out.
  std::string TimeFormat() const {
    std::string format = Info(T_FMT);
    for (int round = 0; round < 3; ++round) {
      std::string expanded;
      for (const Piece& p : Pieces(format)) {
        if (!p.isConversion) {
          for (char c : p.literal) expanded += c == '%' ? std::string("%%") : std::string(1, c);
          continue;
        }
        switch (p.conversion) {
          case 'r': expanded += Info(T_FMT_AMPM); break;
          case 'T': expanded += "%H:%M:%S"; break;
          case 'R': expanded += "%H:%M"; break;
          case 'X': expanded += Info(T_FMT); break;
          default:
            expanded += '%';
            if (p.unpadded) expanded += '-';
            expanded += p.conversion;
        }
      }
      if (expanded == format) break;
      format = expanded;
    }
    return format;
  }

  std::string DateFormat() const {
    std::string format;
    for (const Piece& p : Pieces(Info(D_FMT))) {
      if (!p.isConversion) {
        for (char c : p.literal) format += c == '%' ? std::string("%%") : std::string(1, c);
      } else if (p.conversion == 'D') {
        format += "%m/%d/%y";
      } else if (p.conversion == 'F') {
        format += "%Y-%m-%d";
      } else {
        format += '%';
        if (p.unpadded) format += '-';
        format += p.conversion;
      }
    }
    return format;
  }

  // A date format in picture letters; a long date stops before the first time field.
  static std::string Picture(const std::string& format, bool stopAtTime) {
    std::string picture;
    for (const Piece& p : Pieces(format)) {
      if (!p.isConversion) {
        AppendLiteral(picture, p.literal);
        continue;
      }
      if (stopAtTime && IsTimeConversion(p.conversion)) break;
      switch (p.conversion) {
        case 'd': picture += p.unpadded ? "d" : "dd"; break;
        case 'e': picture += "d"; break;
        case 'm': picture += p.unpadded ? "m" : "mm"; break;
        case 'Y': case 'G': picture += "yyyy"; break;
        case 'y': picture += "yy"; break;
        case 'b': case 'h': picture += "mmm"; break;
        case 'B': picture += "mmmm"; break;
        case 'a': picture += "ddd"; break;
        case 'A': picture += "dddd"; break;
        case 'D': picture += "mm/dd/yy"; break;
        case 'F': picture += "yyyy-mm-dd"; break;
        case 'n': case 't': picture += ' '; break;
        default: break;  // nothing this system can show
      }
    }
    // What stood between the date and the cut-off time fields.
    while (!picture.empty() && (picture.back() == ' ' || picture.back() == ','))
      picture.pop_back();
    return picture;
  }

  // The literal text between the first two fields of `format` with the given kinds.
  static std::optional<std::string> Separator(const std::string& format, bool (*isField)(char)) {
    bool afterField = false;
    std::string text;
    for (const Piece& p : Pieces(format)) {
      if (!p.isConversion) {
        if (afterField) text += p.literal;
      } else if (isField(p.conversion)) {
        if (afterField) return text;
        afterField = true;
      }
    }
    return std::nullopt;
  }

  // Dates are stored as text and read back by their separator, which is one character. A
  // locale that writes dates otherwise (glibc's "%Y年%m月%d日", say) is taken to offer no
  // short date at all, so that the defaults, which read back, apply.
  bool DateFieldsSeparatedByOneCharacter() const {
    const std::string format = DateFormat();
    const auto separator = Separator(format, [](char c) { return IsDateConversion(c); });
    if (!separator || separator->size() != 1) return false;
    const std::vector<Piece> pieces = Pieces(format);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const bool between = i > 0 && i + 1 < pieces.size();
      if (!pieces[i].isConversion && (!between || pieces[i].literal != *separator)) return false;
    }
    return true;
  }

  std::optional<std::string> Lookup(std::uint32_t item) const;

  std::string timeName_, numericName_;
  locale_t time_ = nullptr;
  locale_t numeric_ = nullptr;
};

std::optional<std::string> PosixLocale::Lookup(std::uint32_t item) const {
  namespace li = locale_item;
  if (item == li::kDecimalSep) {
    if (numeric_ == nullptr) return std::nullopt;
    return std::string(nl_langinfo_l(RADIXCHAR, numeric_));
  }
  if (time_ == nullptr) return std::nullopt;  // the C locale: every default applies
  if (item >= li::kDayName1 && item < li::kDayName1 + 7)  // Monday first; C counts from Sunday
    return Info(static_cast<nl_item>(DAY_1 + (item - li::kDayName1 + 1) % 7));
  if (item >= li::kAbbrevDayName1 && item < li::kAbbrevDayName1 + 7)
    return Info(static_cast<nl_item>(ABDAY_1 + (item - li::kAbbrevDayName1 + 1) % 7));
  if (item >= li::kMonthName1 && item < li::kMonthName1 + 12)
    return Info(static_cast<nl_item>(MON_1 + (item - li::kMonthName1)));
  if (item >= li::kAbbrevMonthName1 && item < li::kAbbrevMonthName1 + 12)
    return Info(static_cast<nl_item>(ABMON_1 + (item - li::kAbbrevMonthName1)));

  const auto hourPiece = [this]() -> std::optional<Piece> {
    for (const Piece& p : Pieces(TimeFormat()))
      if (p.isConversion && std::string_view("HIkl").find(p.conversion) != std::string_view::npos)
        return p;
    return std::nullopt;
  };
  switch (item) {
    case li::kDateSep:
      if (!DateFieldsSeparatedByOneCharacter()) return std::nullopt;
      return Separator(DateFormat(), [](char c) { return IsDateConversion(c); });
    case li::kTimeSep:
      return Separator(TimeFormat(), [](char c) { return std::string_view("HIklMS").find(c) != std::string_view::npos; });
    case li::kShortDate:
      if (!DateFieldsSeparatedByOneCharacter()) return std::nullopt;
      return Picture(DateFormat(), false);
    case li::kLongDate: {
      // The date part of the full date-and-time format, with %x spelled out.
      std::string format;
      for (const Piece& p : Pieces(Info(D_T_FMT))) {
        if (p.isConversion && p.conversion == 'x') {
          format += DateFormat();
        } else if (p.isConversion) {
          format += '%';
          if (p.unpadded) format += '-';
          format += p.conversion;
        } else {
          for (char c : p.literal) format += c == '%' ? std::string("%%") : std::string(1, c);
        }
      }
      return Picture(format, true);
    }
    case li::kAmDesignator:
      return Info(AM_STR);
    case li::kPmDesignator:
      return Info(PM_STR);
    case li::kTimeClock: {
      const auto hour = hourPiece();
      if (!hour) return std::nullopt;
      return std::string(hour->conversion == 'I' || hour->conversion == 'l' ? "0" : "1");
    }
    case li::kHourLeadingZero: {
      const auto hour = hourPiece();
      if (!hour) return std::nullopt;
      const bool zero = (hour->conversion == 'H' || hour->conversion == 'I') && !hour->unpadded;
      return std::string(zero ? "1" : "0");
    }
    case li::kTimeMarkPosition: {
      for (const Piece& p : Pieces(TimeFormat())) {
        if (!p.isConversion) continue;
        if (p.conversion == 'p' || p.conversion == 'P') return std::string("1");
        if (std::string_view("HIkl").find(p.conversion) != std::string_view::npos) break;
      }
      return std::string("0");
    }
    case li::kCalendarType:
      return std::string("1");  // Gregorian
    default:
      return std::nullopt;
  }
}

unsigned PosixLocale::PrimaryLanguage() const {
  struct Language {
    std::string_view code;
    unsigned id;
  };
  static constexpr Language kLanguages[] = {
      {"zh", 0x04}, {"ja", 0x11}, {"ko", 0x12}, {"en", 0x09}, {"de", 0x07}, {"fr", 0x0C},
      {"es", 0x0A}, {"it", 0x10}, {"nl", 0x13}, {"pt", 0x16}, {"ru", 0x19}, {"sv", 0x1D},
      {"pl", 0x15}, {"fi", 0x0B}, {"da", 0x06}, {"cs", 0x05}, {"hu", 0x0E}, {"tr", 0x1F}};
  const std::string_view name = timeName_;
  const std::string_view code = name.substr(0, name.find_first_of("_.@"));
  for (const Language& l : kLanguages)
    if (l.code == code) return l.id;
  return 0;  // neutral
}

}  // namespace

LocaleSource& SystemLocale() {
  static PosixLocale locale;
  return locale;
}

}  // namespace platform
