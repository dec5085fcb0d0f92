#pragma once

#include <functional>

class QWidget;

// Whether code of the framework's windows is running: a message handler, or an entry point of
// the module that declares itself so. Whatever must not happen under such code (deleting the
// window whose handler runs) waits until control is back in the event loop with no handler
// on the stack.
namespace handler_scope {

// Marks a stretch of code as handler code for as long as the object lives.
class Scope {
  public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

// True while any handler code is on the stack.
bool Active();
// How many stretches of handler code are on the stack (nested handlers, modal loops).
int Depth();

// Runs the action from the event loop once no handler code is on the stack (at once when none
// is and bNowWhenIdle is set).
void WhenIdle(std::function<void()> action, bool bNowWhenIdle = false);

// Ends every modal loop running in or above the window: the framework's modal dialogs end with
// IDCANCEL, message boxes and file dialogs as if the user had cancelled them.
void CancelModalLoopsOf(QWidget* pWindow);

}  // namespace handler_scope
