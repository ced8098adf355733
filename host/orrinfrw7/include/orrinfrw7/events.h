// The values that travel with user input through the framework: modifier bits, key codes, cursor
// shapes, update kinds, and the pointer, wheel, key and tooltip events elements receive.
#pragma once

#include <string>

#include "orrin7/types.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// Placement of a child inside its parent's content rectangle. Edge-aligned children take their
// slices in creation order; fill children then take what remains (each the whole remainder).
enum Alignment : int {
  AL_None = 0,    // keeps the position given by SetPos
  AL_Left = 1,    // a strip of its own width at the left, full remaining height
  AL_Right = 2,   // a strip of its own width at the right
  AL_Top = 3,     // a strip of its own height at the top, full remaining width
  AL_Bottom = 4,  // a strip of its own height at the bottom
  AL_Client = 5,  // fills the rest
};

// Modifier bits of the event word that pointer and key events carry.
enum Modifier : int {
  MK_Shift = 0x100,
  MK_Ctrl = 0x200,
  MK_Alt = 0x400,
};

// Key codes as elements see them (the virtual-key numbering; letters are their capitals).
enum KeyCode : int {
  KEY_Backspace = 0x08,
  KEY_Tab = 0x09,
  KEY_Return = 0x0D,
  KEY_Escape = 0x1B,
  KEY_Space = 0x20,
  KEY_PageUp = 0x21,
  KEY_PageDown = 0x22,
  KEY_End = 0x23,
  KEY_Home = 0x24,
  KEY_Left = 0x25,
  KEY_Up = 0x26,
  KEY_Right = 0x27,
  KEY_Down = 0x28,
  KEY_Insert = 0x2D,
  KEY_Delete = 0x2E,
  KEY_A = 0x41,
  KEY_C = 0x43,
};

// Pointer shapes an element asks for with SetCursor.
enum Cursor : int {
  CR_Arrow = 1,
  CR_IBeam = 2,
  CR_Wait = 3,
  CR_Cross = 4,
  CR_SizeNS = 7,  // resizing up and down
  CR_SizeWE = 9,  // resizing left and right
  CR_Hand = 12,   // over a link
};

// Kinds of Update and OnChange; they combine as bits.
enum UpdateKind : int {
  UK_Layout = 1,  // lay the children out again
  UK_Redraw = 2,  // lay the children out again and repaint the whole element
};

// A pointer event in the coordinates of the element that receives it. `button` is the button
// pressed or released, or for a move the button held down (MB_None when none).
struct CMouseEvent {
  int x = 0;
  int y = 0;
  orrin7::MouseButton button = orrin7::MB_None;
  int modifiers = 0;
};

// A wheel turn over an element: `dx` and `dy` in notches, positive to the right and downwards.
struct CWheelEvent {
  int x = 0;
  int y = 0;
  int dx = 0;
  int dy = 0;
  int modifiers = 0;
};

struct CKeyEvent {
  int key = 0;
  int modifiers = 0;
};

// A tooltip request at (x, y) of the element; the element fills in the text and the rectangle
// (element pixels) the tip belongs to.
struct CTooltipEvent {
  int x = 0;
  int y = 0;
  std::wstring text;
  orrin7::rectangle<int> rect;
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
