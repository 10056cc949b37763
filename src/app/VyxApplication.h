#pragma once
// The application object: sets the tool's title and look, and shows every error
// that a handler lets escape in one place, so that the message loop goes on.

#include <QApplication>
#include <exception>

namespace vyx::app {

class VyxApplication : public QApplication {
public:
    /// The application's title, as the task bar shows it.
    static constexpr const char* Title = "Vyx Tool";

    VyxApplication(int& argc, char** argv);

    /// Delivers an event; an error thrown by its handler is shown and swallowed.
    bool notify(QObject* receiver, QEvent* event) override;

    /// Shows an error in a modal box: its message, or an empty one for a kind we
    /// do not know.
    static void ShowError(std::exception_ptr error);

    /// Creates the main window and runs the message loop. An error out of either
    /// is shown like any other; the program then ends normally (returns 0).
    int Run();
};

}  // namespace vyx::app
