#include "host/components/controls/Keyboard.h"

#include "host/components/model/Exception.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace vorn {

namespace {

constexpr std::uint8_t KeyDownBit = 0x80;
constexpr std::uint8_t KeyToggledBit = 0x01;

// Lives in this shared library so that every package of a process sees the same keys.
std::array<std::uint8_t, MaxVirtualKey + 1>& KeyStates() {
    static std::array<std::uint8_t, MaxVirtualKey + 1> States{};
    return States;
}

std::uint8_t& KeyState(int VirtualKey, const char* Operation) {
    if (VirtualKey < 0 || VirtualKey > MaxVirtualKey)
        throw EListError(std::string(Operation) + " Virtual key " + std::to_string(VirtualKey) +
                         " is outside 0.." + std::to_string(MaxVirtualKey));
    return KeyStates()[static_cast<std::size_t>(VirtualKey)];
}

bool IsDown(int VirtualKey) {
    return (KeyStates()[VirtualKey] & KeyDownBit) != 0;
}

} // namespace

short GetKeyState(int VirtualKey) {
    const std::uint8_t State = KeyState(VirtualKey, "GetKeyState()");
    short Result = (State & KeyToggledBit) != 0 ? 1 : 0;
    if ((State & KeyDownBit) != 0)
        Result = static_cast<short>(Result | static_cast<short>(0x8000));
    return Result;
}

void SetKeyDown(int VirtualKey, bool Down) {
    std::uint8_t& State = KeyState(VirtualKey, "SetKeyDown()");
    const bool WasDown = (State & KeyDownBit) != 0;
    if (Down && !WasDown)
        State ^= KeyToggledBit;
    State = Down ? (State | KeyDownBit) : (State & ~KeyDownBit);
}

void ReleaseAllKeys() {
    for (std::uint8_t& State : KeyStates())
        State &= ~KeyDownBit;
}

void SetModifierState(TShiftState Shift) {
    SetKeyDown(VK_SHIFT, Shift.Contains(ssShift));
    SetKeyDown(VK_CONTROL, Shift.Contains(ssCtrl));
    SetKeyDown(VK_MENU, Shift.Contains(ssAlt));
}

TShiftState GetShiftState() {
    TShiftState Result;
    const std::pair<int, TShiftStateFlag> Keys[] = {{VK_SHIFT, ssShift},   {VK_CONTROL, ssCtrl},
                                                    {VK_MENU, ssAlt},      {VK_LBUTTON, ssLeft},
                                                    {VK_RBUTTON, ssRight}, {VK_MBUTTON, ssMiddle}};
    for (const auto& [Key, Flag] : Keys)
        if (IsDown(Key))
            Result.Include(Flag);
    return Result;
}

} // namespace vorn
