#include "host/components/controls/TextEditing.h"

#include "host/components/controls/Control.h"
#include "host/components/text/CodePage.h"

#include <algorithm>

namespace vorn {

namespace {

constexpr char BackspaceCharacter = '\b';

bool IsPrintable(char Key) {
    const auto Code = static_cast<unsigned char>(Key);
    return Code >= 0x20 && Code != 0x7F;
}

// The byte offset of character number Index of Text.
std::size_t ByteOffset(const std::string& Text, int Index) {
    return CharacterOffset(Text, static_cast<std::size_t>(Index));
}

// Removes Count characters from character number Start on.
void EraseCharacters(std::string& Text, int Start, int Count) {
    const std::size_t First = ByteOffset(Text, Start);
    const std::size_t Last = First + CharacterOffset(std::string_view(Text).substr(First),
                                                     static_cast<std::size_t>(Count));
    Text.erase(First, Last - First);
}

bool DeleteSelection(TEditState& State) {
    if (State.SelLength == 0)
        return false;
    EraseCharacters(State.Text, State.SelStart, State.SelLength);
    State.SelLength = 0;
    return true;
}

} // namespace

bool IsWholeCharacter(std::string_view Character) {
    if (Character.empty() || CharacterLength(Character, 0) != Character.size())
        return false;
    // Under UTF-8 a broken sequence (a lone byte of the upper half, a cut sequence) also
    // measures as one character; only a well-formed one converts to itself.
    return HostCodePage() != cpUtf8 || HostToUtf8(Character) == Character;
}

int TextLengthInCharacters(std::string_view Text) {
    return static_cast<int>(CharacterCount(Text));
}

std::string SelectedText(const std::string& Text, int SelStart, int SelLength) {
    const std::size_t First = ByteOffset(Text, SelStart);
    const std::string_view Rest = std::string_view(Text).substr(First);
    return std::string(Rest.substr(0, CharacterOffset(Rest, static_cast<std::size_t>(SelLength))));
}

void CheckNotNegative(const char* Operation, const char* What, int Value) {
    if (Value < 0)
        throw EInvalidOperation(std::string(Operation) + " The " + What + " " +
                                std::to_string(Value) + " is negative");
}

void ClampSelection(int TextLength, int& SelStart, int& SelLength) {
    SelStart = std::clamp(SelStart, 0, TextLength);
    SelLength = std::clamp(SelLength, 0, TextLength - SelStart);
}

void MoveSelectionStart(int Value, int TextLength, int& SelStart, int& SelLength) {
    CheckNotNegative("SetSelStart()", "position", Value);
    SelStart = Value;
    SelLength = 0;
    ClampSelection(TextLength, SelStart, SelLength);
}

void ResizeSelection(int Value, int TextLength, int& SelStart, int& SelLength) {
    CheckNotNegative("SetSelLength()", "length", Value);
    SelLength = Value;
    ClampSelection(TextLength, SelStart, SelLength);
}

bool ApplyTypedCharacter(TEditState& State, char Key, int MaxLength) {
    if (Key != BackspaceCharacter)
        return ApplyTypedText(State, std::string_view(&Key, 1), MaxLength);
    ClampSelection(TextLengthInCharacters(State.Text), State.SelStart, State.SelLength);
    if (DeleteSelection(State))
        return true;
    if (State.SelStart == 0)
        return false;
    --State.SelStart;
    EraseCharacters(State.Text, State.SelStart, 1);
    return true;
}

bool ApplyTypedText(TEditState& State, std::string_view Character, int MaxLength) {
    if (!IsWholeCharacter(Character) || !IsPrintable(Character.front()))
        return false;
    const int Length = TextLengthInCharacters(State.Text);
    ClampSelection(Length, State.SelStart, State.SelLength);
    if (MaxLength > 0 && Length - State.SelLength + 1 > MaxLength)
        return false;
    DeleteSelection(State);
    State.Text.insert(ByteOffset(State.Text, State.SelStart), Character);
    ++State.SelStart;
    return true;
}

bool ApplyEditingKey(TEditState& State, int Key) {
    const int Length = TextLengthInCharacters(State.Text);
    ClampSelection(Length, State.SelStart, State.SelLength);
    const TEditState Before = State;
    switch (Key) {
    case VK_DELETE:
        if (!DeleteSelection(State) && State.SelStart < Length)
            EraseCharacters(State.Text, State.SelStart, 1);
        break;
    case VK_LEFT:
        State.SelStart = State.SelLength > 0 ? State.SelStart : std::max(State.SelStart - 1, 0);
        State.SelLength = 0;
        break;
    case VK_RIGHT:
        State.SelStart = State.SelLength > 0 ? State.SelStart + State.SelLength
                                             : std::min(State.SelStart + 1, Length);
        State.SelLength = 0;
        break;
    case VK_HOME:
        State.SelStart = 0;
        State.SelLength = 0;
        break;
    case VK_END:
        State.SelStart = Length;
        State.SelLength = 0;
        break;
    default:
        return false;
    }
    return State.Text != Before.Text || State.SelStart != Before.SelStart ||
           State.SelLength != Before.SelLength;
}

} // namespace vorn
