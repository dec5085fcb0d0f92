#pragma once

class QWidget;

// Input the way the platform routes it for the framework's windows, independent of what the
// window system offers (X11 grabs fail on windows not yet mapped, Wayland has none for us):
// - the window that holds the mouse capture hears every mouse button and move of the
//   application, in its own client coordinates, while it holds it; the controls inside it keep
//   their own mouse input. A press taken this way takes its release with it, so the click that
//   ends a captured session never presses what lies beneath.
// - a modal pop-up laid into its owner's window (a dialog without a caption) shuts the owner's
//   other controls off from mouse, keys and shortcuts, as the platform disables the owner of a
//   modal dialog; closing the owner window cancels the pop-up instead.
// Windows above these (a message box, an open drop-down list) keep their input.
namespace input_routing {

void SetCaptureWidget(QWidget* pWidget);  // nullptr releases the capture
QWidget* CaptureWidget();

void PushEmbeddedModal(QWidget* pPopup);
void PopEmbeddedModal(QWidget* pPopup);
// The innermost modal pop-up running inside the given top-level window, or nullptr.
QWidget* EmbeddedModalIn(const QWidget* pWindow);

}  // namespace input_routing
