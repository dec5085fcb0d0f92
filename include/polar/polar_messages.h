// The scalar types and message numbers of the host interface, without Qt: polar.h declares
// the rest of the interface with them, and the library's window framework takes its own
// types and numbers from here, so that the two cannot differ.
#pragma once

#include <cstdint>

namespace polar_api {

// A colour, 0x00BBGGRR.
using COLORREF = std::uint32_t;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// Sent by the editor to the host window. wParam 0: the user closed the editor without saving
// (sent before its window is destroyed); 1: the editor saved and closed on the host's command
// 1018; 2: the user pressed "Save" and the data file has been written.
constexpr UINT WM_POLAR_NOTIFY = 0x0500;
// Commands the host sends to the editor window as WM_COMMAND: reload the data file (wParam and
// lParam both ID_POLAR_RELOAD), and save and close (wParam ID_SAVE_AND_CLOSE, lParam 0).
constexpr UINT WM_COMMAND = 0x0111;
constexpr WPARAM ID_POLAR_RELOAD = 99;
constexpr WPARAM ID_SAVE_AND_CLOSE = 1018;

}  // namespace polar_api
