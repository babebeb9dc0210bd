#pragma once

#include <cstdint>
#include <string>

#include "core/object.h"

namespace qrv {

// Polled input: key and button tables, the pointer and a queue of typed characters, fed by the
// events emitted while the system driver pumps. Every query pumps first, so the state is
// current without the caller doing anything else, unless the program pumps for itself (see
// SetPollBeforeQuery). Keys are 1..255 and buttons 1 left, 2 right, 3 middle; other values read
// as 0.

// Initialises the system module; later calls do nothing.
void InitInputModule();

// Whether the queries pump messages first (the default). A program that pumps or waits once per
// pass of its loop can turn it off, so that a pass asking several questions pumps only once; the
// flushes always pump. Gives the previous setting.
bool SetPollBeforeQuery(bool poll);

// Starts listening to emitted events (only to those from source, when it is set) with cleared
// state; nothing if already listening.
void StartInputPolling(Ref<TObject> source = nullptr);
// Stops listening and clears the state; nothing if not listening.
void StopInputPolling();

// Presses of the key since the last call or flush; the count is then reset.
[[nodiscard]] int32_t KeyHitCount(int32_t key);
// 1 while the key is held down, else 0.
[[nodiscard]] int32_t KeyIsDown(int32_t key);
// The oldest typed character not yet taken (UTF-16 code unit), or 0 when there is none. At most
// 256 characters wait; more are dropped.
[[nodiscard]] int32_t NextTypedChar();
// Pumps, then forgets held keys, key hits and typed characters.
void FlushKeyboard();

// MouseXPos and MouseYPos: the pointer's position in the window's pixels, as the last pointer
// move left it (0 before any).
[[nodiscard]] int32_t MouseXPos();
[[nodiscard]] int32_t MouseYPos();
// The sum of the wheel steps since the last mouse flush.
[[nodiscard]] int32_t MouseZPos();
// Presses of the button since the last call or flush; the count is then reset.
[[nodiscard]] int32_t MouseHitCount(int32_t button);
// 1 while the button is held down, else 0.
[[nodiscard]] int32_t MouseIsDown(int32_t button);
// Pumps, then forgets held buttons, button hits and the wheel; the pointer position stays.
void FlushMouseButtons();

// Game pads, fed by the pad events (event.h) with the button and axis names of keys.h. A pad
// gets a number when it connects: the lowest one no connected pad holds, so the first pad is 0,
// a second one 1, and a pad keeps its number until it is unplugged. The number an unplugged pad
// frees goes to the next pad that connects, which may be another pad or the same one again.
// Unknown pads, buttons and axes read as 0 (PadName: empty text).

// The number of pads connected.
[[nodiscard]] int32_t PadCount();
// 1 while a pad with that number is connected, else 0.
[[nodiscard]] int32_t PadIsConnected(int32_t pad);
// The name the pad gave when it connected.
[[nodiscard]] std::u16string PadName(int32_t pad);
// Presses of the pad's button since the last call; the count is then reset.
[[nodiscard]] int32_t PadButtonHitCount(int32_t pad, int32_t button);
// 1 while the pad's button is held down, else 0.
[[nodiscard]] int32_t PadButtonIsDown(int32_t pad, int32_t button);
// The axis's position, -1..1 for a stick (right and down positive) and 0..1 for a trigger, with
// PAD_DEAD_ZONE applied: 0 inside it, and beyond it rescaled to rise continuously to 1.
[[nodiscard]] double PadAxis(int32_t pad, int32_t axis);

// 1 between losing and regaining the focus.
[[nodiscard]] int32_t AppIsSuspended();
// 1 once after a close request: a window closed, or a Ctrl-C or termination signal caught
// (close_signals.h).
[[nodiscard]] int32_t AppTerminateRequested();

// Flush, then wait for messages until a key is hit; the lowest code of the keys hit.
[[nodiscard]] int32_t WaitForKey();
// Flush, then wait for messages until a character is typed.
[[nodiscard]] int32_t WaitForChar();
// Flush, then wait for messages until a button is clicked; the lowest button clicked.
[[nodiscard]] int32_t WaitForMouse();

}  // namespace qrv
