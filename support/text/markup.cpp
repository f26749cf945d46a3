#include "support/text/markup.h"

#include <array>

namespace qartwo {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

unsigned char Byte(std::string_view text, std::size_t at) {
  return at < text.size() ? static_cast<unsigned char>(text[at]) : 0;
}

bool Continuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Bytes of the valid UTF-8 character of two or more bytes at `text`'s start that XML allows;
// 0 for anything else.
std::size_t CharacterLength(std::string_view text) {
  const unsigned char lead = Byte(text, 0);
  const unsigned char second = Byte(text, 1);
  std::size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    // No overlong form, no surrogate.
    const bool ok = (lead != 0xE0 || second >= 0xA0) && (lead != 0xED || second < 0xA0);
    length = ok ? 3 : 0;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    const bool ok = (lead != 0xF0 || second >= 0x90) && (lead != 0xF4 || second < 0x90);
    length = ok ? 4 : 0;
  }
  for (std::size_t at = 1; at < length; ++at) {
    if (!Continuation(Byte(text, at))) return 0;
  }
  // U+FFFE and U+FFFF are no characters for XML.
  if (length == 3 && lead == 0xEF && second == 0xBF && Byte(text, 2) >= 0xBE) return 0;
  return length;
}

// The shown form of the byte `c` below 128; empty for one that stands as it is.
std::string_view Escaped(char c, TextSource source, std::array<char, 4>& room) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    case '\'':
      return "&#39;";
    case '\t':
      return "\\t";
    case '\\':
      return source == TextSource::kRaw ? "\\\\" : "";
    default:
      break;
  }
  const auto code = static_cast<unsigned char>(c);
  if (code >= 32 && code != 127) return "";
  room = {'\\', 'x', kHexDigits[code >> 4], kHexDigits[code & 15]};
  return {room.data(), room.size()};
}

// True for a printable ASCII character that needs no escape.
bool Plain(char c, TextSource source) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 32 && code < 127 && c != '&' && c != '<' && c != '>' && c != '"' && c != '\'' &&
         (c != '\\' || source == TextSource::kVisible);
}

// A byte that a link keeps as it is: A-Z, a-z, 0-9, - . _ ~.
bool Unreserved(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

}  // namespace

bool AppendMarkupText(std::string& markup, std::string_view text, TextSource source,
                      std::size_t limit) {
  std::size_t shown = 0;
  std::array<char, 4> room{};
  for (std::size_t at = 0; at < text.size();) {
    if (shown == limit) {
      markup += kEllipsis;
      return true;
    }
    // A run of characters that stand as they are goes in at once.
    std::size_t plain = at;
    while (plain < text.size() && plain - at < limit - shown && Plain(text[plain], source)) {
      ++plain;
    }
    if (plain > at) {
      markup.append(text.data() + at, plain - at);
      shown += plain - at;
      at = plain;
      continue;
    }
    const auto code = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    if (code < 128) {
      const std::string_view escaped = Escaped(text[at], source, room);
      if (escaped.empty()) {
        markup += text[at];
      } else {
        markup += escaped;
      }
    } else if (length = CharacterLength(text.substr(at)); length > 0) {
      markup += text.substr(at, length);
    } else {
      length = 1;
      markup += "\\x";
      markup += kHexDigits[code >> 4];
      markup += kHexDigits[code & 15];
    }
    at += length;
    ++shown;
  }
  return false;
}

void AppendPercentEncoded(std::string& link, std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t plain = at;
    while (plain < text.size() && Unreserved(text[plain])) ++plain;
    link.append(text.data() + at, plain - at);  // a run that stays as it is goes in at once
    if (plain == text.size()) return;
    const auto code = static_cast<unsigned char>(text[plain]);
    const std::array<char, 3> encoded = {'%', kHexDigits[code >> 4], kHexDigits[code & 15]};
    link.append(encoded.data(), encoded.size());
    at = plain + 1;
  }
}

}  // namespace qartwo
