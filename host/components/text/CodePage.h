#pragma once

#include <string>
#include <string_view>

namespace vorn {

// The code page in which the host keeps its texts (captions, field values, form files
// read from disk are converted to and from it): UTF-8, or a single-byte code page for
// applications that want one byte per character.
enum TCodePage { cpWindows1250, cpWindows1252, cpUtf8 };

// The code page of this process; cpUtf8 until changed.
TCodePage HostCodePage();
void SetHostCodePage(TCodePage CodePage);

// Host code page text to UTF-8. Under a single-byte code page a byte the code page leaves
// undefined becomes "?"; under UTF-8 each malformed part of the text becomes U+FFFD, the
// replacement character, so that nothing is lost unseen.
std::string HostToUtf8(std::string_view Text);
// UTF-8 to host code page text. A malformed UTF-8 sequence becomes U+FFFD under UTF-8 and
// "?" under a single-byte code page, as does a character that code page lacks.
std::string Utf8ToHost(std::string_view Text);

// The same conversions for UTF-16 (the widget set's text type). An unpaired surrogate
// becomes U+FFFD under UTF-8 and "?" like a character the code page lacks otherwise.
std::u16string HostToUtf16(std::string_view Text);
std::string Utf16ToHost(std::u16string_view Text);

// Windows-1250 text (the code page of the vocabulary tables) in the host code page.
std::string Windows1250ToHost(std::string_view Text);

// The code page's registered name: "windows-1250", "windows-1252", "utf-8".
const char* CodePageName(TCodePage CodePage);

// Host text is measured and cut by whole characters: one byte under a single-byte code
// page, one UTF-8 sequence under UTF-8 (a malformed byte counts as a character of its own).
// The byte length of the character that starts at Pos (0 at the end of the text).
std::size_t CharacterLength(std::string_view Text, std::size_t Pos);
// Where the character before Pos starts (0 at the start of the text).
std::size_t PreviousCharacterStart(std::string_view Text, std::size_t Pos);
// The number of characters in Text.
std::size_t CharacterCount(std::string_view Text);
// The byte offset of character number Index (the text's size when Index is past its end).
std::size_t CharacterOffset(std::string_view Text, std::size_t Index);

} // namespace vorn
