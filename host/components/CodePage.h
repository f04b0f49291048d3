#pragma once

#include <string>
#include <string_view>

namespace vorn {

// The single-byte code page in which the host keeps its texts (captions, field
// values, form files read from disk are converted to and from it).
enum TCodePage { cpWindows1250, cpWindows1252 };

// The code page of this process; cpWindows1250 until changed.
TCodePage HostCodePage();
void SetHostCodePage(TCodePage CodePage);

// Host code page bytes to UTF-8. A byte the code page leaves undefined becomes "?".
std::string HostToUtf8(std::string_view Text);
// UTF-8 to host code page bytes. A character the code page lacks, or a malformed
// UTF-8 sequence, becomes "?".
std::string Utf8ToHost(std::string_view Text);

// The same conversions for UTF-16 (the widget set's text type). An unpaired
// surrogate becomes "?" like a character the code page lacks.
std::u16string HostToUtf16(std::string_view Text);
std::string Utf16ToHost(std::u16string_view Text);

// The code page's registered name: "windows-1250", "windows-1252".
const char* CodePageName(TCodePage CodePage);

} // namespace vorn
