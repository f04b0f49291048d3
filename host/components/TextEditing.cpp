#include "host/components/TextEditing.h"

#include "host/components/Control.h"

#include <algorithm>

namespace vorn {

namespace {

constexpr char BackspaceCharacter = '\b';

bool IsPrintable(char Key) {
    const auto Code = static_cast<unsigned char>(Key);
    return Code >= 0x20 && Code != 0x7F;
}

std::size_t Position(int Value) {
    return static_cast<std::size_t>(Value);
}

bool DeleteSelection(TEditState& State) {
    if (State.SelLength == 0)
        return false;
    State.Text.erase(Position(State.SelStart), Position(State.SelLength));
    State.SelLength = 0;
    return true;
}

} // namespace

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
    ClampSelection(static_cast<int>(State.Text.size()), State.SelStart, State.SelLength);
    if (Key == BackspaceCharacter) {
        if (DeleteSelection(State))
            return true;
        if (State.SelStart == 0)
            return false;
        --State.SelStart;
        State.Text.erase(Position(State.SelStart), 1);
        return true;
    }
    if (!IsPrintable(Key))
        return false;
    const auto LengthAfter = State.Text.size() - Position(State.SelLength) + 1;
    if (MaxLength > 0 && LengthAfter > Position(MaxLength))
        return false;
    DeleteSelection(State);
    State.Text.insert(Position(State.SelStart), 1, Key);
    ++State.SelStart;
    return true;
}

bool ApplyEditingKey(TEditState& State, int Key) {
    const int Length = static_cast<int>(State.Text.size());
    ClampSelection(Length, State.SelStart, State.SelLength);
    const TEditState Before = State;
    switch (Key) {
    case VK_DELETE:
        if (!DeleteSelection(State) && State.SelStart < Length)
            State.Text.erase(Position(State.SelStart), 1);
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
