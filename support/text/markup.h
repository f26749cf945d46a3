// Text for web pages and pictures: text from files and diagnostics made safe to stand in HTML
// and XML, and names made safe to stand in a link.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qartwo {

// Where a text comes from, and so what is left to do before it is shown.
enum class TextSource {
  kRaw,      // a name or a line as read: control characters and '\' made visible first
  kVisible,  // a diagnostic, already in that form: a '\' stays as it is
};

// Appends `text` to `markup` as the diagnostics show it (a tab as \t, other control characters
// and DEL as \xNN, a '\' doubled when kRaw), each byte that is not part of a valid UTF-8
// character (or of U+FFFE, U+FFFF, which XML forbids) as \xNN, then escaped: & < > " ' as
// character references, so that it stands as text or an attribute value in HTML and XML.
// After `limit` characters shown the rest is cut and "…" appended; true when it was cut.
bool AppendMarkupText(std::string& markup, std::string_view text, TextSource source,
                      std::size_t limit = std::string_view::npos);

// Appends `text` percent-encoded as a relative link: every byte but A-Z, a-z, 0-9 and - . _ ~
// as %XX (upper-case hex), so that '#', '%', '?', '/', ':' and blanks stay part of the name.
void AppendPercentEncoded(std::string& link, std::string_view text);

}  // namespace qartwo
