#pragma once

#include "host/components/model/Set.h"

namespace vorn {

// Virtual key codes. Letters and digits are their upper-case ASCII codes ('A', '0').
inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_RBUTTON = 0x02;
inline constexpr int VK_MBUTTON = 0x04;
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_PAUSE = 0x13;
inline constexpr int VK_CAPITAL = 0x14;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;
inline constexpr int VK_NEXT = 0x22;
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_APPS = 0x5D;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F2 = 0x71;
inline constexpr int VK_F3 = 0x72;
inline constexpr int VK_F4 = 0x73;
inline constexpr int VK_F5 = 0x74;
inline constexpr int VK_F6 = 0x75;
inline constexpr int VK_F7 = 0x76;
inline constexpr int VK_F8 = 0x77;
inline constexpr int VK_F9 = 0x78;
inline constexpr int VK_F10 = 0x79;
inline constexpr int VK_F11 = 0x7A;
inline constexpr int VK_F12 = 0x7B;
inline constexpr int VK_NUMLOCK = 0x90;
inline constexpr int VK_SCROLL = 0x91;

// The largest virtual key code.
inline constexpr int MaxVirtualKey = 0xFF;

enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;

// The host keyboard state: one per process, read and written on the user-interface
// thread. The widget set feeds it from every input event and tests set it directly.

// The state of VirtualKey: negative (high bit set) while the key is down; the low bit
// toggles at each press, as for Caps Lock. Raises for a code outside 0..MaxVirtualKey.
short GetKeyState(int VirtualKey);
// Puts VirtualKey down or up. Raises for a code outside 0..MaxVirtualKey.
void SetKeyDown(int VirtualKey, bool Down);
// Puts every key up; toggle states are kept.
void ReleaseAllKeys();
// Puts Shift, Ctrl and Alt down or up as an input event's modifiers say. Input events
// carry their modifiers even when the key itself was pressed outside the application,
// so the dispatch calls this for every event.
void SetModifierState(TShiftState Shift);
// The modifiers and mouse buttons that are down now (ssDouble never).
TShiftState GetShiftState();

} // namespace vorn
